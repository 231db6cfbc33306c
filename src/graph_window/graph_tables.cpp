// The graph window's seven settings tables: schema, defaults, validation, lines and file.
#include "graph_window/graph_tables.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "grid/vt_values.h"
#include "platform/cp932.h"

namespace rekna {

namespace {

using enum TGraphTableId;

// One row of a table: its label, the kind of each cell from column 1 on, and its design
// contents (TAB-separated, UTF-8). Kinds: t text, x calculation text, o ON/OFF, c colour,
// i non-negative integer, n integer, f non-negative fraction, e engineering number, - label;
// capital letters are the lists of kListItems.
struct TRowDesign {
    const char* Label;
    const char* Kinds;
    const char* Cells;
};

struct TTableDesign {
    const char* Section;
    const char* Caption;
    const char* Headers;  // TAB-separated, from column 1
    std::vector<TRowDesign> Rows;
};

struct TListDesign {
    char Kind;
    const char* Items;  // TAB-separated
};

const TListDesign kListItems[] = {
    {'K', "Re\tIm\tAbs\tArg\tdB10\tdB20\tDeg"},
    {'Y', "Y\tR"},
    {'S', "実線\t点線\t破線\t1点鎖線\t2点鎖線"},
    {'L', "Lin\tLog\tALog"},
    {'P', "上\t下\t左\t右\t縦\t横"},
    {'F', "Gen\tExp\tFix\tNum\tEng\tUsr"},
    {'N', "ＭＳ ゴシック\tＭＳ Ｐゴシック\tＭＳ 明朝\tＭＳ Ｐ明朝"},
    {'W', "なし\t実線\t点線\t破線"},
    {'B', "なし\t実線\t点線\t破線\t点"},
    {'A', "実線\t破線\t点線\t一点鎖線\t二点鎖線\tOFF"},
    {'O', "ON\tOFF"},
};

constexpr const char* kFormulaRow = "oxtKYciS";

const TTableDesign& Design(TGraphTableId id) {
    static const TTableDesign designs[kGraphTableCount] = {
        {"Calc",
         "数式・凡例",
         "変数/表示\t数式\t凡例\t値\t軸\t色\t幅\t線種",
         {{"X", "t-------", "X"},
          {"Y[1]", kFormulaRow, "ON\tX\t\tRe\tY\tclBlack\t1\t実線"},
          {"Y[2]", kFormulaRow, "ON\tSin(X)\t\tRe\tY\tclBlue\t1\t実線"},
          {"Y[3]", kFormulaRow, "ON\tTan(X)\t\tRe\tY\tclRed\t1\t実線"},
          {"Y[4]", kFormulaRow, "ON\t\t \tRe\tY\tclLime\t1\t実線"},
          {"Y[5]", kFormulaRow, "ON\t\t \tRe\tY\tclAqua\t1\t実線"},
          {"Y[6]", kFormulaRow, "ON\t\t \tRe\tY\tclFuchsia\t1\t実線"},
          {"Y[7]", kFormulaRow, "ON\t\t\tRe\tY\tclMaroon\t1\t実線"},
          {"Y[8]", kFormulaRow, "ON\t\t\tRe\tY\tclYellow\t1\t実線"},
          {"Y[9]", kFormulaRow, "ON\t\t\tRe\tY\tclGreen\t1\t実線"},
          {"Y[10]", kFormulaRow, "ON\t\t\tRe\tY\tclPurple\t1\t実線"}}},
        {"Range",
         "タイトル・範囲",
         "表示\tタイトル\t形式\t最小\t最大\t分割数\t配置\t余裕\t余白",
         {{"表題", "ot----fii", "ON\t数式グラフ\t\t\t\t\t50\t3\t4"},
          {"凡例", "otPnn-fi-", "OFF\t\t上\t90\t90\t\t50\t3\t"},
          {"X-軸", "otLtttfii", "ON\tX軸\tLin\t-5\t5\t0\t50\t1\t4"},
          {"Y-軸", "otLtt-fii", "ON\tY軸\tLin\t-5\t5\t\t50\t3\t4"},
          {"R-軸", "otLtt-fii", "OFF\tR軸\tLin\t-5\t5\t\t50\t3\t4"}}},
        {"Ticks",
         "目盛",
         "目盛\t主間隔\t副分割\t数値\t幅(%)"
         "\t配置\t余裕\t書式\tUsr\t自動\t精度\t桁数\t主内\t主外\t副内\t副外",
         {{"X-軸", "oeioifiFtoiiiiii", "ON\t0\t0\tON\t200\t50\t4\tEng\t0.0\tON\t3\t1\t6\t0\t3\t0"},
          {"Y-軸", "oeioifiFtoiiiiii", "ON\t0\t0\tON\t250\t55\t3\tEng\t0.0\tON\t3\t1\t6\t0\t3\t0"},
          {"R-軸", "oeioifiFtoiiiiii",
           "ON\t0\t0\tON\t250\t55\t5\tEng\t0.0\tON\t3\t1\t6\t0\t3\t0"}}},
        {"Font",
         "フォント・枠",
         "フォント名\tサイズ\t色\t背景\t枠\t線幅\t線色\t余裕\t間隔\t線長",
         {{"全体", "--ccWic---", "\t\tclWhite\tclWhite\t実線\t1\tclBlack"},
          {"表題", "NiccBici--", "ＭＳ ゴシック\t12\tclBlack\tclWhite\tなし\t1\tclGray\t3"},
          {"凡例", "NiccBiciii", "ＭＳ ゴシック\t10\tclBlack\tclWhite\tなし\t1\tclGray\t3\t4\t100"},
          {"X-軸", "Nic-------", "ＭＳ ゴシック\t11\tclBlack"},
          {"Y-軸", "Nic-------", "ＭＳ ゴシック\t11\tclBlack"},
          {"R-軸", "Nic-------", "ＭＳ ゴシック\t11\tclBlack"},
          {"X-数", "Nic-------", "ＭＳ ゴシック\t9\tclBlack"},
          {"Y-数", "Nic-------", "ＭＳ ゴシック\t9\tclBlack"},
          {"R-数", "Nic-------", "ＭＳ ゴシック\t9\tclBlack"}}},
        {"Line",
         "軸線",
         "軸\t幅\t色\t格子\t幅\t色\t主目盛\t幅\t色\t副目盛\t幅\t色",
         {{"X-軸", "AicAicAicAic",
           "実線\t1\tclSilver\t点線\t1\tclSilver\t実線\t1\tclBlack\t実線\t1\tclGray"},
          {"Y-軸", "AicAicAicAic",
           "実線\t1\tclSilver\t点線\t1\tclSilver\t実線\t1\tclBlack\t実線\t1\tclGray"},
          {"R-軸", "AicAicAicAic",
           "OFF\t1\tclSilver\tOFF\t1\tclSilver\t実線\t1\tclBlack\t実線\t1\tclGray"}}},
        {"Marker",
         "マーカー",
         "値1\t値2\t値3\t値4\t値5\t値1-値2",
         {{"X", "eeeee-", ""},
          {"Y1", "------", ""},
          {"Y2", "------", ""},
          {"Y3", "------", ""},
          {"Y4", "------", ""},
          {"Y5", "------", ""},
          {"Y6", "------", ""},
          {"Y7", "------", ""},
          {"Y8", "------", ""},
          {"Y9", "------", ""},
          {"Y10", "------", ""}}},
        {"Data",
         "データ",
         "X\tY1\tY2\tY3\tY4\tY5",
         {{"色", "-ccccc", "\tclBlack\tclMaroon\tclGreen\tclOlive\tclNavy"},
          {"幅", "-iiiii", "\t6\t6\t6\t6\t6"},
          {"軸", "-YYYYY", "\tY\tY\tY\tY\tY"}}},
    };
    return designs[static_cast<std::size_t>(id)];
}

constexpr int kDesignDataRows = 10;
constexpr const char* kDataRowKinds = "eeeeee";

std::vector<std::string> SplitTabs(std::string_view text) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t tab = text.find('\t', start);
        parts.emplace_back(
            text.substr(start, tab == std::string_view::npos ? text.npos : tab - start));
        if (tab == std::string_view::npos) break;
        start = tab + 1;
    }
    return parts;
}

