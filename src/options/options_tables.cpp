// The options dialog's settings tables.
#include "options/options_tables.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "grid/vt_grid.h"
#include "options/options_definitions.h"
#include "platform/cp932.h"

namespace rekna {

namespace {

using TNames = std::span<const std::string_view>;

constexpr std::string_view kRangeCols[] = {"", "Min", "Max"};
constexpr std::string_view kRangeRows[] = {"Exp形式", "Fix形式"};
constexpr std::string_view kGroupingCols[] = {"", "桁数"};
constexpr std::string_view kGroupingRows[] = {"Non", "Fix/Exp", "N2", "N16"};
constexpr std::string_view kColorCols[] = {"", "表示", "Memo", "Ans"};
constexpr std::string_view kStdRows[] = {"文字",       "背景",        "領域外", "選択文字",
                                         "ON選択背景", "OFF選択背景", "下線",   "括弧強調"};
constexpr std::string_view kMarkRows[] = {"[EOF]", "改行", "Tab", "全角スペース"};
constexpr std::string_view kSyntaxCols[] = {"", "色"};
constexpr std::string_view kSyntaxRows[] = {
    "コメント",    "関数",         "予約語(VBS)",  "文字列(VBS)",  "#行(制御行)",
    ">行(統計行)", "＝(計算結果)", "機種依存文字", "検索文字背景", "計算括弧1",
    "計算括弧2",   "計算括弧3",    "計算括弧4",    "計算括弧5"};
constexpr std::string_view kCharSetCols[] = {"", "文字", "色"};
constexpr std::string_view kCharSetRows[] = {"1", "2", "3", "4"};
constexpr std::string_view kHotCols[] = {"", "左Ctrl", "右Ctrl"};
constexpr std::string_view kHotRows[] = {"Shift無", "左Shift", "右Shift"};
constexpr std::string_view kTargetItems[] = {" ", "選択範囲", "キャレット行", "自動"};
constexpr std::string_view kActionItems[] = {
    " ", "＝計算結果を記入", "=計算結果を記入", "計算結果で置換", "自動", "＝計算結果を削除"};
constexpr std::string_view kDefCols[] = {"", "名称", "説明", "計算式"};
constexpr std::string_view kOnOff[] = {"ON", "OFF"};

constexpr TColor TPaintStyle::*kStdColors[] = {
    &TPaintStyle::ColorText,      &TPaintStyle::Color,         &TPaintStyle::ColorBack,
    &TPaintStyle::ColorSelText,   &TPaintStyle::ColorSelBrush, &TPaintStyle::ColorSelBrushInactive,
    &TPaintStyle::ColorUnderLine, &TPaintStyle::ColorKakko};
constexpr TColor TPaintStyle::*kMarkColors[] = {&TPaintStyle::ColorEof, &TPaintStyle::ColorCrLf,
                                                &TPaintStyle::ColorTab, &TPaintStyle::ColorDSpace};
constexpr TColor TPaintStyle::*kSyntaxColors[] = {
    &TPaintStyle::ColorComment, &TPaintStyle::ColorKeyWord,    &TPaintStyle::ColorReserved,
    &TPaintStyle::ColorString,  &TPaintStyle::ColorControl,    &TPaintStyle::ColorStat,
    &TPaintStyle::ColorDEq,     &TPaintStyle::ColorDependence, &TPaintStyle::ColorFind,
    &TPaintStyle::ColorKakko0,  &TPaintStyle::ColorKakko1,     &TPaintStyle::ColorKakko2,
    &TPaintStyle::ColorKakko3,  &TPaintStyle::ColorKakko4};
// The ON/OFF rows of the standard table: OFF選択背景 ON shows the selection without the focus.
constexpr bool TCalcOptions::*kStdSwitches[] = {nullptr, &TCalcOptions::ViewLine,
                                                &TCalcOptions::ViewKakko};
constexpr bool TCalcOptions::*kMarkSwitches[] = {&TCalcOptions::ViewEof, &TCalcOptions::ViewCr,
                                                 &TCalcOptions::ViewTab, &TCalcOptions::ViewDSpace};

void Layout(TVtGrid& g, TNames cols, TNames rows) {
    g.SetColCount(static_cast<int>(cols.size()));
    g.SetRowCount(static_cast<int>(rows.size()) + 1);
    g.SetFixedCols(1);
    g.SetFixedRows(1);
    for (std::size_t c = 0; c < cols.size(); ++c)
        g.SetCells(static_cast<int>(c), 0, Utf8ToCp932(cols[c]));
    for (std::size_t r = 0; r < rows.size(); ++r)
        g.SetCells(0, static_cast<int>(r) + 1, Utf8ToCp932(rows[r]));
}

// A parameter with a cell action of its own, for cells to point to.
int KindParam(TVtGrid& g, TVtCellMode mode, TVtEditDataType type, TNames items = {}) {
    TVtCellAction a;
    a.Mode = mode;
    a.EditDataType = type;
    for (const std::string_view item : items)
        a.Items.push_back(Utf8ToCp932(item));
    TVtParam p;
    p.CellActions = g.AddCellAction(std::move(a));
    return g.AddParam(p);
}

void SetKind(TVtGrid& g, int col0, int col1, int param) {
    for (int r = 1; r < g.RowCount(); ++r)
        for (int c = col0; c <= col1; ++c)
            g.SetCellParam(c, r, param);
}

void Label(TVtGrid& g, int col, int row) {
    g.SetCellParam(col, row, KindParam(g, TVtCellMode::cmLabel, TVtEditDataType::dtString));
    g.SetCells(col, row, "");
}

std::optional<int> CellNumber(const TVtGrid& g, int col, int row) {
    const std::string& text = g.Cells(col, row);
    if (text.empty()) return std::nullopt;
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || *end != '\0' || !std::isfinite(v) || std::fabs(v) > 1e6)
        return std::nullopt;
    return static_cast<int>(std::lround(v));
}

void PutNumber(TVtGrid& g, int col, int row, int v) {
    g.SetCells(col, row, std::to_string(v));
}

// A number that differs from the setting, brought into lo..hi; true when it changed it.
bool ReadLimited(const TVtGrid& g, int col, int row, int& target, int lo, int hi) {
    const std::optional<int> v = CellNumber(g, col, row);
    if (!v || *v == target) return false;
    target = std::clamp(*v, lo, hi);
    return true;
}

void PutColor(TVtGrid& g, int col, int row, TColor c) {
    g.SetCells(col, row, ColorToString(c));
}

void ReadColor(const TVtGrid& g, int col, int row, TColor& target) {
    if (const auto c = StringToColor(g.Cells(col, row))) target = *c;
}

void PutSwitch(TVtGrid& g, int col, int row, bool on) {
    g.SetCells(col, row, Utf8ToCp932(on ? kOnOff[0] : kOnOff[1]));
}

void ReadSwitch(const TVtGrid& g, int col, int row, bool& target) {
    const int i = g.ListIndex(col, row);
    if (i >= 0) target = i == 0;
}

}  // namespace

