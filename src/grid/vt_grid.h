// TVtGrid: the settings grid without widgets: cells with texts and parameters, the current cell
// and selection, parameter resolution, values, the in-place editor's and list's rules, clipboard,
// block and row commands, and undo.
#pragma once

#include "grid/vt_grid_undo.h"
#include "grid/vt_types.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rekna {

class TClipboard;

// Keys the grid reacts to; the view maps the toolkit's keys onto them.
enum class TVtKey : std::uint8_t {
    vkOther,
    vkEnter,
    vkEscape,
    vkF2,
    vkBack,
    vkDelete,
    vkLeft,
    vkRight,
    vkUp,
    vkDown,
    vkHome,
    vkEnd,
    vkPageUp,
    vkPageDown,
    // To the next cell that is not a label, row by row; with Shift to the previous one. Not
    // handled at the last (first) such cell, so that the focus can move on.
    vkTab
};

// A user's gesture on a list or colour cell: its kind, and for omElse the character or key.
struct TVtGesture {
    TListBoxOpenMode Mode = omElse;
    char Char = 0;
    TVtKey Key = TVtKey::vkOther;
};

// How the drop-down list was closed.
enum class TVtListClose : std::uint8_t { lcEnter, lcEscape, lcSpace };

// Everything the view needs to paint one cell.
struct TVtCellPaint {
    TVtDrawKind Kind = TVtDrawKind::dkNormal;
    TVtCellStyle Style;
    TColor Fill = clWindow;
    TColor Font = clWindowText;
    TVtFontStyles FontStyle = 0;
    std::string Text;
    bool FocusRect = false;
    bool AccelChar = false;
    bool Fixed = false;
    TVtBevel Bevel = TVtBevel::bvNone;
    // The text is a colour cell's mark: drawn in the cell's colour (Font) in every draw kind,
    // with an outline, so that a white or a highlight-coloured mark stays visible.
    bool ColorMark = false;
};

class TVtGrid {
public:
    TVtGrid();

    // Size and layout.
    [[nodiscard]] int ColCount() const noexcept { return FColCount; }
    [[nodiscard]] int RowCount() const noexcept { return FRowCount; }
    [[nodiscard]] int FixedCols() const noexcept { return FFixedCols; }
    [[nodiscard]] int FixedRows() const noexcept { return FFixedRows; }
    void SetColCount(int count);
    void SetRowCount(int count);
    void SetFixedCols(int count);
    void SetFixedRows(int count);
    [[nodiscard]] int ColWidth(int col) const;
    void SetColWidth(int col, int width);
    int DefaultColWidth = 64;
    int DefaultRowHeight = 16;
    bool ReadOnly = false;
    bool DrawFocusSelected = false;

    // The grid's own colours: the defaults of parameter resolution.
    TColor Color = clWindow;
    TColor FontColor = clWindowText;
    TColor FixedColor = clBtnFace;

    // Cells. Writes by program code: no undo step of their own, no OnChanged.
    [[nodiscard]] const std::string& Cells(int col, int row) const;
    void SetCells(int col, int row, std::string_view text);
    [[nodiscard]] int CellParam(int col, int row) const;
    void SetCellParam(int col, int row, int param);
    [[nodiscard]] bool InGrid(int col, int row) const noexcept {
        return col >= 0 && row >= 0 && col < FColCount && row < FRowCount;
    }
    [[nodiscard]] bool IsFixed(int col, int row) const noexcept {
        return col < FFixedCols || row < FFixedRows;
    }

    // The collections and options. Item lookups by index add a default item to an empty
    // collection; an index outside it gives none.
    [[nodiscard]] std::vector<TVtCellAction>& VtCellActions() noexcept { return FActions; }
    [[nodiscard]] std::vector<TVtCellStyle>& VtCellStyles() noexcept { return FStyles; }
    [[nodiscard]] std::vector<TVtParam>& VtParams() noexcept { return FParams; }
    [[nodiscard]] TVtOptions& VtOptions() noexcept { return FOptions; }
    [[nodiscard]] const TVtOptions& VtOptions() const noexcept { return FOptions; }
    int AddCellAction(TVtCellAction action);
    int AddCellStyle(TVtCellStyle style);
    int AddParam(TVtParam param);

