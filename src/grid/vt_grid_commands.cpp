// The settings grid's commands: clipboard copy and paste, clearing, block moves, row and column
// insertion and deletion, and undo and redo.
#include "grid/vt_grid.h"

#include "grid/vt_values.h"
#include "platform/clipboard.h"

#include <algorithm>

namespace rekna {
namespace {

using enum TVtCellMode;

// The text's lines, at CR LF, LF or CR; a line end at the very end starts no further line.
std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

std::vector<std::string_view> SplitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (std::size_t tab = line.find('\t'); tab != std::string_view::npos;
         tab = line.find('\t', start)) {
        fields.push_back(line.substr(start, tab - start));
        start = tab + 1;
    }
    fields.push_back(line.substr(start));
    return fields;
}

std::string_view Field(const std::vector<std::string_view>& fields, int j) {
    return j < static_cast<int>(fields.size()) ? fields[static_cast<std::size_t>(j)]
                                               : std::string_view();
}

}  // namespace

bool TVtGrid::WriteCell(int col, int row, TVtGridData data) {
    if (!InGrid(col, row) || At(col, row) == data) return false;
    if (FPending) {
        const TGridRect area = *FPending;
        FPending.reset();
        RecordUndo(TVtUndoKind::ukCells, area);
    }
    FUndo.Save(col, row, At(col, row));
    At(col, row) = std::move(data);
    return true;
}

bool TVtGrid::WriteText(int col, int row, std::string text) {
    if (!InGrid(col, row) || At(col, row).Text == text) return false;
    return WriteCell(col, row, {std::move(text), At(col, row).Param});
}

void TVtGrid::BeginCommand(TGridRect area) {
    FPending = Clamp(area);
}

bool TVtGrid::RecordUndo(TVtUndoKind kind, TGridRect area) {
    using enum TVtUndoKind;
    // A row or column kind covers one whole row or column; an inserted one may lie just past
    // the grid's end.
    if (kind == ukRowDeleted || kind == ukRowInserted) {
        const int row = std::clamp(area.Top, 0, kind == ukRowInserted ? FRowCount : FRowCount - 1);
        area = {0, row, FColCount - 1, row};
    } else if (kind == ukColDeleted || kind == ukColInserted) {
        const int col = std::clamp(area.Left, 0, kind == ukColInserted ? FColCount : FColCount - 1);
        area = {col, 0, col, FRowCount - 1};
    } else {
        area = Clamp(area);
    }
    TVtUndoData step{kind, area, FCurrent, FAnchor, FColCount, FRowCount, {}};
    if (kind == ukRowDeleted || kind == ukColDeleted) {
        for (int r = area.Top; r <= area.Bottom; ++r) {
            for (int c = area.Left; c <= area.Right; ++c)
                step.Cells.push_back({c, r, At(c, r)});
        }
    }
    return FUndo.Record(std::move(step)) != nullptr;
}

void TVtGrid::DropUndo(bool recorded) {
    if (recorded) FUndo.DropLast();
}

void TVtGrid::DoChanged(bool changed) {
    if (!changed) return;
    FModified = true;
    if (OnChanged) OnChanged();
}

void TVtGrid::SaveUndo() {
    RecordUndo(TVtUndoKind::ukCells, FSelection);
}

std::string TVtGrid::CopyText(bool transposed) const {
    const TGridRect s = Clamp(FSelection);
    std::string text;
    const int lines = transposed ? s.Width() : s.Height();
    const int fields = transposed ? s.Height() : s.Width();
    for (int i = 0; i < lines; ++i) {
        for (int j = 0; j < fields; ++j) {
            if (j > 0) text.push_back('\t');
            text += transposed ? Cells(s.Left + i, s.Top + j) : Cells(s.Left + j, s.Top + i);
        }
        text += "\r\n";
    }
    const bool partialRow = s.Top == s.Bottom && (s.Left > FFixedCols || s.Right < FColCount - 1);
    const bool singleCell = s.Top == s.Bottom && s.Left == s.Right;
    if ((transposed ? singleCell : partialRow) && text.size() >= 2) text.resize(text.size() - 2);
    return text;
}