void SetUpOptionTable(TOptionTable table, TVtGrid& g) {
    using M = TVtCellMode;
    using D = TVtEditDataType;
    switch (table) {
    case TOptionTable::otRange:
        Layout(g, kRangeCols, kRangeRows);
        SetKind(g, 1, 2, KindParam(g, M::cmEdit, D::dtInteger));
        break;
    case TOptionTable::otGrouping:
        Layout(g, kGroupingCols, kGroupingRows);
        SetKind(g, 1, 1, KindParam(g, M::cmEdit, D::dtPosInteger));
        break;
    case TOptionTable::otStdColors:
    case TOptionTable::otMarks: {
        const bool std = table == TOptionTable::otStdColors;
        Layout(g, kColorCols, std ? TNames(kStdRows) : TNames(kMarkRows));
        SetKind(g, 1, 1, KindParam(g, M::cmList, D::dtString, kOnOff));
        SetKind(g, 2, 3, KindParam(g, M::cmColor, D::dtColor));
        if (std) {
            for (int r = 1; r <= 5; ++r)
                Label(g, 1, r);
        }
        break;
    }
    case TOptionTable::otSyntax:
        Layout(g, kSyntaxCols, kSyntaxRows);
        SetKind(g, 1, 1, KindParam(g, M::cmColor, D::dtColor));
        break;
    case TOptionTable::otCharSets:
        Layout(g, kCharSetCols, kCharSetRows);
        SetKind(g, 1, 1, KindParam(g, M::cmEdit, D::dtString));
        SetKind(g, 2, 2, KindParam(g, M::cmColor, D::dtColor));
        break;
    case TOptionTable::otHotTargets:
    case TOptionTable::otHotActions:
        Layout(g, kHotCols, kHotRows);
        SetKind(g, 1, 2,
                KindParam(g, M::cmList, D::dtString,
                          table == TOptionTable::otHotTargets ? TNames(kTargetItems)
                                                              : TNames(kActionItems)));
        break;
    case TOptionTable::otDefinitions:
        Layout(g, kDefCols, {});
        // A grid of one row has no room for a header row: the header comes with the first row.
        g.SetRowCount(2);
        g.SetFixedRows(1);
        NumberDefinitionRows(g);
        break;
    }
}

