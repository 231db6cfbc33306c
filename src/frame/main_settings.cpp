// The main window's settings keys as one table that drives reading, writing and the key list.
#include "frame/main_settings.h"

#include <algorithm>

#include <charconv>
#include <cstdint>

#include "platform/cp932.h"

namespace rekna {

namespace {

enum class TKeyKind : std::uint8_t {
    kkNumber,      // decimal integer (a window place, a budget), written empty while missing
    kkText,        // free text
    kkPath,        // a file name of the file system, held as text in the file
    kkOnOff,       // "1" on, any other text off
    kkFlag,        // one flag digit
    kkToolGroup,   // one flag digit of ToolGroups[Group]
    kkSixDigits,   // exactly six digits, else the value is kept
    kkKept,        // a later window's text, carried unchanged in Kept
    kkKeptNumber,  // a later window's number, kept clamped; a text that is no number is dropped
    kkFrame,       // the place of the frame's keys
};

struct TKeyDef {
    std::string_view Name;
    TKeyKind Kind;
    std::optional<int> TMainSettings::*Number = nullptr;
    std::string TMainSettings::*Text = nullptr;
    bool TMainSettings::*Flag = nullptr;
    std::size_t Group = 0;
    // A number is brought into this range as it is read.
    int Min = 0, Max = 0;
};

// Places far off any screen still move back onto it without overflowing the arithmetic.
constexpr int kFarPlace = 1'000'000;
// A tool window's size: the widest screens in use, so that a window can still be painted.
constexpr int kLargestWindow = 8192;
// A column or a pane of a tool window, in pixels.
constexpr int kWidestColumn = 10'000;

using K = TKeyKind;
using S = TMainSettings;

constexpr TKeyDef kKeys[] = {
    {.Name = "Top", .Kind = K::kkNumber, .Number = &S::Top, .Min = -kFarPlace, .Max = kFarPlace},
    {.Name = "Left", .Kind = K::kkNumber, .Number = &S::Left, .Min = -kFarPlace, .Max = kFarPlace},
    {.Name = "Width", .Kind = K::kkNumber, .Number = &S::Width, .Min = 0, .Max = kFarPlace},
    {.Name = "Height", .Kind = K::kkNumber, .Number = &S::Height, .Min = 0, .Max = kFarPlace},
    {.Name = "FileName", .Kind = K::kkPath, .Text = &S::FileName},
    {.Name = "FileBackUp", .Kind = K::kkOnOff, .Flag = &S::FileBackUp},
    {.Name = "FileRecycle", .Kind = K::kkOnOff, .Flag = &S::FileRecycle},
    {.Name = "FileBackUpDate", .Kind = K::kkOnOff, .Flag = &S::FileBackUpDate},
    {.Name = "ToolBar", .Kind = K::kkFlag, .Flag = &S::ToolBar},
    {.Name = "StatusBar", .Kind = K::kkFlag, .Flag = &S::StatusBar},
    {.Name = "ToolBar.File", .Kind = K::kkToolGroup, .Group = 0},
    {.Name = "ToolBar.Calc", .Kind = K::kkToolGroup, .Group = 1},
    {.Name = "ToolBar.Find", .Kind = K::kkToolGroup, .Group = 2},
    {.Name = "ToolBar.Indent", .Kind = K::kkToolGroup, .Group = 3},
    {.Name = "ToolBar.Fold", .Kind = K::kkToolGroup, .Group = 4},
    {.Name = "ToolBar.Edit", .Kind = K::kkToolGroup, .Group = 5},
    {.Name = "DoubleRun", .Kind = K::kkFlag, .Flag = &S::DoubleRun},
    {.Name = "BackUpInfo", .Kind = K::kkFlag, .Flag = &S::BackUpInfo},
    {.Name = "HotKey.Calc", .Kind = K::kkFlag, .Flag = &S::HotKeyCalc},
    {.Name = "HotKey.Add", .Kind = K::kkFlag, .Flag = &S::HotKeyAdd},
    {.Name = "HotKey.Ctrl", .Kind = K::kkFlag, .Flag = &S::HotKeyCtrl},
    {.Name = "HotKey.Ext", .Kind = K::kkFlag, .Flag = &S::HotKeyExt},
    {.Name = "HotKeyAction", .Kind = K::kkSixDigits, .Text = &S::HotKeyAction},
    {.Name = "HotKeyCalc", .Kind = K::kkSixDigits, .Text = &S::HotKeyCalcKeys},
    {.Name = "", .Kind = K::kkFrame},
    {.Name = "FindLS", .Kind = K::kkKept},
    {.Name = "PreView.Top", .Kind = K::kkKeptNumber, .Min = -kFarPlace, .Max = kFarPlace},
    {.Name = "PreView.Left", .Kind = K::kkKeptNumber, .Min = -kFarPlace, .Max = kFarPlace},
    {.Name = "PreView.Width", .Kind = K::kkKeptNumber, .Min = 0, .Max = kLargestWindow},
    {.Name = "PreView.Hight", .Kind = K::kkKeptNumber, .Min = 0, .Max = kLargestWindow},
    {.Name = "PreView.Scale", .Kind = K::kkKeptNumber, .Min = 1, .Max = 1000},
    {.Name = "PrintMargin.Top", .Kind = K::kkKeptNumber, .Min = 0, .Max = 1000},
    {.Name = "PrintMargin.Bottom", .Kind = K::kkKeptNumber, .Min = 0, .Max = 1000},
    {.Name = "PrintMargin.Left", .Kind = K::kkKeptNumber, .Min = 0, .Max = 1000},
    {.Name = "PrintMargin.Right", .Kind = K::kkKeptNumber, .Min = 0, .Max = 1000},
    {.Name = "PrintLineSpace", .Kind = K::kkKeptNumber, .Min = 0, .Max = 1000},
    {.Name = "PrintAnsWidth", .Kind = K::kkKeptNumber, .Min = 0, .Max = 100},
    {.Name = "PrintFileName", .Kind = K::kkKept},
    {.Name = "Print2Column", .Kind = K::kkKeptNumber, .Min = 0, .Max = 1},
    {.Name = "PrintPageNo", .Kind = K::kkKeptNumber, .Min = 0, .Max = 1},
    {.Name = "PrintSelRow", .Kind = K::kkKeptNumber, .Min = 0, .Max = 1},
    {.Name = "Graph.Top", .Kind = K::kkKeptNumber, .Min = -kFarPlace, .Max = kFarPlace},
    {.Name = "Graph.Left", .Kind = K::kkKeptNumber, .Min = -kFarPlace, .Max = kFarPlace},
    {.Name = "Graph.Width", .Kind = K::kkKeptNumber, .Min = 0, .Max = kLargestWindow},
    {.Name = "Graph.Hight", .Kind = K::kkKeptNumber, .Min = 0, .Max = kLargestWindow},
    {.Name = "Graph.Mkr", .Kind = K::kkKeptNumber, .Min = 0, .Max = 1},
    {.Name = "Graph.Data", .Kind = K::kkKeptNumber, .Min = 0, .Max = 1},
    {.Name = "Graph.GridHight", .Kind = K::kkKeptNumber, .Min = 0, .Max = kLargestWindow},
    {.Name = "Graph.CalcGrid", .Kind = K::kkKept},
    {.Name = "Graph.RangeGrid", .Kind = K::kkKept},
    {.Name = "Graph.TicksGrid", .Kind = K::kkKept},
    {.Name = "Graph.FontGrid", .Kind = K::kkKept},
    {.Name = "Graph.LineGrid", .Kind = K::kkKept},
    {.Name = "Graph.MkrGrid", .Kind = K::kkKept},
    {.Name = "Graph.CalcMemo", .Kind = K::kkFlag, .Flag = &S::GraphCalcMemo},
    {.Name = "Graph.CalcToCaret", .Kind = K::kkFlag, .Flag = &S::GraphCalcToCaret},
    {.Name = "Graph.CalcTune", .Kind = K::kkFlag, .Flag = &S::GraphCalcTune},
    {.Name = "UsrFunc.Top", .Kind = K::kkKeptNumber, .Min = -kFarPlace, .Max = kFarPlace},
    {.Name = "UsrFunc.Left", .Kind = K::kkKeptNumber, .Min = -kFarPlace, .Max = kFarPlace},
    {.Name = "UsrFunc.Width", .Kind = K::kkKeptNumber, .Min = 0, .Max = kLargestWindow},
    {.Name = "UsrFunc.Height", .Kind = K::kkKeptNumber, .Min = 0, .Max = kLargestWindow},
    {.Name = "UsrFunc.ColWidth1", .Kind = K::kkKeptNumber, .Min = 0, .Max = kWidestColumn},
    {.Name = "UsrFunc.ColWidth2", .Kind = K::kkKeptNumber, .Min = 0, .Max = kWidestColumn},
    {.Name = "UsrFunc.ColWidth3", .Kind = K::kkKeptNumber, .Min = 0, .Max = kWidestColumn},
    {.Name = "Template.Top", .Kind = K::kkKeptNumber, .Min = -kFarPlace, .Max = kFarPlace},
    {.Name = "Template.Left", .Kind = K::kkKeptNumber, .Min = -kFarPlace, .Max = kFarPlace},
    {.Name = "Template.Width", .Kind = K::kkKeptNumber, .Min = 0, .Max = kLargestWindow},
    {.Name = "Template.Height", .Kind = K::kkKeptNumber, .Min = 0, .Max = kLargestWindow},
    {.Name = "Template.TreeWidth", .Kind = K::kkKeptNumber, .Min = 0, .Max = kWidestColumn},
    // 0 and below: the interpreter's own budget; at most 1 TiB.
    {.Name = "ScriptMemory",
     .Kind = K::kkNumber,
     .Number = &S::ScriptMemory,
     .Min = 0,
     .Max = 1 << 20},
    {.Name = "FileSJisDefault", .Kind = K::kkOnOff, .Flag = &S::FileSJisDefault},
};

// The same number reading as the frame's keys: spaces around and a leading "+" are allowed,
// anything else that is not a decimal int is no number.
[[nodiscard]] std::optional<int> Number(std::string_view text) noexcept {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty() || text.front() == '+') return std::nullopt;
    int value = 0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || ptr != text.data() + text.size()) return std::nullopt;
    return value;
}