void TVtGrid::CopyCells(bool transposed) {
    if (FEditing || FClipboard == nullptr) return;
    const std::string text = CopyText(transposed);
    if (!text.empty()) FClipboard->SetText(text);
}

std::optional<std::string> TVtGrid::PasteValue(int col, int row, std::string_view text) const {
    const TVtCellAction& action = CellAction(col, row);
    switch (action.Mode) {
    case cmLabel: return std::nullopt;
    case cmList:
    case cmListBox:
        if (std::find(action.Items.begin(), action.Items.end(), text) == action.Items.end()) {
            return std::nullopt;
        }
        return std::string(text);
    case cmEdit:
    case cmComboBox:
    case cmColor: return FilterText(action.EditDataType, text);
    }
    return std::nullopt;
}

void TVtGrid::PasteText(std::string_view text, bool transposed) {
    if (FEditing || FListOpen) return;
    const std::vector<std::string_view> lineViews = SplitLines(text);
    std::vector<std::vector<std::string_view>> lines;
    lines.reserve(lineViews.size());
    int k = 0;
    for (const std::string_view line : lineViews) {
        lines.push_back(SplitFields(line));
        k = std::max(k, static_cast<int>(lines.back().size()) - 1);
    }
    const int n = static_cast<int>(lines.size());
    if (n == 0) return;
    const TGridRect s = Clamp(FSelection);
    BeginCommand(s);
    bool changed = false;
    auto put = [&](int c, int r, std::string_view value) {
        if (std::optional<std::string> v = PasteValue(c, r, value)) {
            changed |= WriteText(c, r, std::move(*v));
        }
    };
    // Line i and field j land at (column, row); data outside the selection is dropped.
    if (k == 0 && n <= 1) {
        for (int r = s.Top; r <= s.Bottom; ++r) {
            for (int c = s.Left; c <= s.Right; ++c)
                put(c, r, lines[0][0]);
        }
    } else if (n <= 1) {
        for (int j = 0; j <= k; ++j) {
            for (int a = 0; a < (transposed ? s.Width() : s.Height()); ++a) {
                const int c = transposed ? s.Left + a : s.Left + j;
                const int r = transposed ? s.Top + j : s.Top + a;
                if (c <= s.Right && r <= s.Bottom) put(c, r, Field(lines[0], j));
            }
        }
    } else {
        for (int i = 0; i < n; ++i) {
            const int lineAt = transposed ? s.Left + i : s.Top + i;
            if (lineAt > (transposed ? s.Right : s.Bottom)) break;
            if (k == 0) {
                for (int a = 0; a < (transposed ? s.Height() : s.Width()); ++a) {
                    const int c = transposed ? lineAt : s.Left + a;
                    const int r = transposed ? s.Top + a : lineAt;
                    put(c, r, lines[static_cast<std::size_t>(i)][0]);
                }
                continue;
            }
            for (int j = 0; j <= k; ++j) {
                const int c = transposed ? lineAt : s.Left + j;
                const int r = transposed ? s.Top + j : lineAt;
                if (c <= s.Right && r <= s.Bottom) {
                    put(c, r, Field(lines[static_cast<std::size_t>(i)], j));
                }
            }
        }
    }
    EndCommand();
    DoChanged(changed);
}

void TVtGrid::PasteCells(bool transposed) {
    if (FEditing || FClipboard == nullptr) return;
    if (const std::optional<std::string> text = FClipboard->GetText()) {
        PasteText(*text, transposed);
    }
}

void TVtGrid::CutCells(bool transposed) {
    CopyCells(transposed);
    ClearCells(true);
}

void TVtGrid::ClearCells(bool range) {
    if (FEditing || FListOpen) return;
    const TGridRect area =
        range ? Clamp(FSelection) : TGridRect{FCurrent.X, FCurrent.Y, FCurrent.X, FCurrent.Y};
    BeginCommand(area);
    bool changed = false;
    for (int r = area.Top; r <= area.Bottom; ++r) {
        for (int c = area.Left; c <= area.Right; ++c) {
            if (c < FFixedCols && r < FFixedRows) continue;
            if (At(c, r).Text.empty() ||
                !(CellAction(c, r).Mode == cmEdit || CellAction(c, r).Mode == cmComboBox)) {
                continue;
            }
            changed |= WriteText(c, r, {});
        }
    }
    EndCommand();
    DoChanged(changed);
}

