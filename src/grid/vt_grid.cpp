// The settings grid's cells, sizes, parameter resolution, values, selection and drawing kinds.
#include "grid/vt_grid.h"

#include "grid/vt_values.h"
#include "platform/cp932.h"

#include <algorithm>

namespace rekna {
namespace {

const std::string kEmpty;

char FoldAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Equal texts, letter case ignored in single-byte characters.
bool SameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (IsLeadByte(a[i]) && i + 1 < a.size()) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
            ++i;
        } else if (FoldAscii(a[i]) != FoldAscii(b[i])) {
            return false;
        }
    }
    return true;
}

TGridRect Normalize(TGridCoord a, TGridCoord b) {
    return {std::min(a.X, b.X), std::min(a.Y, b.Y), std::max(a.X, b.X), std::max(a.Y, b.Y)};
}

}  // namespace

TVtGrid::TVtGrid() {
    FActions.emplace_back();
    FStyles.emplace_back();
    FParams.emplace_back();
    FOptions.ColorCellStr = SysText("■");
    Resize(FColCount, FRowCount);
}

void TVtGrid::Resize(int cols, int rows) {
    cols = std::max(cols, 1);
    rows = std::max(rows, 1);
    if (cols != FColCount) {
        std::vector<TVtGridData> cells(static_cast<std::size_t>(cols) *
                                       static_cast<std::size_t>(rows));
        const int keepCols = std::min(cols, FColCount);
        const int keepRows = std::min(rows, FRowCount);
        for (int r = 0; r < keepRows; ++r) {
            for (int c = 0; c < keepCols; ++c) {
                cells[static_cast<std::size_t>(r) * static_cast<std::size_t>(cols) +
                      static_cast<std::size_t>(c)] = std::move(At(c, r));
            }
        }
        FCells = std::move(cells);
    } else {
        FCells.resize(static_cast<std::size_t>(cols) * static_cast<std::size_t>(rows));
    }
    FColCount = cols;
    FRowCount = rows;
    FColWidths.resize(static_cast<std::size_t>(cols), DefaultColWidth);
    FFixedCols = std::min(FFixedCols, cols - 1);
    FFixedRows = std::min(FFixedRows, rows - 1);
    ClampCurrent();
}

void TVtGrid::ClampCurrent() {
    auto clamp = [this](TGridCoord p) {
        p.X = std::clamp(p.X, FFixedCols, FColCount - 1);
        p.Y = std::clamp(p.Y, FFixedRows, FRowCount - 1);
        return p;
    };
    FCurrent = clamp(FCurrent);
    FAnchor = clamp(FAnchor);
    FSelection = Clamp(FSelection);
    if (!FSelection.Contains(FCurrent.X, FCurrent.Y)) FSelection = Normalize(FAnchor, FCurrent);
}

void TVtGrid::SetColCount(int count) {
    if (FEditing) CloseEditor(false);
    FUndo.CloseStep();
    Resize(count, FRowCount);
}

void TVtGrid::SetRowCount(int count) {
    if (FEditing) CloseEditor(false);
    FUndo.CloseStep();
    Resize(FColCount, count);
}

void TVtGrid::SetFixedCols(int count) {
    FFixedCols = std::clamp(count, 0, FColCount - 1);
    ClampCurrent();
}

void TVtGrid::SetFixedRows(int count) {
    FFixedRows = std::clamp(count, 0, FRowCount - 1);
    ClampCurrent();
}

int TVtGrid::ColWidth(int col) const {
    if (col < 0 || col >= FColCount) return DefaultColWidth;
    return FColWidths[static_cast<std::size_t>(col)];
}

void TVtGrid::SetColWidth(int col, int width) {
    if (col >= 0 && col < FColCount) FColWidths[static_cast<std::size_t>(col)] = std::max(width, 0);
}

const std::string& TVtGrid::Cells(int col, int row) const {
    return InGrid(col, row) ? At(col, row).Text : kEmpty;
}

