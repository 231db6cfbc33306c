// The frame's settings keys: flag strings of option actions, numbers, texts and colours.
#include "frame/frame_settings.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <span>

#include "engine/vt_calc.h"
#include "frame/frame_actions.h"
#include "platform/cp932.h"

namespace rekna {

namespace {

using TNames = std::span<const std::string_view>;

// The flag keys and the actions of their digits, in digit order.
constexpr std::string_view kAnsWindow[] = {"ActionWindowAns"};
constexpr std::string_view kLogWindow[] = {
    "ActionWindowLog",      "ActionSetLogN16",       "ActionSetLogFrac",
    "ActionSetLogHint",     "ActionSetLogHold",      "ActionSetLogCalcAll",
    "ActionSetLogCalcStop", "ActionSetLogCalcCaret", "ActionSetLogNone"};
constexpr std::string_view kCalcExe[] = {"ActionWindowCalcRun"};
constexpr std::string_view kCalcBar[] = {"ActionWindowCalcBar"};
constexpr std::string_view kCalcBarEq[] = {"ActionWindowCalcEQ"};
constexpr std::string_view kCalcBarAns[] = {"ActionWindowCalcAns",    "ActionWindowCalcAnsSet",
                                            "ActionWindowCalcAnsNon", "ActionWindowCalcAnsN2",
                                            "ActionWindowCalcAnsN2C", "ActionWindowCalcAnsN10",
                                            "ActionWindowCalcAnsN16"};
constexpr std::string_view kCalcMode[] = {
    "ActionSetCalcAuto",    "ActionSetCalcFrac",      "ActionSetCalcFuzz",
    "ActionSetCalcAutoAll", "ActionSetCalcAutoStop",  "ActionSetCalcAutoRow",
    "ActionSetCalcAutoEnd", "ActionSetCalcAutoAllEv", "ActionSetVbScript"};
constexpr std::string_view kCalcRange[] = {"ActionSetCalcStr", "ActionSetCalcTab",
                                           "ActionSetCalcSSp", "ActionSetCalcLSp",
                                           "ActionSetCalcEtc"};
constexpr std::string_view kRadian[] = {"ActionSetRad", "ActionSetDeg"};
constexpr std::string_view kDb[] = {"ActionSetDb20", "ActionSetDb10", "ActionSetDbm",
                                    "ActionSetDbu"};
constexpr std::string_view kAns[] = {"ActionSetAnsRow", "ActionSetAnsLast"};
constexpr std::string_view kTim[] = {"ActionSetTimDay", "ActionSetTimHou", "ActionSetTimMin",
                                     "ActionSetTimSec"};
constexpr std::string_view kValInput[] = {"ActionValInpN10", "ActionValInpN60",   "ActionValInpPar",
                                          "ActionValInpEng", "ActionValInpEngSL", "ActionValInpDb"};
constexpr std::string_view kCplx[] = {"ActionSetCplxPolar", "ActionSetAnsI", "ActionSetAnsJ"};
constexpr std::string_view kDblByteOper[] = {"ActionSetDblByte", "ActionSetDblByteMul",
                                             "ActionSetDblByteDiv", "ActionSetAutoDblMul",
                                             "ActionSetAutoDblDiv"};
// The prime-factor format is not among them: after a restart the general format holds.
constexpr std::string_view kSubUnit[] = {
    "ActionSetAnsEng", "ActionSetAnsExp",  "ActionSetAnsFix",   "ActionSetAnsN2",
    "ActionSetAnsN2C", "ActionSetAnsN16",  "ActionSetAnsGen",   "ActionSetAnsJpn",
    "ActionSetAnsN60", "ActionSetAnsPar",  "ActionSetAnsDb",    "ActionSetAnsUsr",
    "ActionSetAnsErr", "ActionSetAnsCont", "ActionSetAnsN2Exp", "ActionSetAnsN16Exp",
    "ActionSetAnsTim", "ActionSetAnsTimJ", "ActionSetAnsDeg",   "ActionSetAnsDegJ"};
constexpr std::string_view kHide0[] = {"ActionSetAnsHide0"};
constexpr std::string_view kEng0[] = {"ActionSetAnsEng0"};
constexpr std::string_view kEng1[] = {"ActionSetAnsEng1"};
constexpr std::string_view kAutoKakko[] = {"ActionSetAutoKakko"};
constexpr std::string_view kAutoIndent[] = {"ActionSetAutoIndent"};
constexpr std::string_view kInputAssist[] = {"ActionSetInputAssist"};
constexpr std::string_view kWordWrap[] = {"ActionViewWrap0", "ActionViewWrapN", "ActionViewWrapR",
                                          "ActionViewWrapPaper"};
constexpr std::string_view kBanBreak[] = {"ActionViewWrapBreak"};
constexpr std::string_view kShowLine[] = {"ActionViewLine"};
constexpr std::string_view kShowKakko[] = {"ActionViewKakko", "ActionViewKakkoH"};
constexpr std::string_view kShowMark[] = {"ActionViewMark"};
constexpr std::string_view kShowEof[] = {"ActionViewEof"};
constexpr std::string_view kShowCrLf[] = {"ActionViewCr"};
constexpr std::string_view kShowTab[] = {"ActionViewTab"};
constexpr std::string_view kShowSpace[] = {"ActionViewDSpace"};
constexpr std::string_view kShowColor[] = {"ActionViewColor"};

struct TColorKey {
    std::string_view Suffix;
    TColor TPaintStyle::*Field;
};
constexpr TColorKey kPaneColors[] = {
    {"Text", &TPaintStyle::ColorText},
    {"", &TPaintStyle::Color},
    {"Back", &TPaintStyle::ColorBack},
    {"SelText", &TPaintStyle::ColorSelText},
    {"SelBrush", &TPaintStyle::ColorSelBrush},
    {"SelBrushOff", &TPaintStyle::ColorSelBrushInactive},
    {"UnderLine", &TPaintStyle::ColorUnderLine},
    {"KakkoBrush", &TPaintStyle::ColorKakko},
};
constexpr TColorKey kMarkColors[] = {
    {"Eof", &TPaintStyle::ColorEof},
    {"CrLf", &TPaintStyle::ColorCrLf},
    {"Tab", &TPaintStyle::ColorTab},
    {"Space", &TPaintStyle::ColorDSpace},
};
constexpr TColorKey kSyntaxColors[] = {
    {"ColorComment", &TPaintStyle::ColorComment},
    {"ColorKeyWord", &TPaintStyle::ColorKeyWord},
    {"ColorReserved", &TPaintStyle::ColorReserved},
    {"ColorString", &TPaintStyle::ColorString},
    {"ColorFind", &TPaintStyle::ColorFind},
    {"ColorControl", &TPaintStyle::ColorControl},
    {"ColorStat", &TPaintStyle::ColorStat},
    {"ColorDependence", &TPaintStyle::ColorDependence},
    {"ColorDEq", &TPaintStyle::ColorDEq},
    {"ColorKakko0", &TPaintStyle::ColorKakko0},
    {"ColorKakko1", &TPaintStyle::ColorKakko1},
    {"ColorKakko2", &TPaintStyle::ColorKakko2},
    {"ColorKakko3", &TPaintStyle::ColorKakko3},
    {"ColorKakko4", &TPaintStyle::ColorKakko4},
};

// The ranges numbers are brought into as they are read: pane sizes in pixels, fill widths in
// characters, answer exponents (beyond the extended type's range nothing changes) and digit
// groups.
constexpr int kPanePixels = 16384;
constexpr int kFillWidth = 4096;
constexpr int kExponent = 5000;
constexpr int kGroupDigits = 64;

std::optional<int> Number(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    int value = 0;
    const char* begin = text.data() + (!text.empty() && text.front() == '+');
    const auto [ptr, ec] = std::from_chars(begin, text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || ptr != text.data() + text.size()) return std::nullopt;
    return value;
}

// Reading: each kind of value leaves the current one when the key is missing or unreadable.
class TReader {
public:
    explicit TReader(const TSettingsStore& store) : FStore(store) {}
    void Flags(std::string_view key, TNames actions, TCalcOptions& o) const {
        if (const auto v = FStore.Get(key)) ApplyOptionFlags(o, actions, *v);
    }
    // A number outside what the program can use (a font of 65536 points) is brought into
    // [lo, hi].
    void Int(std::string_view key, int& target, int lo, int hi) const {
        if (const auto v = FStore.Get(key)) {
            if (const auto n = Number(*v)) target = std::clamp(*n, lo, hi);
        }
    }
    template <typename TSetter> void IntTo(std::string_view key, TSetter set) const {
        if (const auto v = FStore.Get(key)) {
            if (const auto n = Number(*v)) set(*n);
        }
    }
    void Bool(std::string_view key, bool& target) const {
        if (const auto v = FStore.Get(key)) {
            if (const auto n = Number(*v)) target = *n != 0;
        }
    }
    void Color(std::string_view key, TColor& target) const {
        if (const auto v = FStore.Get(key)) {
            if (const auto c = StringToColor(*v)) target = *c;
        }
    }
    [[nodiscard]] std::optional<std::string> Text(std::string_view key) const {
        return FStore.Get(key);
    }

private:
    const TSettingsStore& FStore;
};

std::string Key(std::string_view a, std::string_view b) {
    return std::string(a) + std::string(b);
}

}  // namespace

std::optional<std::string> TMemorySettings::Get(std::string_view key) const {
    for (const auto& [k, v] : FEntries) {
        if (k == key) return v;
    }
    return std::nullopt;
}

void TMemorySettings::Set(std::string_view key, std::string_view value) {
    for (auto& [k, v] : FEntries) {
        if (k == key) {
            v = value;
            return;
        }
    }
    FEntries.emplace_back(std::string(key), std::string(value));
}

std::string TMemorySettings::Text() const {
    std::string out;
    for (const auto& [k, v] : FEntries)
        out += k + "=" + v + "\r\n";
    return out;
}

void TMemorySettings::SetText(std::string_view text) {
    FEntries.clear();
    while (!text.empty()) {
        std::size_t end = text.find_first_of("\r\n");
        const std::string_view line = text.substr(0, end);
        const std::size_t eq = line.find('=');
        if (eq != std::string_view::npos && !Get(line.substr(0, eq))) {
            FEntries.emplace_back(std::string(line.substr(0, eq)),
                                  std::string(line.substr(eq + 1)));
        }
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1));
    }
}

