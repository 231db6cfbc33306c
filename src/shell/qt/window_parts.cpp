// The windows that hang off the main window's menus connect their actions to it.
#include "shell/qt/window_parts.h"

#include "shell/qt/find_parts.h"
#include "shell/qt/form_memo.h"
#include "shell/qt/graph_window_hook.h"
#include "shell/qt/hotkey_parts.h"
#include "shell/qt/options_form.h"
#include "shell/qt/print_setup.h"

namespace rekna {

void InstallWindowParts(TFormMemo& form) {
    static_cast<void>(form);
    InstallPrint(form);
    InstallGraphWindow(form);
    InstallFindParts(form);
    InstallHotKeys(form);
    InstallOptions(form);
}

}  // namespace rekna