void TVtGrid::SetCells(int col, int row, std::string_view text) {
    if (!InGrid(col, row) || At(col, row).Text == text) return;
    FUndo.Save(col, row, At(col, row));
    At(col, row).Text = std::string(text);
}

int TVtGrid::CellParam(int col, int row) const {
    return InGrid(col, row) ? At(col, row).Param : -1;
}

void TVtGrid::SetCellParam(int col, int row, int param) {
    if (!InGrid(col, row)) return;
    if (param < 0 || param >= static_cast<int>(FParams.size())) param = -1;
    if (At(col, row).Param == param) return;
    FUndo.Save(col, row, At(col, row));
    At(col, row).Param = param;
}

int TVtGrid::AddCellAction(TVtCellAction action) {
    FActions.push_back(std::move(action));
    return static_cast<int>(FActions.size()) - 1;
}

int TVtGrid::AddCellStyle(TVtCellStyle style) {
    FStyles.push_back(style);
    return static_cast<int>(FStyles.size()) - 1;
}

int TVtGrid::AddParam(TVtParam param) {
    FParams.push_back(param);
    return static_cast<int>(FParams.size()) - 1;
}

const TVtParam* TVtGrid::ParamAt(int col, int row) const {
    if (!InGrid(col, row)) return nullptr;
    const int index = At(col, row).Param;
    if (index < 0 || index >= static_cast<int>(FParams.size())) return nullptr;
    return &FParams[static_cast<std::size_t>(index)];
}

template <typename Pick> const TVtParam* TVtGrid::Resolve(int col, int row, Pick defines) const {
    const bool rowFirst = FOptions.VtParamSelect == TVtParamSelect::psRowFirst;
    const TGridCoord order[] = {{col, row},
                                rowFirst ? TGridCoord{0, row} : TGridCoord{col, 0},
                                rowFirst ? TGridCoord{col, 0} : TGridCoord{0, row},
                                {0, 0}};
    for (const TGridCoord& at : order) {
        const TVtParam* p = ParamAt(at.X, at.Y);
        if (p != nullptr && defines(*p)) return p;
    }
    return nullptr;
}

namespace {

template <typename T> bool Has(const std::vector<T>& items, int index) {
    return index >= 0 && index < static_cast<int>(items.size());
}

}  // namespace

const TVtCellAction& TVtGrid::CellAction(int col, int row) const {
    const TVtParam* p =
        Resolve(col, row, [this](const TVtParam& q) { return Has(FActions, q.CellActions); });
    if (p != nullptr) return FActions[static_cast<std::size_t>(p->CellActions)];
    static const TVtCellAction fallback;
    return FActions.empty() ? fallback : FActions.front();
}

const TVtCellStyle& TVtGrid::CellStyle(int col, int row) const {
    const TVtParam* p =
        Resolve(col, row, [this](const TVtParam& q) { return Has(FStyles, q.CellStyles); });
    if (p != nullptr) return FStyles[static_cast<std::size_t>(p->CellStyles)];
    static const TVtCellStyle fallback;
    return FStyles.empty() ? fallback : FStyles.front();
}

const TVtCellStyle& TVtGrid::FixedCellStyle(int col, int row) const {
    const TVtParam* p =
        Resolve(col, row, [this](const TVtParam& q) { return Has(FStyles, q.FixedCellStyles); });
    if (p != nullptr) return FStyles[static_cast<std::size_t>(p->FixedCellStyles)];
    static const TVtCellStyle fallback;
    return FStyles.empty() ? fallback : FStyles.front();
}

TColor TVtGrid::CellColor(int col, int row) const {
    const TVtParam* p = Resolve(col, row, [](const TVtParam& q) { return q.Color != clNone; });
    return p != nullptr ? p->Color : Color;
}

TColor TVtGrid::CellFontColor(int col, int row) const {
    if (CellAction(col, row).Mode == TVtCellMode::cmColor) {
        if (const auto named = StringToColor(Cells(col, row))) return *named;
    }
    const TVtParam* p = Resolve(col, row, [](const TVtParam& q) { return q.FontColor != clNone; });
    return p != nullptr ? p->FontColor : FontColor;
}