TPaintStyle TPaneStyles::Log() const {
    TPaintStyle log = Answer;
    log.ColorDEq = log.ColorComment;
    return log;
}

TCalcOptions FreshInstallOptions() {
    TCalcOptions o;
    o.Hide0 = true;
    o.Eng1 = true;
    o.ViewKakkoH = true;
    o.WindowCalcRun = false;
    o.Format = TAnsFormat::afNon;
    o.FontSize = 11;
    return o;
}

std::vector<std::string> FrameSettingsKeys() {
    TMemorySettings s;
    const TVtCalc calc;
    WriteFrameSettings(s, TCalcOptions{}, calc, TPaneStyles{});
    std::vector<std::string> keys;
    keys.reserve(s.Entries().size());
    for (const auto& [key, value] : s.Entries())
        keys.push_back(key);
    return keys;
}

void ReadFrameSettings(const TSettingsStore& store, TCalcOptions& o, TVtCalc& calc,
                       TPaneStyles& styles) {
    const TReader r(store);
    r.Int("AnsWidth", o.AnsWidth, 0, kPanePixels);
    r.Int("LogHeight", o.LogHeight, 0, kPanePixels);
    r.Flags("AnsWindow", kAnsWindow, o);
    r.Flags("LogWindow", kLogWindow, o);
    r.Flags("CalcExe", kCalcExe, o);
    r.Flags("CalcBar", kCalcBar, o);
    r.Flags("CalcBarEq", kCalcBarEq, o);
    r.Flags("CalcBarAns", kCalcBarAns, o);
    r.Flags("CalcMode", kCalcMode, o);
    r.Flags("CalcRange", kCalcRange, o);
    r.Flags("Radian", kRadian, o);
    r.Flags("dB", kDb, o);
    r.Flags("Ans", kAns, o);
    r.Flags("Tim", kTim, o);
    r.Flags("ValInput", kValInput, o);
    r.Flags("Cplx", kCplx, o);
    r.Flags("DblByteOper", kDblByteOper, o);
    r.Flags("SubUnit", kSubUnit, o);
    r.Flags("Hide0", kHide0, o);
    r.Flags("Eng0", kEng0, o);
    r.Flags("Eng1", kEng1, o);
    r.IntTo("Length", [&o](int v) { o.PendingAnsLength = std::clamp(v, -17, 18); });
    r.IntTo("ExpMin", [&calc](int v) { calc.SetAnsExpMin(std::clamp(v, -kExponent, kExponent)); });
    r.IntTo("ExpMax", [&calc](int v) { calc.SetAnsExpMax(std::clamp(v, -kExponent, kExponent)); });
    r.IntTo("FixMin", [&calc](int v) { calc.SetAnsFixMin(std::clamp(v, -kExponent, kExponent)); });
    r.IntTo("FixMax", [&calc](int v) { calc.SetAnsFixMax(std::clamp(v, -kExponent, kExponent)); });
    if (const auto v = r.Text("UsrFormat"); v && !v->empty()) calc.SetUsrFormat(*v);
    if (const auto v = r.Text("ColChar"); v && !v->empty()) calc.SetAnsColChar(v->front());
    r.IntTo("ColNon", [&calc](int v) { calc.SetAnsColNon(std::clamp(v, 0, kGroupDigits)); });
    r.IntTo("ColFix", [&calc](int v) {
        v = std::clamp(v, 0, kGroupDigits);
        calc.SetAnsColFix(v);
        calc.SetAnsColExp(v);
    });
    r.IntTo("ColN2", [&calc](int v) { calc.SetAnsColN2(std::clamp(v, 0, kGroupDigits)); });
    r.IntTo("ColN16", [&calc](int v) { calc.SetAnsColN16(std::clamp(v, 0, kGroupDigits)); });
    r.Flags("AutoKakko", kAutoKakko, o);
    r.Flags("AutoIndent", kAutoIndent, o);
    for (const auto& [key, field] : {std::pair{"IndentSelect", &TCalcOptions::IndentSelect},
                                     std::pair{"IndentArrow", &TCalcOptions::IndentArrow},
                                     std::pair{"IndentBS", &TCalcOptions::IndentBS},
                                     std::pair{"IndentDel", &TCalcOptions::IndentDel}}) {
        if (const auto v = r.Text(key);
            v && !v->empty() && (v->front() == '0' || v->front() == '1'))
            o.*field = v->front() == '1';
    }
    r.IntTo("IndentChar", [&o](int v) { o.IndentChar = v == 1 ? 1 : 0; });
    r.Flags("InputAssist", kInputAssist, o);
    r.Flags("WordWrap", kWordWrap, o);
    r.Flags("WordWrap.BanBreak", kBanBreak, o);
    r.Int("WordWrap.No", o.WrapWidth, 4, 4096);
    r.Int("ScrollMargin", o.ScrollMargin, 0, 100);
    if (const auto v = r.Text("FillSpace")) {
        const std::size_t comma = v->find(',');
        if (const auto n = Number(std::string_view(*v).substr(0, comma)))
            o.FillSpace[0] = std::clamp(*n, 0, kFillWidth);
        if (comma != std::string::npos) {
            if (const auto n = Number(std::string_view(*v).substr(comma + 1)))
                o.FillSpace[1] = std::clamp(*n, 0, kFillWidth);
        }
    }
    r.Int("Font.Size", o.FontSize, 4, 200);
    if (const auto v = r.Text("Font.Name"); v && !v->empty()) o.FontName = *v;
    r.Int("RowPich", o.RowPitch, 0, 64);
    r.Int("TabStop", o.TabStops, 1, 64);
    if (const auto v = r.Text("HideSelection"); v && (*v == "0" || *v == "1")) {
        styles.Memo.HideSelection = *v == "1";
        styles.Answer.HideSelection = styles.Memo.HideSelection;
    }
    r.Flags("ShowLine", kShowLine, o);
    r.Flags("ShowKakko", kShowKakko, o);
    for (const TColorKey& c : kPaneColors) {
        r.Color(Key("MemoColor", c.Suffix), styles.Memo.*c.Field);
        r.Color(Key("AnsColor", c.Suffix), styles.Answer.*c.Field);
    }
    r.Flags("ShowMark", kShowMark, o);
    r.Flags("ShowEof", kShowEof, o);
    r.Flags("ShowCrLf", kShowCrLf, o);
    r.Flags("ShowTab", kShowTab, o);
    r.Flags("ShowSpace", kShowSpace, o);
    for (const TColorKey& c : kMarkColors) {
        r.Color(Key("MemoColor", c.Suffix), styles.Memo.*c.Field);
        r.Color(Key("AnsColor", c.Suffix), styles.Answer.*c.Field);
    }
    r.Flags("ShowColor", kShowColor, o);
    // The syntax colours are the memo's, copied to the answer pane.
    for (const TColorKey& c : kSyntaxColors) {
        r.Color(c.Suffix, styles.Memo.*c.Field);
        styles.Answer.*c.Field = styles.Memo.*c.Field;
    }
    r.Bool("BoldReserved", o.BoldReserved);
    if (const auto v = r.Text("EditMenu");
        v && !v->empty() && (v->front() == '0' || v->front() == '1'))
        o.EditMenu = v->front() == '1';
    r.Bool("CharColorOn", o.CharColorOn);
    for (std::size_t i = 0; i < o.CharColors.size(); ++i) {
        const auto v = r.Text("CharColor" + std::to_string(i + 1));
        if (!v) continue;
        const std::size_t tab = v->rfind('\t');
        if (tab == std::string::npos) continue;
        if (const auto c = StringToColor(std::string_view(*v).substr(tab + 1))) {
            o.CharColors[i].Chars = v->substr(0, tab);
            o.CharColors[i].Color = *c;
        }
    }
}

