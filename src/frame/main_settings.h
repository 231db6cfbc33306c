// The main window's keys of the settings file: window place, file handling, bars, hot keys and
// the kept texts of the other windows.
#pragma once

#include <array>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "frame/frame_settings.h"

namespace rekna {

struct TMainSettings {
    // Missing on a first start: the window system then places the window.
    std::optional<int> Top, Left, Width, Height;
    std::string FileName;  // a file system name (UTF-8), as the file dialogs use it
    bool FileBackUp = true, FileRecycle = true, FileBackUpDate = true;
    // Files that do not show their encoding or line ends, and new files, are Shift_JIS with
    // CR LF instead of UTF-8 with LF.
    bool FileSJisDefault = false;
    bool ToolBar = true, StatusBar = true;
    // ToolBar.File, .Calc, .Find, .Indent, .Fold, .Edit
    std::array<bool, 6> ToolGroups{true, true, false, false, false, false};
    bool DoubleRun = false, BackUpInfo = false;
    bool HotKeyCalc = false, HotKeyAdd = false, HotKeyCtrl = false, HotKeyExt = false;
    std::string HotKeyAction = "333333", HotKeyCalcKeys = "155355";
    // The hot-key tables as their digit strings (HotKeyAction, HotKeyCalc): a string is taken
    // only when it is six digits, as the settings file's are; false when one was refused.
    bool SetHotKeys(std::string_view targets, std::string_view actions);
    bool GraphCalcMemo = true, GraphCalcToCaret = false, GraphCalcTune = true;
    // MiB that the values of a script run may hold together; missing: the interpreter's own.
    std::optional<int> ScriptMemory;
    // The texts of the later windows (FindLS, PreView.*, PrintMargin.*, Print*, the graph
    // window's texts, UsrFunc.*, Template.*), by key: kept exactly as read and written back
    // unchanged. A key of KeptSettingsKeys() missing here is written empty; other keys are
    // neither read nor written.
    std::map<std::string, std::string, std::less<>> Kept;
};

// Reads every key the store has; a missing or unreadable value leaves the field as it is.
void ReadMainSettings(const TSettingsStore& store, TMainSettings& s);
// Writes every key in the file's order; frameKeys writes the frame's keys at their place
// (between HotKeyCalc and FindLS). A missing window place is written empty, which reads back
// as missing.
void WriteMainSettings(TSettingsStore& store, const TMainSettings& s,
                       const std::function<void(TSettingsStore&)>& frameKeys);

// Every main-window key in writing order, the frame's keys excluded.
[[nodiscard]] std::vector<std::string_view> MainSettingsKeys();
// The keys of the texts TMainSettings::Kept carries, in writing order.
[[nodiscard]] std::vector<std::string_view> KeptSettingsKeys();

}  // namespace rekna