TColor TVtGrid::FixedCellColor(int col, int row) const {
    const TVtParam* p = Resolve(col, row, [](const TVtParam& q) { return q.FixedColor != clNone; });
    return p != nullptr ? p->FixedColor : FixedColor;
}

TColor TVtGrid::FixedCellFontColor(int col, int row) const {
    const TVtParam* p =
        Resolve(col, row, [](const TVtParam& q) { return q.FixedFontColor != clNone; });
    return p != nullptr ? p->FixedFontColor : FontColor;
}

int TVtGrid::ListIndex(int col, int row) const {
    if (!InGrid(col, row)) return -1;
    const std::vector<std::string>& items = CellAction(col, row).Items;
    const std::string& text = At(col, row).Text;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (SameText(items[i], text)) return static_cast<int>(i);
    }
    return -1;
}

void TVtGrid::SetListIndex(int col, int row, int index) {
    const std::vector<std::string>& items = CellAction(col, row).Items;
    if (index >= 0 && index < static_cast<int>(items.size())) {
        SetCells(col, row, items[static_cast<std::size_t>(index)]);
    }
}

double TVtGrid::Values(int col, int row) const {
    if (!InGrid(col, row)) return ReadCellValue({}, FOptions.ValuesNanEnablw);
    return ReadCellValue(At(col, row).Text, FOptions.ValuesNanEnablw);
}

std::string TVtGrid::FormatCellValue(int col, int row, double value) const {
    const TVtCellAction& action = CellAction(col, row);
    const TVtFormatOptions options{FOptions.FloatToStrHideZero, FOptions.FloatToStrExpMax,
                                   FOptions.FloatToStrExpMin};
    return FormatValue(value, action.EditDataType, action.FloatPrecision, options);
}

void TVtGrid::SetValues(int col, int row, double value) {
    if (!InGrid(col, row) || IsFixed(col, row)) return;
    SetCells(col, row, FormatCellValue(col, row, value));
}

bool TVtGrid::SetColorValue(int col, int row, TColor color) {
    if (!InGrid(col, row) || CellAction(col, row).Mode != TVtCellMode::cmColor) return false;
    return WriteText(col, row, ColorToString(color));
}

bool TVtGrid::RowSelected(int row) const noexcept {
    return row >= FSelection.Top && row <= FSelection.Bottom;
}

TGridRect TVtGrid::Clamp(TGridRect a) const noexcept {
    if (a.Left > a.Right) std::swap(a.Left, a.Right);
    if (a.Top > a.Bottom) std::swap(a.Top, a.Bottom);
    a.Left = std::clamp(a.Left, 0, FColCount - 1);
    a.Right = std::clamp(a.Right, 0, FColCount - 1);
    a.Top = std::clamp(a.Top, 0, FRowCount - 1);
    a.Bottom = std::clamp(a.Bottom, 0, FRowCount - 1);
    return a;
}

void TVtGrid::FocusCell(int col, int row, bool extend) {
    if (FEditing) CloseEditor(false);
    FCurrent = {std::clamp(col, FFixedCols, FColCount - 1),
                std::clamp(row, FFixedRows, FRowCount - 1)};
    if (!extend) FAnchor = FCurrent;
    FSelection = Normalize(FAnchor, FCurrent);
}

void TVtGrid::SetSelection(TGridRect selection, TGridCoord current) {
    if (FEditing) CloseEditor(false);
    selection = Clamp(selection);
    selection.Left = std::max(selection.Left, FFixedCols);
    selection.Top = std::max(selection.Top, FFixedRows);
    FSelection = selection;
    FCurrent = {std::clamp(current.X, FFixedCols, FColCount - 1),
                std::clamp(current.Y, FFixedRows, FRowCount - 1)};
    if (!FSelection.Contains(FCurrent.X, FCurrent.Y)) FSelection = Normalize(FCurrent, FCurrent);
    // The far corner is the selection's corner opposite the current cell.
    FAnchor.X = FCurrent.X - FSelection.Left <= FSelection.Right - FCurrent.X ? FSelection.Right
                                                                              : FSelection.Left;
    FAnchor.Y = FCurrent.Y - FSelection.Top <= FSelection.Bottom - FCurrent.Y ? FSelection.Bottom
                                                                              : FSelection.Top;
}

