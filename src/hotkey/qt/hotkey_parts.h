// The hot keys on the main window's actions: "ホットキーで計算(&H)" grabs them, a press acts on
// the memo when Rekna is in front and on the other program's editor otherwise.
#pragma once

#include <string>

namespace rekna {

class TToolHost;
struct TModifierKeys;

// Connects the hot-key actions and the help box; called once by InstallWindowParts.
void InstallHotKeys(TToolHost& form);

// What a press of a hot key does (deletion: Ctrl+Shift+Enter), as the grab reports it.
void HotKeyPressed(TToolHost& form, bool deletion, const TModifierKeys& held);

// A press asked for by name over the single-instance channel ("calc", "replace", "delete");
// false for any other name.
bool HotKeyCommand(TToolHost& form, const std::string& name);

}  // namespace rekna