void TVtGrid::SelectAllCells() {
    if (FEditing) return;
    SetSelection({FFixedCols, FFixedRows, FColCount - 1, FRowCount - 1}, FCurrent);
}

void TVtGrid::MoveBlock(int dc, int dr, bool params) {
    if (FEditing || FListOpen) return;
    const TGridRect s = Clamp(FSelection);
    if ((dr > 0 && s.Bottom >= FRowCount - 1) || (dr < 0 && s.Top <= FFixedRows) ||
        (dc > 0 && s.Right >= FColCount - 1) || (dc < 0 && s.Left <= FFixedCols)) {
        return;
    }
    // The block and the line of cells it moves over; that line's cells go to the far side.
    const TGridRect area{std::min(s.Left, s.Left + dc), std::min(s.Top, s.Top + dr),
                         std::max(s.Right, s.Right + dc), std::max(s.Bottom, s.Bottom + dr)};
    BeginCommand(area);
    bool changed = false;
    const bool vertical = dr != 0;
    const int lanes = vertical ? area.Width() : area.Height();
    const int length = vertical ? area.Height() : area.Width();
    for (int lane = 0; lane < lanes; ++lane) {
        std::vector<TVtGridData> line;
        for (int i = 0; i < length; ++i) {
            line.push_back(vertical ? At(area.Left + lane, area.Top + i)
                                    : At(area.Left + i, area.Top + lane));
        }
        std::vector<TVtGridData> moved(line.size());
        const std::size_t last = line.size() - 1;
        const bool forward = dr > 0 || dc > 0;
        for (std::size_t i = 0; i < line.size(); ++i) {
            const std::size_t from = forward ? (i == 0 ? last : i - 1) : (i == last ? 0 : i + 1);
            moved[i] = {line[from].Text, params ? line[from].Param : line[i].Param};
        }
        for (std::size_t i = 0; i < line.size(); ++i) {
            const int at = static_cast<int>(i);
            changed |= vertical ? WriteCell(area.Left + lane, area.Top + at, std::move(moved[i]))
                                : WriteCell(area.Left + at, area.Top + lane, std::move(moved[i]));
        }
    }
    EndCommand();
    FCurrent = {FCurrent.X + dc, FCurrent.Y + dr};
    FAnchor = {FAnchor.X + dc, FAnchor.Y + dr};
    FSelection = {s.Left + dc, s.Top + dr, s.Right + dc, s.Bottom + dr};
    DoChanged(changed);
}

void TVtGrid::MoveCellsUp(bool params) {
    MoveBlock(0, -1, params);
}
void TVtGrid::MoveCellsDown(bool params) {
    MoveBlock(0, 1, params);
}
void TVtGrid::MoveCellsLeft(bool params) {
    MoveBlock(-1, 0, params);
}
void TVtGrid::MoveCellsRight(bool params) {
    MoveBlock(1, 0, params);
}

void TVtGrid::InsertRowRaw(int row) {
    FUndo.CloseStep();
    row = std::clamp(row, FFixedRows, FRowCount);
    std::vector<TVtGridData> inserted(static_cast<std::size_t>(FColCount));
    if (row < FRowCount) {
        for (int c = 0; c < FColCount; ++c)
            inserted[static_cast<std::size_t>(c)].Param = At(c, row).Param;
    }
    FCells.insert(FCells.begin() + static_cast<std::ptrdiff_t>(row) * FColCount, inserted.begin(),
                  inserted.end());
    ++FRowCount;
}