void TVtGrid::CheckSelectionChanged() {
    if (FCurrent == FLastCurrent && FSelection == FLastSelection) return;
    const TGridCoord oldCurrent = FLastCurrent;
    const TGridRect oldSelection = FLastSelection;
    FLastCurrent = FCurrent;
    FLastSelection = FSelection;
    if (OnSelectionChanged) OnSelectionChanged(oldCurrent.X, oldCurrent.Y, oldSelection);
}

TVtDrawKind TVtGrid::DrawKind(int col, int row, bool focused) const {
    using enum TVtDrawKind;
    if (IsFixed(col, row)) {
        if (row < FFixedRows && col >= FFixedCols) {
            if (col == FCurrent.X) return dkFixedFocused;
            return col >= FSelection.Left && col <= FSelection.Right ? dkFixedSelected : dkFixed;
        }
        if (col < FFixedCols && row >= FFixedRows) {
            if (row == FCurrent.Y) return dkFixedFocused;
            return row >= FSelection.Top && row <= FSelection.Bottom ? dkFixedSelected : dkFixed;
        }
        return dkFixed;
    }
    const bool current = col == FCurrent.X && row == FCurrent.Y;
    const bool selected = FSelection.Contains(col, row);
    if (!current && !selected) return dkNormal;
    if (focused) return current ? dkFocused : dkSelected;
    return FOptions.HideSelection ? dkNormal : dkInactive;
}

TVtCellPaint TVtGrid::CellPaint(int col, int row, bool focused) const {
    using enum TVtDrawKind;
    TVtCellPaint paint;
    paint.Kind = DrawKind(col, row, focused);
    paint.Fixed =
        paint.Kind == dkFixed || paint.Kind == dkFixedFocused || paint.Kind == dkFixedSelected;
    paint.Style = paint.Fixed ? FixedCellStyle(col, row) : CellStyle(col, row);
    paint.FontStyle = paint.Style.FontStyle;
    const TVtFixedStyles& fixed = FOptions.FixedStyles;
    if (paint.Kind == dkSelected || (paint.Kind == dkFocused && DrawFocusSelected)) {
        paint.Fill = FOptions.SelectCellColor;
        paint.Font = FOptions.SelectFontColor;
    } else if (paint.Kind == dkInactive) {
        paint.Fill = FOptions.InActiveCellColor;
        paint.Font = FOptions.InActiveFontColor;
    } else if (paint.Fixed) {
        paint.Fill = FixedCellColor(col, row);
        paint.Font = FixedCellFontColor(col, row);
    } else {
        paint.Fill = CellColor(col, row);
        paint.Font = CellFontColor(col, row);
    }
    if (paint.Kind == dkFixedFocused) paint.FontStyle |= fixed.FontStyleFocused;
    if (paint.Kind == dkFixedSelected) paint.FontStyle |= fixed.FontStyleSelected;
    const bool colorCell = !paint.Fixed && CellAction(col, row).Mode == TVtCellMode::cmColor;
    paint.ColorMark = colorCell && !FOptions.ColorCellStr.empty();
    paint.Text = paint.ColorMark ? FOptions.ColorCellStr : Cells(col, row);
    // A mark shows its cell's colour also while the cell is current or selected.
    if (paint.ColorMark) paint.Font = CellFontColor(col, row);
    paint.FocusRect = focused && paint.Kind == dkFocused;
    paint.AccelChar = paint.Fixed && FOptions.ShowFixedAccelChar;
    if (paint.Fixed) {
        paint.Bevel = paint.Kind == dkFixedFocused    ? fixed.BevelFocused
                      : paint.Kind == dkFixedSelected ? fixed.BevelSelected
                                                      : fixed.Bevel;
    }
    return paint;
}

}  // namespace rekna