void LoadOptionTable(TOptionTable table, const TOptionsState& s, TVtGrid& g) {
    const TEngineNumbers& n = s.Numbers;
    const TCalcOptions& o = s.Options;
    switch (table) {
    case TOptionTable::otRange:
        PutNumber(g, 1, 1, n.ExpMin);
        PutNumber(g, 2, 1, n.ExpMax);
        PutNumber(g, 1, 2, n.FixMin);
        PutNumber(g, 2, 2, n.FixMax);
        break;
    case TOptionTable::otGrouping:
        PutNumber(g, 1, 1, n.ColNon);
        PutNumber(g, 1, 2, n.ColFix);
        PutNumber(g, 1, 3, n.ColN2);
        PutNumber(g, 1, 4, n.ColN16);
        break;
    case TOptionTable::otStdColors:
        for (int r = 1; r <= 8; ++r) {
            PutColor(g, 2, r, s.Styles.Memo.*kStdColors[r - 1]);
            PutColor(g, 3, r, s.Styles.Answer.*kStdColors[r - 1]);
        }
        PutSwitch(g, 1, 6, !s.Styles.Memo.HideSelection);
        PutSwitch(g, 1, 7, o.*kStdSwitches[1]);
        PutSwitch(g, 1, 8, o.*kStdSwitches[2]);
        break;
    case TOptionTable::otMarks:
        for (int r = 1; r <= 4; ++r) {
            PutSwitch(g, 1, r, o.*kMarkSwitches[r - 1]);
            PutColor(g, 2, r, s.Styles.Memo.*kMarkColors[r - 1]);
            PutColor(g, 3, r, s.Styles.Answer.*kMarkColors[r - 1]);
        }
        break;
    case TOptionTable::otSyntax:
        for (int r = 1; r <= 14; ++r)
            PutColor(g, 1, r, s.Styles.Memo.*kSyntaxColors[r - 1]);
        break;
    case TOptionTable::otCharSets:
        for (int r = 1; r <= 4; ++r) {
            g.SetCells(1, r, o.CharColors[static_cast<std::size_t>(r - 1)].Chars);
            PutColor(g, 2, r, o.CharColors[static_cast<std::size_t>(r - 1)].Color);
        }
        break;
    case TOptionTable::otHotTargets:
    case TOptionTable::otHotActions: {
        const std::array<int, 12> t = HotKeyTable(s.Main);
        for (int ctrl = 1; ctrl <= 2; ++ctrl) {
            for (int shift = 1; shift <= 3; ++shift) {
                const int i = table == TOptionTable::otHotTargets ? HotKeyTargetIndex(ctrl, shift)
                                                                  : HotKeyActionIndex(ctrl, shift);
                g.SetListIndex(ctrl, shift, t[static_cast<std::size_t>(i)]);
            }
        }
        break;
    }
    case TOptionTable::otDefinitions: {
        const TDefinitionText text(s.DefText);
        const std::vector<TDefRow>& rows = text.Rows();
        g.SetRowCount(static_cast<int>(std::max<std::size_t>(rows.size(), 1)) + 1);
        for (int r = 1; r < g.RowCount(); ++r)
            for (int c = 1; c <= 3; ++c)
                g.SetCells(c, r, "");
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const int r = static_cast<int>(i) + 1;
            g.SetCells(1, r, rows[i].Name);
            g.SetCells(2, r, rows[i].Description);
            g.SetCells(3, r, rows[i].Formula);
        }
        NumberDefinitionRows(g);
        g.ClearUndo();
        g.SetModified(false);
        break;
    }
    }
}