std::string JoinCells(const TVtGrid& grid, int row) {
    std::string line;
    for (int col = 1; col < grid.ColCount(); ++col) {
        if (col > 1) line += '\t';
        line += grid.Cells(col, row);
    }
    return line;
}

// The kind letter of a cell by the design (data rows and columns past the design are labels).
char DesignKind(TGraphTableId id, int col, int row) {
    const TTableDesign& d = Design(id);
    const char* kinds = nullptr;
    if (row >= 1 && row <= static_cast<int>(d.Rows.size())) {
        kinds = d.Rows[static_cast<std::size_t>(row - 1)].Kinds;
    } else if (id == TGraphTableId::gtData && row > static_cast<int>(d.Rows.size())) {
        kinds = kDataRowKinds;
    }
    if (!kinds || col < 1 || col > static_cast<int>(std::char_traits<char>::length(kinds)))
        return '-';
    return kinds[col - 1];
}

TVtCellAction ActionOf(char kind) {
    TVtCellAction a;
    switch (kind) {
    case 't': a.EditDataType = TVtEditDataType::dtString; break;
    case 'x': a.EditDataType = TVtEditDataType::dtCalc; break;
    case 'c':
        a.Mode = TVtCellMode::cmColor;
        a.EditDataType = TVtEditDataType::dtColor;
        break;
    case 'i': a.EditDataType = TVtEditDataType::dtPosInteger; break;
    case 'n': a.EditDataType = TVtEditDataType::dtInteger; break;
    case 'f': a.EditDataType = TVtEditDataType::dtPosFrac; break;
    case 'e': a.EditDataType = TVtEditDataType::dtEng; break;
    case '-': a.Mode = TVtCellMode::cmLabel; break;
    default: {
        const char listKind = kind == 'o' ? 'O' : kind;
        a.Mode = TVtCellMode::cmListBox;
        for (const TListDesign& list : kListItems) {
            if (list.Kind != listKind) continue;
            for (const std::string& item : SplitTabs(list.Items))
                a.Items.push_back(SysText(item));
        }
        if (kind == 'o') a.Mode = TVtCellMode::cmList;
        break;
    }
    }
    return a;
}