void WriteFrameSettings(TSettingsStore& store, const TCalcOptions& o, const TVtCalc& calc,
                        const TPaneStyles& styles) {
    const auto flags = [&](std::string_view key, TNames actions) {
        store.Set(key, OptionFlags(o, actions));
    };
    const auto number = [&](std::string_view key, int v) { store.Set(key, std::to_string(v)); };
    const auto bit = [&](std::string_view key, bool v) { store.Set(key, v ? "1" : "0"); };
    number("AnsWidth", o.AnsWidth);
    number("LogHeight", o.LogHeight);
    flags("AnsWindow", kAnsWindow);
    flags("LogWindow", kLogWindow);
    flags("CalcExe", kCalcExe);
    flags("CalcBar", kCalcBar);
    flags("CalcBarEq", kCalcBarEq);
    flags("CalcBarAns", kCalcBarAns);
    flags("CalcMode", kCalcMode);
    flags("CalcRange", kCalcRange);
    flags("Radian", kRadian);
    flags("dB", kDb);
    flags("Ans", kAns);
    flags("Tim", kTim);
    flags("ValInput", kValInput);
    flags("Cplx", kCplx);
    flags("DblByteOper", kDblByteOper);
    flags("SubUnit", kSubUnit);
    flags("Hide0", kHide0);
    flags("Eng0", kEng0);
    flags("Eng1", kEng1);
    number("Length", o.PendingAnsLength);
    number("ExpMin", calc.AnsExpMin());
    number("ExpMax", calc.AnsExpMax());
    number("FixMin", calc.AnsFixMin());
    number("FixMax", calc.AnsFixMax());
    store.Set("UsrFormat", calc.UsrFormat());
    store.Set("ColChar", std::string(1, calc.AnsColChar()));
    number("ColNon", calc.AnsColNon());
    number("ColFix", calc.AnsColFix());
    number("ColN2", calc.AnsColN2());
    number("ColN16", calc.AnsColN16());
    flags("AutoKakko", kAutoKakko);
    flags("AutoIndent", kAutoIndent);
    bit("IndentSelect", o.IndentSelect);
    bit("IndentArrow", o.IndentArrow);
    bit("IndentBS", o.IndentBS);
    bit("IndentDel", o.IndentDel);
    number("IndentChar", o.IndentChar);
    flags("InputAssist", kInputAssist);
    flags("WordWrap", kWordWrap);
    flags("WordWrap.BanBreak", kBanBreak);
    number("WordWrap.No", o.WrapWidth);
    number("ScrollMargin", o.ScrollMargin);
    store.Set("FillSpace", std::to_string(o.FillSpace[0]) + "," + std::to_string(o.FillSpace[1]));
    number("Font.Size", o.FontSize);
    store.Set("Font.Name", o.FontName);
    number("RowPich", o.RowPitch);
    number("TabStop", o.TabStops);
    bit("HideSelection", styles.Memo.HideSelection);
    flags("ShowLine", kShowLine);
    flags("ShowKakko", kShowKakko);
    for (const TColorKey& c : kPaneColors)
        store.Set(Key("MemoColor", c.Suffix), ColorToString(styles.Memo.*c.Field));
    for (const TColorKey& c : kPaneColors)
        store.Set(Key("AnsColor", c.Suffix), ColorToString(styles.Answer.*c.Field));
    flags("ShowMark", kShowMark);
    flags("ShowEof", kShowEof);
    flags("ShowCrLf", kShowCrLf);
    flags("ShowTab", kShowTab);
    flags("ShowSpace", kShowSpace);
    for (const TColorKey& c : kMarkColors)
        store.Set(Key("MemoColor", c.Suffix), ColorToString(styles.Memo.*c.Field));
    for (const TColorKey& c : kMarkColors)
        store.Set(Key("AnsColor", c.Suffix), ColorToString(styles.Answer.*c.Field));
    flags("ShowColor", kShowColor);
    for (const TColorKey& c : kSyntaxColors)
        store.Set(c.Suffix, ColorToString(styles.Memo.*c.Field));
    number("BoldReserved", o.BoldReserved ? 1 : 0);
    bit("EditMenu", o.EditMenu);
    number("CharColorOn", o.CharColorOn ? 1 : 0);
    for (std::size_t i = 0; i < o.CharColors.size(); ++i) {
        store.Set("CharColor" + std::to_string(i + 1),
                  o.CharColors[i].Chars + "\t" + ColorToString(o.CharColors[i].Color));
    }
}

}  // namespace rekna