void TVtGrid::DeleteRowRaw(int row) {
    FUndo.CloseStep();
    if (FRowCount - FFixedRows <= 1) {
        for (int c = 0; c < FColCount; ++c)
            At(c, row) = {};
        return;
    }
    const auto first = FCells.begin() + static_cast<std::ptrdiff_t>(row) * FColCount;
    FCells.erase(first, first + FColCount);
    --FRowCount;
    if (FCurrent.Y > row && FCurrent.Y > FFixedRows) --FCurrent.Y;
    if (FAnchor.Y > row && FAnchor.Y > FFixedRows) --FAnchor.Y;
    ClampCurrent();
}

void TVtGrid::InsertColRaw(int col) {
    FUndo.CloseStep();
    col = std::clamp(col, FFixedCols, FColCount);
    std::vector<TVtGridData> cells;
    cells.reserve(static_cast<std::size_t>(FColCount + 1) * static_cast<std::size_t>(FRowCount));
    for (int r = 0; r < FRowCount; ++r) {
        for (int c = 0; c < FColCount; ++c) {
            if (c == col) cells.push_back({{}, At(c, r).Param});
            cells.push_back(std::move(At(c, r)));
        }
        if (col == FColCount) cells.emplace_back();
    }
    FCells = std::move(cells);
    const int width = col - 1 >= FFixedCols ? ColWidth(col - 1) : DefaultColWidth;
    FColWidths.insert(FColWidths.begin() + col, width);
    ++FColCount;
}

void TVtGrid::DeleteColRaw(int col) {
    FUndo.CloseStep();
    if (FColCount - FFixedCols <= 1) {
        for (int r = 0; r < FRowCount; ++r)
            At(col, r) = {};
        return;
    }
    std::vector<TVtGridData> cells;
    cells.reserve(static_cast<std::size_t>(FColCount - 1) * static_cast<std::size_t>(FRowCount));
    for (int r = 0; r < FRowCount; ++r) {
        for (int c = 0; c < FColCount; ++c) {
            if (c != col) cells.push_back(std::move(At(c, r)));
        }
    }
    FCells = std::move(cells);
    FColWidths.erase(FColWidths.begin() + col);
    --FColCount;
    if (FCurrent.X > col && FCurrent.X > FFixedCols) --FCurrent.X;
    if (FAnchor.X > col && FAnchor.X > FFixedCols) --FAnchor.X;
    ClampCurrent();
}

void TVtGrid::DeleteRow(int row, bool record) {
    if (FEditing || FListOpen || row < FFixedRows || row >= FRowCount) return;
    const bool onlyRow = FRowCount - FFixedRows <= 1;
    if (record) {
        RecordUndo(onlyRow ? TVtUndoKind::ukCells : TVtUndoKind::ukRowDeleted,
                   {0, row, FColCount - 1, row});
    }
    if (onlyRow) {
        for (int c = 0; c < FColCount; ++c)
            WriteCell(c, row, {});
        FUndo.CloseStep();
    } else {
        DeleteRowRaw(row);
    }
    DoChanged(true);
}

void TVtGrid::InsertRow(int row, bool record) {
    if (FEditing || FListOpen || row < FFixedRows) return;
    row = std::min(row, FRowCount);
    if (record) RecordUndo(TVtUndoKind::ukRowInserted, {0, row, 0, row});
    InsertRowRaw(row);
    DoChanged(true);
}

void TVtGrid::DeleteCol(int col, bool record) {
    if (FEditing || FListOpen || col < FFixedCols || col >= FColCount) return;
    const bool onlyCol = FColCount - FFixedCols <= 1;
    if (record) {
        RecordUndo(onlyCol ? TVtUndoKind::ukCells : TVtUndoKind::ukColDeleted,
                   {col, 0, col, FRowCount - 1});
    }
    if (onlyCol) {
        for (int r = 0; r < FRowCount; ++r)
            WriteCell(col, r, {});
        FUndo.CloseStep();
    } else {
        DeleteColRaw(col);
    }
    DoChanged(true);
}

void TVtGrid::InsertCol(int col, bool record) {
    if (FEditing || FListOpen || col < FFixedCols) return;
    col = std::min(col, FColCount);
    if (record) RecordUndo(TVtUndoKind::ukColInserted, {col, 0, col, 0});
    InsertColRaw(col);
    DoChanged(true);
}