struct TRange {
    TGraphTableId Table;
    int Col;
    int Min;
    int Max;
};

const TRange kRanges[] = {
    {TGraphTableId::gtCalc, gcol::kWidth, 1, 10},
    {TGraphTableId::gtRange, gcol::kSpace, 0, 50},
    {TGraphTableId::gtRange, gcol::kMargin, 0, 50},
    {TGraphTableId::gtTicks, gcol::kSub, 0, 20},
    {TGraphTableId::gtTicks, gcol::kSize, 50, 1000},
    {TGraphTableId::gtTicks, gcol::kLabelAlign, 0, 100},
    {TGraphTableId::gtTicks, gcol::kLabelSpace, 0, 50},
    {TGraphTableId::gtTicks, gcol::kPrecision, 1, 18},
    {TGraphTableId::gtTicks, gcol::kDigits, 0, 20},
    {TGraphTableId::gtTicks, gcol::kInner, 0, 20},
    {TGraphTableId::gtTicks, gcol::kOuter, 0, 20},
    {TGraphTableId::gtTicks, gcol::kSubInner, 0, 20},
    {TGraphTableId::gtTicks, gcol::kSubOuter, 0, 20},
    {TGraphTableId::gtFont, gcol::kFontSize, 8, 28},
    {TGraphTableId::gtFont, gcol::kFrameWidth, 0, 10},
    {TGraphTableId::gtFont, gcol::kFrameSpace, 0, 50},
    {TGraphTableId::gtFont, gcol::kSpacing, 0, 50},
    {TGraphTableId::gtLine, 2, 1, 10},
    {TGraphTableId::gtLine, 5, 1, 10},
    {TGraphTableId::gtLine, 8, 1, 10},
    {TGraphTableId::gtLine, 11, 1, 10},
};