void StoreOptionTable(TOptionTable table, const TVtGrid& g, TOptionsState& s) {
    TEngineNumbers& n = s.Numbers;
    TCalcOptions& o = s.Options;
    switch (table) {
    case TOptionTable::otRange:
        // A changed number never leaves its range nor puts a Max below its Min; an unchanged
        // one stays as the settings had it.
        for (int r = 1; r <= 2; ++r) {
            int& lo = r == 1 ? n.ExpMin : n.FixMin;
            int& hi = r == 1 ? n.ExpMax : n.FixMax;
            const bool changed = ReadLimited(g, 1, r, lo, -kRangeLimit, kRangeLimit) |
                                 ReadLimited(g, 2, r, hi, -kRangeLimit, kRangeLimit);
            if (changed) hi = std::max(hi, lo);
        }
        break;
    case TOptionTable::otGrouping:
        ReadLimited(g, 1, 1, n.ColNon, 0, kGroupLimit);
        ReadLimited(g, 1, 2, n.ColFix, 0, kGroupLimit);
        ReadLimited(g, 1, 3, n.ColN2, 0, kGroupLimit);
        ReadLimited(g, 1, 4, n.ColN16, 0, kGroupLimit);
        break;
    case TOptionTable::otStdColors: {
        for (int r = 1; r <= 8; ++r) {
            ReadColor(g, 2, r, s.Styles.Memo.*kStdColors[r - 1]);
            ReadColor(g, 3, r, s.Styles.Answer.*kStdColors[r - 1]);
        }
        bool showInactive = !s.Styles.Memo.HideSelection;
        ReadSwitch(g, 1, 6, showInactive);
        s.Styles.Memo.HideSelection = !showInactive;
        s.Styles.Answer.HideSelection = !showInactive;
        ReadSwitch(g, 1, 7, o.*kStdSwitches[1]);
        ReadSwitch(g, 1, 8, o.*kStdSwitches[2]);
        break;
    }
    case TOptionTable::otMarks:
        for (int r = 1; r <= 4; ++r) {
            ReadSwitch(g, 1, r, o.*kMarkSwitches[r - 1]);
            ReadColor(g, 2, r, s.Styles.Memo.*kMarkColors[r - 1]);
            ReadColor(g, 3, r, s.Styles.Answer.*kMarkColors[r - 1]);
        }
        break;
    case TOptionTable::otSyntax:
        for (int r = 1; r <= 14; ++r) {
            ReadColor(g, 1, r, s.Styles.Memo.*kSyntaxColors[r - 1]);
            s.Styles.Answer.*kSyntaxColors[r - 1] = s.Styles.Memo.*kSyntaxColors[r - 1];
        }
        break;
    case TOptionTable::otCharSets:
        for (int r = 1; r <= 4; ++r) {
            TCharColorClass& c = o.CharColors[static_cast<std::size_t>(r - 1)];
            c.Chars = g.Cells(1, r);
            ReadColor(g, 2, r, c.Color);
        }
        break;
    case TOptionTable::otHotTargets:
    case TOptionTable::otHotActions: {
        std::array<int, 12> t = HotKeyTable(s.Main);
        for (int ctrl = 1; ctrl <= 2; ++ctrl) {
            for (int shift = 1; shift <= 3; ++shift) {
                const int i = table == TOptionTable::otHotTargets ? HotKeyTargetIndex(ctrl, shift)
                                                                  : HotKeyActionIndex(ctrl, shift);
                if (const int item = g.ListIndex(ctrl, shift); item >= 0)
                    t[static_cast<std::size_t>(i)] = item;
            }
        }
        SetHotKeyTable(s.Main, t);
        break;
    }
    case TOptionTable::otDefinitions: {
        if (!g.Modified()) break;
        const TDefinitionText text(s.DefText);
        std::vector<TDefRow> rows;
        for (int r = 1; r < g.RowCount(); ++r)
            rows.push_back({g.Cells(1, r), g.Cells(2, r), g.Cells(3, r)});
        s.DefText = text.Compose(rows);
        break;
    }
    }
}

std::string ClampOptionTable(TOptionTable table, TVtGrid& g) {
    std::string hint;
    const auto put = [&](int col, int row, int v, const std::string& why) {
        const std::optional<int> old = CellNumber(g, col, row);
        if (old && *old == v && g.Cells(col, row) == std::to_string(v)) return;
        PutNumber(g, col, row, v);
        if (!hint.empty()) hint += "、";
        hint += Cp932ToUtf8(g.Cells(0, row)) + " " + Cp932ToUtf8(g.Cells(col, 0)) + " を " +
                std::to_string(v) + " にしました (" + why + ")";
    };
    const auto range = [](int lo, int hi) {
        return std::to_string(lo) + "～" + std::to_string(hi);
    };
    switch (table) {
    case TOptionTable::otRange:
        for (int r = 1; r <= 2; ++r) {
            std::optional<int> v[2] = {CellNumber(g, 1, r), CellNumber(g, 2, r)};
            std::string why[2];
            for (int i = 0; i < 2; ++i) {
                if (v[i] && (*v[i] < -kRangeLimit || *v[i] > kRangeLimit)) {
                    v[i] = std::clamp(*v[i], -kRangeLimit, kRangeLimit);
                    why[i] = range(-kRangeLimit, kRangeLimit);
                }
            }
            if (v[0] && v[1] && *v[1] < *v[0]) {
                const bool minGives = g.Col() == 1 && g.Row() == r;
                v[minGives ? 0 : 1] = minGives ? *v[1] : *v[0];
                why[minGives ? 0 : 1] = minGives ? "Max 以下" : "Min 以上";
            }
            for (int i = 0; i < 2; ++i)
                if (!why[i].empty()) put(i + 1, r, *v[i], why[i]);
        }
        break;
    case TOptionTable::otGrouping:
        for (int r = 1; r <= 4; ++r) {
            if (const std::optional<int> v = CellNumber(g, 1, r); v && (*v < 0 || *v > kGroupLimit))
                put(1, r, std::clamp(*v, 0, kGroupLimit), range(0, kGroupLimit));
        }
        break;
    default: break;
    }
    return hint;
}

void NumberDefinitionRows(TVtGrid& g) {
    for (int r = 1; r < g.RowCount(); ++r)
        g.SetCells(0, r, std::to_string(r));
}

}  // namespace rekna
