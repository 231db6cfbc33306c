// The script host of the window: scripts reach the desktop clipboard, the status bar, the busy
// cursor, the memo's answers and the Esc key through the main window.
#pragma once

namespace rekna {

class TFormMemo;
class TpsvActiveScriptSite;

// Installs the host in the frame's engine; scripting follows the option from here on. Esc in a
// script's message or input box stops the script as well as the box.
TpsvActiveScriptSite& InstallWindowScriptHost(TFormMemo& form);

// Closes a script's message or input box that is open (the session ends); the script's next
// boxes are not shown once a stop was asked.
void CloseScriptDialogs();

}  // namespace rekna