bool NonNegativeKind(char kind) {
    return kind == 'i' || kind == 'f';
}

// A number cell's text as a number, when it holds one.
bool ReadNumber(const std::string& text, double& value) {
    if (text.empty()) return false;
    value = ParseEngineering(text);
    return !std::isnan(value);
}

std::string IntText(long long v) {
    return std::to_string(v);
}

}  // namespace

TGraphTables::TGraphTables(const std::array<TVtGrid*, kGraphTableCount>& grids) {
    for (std::size_t i = 0; i < FTables.size(); ++i)
        FTables[i] = grids[i] ? grids[i] : &FOwned[i];
    Reset();
}

std::string_view TGraphTables::SectionName(TGraphTableId id) noexcept {
    return Design(id).Section;
}

std::string TGraphTables::PageCaption(TGraphTableId id) {
    return SysText(Design(id).Caption);
}

void TGraphTables::Reset() {
    for (int i = 0; i < kGraphTableCount; ++i)
        ResetTable(static_cast<TGraphTableId>(i));
}

void TGraphTables::ResetTable(TGraphTableId id) {
    Build(id);
    Validate(id);
}

void TGraphTables::Build(TGraphTableId id) {
    // The grid is emptied in place: a widget's grid keeps its events and clipboard.
    TVtGrid& grid = Table(id);
    grid.ClearUndo();
    grid.VtCellActions().clear();
    grid.VtCellStyles().clear();
    grid.VtParams().clear();
    grid.SetColCount(1);
    grid.SetRowCount(1);
    grid.SetCells(0, 0, "");
    grid.SetCellParam(0, 0, -1);
    FParams[static_cast<std::size_t>(id)].clear();
    const TTableDesign& d = Design(id);
    const std::vector<std::string> headers = SplitTabs(d.Headers);
    const int rows =
        static_cast<int>(d.Rows.size()) + (id == TGraphTableId::gtData ? kDesignDataRows : 0);
    grid.SetColCount(static_cast<int>(headers.size()) + 1);
    grid.SetRowCount(rows + 1);
    grid.SetFixedCols(1);
    grid.SetFixedRows(1);
    grid.AddCellStyle({TVtAlignment::taCenter, TVtLayout::tlCenter, 1, fsBold});
    grid.SetColWidth(0, 56);
    for (std::size_t c = 0; c < headers.size(); ++c) {
        const int col = static_cast<int>(c) + 1;
        grid.SetCells(col, 0, SysText(headers[c]));
        const int chars = static_cast<int>(headers[c].size());
        // Number columns that the window writes into are wide enough for its numbers.
        const bool numbers =
            id == gtMarker || (id == gtRange && (col == gcol::kMin || col == gcol::kMax));
        grid.SetColWidth(col, id == gtCalc && col == gcol::kFormula ? 180
                              : numbers                             ? 96
                                                                    : std::max(52, 10 + chars * 5));
    }
    for (int row = 1; row <= rows; ++row) {
        const bool designed = row <= static_cast<int>(d.Rows.size());
        grid.SetCells(0, row,
                      designed ? SysText(d.Rows[static_cast<std::size_t>(row - 1)].Label)
                               : IntText(row - static_cast<int>(d.Rows.size())));
        const std::vector<std::string> cells =
            designed ? SplitTabs(d.Rows[static_cast<std::size_t>(row - 1)].Cells)
                     : std::vector<std::string>();
        for (int col = 1; col < grid.ColCount(); ++col) {
            grid.SetCellParam(col, row, Param(id, DesignKind(id, col, row)));
            if (col - 1 < static_cast<int>(cells.size()))
                grid.SetCells(col, row, SysText(cells[static_cast<std::size_t>(col - 1)]));
        }
    }
    grid.FocusCell(1, 1, false);
    grid.ClearUndo();
    grid.SetModified(false);
}