void TVtGrid::RestoreSelection(const TVtUndoData& step) {
    FCurrent = step.Current;
    FAnchor = step.Far;
    FSelection = {std::min(FCurrent.X, FAnchor.X), std::min(FCurrent.Y, FAnchor.Y),
                  std::max(FCurrent.X, FAnchor.X), std::max(FCurrent.Y, FAnchor.Y)};
    ClampCurrent();
}

TVtUndoData TVtGrid::Restore(TVtUndoData& s) {
    using enum TVtUndoKind;
    TVtUndoData r{s.Kind, s.Area, FCurrent, FAnchor, FColCount, FRowCount, {}};
    switch (s.Kind) {
    case ukCells: {
        const bool sizeFirst = FColCount < s.ColCount || FRowCount < s.RowCount;
        if (sizeFirst) Resize(s.ColCount, s.RowCount);
        RestoreSelection(s);
        r = {ukCells, s.Area, FCurrent, FAnchor, FColCount, FRowCount, {}};
        FUndo.OpenDetached(&r);
        for (TVtSavedCell& cell : s.Cells) {
            if (!InGrid(cell.Col, cell.Row) || CellAction(cell.Col, cell.Row).Mode == cmLabel) {
                continue;
            }
            if (!(At(cell.Col, cell.Row) == cell.Data)) {
                FUndo.Save(cell.Col, cell.Row, At(cell.Col, cell.Row));
                At(cell.Col, cell.Row) = std::move(cell.Data);
            }
        }
        FUndo.CloseStep();
        if (!sizeFirst) {
            Resize(s.ColCount, s.RowCount);
            RestoreSelection(s);
        }
        return r;
    }
    case ukRowDeleted:
    case ukColDeleted: {
        RestoreSelection(s);
        const bool row = s.Kind == ukRowDeleted;
        r = {row ? ukRowInserted : ukColInserted,
             s.Area,
             FCurrent,
             FAnchor,
             FColCount,
             FRowCount,
             {}};
        if (row) {
            InsertRowRaw(s.Area.Top);
        } else {
            InsertColRaw(s.Area.Left);
        }
        for (TVtSavedCell& cell : s.Cells) {
            if (InGrid(cell.Col, cell.Row)) At(cell.Col, cell.Row) = std::move(cell.Data);
        }
        Resize(s.ColCount, s.RowCount);
        break;
    }
    case ukRowInserted:
    case ukColInserted: {
        RestoreSelection(s);
        const bool row = s.Kind == ukRowInserted;
        r = {
            row ? ukRowDeleted : ukColDeleted, s.Area, FCurrent, FAnchor, FColCount, FRowCount, {}};
        const TGridRect a = Clamp(s.Area);
        for (int y = row ? a.Top : 0; y <= (row ? a.Top : FRowCount - 1); ++y) {
            for (int x = row ? 0 : a.Left; x <= (row ? FColCount - 1 : a.Left); ++x) {
                r.Cells.push_back({x, y, At(x, y)});
            }
        }
        r.Area = row ? TGridRect{0, a.Top, FColCount - 1, a.Top}
                     : TGridRect{a.Left, 0, a.Left, FRowCount - 1};
        if (row) {
            DeleteRowRaw(a.Top);
        } else {
            DeleteColRaw(a.Left);
        }
        Resize(s.ColCount, s.RowCount);
        break;
    }
    }
    RestoreSelection(s);
    return r;
}

void TVtGrid::Undo() {
    if (FEditing) {
        CancelEdit();
        return;
    }
    if (FListOpen || !FUndo.CanUndo()) return;
    TVtUndoData step = FUndo.PopUndo();
    TVtUndoData counterpart = Restore(step);
    FUndo.PushRedo(std::move(counterpart));
    CheckSelectionChanged();
    DoChanged(true);
}

void TVtGrid::Redo() {
    if (FEditing || FListOpen || !FUndo.CanRedo()) return;
    TVtUndoData step = FUndo.PopRedo();
    TVtUndoData counterpart = Restore(step);
    FUndo.PushUndo(std::move(counterpart));
    CheckSelectionChanged();
    DoChanged(true);
}

}  // namespace rekna
