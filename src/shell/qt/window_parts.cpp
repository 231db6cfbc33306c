// The windows that hang off the main window's menus connect their actions to it.
#include "shell/qt/window_parts.h"

#include "shell/qt/form_memo.h"

namespace rekna {

void InstallWindowParts(TFormMemo& form) {
    static_cast<void>(form);
}

}  // namespace rekna
