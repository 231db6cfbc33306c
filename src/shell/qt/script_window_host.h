// The script host of the window: scripts reach the desktop clipboard, the status bar, the busy
// cursor, the memo's answers and the Esc key through the main window.
#pragma once

namespace rekna {

class TFormMemo;
class TpsvActiveScriptSite;

// Installs the host in the frame's engine; scripting follows the option from here on.
TpsvActiveScriptSite& InstallWindowScriptHost(TFormMemo& form);

}  // namespace rekna