int TGraphTables::Param(TGraphTableId id, char kind) {
    std::map<char, int>& params = FParams[static_cast<std::size_t>(id)];
    const auto found = params.find(kind);
    if (found != params.end()) return found->second;
    TVtGrid& grid = Table(id);
    TVtParam param;
    param.CellActions = grid.AddCellAction(ActionOf(kind));
    if (kind == '-') param.Color = RgbColor(0xF0, 0xF0, 0xF0);
    if (kind == 't' || kind == 'x')
        param.CellStyles =
            grid.AddCellStyle({TVtAlignment::taLeftJustify, TVtLayout::tlCenter, 2, 0});
    const int index = grid.AddParam(param);
    params.emplace(kind, index);
    return index;
}

void TGraphTables::SetFormulaKind(bool calculation) {
    TVtGrid& grid = Table(gtCalc);
    for (int row = grow::kX + 1; row < grid.RowCount(); ++row)
        grid.SetCellParam(gcol::kFormula, row, Param(gtCalc, calculation ? 'x' : 't'));
}

bool TGraphTables::Editable(const TVtGrid& grid, int col, int row) {
    return grid.InGrid(col, row) && !grid.IsFixed(col, row) &&
           grid.CellAction(col, row).Mode != TVtCellMode::cmLabel;
}

void TGraphTables::Validate(TGraphTableId id) {
    TVtGrid& grid = Table(id);
    for (int row = 1; row < grid.RowCount(); ++row) {
        for (int col = 1; col < grid.ColCount(); ++col) {
            const char kind = DesignKind(id, col, row);
            if (!NonNegativeKind(kind) && kind != 'e' && kind != 'n') continue;
            double v = 0;
            if (!ReadNumber(grid.Cells(col, row), v)) continue;
            if (v < 0 && kind != 'e' && kind != 'n') {
                grid.SetCells(col, row, "0");
                v = 0;
            }
            for (const TRange& r : kRanges) {
                if (r.Table != id || r.Col != col) continue;
                if (v > r.Max) grid.SetCells(col, row, IntText(r.Max));
                if (v < r.Min) grid.SetCells(col, row, IntText(r.Min));
            }
        }
    }
    SetDependentCells();
}

void TGraphTables::ValidateAll() {
    for (int i = 0; i < kGraphTableCount; ++i)
        Validate(static_cast<TGraphTableId>(i));
}

void TGraphTables::SetDependentCells() {
    TVtGrid& calc = Table(TGraphTableId::gtCalc);
    for (int row = 2; row < calc.RowCount(); ++row) {
        const bool wide = Int(TGraphTableId::gtCalc, gcol::kWidth, row, 1) >= 2;
        calc.SetCellParam(gcol::kStyle, row, Param(TGraphTableId::gtCalc, wide ? '-' : 'S'));
    }
    TVtGrid& ticks = Table(TGraphTableId::gtTicks);
    for (int row = 1; row < ticks.RowCount(); ++row) {
        const bool usr = Item(TGraphTableId::gtTicks, gcol::kFormat, row, 4) == 5;
        ticks.SetCellParam(gcol::kUsr, row, Param(TGraphTableId::gtTicks, usr ? 't' : '-'));
    }
}

int TGraphTables::Int(TGraphTableId id, int col, int row, int fallback) const {
    double v = 0;
    if (!ReadNumber(Text(id, col, row), v) || std::fabs(v) > 2e9) return fallback;
    return static_cast<int>(std::lround(v));
}

double TGraphTables::Number(TGraphTableId id, int col, int row, double fallback) const {
    double v = 0;
    return ReadNumber(Text(id, col, row), v) ? v : fallback;
}

bool TGraphTables::On(TGraphTableId id, int col, int row) const {
    return Text(id, col, row) == "ON";
}

int TGraphTables::Item(TGraphTableId id, int col, int row, int fallback) const {
    const char kind = DesignKind(id, col, row);
    const TVtCellAction action = ActionOf(kind);
    const std::string& text = Text(id, col, row);
    for (std::size_t i = 0; i < action.Items.size(); ++i)
        if (action.Items[i] == text) return static_cast<int>(i);
    return fallback;
}

