// The windows that hang off the main window's menus connect their actions to it.
#include "shell/qt/window_parts.h"

#include "find/qt/find_parts.h"
#include "graph_window/qt/graph_window_hook.h"
#include "hotkey/qt/hotkey_parts.h"
#include "options/qt/options_form.h"
#include "print/qt/print_setup.h"
#include "shell/qt/form_memo.h"
#include "templates/qt/template_parts.h"

namespace rekna {

void InstallWindowParts(TFormMemo& form) {
    InstallPrint(form);
    InstallGraphWindow(form);
    InstallFindParts(form);
    InstallTemplateParts(form);
    InstallHotKeys(form);
    InstallOptions(form);
}

}  // namespace rekna