    // Parameter resolution: the cell, the row or column header, the corner, the default.
    [[nodiscard]] const TVtCellAction& CellAction(int col, int row) const;
    [[nodiscard]] const TVtCellStyle& CellStyle(int col, int row) const;
    [[nodiscard]] const TVtCellStyle& FixedCellStyle(int col, int row) const;
    [[nodiscard]] TColor CellColor(int col, int row) const;
    [[nodiscard]] TColor CellFontColor(int col, int row) const;
    [[nodiscard]] TColor FixedCellColor(int col, int row) const;
    [[nodiscard]] TColor FixedCellFontColor(int col, int row) const;

    // Values.
    [[nodiscard]] int ListIndex(int col, int row) const;
    void SetListIndex(int col, int row, int index);
    [[nodiscard]] double Values(int col, int row) const;
    void SetValues(int col, int row, double value);
    bool SetColorValue(int col, int row, TColor color);
    [[nodiscard]] bool RowSelected(int row) const noexcept;
    [[nodiscard]] std::string FormatCellValue(int col, int row, double value) const;

    // The current cell, the far corner of the selection, and the selection between them.
    [[nodiscard]] int Col() const noexcept { return FCurrent.X; }
    [[nodiscard]] int Row() const noexcept { return FCurrent.Y; }
    [[nodiscard]] TGridCoord Far() const noexcept { return FAnchor; }
    [[nodiscard]] TGridRect Selection() const noexcept { return FSelection; }
    // Moves the current cell (closing the editor); extend keeps the far corner.
    void FocusCell(int col, int row, bool extend);
    void SetSelection(TGridRect selection, TGridCoord current);

    // Drawing.
    [[nodiscard]] TVtDrawKind DrawKind(int col, int row, bool focused) const;
    [[nodiscard]] TVtCellPaint CellPaint(int col, int row, bool focused) const;

    // Input from the view. Each returns whether it handled the event.
    bool KeyDown(TVtKey key, bool shift, bool ctrl, int pageRows = 10, bool allRowsVisible = false);
    // One typed character in CP932 (Space, Backspace as "\b", other characters).
    bool KeyChar(std::string_view ch);
    // Ctrl with a letter: A, C, V, X, Y, Z.
    bool ShortcutKey(char letter, bool shift);
    void MouseDown(int col, int row, bool shift);
    void MouseDrag(int col, int row);
    void MouseUp() noexcept { FDragRows = FDragCols = FDragCells = false; }
    void DoubleClick(int col, int row);
    // The input method starts composing on the current cell.
    bool StartComposition();

    // The in-place editor.
    [[nodiscard]] bool CanEditCurrent() const;
    bool OpenEditor(std::string_view text);
    [[nodiscard]] bool Editing() const noexcept { return FEditing; }
    [[nodiscard]] const std::string& EditText() const noexcept { return FEditText; }
    [[nodiscard]] TVtEditDataType EditDataType() const noexcept { return FEditDataType; }
    void SetEditText(std::string_view text);
    // The character as the editor takes it, or empty when it is swallowed.
    [[nodiscard]] std::string EditorChar(std::string_view ch) const;
    void CancelEdit();
    void CloseEditor(bool enterKey);

    // Lists and colours.
    void Gesture(const TVtGesture& gesture);
    [[nodiscard]] bool ListOpen() const noexcept { return FListOpen; }
    [[nodiscard]] TGridCoord ListCell() const noexcept { return FListCell; }
    // The list's items in the order shown, and the shown index of the cell's item (-1 none).
    [[nodiscard]] std::vector<std::string> ListItems() const;
    [[nodiscard]] int ListSelected() const;
    void CloseList(TVtListClose how, int shownIndex);
    // Whether a gesture asked for the colour dialog; asking clears the request.
    [[nodiscard]] bool TakeColorRequest() noexcept;
    void ApplyColor(TColor color);

    // Commands.
    void SetClipboard(TClipboard* clipboard) noexcept { FClipboard = clipboard; }
    [[nodiscard]] std::string CopyText(bool transposed) const;
    void CopyCells(bool transposed);
    void PasteText(std::string_view text, bool transposed);
    void PasteCells(bool transposed);
    void CutCells(bool transposed);
    void ClearCells(bool range);
    void SelectAllCells();
    void MoveCellsUp(bool params);
    void MoveCellsDown(bool params);
    void MoveCellsLeft(bool params);
    void MoveCellsRight(bool params);
    void InsertRow(int row, bool record);
    void DeleteRow(int row, bool record);
    void InsertCol(int col, bool record);
    void DeleteCol(int col, bool record);