TColor TGraphTables::Color(TGraphTableId id, int col, int row, TColor fallback) const {
    const std::optional<TColor> c = StringToColor(Text(id, col, row));
    return c ? *c : fallback;
}

std::vector<std::string> TGraphTables::SettingsLines() const {
    std::vector<std::string> lines;
    for (const TGraphTableId id : kStoredGraphTables) {
        const TVtGrid& grid = Table(id);
        const std::string section(SectionName(id));
        for (int row = 1; row < grid.RowCount(); ++row)
            lines.push_back(section + "." + grid.Cells(0, row) + "=" + JoinCells(grid, row));
    }
    return lines;
}

namespace {

// A data row's number from its label: digits only, 1 .. kMaxGraphDataRows; 0 otherwise.
int DataRowNumber(std::string_view label) {
    if (label.empty() || label.find_first_not_of("0123456789") != std::string_view::npos) return 0;
    long long n = 0;
    for (const char c : label) {
        n = n * 10 + (c - '0');
        if (n > kMaxGraphDataRows) return 0;
    }
    return static_cast<int>(n);
}

struct TSettingsLine {
    std::string_view Section;
    std::string_view Label;
    std::string_view Cells;
};

bool SplitSettingsLine(std::string_view line, TSettingsLine& out) {
    const std::size_t eq = line.find('=');
    const std::size_t dot = line.find('.');
    if (eq == std::string_view::npos || dot == std::string_view::npos || dot > eq) return false;
    out = {line.substr(0, dot), line.substr(dot + 1, eq - dot - 1), line.substr(eq + 1)};
    return true;
}

}  // namespace

void TGraphTables::ApplySettingsLines(const std::vector<std::string>& lines) {
    // A memo may hold thousands of data rows: the data table grows once, and every row is found
    // through an index of its table's labels, so the lines apply in linear time.
    int dataRows = DataRows();
    for (const std::string& line : lines) {
        TSettingsLine parts;
        if (SplitSettingsLine(line, parts) && parts.Section == SectionName(gtData))
            dataRows = std::max(dataRows, DataRowNumber(parts.Label));
    }
    if (dataRows > DataRows()) SetDataRows(dataRows);
    std::array<std::map<std::string, int, std::less<>>, kGraphTableCount> rows;
    for (const TGraphTableId id : kStoredGraphTables) {
        const TVtGrid& grid = Table(id);
        auto& index = rows[static_cast<std::size_t>(id)];
        const int last = id == gtData ? grow::kDataFirst : grid.RowCount();
        for (int r = 1; r < last; ++r)
            index.emplace(grid.Cells(0, r), r);
    }
    for (const std::string& line : lines) {
        TSettingsLine parts;
        if (!SplitSettingsLine(line, parts)) continue;
        for (const TGraphTableId id : kStoredGraphTables) {
            if (SectionName(id) != parts.Section) continue;
            TVtGrid& grid = Table(id);
            const auto& index = rows[static_cast<std::size_t>(id)];
            int row = -1;
            if (const auto it = index.find(parts.Label); it != index.end()) {
                row = it->second;
            } else if (id == gtData) {
                if (const int n = DataRowNumber(parts.Label); n > 0) row = grow::kDataFirst + n - 1;
            }
            if (row < 0 || row >= grid.RowCount()) continue;
            const std::vector<std::string> cells = SplitTabs(parts.Cells);
            for (std::size_t i = 0; i < cells.size(); ++i) {
                const int col = static_cast<int>(i) + 1;
                if (col < grid.ColCount() && DesignKind(id, col, row) != '-')
                    grid.SetCells(col, row, cells[i]);
            }
        }
    }
    ValidateAll();
}

bool TGraphTables::IsGraphData(std::string_view text) {
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = text.substr(start, end - start);
        TSettingsLine parts;
        if (SplitSettingsLine(line, parts) && parts.Section == parts.Label)
            for (const TGraphTableId id : kStoredGraphTables)
                if (SectionName(id) == parts.Section) return true;
        start = end + 1;
    }
    return false;
}