[[nodiscard]] bool IsSixDigits(std::string_view text) noexcept {
    if (text.size() != 6) return false;
    for (const char c : text) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

// A one-digit flag: "1" checks, "0" unchecks, anything else (also an empty text) leaves it.
void ReadFlag(std::string_view text, bool& flag) noexcept {
    if (text.empty()) return;
    if (text.front() == '1') flag = true;
    if (text.front() == '0') flag = false;
}

void ReadKey(const TKeyDef& key, std::string_view value, TMainSettings& s) {
    switch (key.Kind) {
    case K::kkNumber:
        if (const auto n = Number(value)) s.*key.Number = std::clamp(*n, key.Min, key.Max);
        break;
    case K::kkText: s.*key.Text = value; break;
    case K::kkPath: s.*key.Text = Cp932ToUtf8(value); break;
    case K::kkOnOff: s.*key.Flag = value == "1"; break;
    case K::kkFlag: ReadFlag(value, s.*key.Flag); break;
    case K::kkToolGroup: ReadFlag(value, s.ToolGroups[key.Group]); break;
    case K::kkSixDigits:
        if (IsSixDigits(value)) s.*key.Text = value;
        break;
    case K::kkKept: s.Kept.insert_or_assign(std::string(key.Name), std::string(value)); break;
    case K::kkKeptNumber:
        // The windows that read it get a number they can use, or none and take their default.
        if (const auto n = Number(value)) {
            s.Kept.insert_or_assign(std::string(key.Name),
                                    std::to_string(std::clamp(*n, key.Min, key.Max)));
        } else if (const auto it = s.Kept.find(key.Name); it != s.Kept.end()) {
            s.Kept.erase(it);
        }
        break;
    case K::kkFrame: break;
    }
}

[[nodiscard]] std::string KeyValue(const TKeyDef& key, const TMainSettings& s) {
    switch (key.Kind) {
    case K::kkNumber: {
        const auto& n = s.*key.Number;
        return n ? std::to_string(*n) : std::string();
    }
    case K::kkText:
    case K::kkSixDigits: return s.*key.Text;
    case K::kkPath: return Utf8ToCp932(s.*key.Text);
    case K::kkOnOff:
    case K::kkFlag: return s.*key.Flag ? "1" : "0";
    case K::kkToolGroup: return s.ToolGroups[key.Group] ? "1" : "0";
    case K::kkKept:
    case K::kkKeptNumber: {
        const auto it = s.Kept.find(key.Name);
        return it == s.Kept.end() ? std::string() : it->second;
    }
    case K::kkFrame: break;
    }
    return {};
}

}  // namespace