    // Undo.
    void Undo();
    void Redo();
    void SaveUndo();
    void ClearUndo() { FUndo.Clear(); }
    [[nodiscard]] int UndoCapacity() const noexcept { return FUndo.Capacity(); }
    void SetUndoCapacity(int capacity) { FUndo.SetCapacity(capacity); }
    [[nodiscard]] bool CanUndo() const noexcept { return FUndo.CanUndo(); }
    [[nodiscard]] bool CanRedo() const noexcept { return FUndo.CanRedo(); }
    [[nodiscard]] const TVtGridUndo& UndoList() const noexcept { return FUndo; }

    [[nodiscard]] bool Modified() const noexcept { return FModified; }
    void SetModified(bool modified) noexcept { FModified = modified; }
    // Reports a current cell or selection that differs from the last reported one.
    void CheckSelectionChanged();

    std::function<void()> OnChanged;
    std::function<void()> OnShowEditor;
    std::function<void(bool enterKey, bool& changed)> OnHideEditor;
    std::function<void()> OnShowListBox;
    std::function<void(bool enterKey, bool& changed)> OnHideListBox;
    std::function<void()> OnChangeEditText;
    std::function<void(int oldCol, int oldRow, TGridRect oldSelection)> OnSelectionChanged;

private:
    [[nodiscard]] TVtGridData& At(int col, int row) {
        return FCells[static_cast<std::size_t>(row) * static_cast<std::size_t>(FColCount) +
                      static_cast<std::size_t>(col)];
    }
    [[nodiscard]] const TVtGridData& At(int col, int row) const {
        return FCells[static_cast<std::size_t>(row) * static_cast<std::size_t>(FColCount) +
                      static_cast<std::size_t>(col)];
    }
    [[nodiscard]] const TVtParam* ParamAt(int col, int row) const;
    template <typename Pick>
    [[nodiscard]] const TVtParam* Resolve(int col, int row, Pick defines) const;
    [[nodiscard]] TGridRect Clamp(TGridRect area) const noexcept;
    void Resize(int cols, int rows);
    void ClampCurrent();

    // Writes a cell as a user's change: records a pending command's step first and saves the
    // cell's old state into the open step. Returns whether the cell changed.
    bool WriteCell(int col, int row, TVtGridData data);
    bool WriteText(int col, int row, std::string text);
    // The text as a paste writes it into a cell by the cell's mode; nothing when refused.
    [[nodiscard]] std::optional<std::string> PasteValue(int col, int row,
                                                        std::string_view text) const;
    void BeginCommand(TGridRect area);
    void EndCommand() noexcept { FPending.reset(); }
    bool RecordUndo(TVtUndoKind kind, TGridRect area);
    void DropUndo(bool recorded);
    void DoChanged(bool changed);

    void ListGesture(const TVtGesture& gesture);
    [[nodiscard]] int StepIndex(const TVtCellAction& action, int index,
                                const TVtGesture& gesture) const;
    void ShowList();
    void Navigate(TVtKey key, bool shift, bool ctrl, int pageRows);
    bool TabCell(bool back);
    void MouseHeader(int col, int row, bool shift);
    void MoveBlock(int dc, int dr, bool params);

    void InsertRowRaw(int row);
    void DeleteRowRaw(int row);
    void InsertColRaw(int col);
    void DeleteColRaw(int col);
    void RestoreSelection(const TVtUndoData& step);
    TVtUndoData Restore(TVtUndoData& step);

    int FColCount = 5;
    int FRowCount = 5;
    int FFixedCols = 1;
    int FFixedRows = 1;
    std::vector<TVtGridData> FCells;
    std::vector<int> FColWidths;
    std::vector<TVtCellAction> FActions;
    std::vector<TVtCellStyle> FStyles;
    std::vector<TVtParam> FParams;
    TVtOptions FOptions;
    TGridCoord FCurrent{1, 1};
    TGridCoord FAnchor{1, 1};
    TGridRect FSelection{1, 1, 1, 1};
    TVtGridUndo FUndo;
    std::optional<TGridRect> FPending;
    TClipboard* FClipboard = nullptr;
    bool FModified = false;

    bool FEditing = false;
    bool FEditCancelled = false;
    bool FEditRecorded = false;
    std::string FEditText;
    std::string FEditOrgText;
    TVtEditDataType FEditDataType = TVtEditDataType::dtString;

    bool FListOpen = false;
    bool FListRecorded = false;
    TGridCoord FListCell;
    bool FColorRequest = false;

    bool FDragRows = false;
    bool FDragCols = false;
    bool FDragCells = false;

    TGridCoord FLastCurrent{1, 1};
    TGridRect FLastSelection{1, 1, 1, 1};
};

}  // namespace rekna