std::string TGraphTables::FileText() const {
    std::string out;
    for (const TGraphTableId id : kStoredGraphTables) {
        const TVtGrid& grid = Table(id);
        const std::string section(SectionName(id));
        out += section + "." + section + "=" + JoinCells(grid, 0) + "\r\n";
        for (int row = 1; row < grid.RowCount(); ++row)
            out += section + "." + grid.Cells(0, row) + "=" + JoinCells(grid, row) + "\r\n";
    }
    return out;
}

bool TGraphTables::ReadFileText(std::string_view text) {
    if (!IsGraphData(text)) return false;
    Reset();
    std::map<std::string, std::string, std::less<>> keyed;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const std::size_t eq = line.find('=');
        if (eq != std::string_view::npos)
            keyed.insert_or_assign(std::string(line.substr(0, eq)),
                                   std::string(line.substr(eq + 1)));
        start = end + 1;
    }
    bool found = false;
    for (const TGraphTableId id : kStoredGraphTables) {
        TVtGrid& grid = Table(id);
        const std::string section(SectionName(id));
        // Each header of the file names a column of the table; a repeated name (幅, 色) names
        // its repetitions in order.
        std::vector<int> columns;
        const auto header = keyed.find(section + "." + section);
        if (header != keyed.end()) {
            found = true;
            std::map<std::string, int, std::less<>> seen;
            for (const std::string& name : SplitTabs(header->second)) {
                int nth = seen[name]++;
                int col = -1;
                for (int c = 1; c < grid.ColCount() && col < 0; ++c)
                    if (grid.Cells(c, 0) == name && nth-- == 0) col = c;
                columns.push_back(col);
            }
        } else {
            for (int c = 1; c < grid.ColCount(); ++c)
                columns.push_back(c);
        }
        const auto assign = [&](int row, const std::string& cells) {
            const std::vector<std::string> parts = SplitTabs(cells);
            for (std::size_t i = 0; i < parts.size() && i < columns.size(); ++i) {
                const int col = columns[i];
                if (col > 0 && DesignKind(id, col, row) != '-') grid.SetCells(col, row, parts[i]);
            }
        };
        for (int row = 1; row < grid.RowCount(); ++row) {
            const auto it = keyed.find(section + "." + grid.Cells(0, row));
            if (it == keyed.end()) continue;
            found = true;
            assign(row, it->second);
        }
        if (id == TGraphTableId::gtData) {
            while (DataRows() < kMaxGraphDataRows) {
                const auto it = keyed.find(section + "." + IntText(DataRows() + 1));
                if (it == keyed.end()) break;
                SetDataRows(DataRows() + 1);
                assign(grid.RowCount() - 1, it->second);
            }
        }
    }
    ValidateAll();
    ClearUndo();
    return found;
}

bool TGraphTables::HasUserSettings() const {
    const TGraphTables design;
    return SettingsLines() != design.SettingsLines();
}

bool TGraphTables::Modified() const {
    return std::any_of(kStoredGraphTables.begin(), kStoredGraphTables.end(),
                       [this](TGraphTableId id) { return Table(id).Modified(); });
}

void TGraphTables::ClearUndo() {
    for (TVtGrid* grid : FTables) {
        grid->ClearUndo();
        grid->SetModified(false);
    }
}

int TGraphTables::DataRows() const noexcept {
    return Table(TGraphTableId::gtData).RowCount() - grow::kDataFirst;
}

void TGraphTables::SetDataRows(int count) {
    TVtGrid& grid = Table(TGraphTableId::gtData);
    const int old = grid.RowCount();
    grid.SetRowCount(grow::kDataFirst + std::max(count, 0));
    for (int row = old; row < grid.RowCount(); ++row) {
        grid.SetCells(0, row, IntText(row - grow::kDataFirst + 1));
        for (int col = 1; col < grid.ColCount(); ++col)
            grid.SetCellParam(col, row, Param(TGraphTableId::gtData, 'e'));
    }
}

}  // namespace rekna