bool TMainSettings::SetHotKeys(std::string_view targets, std::string_view actions) {
    const bool ok = IsSixDigits(targets) && IsSixDigits(actions);
    if (IsSixDigits(targets)) HotKeyAction = targets;
    if (IsSixDigits(actions)) HotKeyCalcKeys = actions;
    return ok;
}

void ReadMainSettings(const TSettingsStore& store, TMainSettings& s) {
    for (const TKeyDef& key : kKeys) {
        if (key.Kind == K::kkFrame) continue;
        if (const auto value = store.Get(key.Name)) ReadKey(key, *value, s);
    }
}

void WriteMainSettings(TSettingsStore& store, const TMainSettings& s,
                       const std::function<void(TSettingsStore&)>& frameKeys) {
    for (const TKeyDef& key : kKeys) {
        if (key.Kind != K::kkFrame) {
            store.Set(key.Name, KeyValue(key, s));
        } else if (frameKeys) {
            frameKeys(store);
        }
    }
}

std::vector<std::string_view> MainSettingsKeys() {
    std::vector<std::string_view> keys;
    for (const TKeyDef& key : kKeys) {
        if (key.Kind != K::kkFrame) keys.push_back(key.Name);
    }
    return keys;
}

std::vector<std::string_view> KeptSettingsKeys() {
    std::vector<std::string_view> keys;
    for (const TKeyDef& key : kKeys) {
        if (key.Kind == K::kkKept || key.Kind == K::kkKeptNumber) keys.push_back(key.Name);
    }
    return keys;
}

}  // namespace rekna
