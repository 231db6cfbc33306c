// The settings grid's input: keys, typed characters, the mouse, the in-place editor's opening and
// closing, list stepping, the drop-down list and the colour dialog's request.
#include "grid/vt_grid.h"

#include "grid/vt_values.h"
#include "platform/cp932.h"

#include <algorithm>

namespace rekna {
namespace {

using enum TVtCellMode;

bool IsEditMode(TVtCellMode mode) {
    return mode == cmEdit || mode == cmComboBox;
}
bool IsListMode(TVtCellMode mode) {
    return mode == cmList || mode == cmListBox;
}

// The text less its last character, a double-byte one whole.
std::string DropLastChar(const std::string& text) {
    std::size_t last = 0;
    for (std::size_t i = 0; i < text.size(); i += CharLength(text, i))
        last = i;
    return text.substr(0, text.empty() ? 0 : last);
}

}  // namespace

bool TVtGrid::CanEditCurrent() const {
    return !ReadOnly && !IsFixed(FCurrent.X, FCurrent.Y) &&
           IsEditMode(CellAction(FCurrent.X, FCurrent.Y).Mode);
}

bool TVtGrid::OpenEditor(std::string_view text) {
    if (FEditing || FListOpen || !CanEditCurrent()) return false;
    FEditRecorded = RecordUndo(TVtUndoKind::ukCells, FSelection);
    FEditOrgText = Cells(FCurrent.X, FCurrent.Y);
    FEditDataType = CellAction(FCurrent.X, FCurrent.Y).EditDataType;
    FEditCancelled = false;
    FEditing = true;
    FEditText.clear();
    SetEditText(text);
    if (OnShowEditor) OnShowEditor();
    return true;
}

void TVtGrid::SetEditText(std::string_view text) {
    if (!FEditing) return;
    FEditText = std::string(text);
    // The cell shows the editor's text at once; Escape puts the old text back.
    SetCells(FCurrent.X, FCurrent.Y, FEditText);
    if (OnChangeEditText) OnChangeEditText();
}

std::string TVtGrid::EditorChar(std::string_view ch) const {
    if (ch.empty()) return {};
    if (ch.size() > 1)
        return IsTextType(FEditDataType) || FEditDataType == TVtEditDataType::dtColor
                   ? std::string(ch)
                   : std::string();
    const char c = ch[0];
    if (c == '\b' || IsAllowedChar(FEditDataType, c))
        return std::string(1, TypedChar(FEditDataType, c));
    return {};
}

void TVtGrid::CancelEdit() {
    if (!FEditing) return;
    FEditText = FEditOrgText;
    SetCells(FCurrent.X, FCurrent.Y, FEditOrgText);
    FEditCancelled = true;
    CloseEditor(false);
}

void TVtGrid::CloseEditor(bool enterKey) {
    if (!FEditing) return;
    FEditing = false;
    bool changed = false;
    if (FEditCancelled) {
        DropUndo(FEditRecorded);
    } else {
        SetCells(FCurrent.X, FCurrent.Y, FEditText);
        changed = FEditText != FEditOrgText;
        if (FOptions.CanEditRange && enterKey &&
            (FSelection.Width() > 1 || FSelection.Height() > 1)) {
            for (int r = FSelection.Top; r <= FSelection.Bottom; ++r) {
                for (int c = FSelection.Left; c <= FSelection.Right; ++c) {
                    if (IsEditMode(CellAction(c, r).Mode) && Cells(c, r) != FEditText) {
                        SetCells(c, r, FEditText);
                        changed = true;
                    }
                }
            }
        }
        if (!changed) DropUndo(FEditRecorded);
    }
    FEditRecorded = false;
    FUndo.CloseStep();
    if (OnHideEditor) OnHideEditor(enterKey, changed);
    DoChanged(changed);
}

bool TVtGrid::StartComposition() {
    if (FEditing) return true;
    if (!CanEditCurrent() || !IsTextType(CellAction(FCurrent.X, FCurrent.Y).EditDataType)) {
        return false;
    }
    return OpenEditor({});
}

bool TVtGrid::KeyDown(TVtKey key, bool shift, bool ctrl, int pageRows, bool allRowsVisible) {
    if (FEditing || FListOpen) return false;
    const TVtCellMode mode = CellAction(FCurrent.X, FCurrent.Y).Mode;
    bool handled = true;
    switch (key) {
    case TVtKey::vkDelete: ClearCells(FOptions.CanEditRange); break;
    case TVtKey::vkF2:
    case TVtKey::vkEnter:
        if (IsEditMode(mode)) {
            OpenEditor(Cells(FCurrent.X, FCurrent.Y));
        } else if (key == TVtKey::vkF2) {
            Gesture({omElse, 0, TVtKey::vkF2});
        } else {
            Gesture({omEnter, 0, TVtKey::vkOther});
        }
        break;
    case TVtKey::vkUp:
    case TVtKey::vkDown:
        if (ctrl && allRowsVisible && IsListMode(mode)) {
            Gesture({omElse, 0, key});
        } else {
            Navigate(key, shift, ctrl, pageRows);
        }
        break;
    case TVtKey::vkLeft:
    case TVtKey::vkRight:
    case TVtKey::vkHome:
    case TVtKey::vkEnd:
    case TVtKey::vkPageUp:
    case TVtKey::vkPageDown: Navigate(key, shift, ctrl, pageRows); break;
    case TVtKey::vkTab: handled = TabCell(shift); break;
    default: handled = false; break;
    }
    CheckSelectionChanged();
    return handled;
}

void TVtGrid::Navigate(TVtKey key, bool shift, bool ctrl, int pageRows) {
    TGridCoord to = FCurrent;
    pageRows = std::max(pageRows, 1);
    switch (key) {
    case TVtKey::vkUp: --to.Y; break;
    case TVtKey::vkDown: ++to.Y; break;
    case TVtKey::vkLeft: --to.X; break;
    case TVtKey::vkRight: ++to.X; break;
    case TVtKey::vkHome:
        to.X = FFixedCols;
        if (ctrl) to.Y = FFixedRows;
        break;
    case TVtKey::vkEnd:
        to.X = FColCount - 1;
        if (ctrl) to.Y = FRowCount - 1;
        break;
    case TVtKey::vkPageUp: to.Y -= pageRows; break;
    case TVtKey::vkPageDown: to.Y += pageRows; break;
    default: break;
    }
    FocusCell(to.X, to.Y, shift);
}

bool TVtGrid::TabCell(bool back) {
    const int cols = FColCount - FFixedCols;
    if (cols <= 0) return false;
    const int step = back ? -1 : 1;
    int i = (FCurrent.Y - FFixedRows) * cols + (FCurrent.X - FFixedCols);
    const int count = (FRowCount - FFixedRows) * cols;
    for (i += step; i >= 0 && i < count; i += step) {
        const int col = FFixedCols + i % cols;
        const int row = FFixedRows + i / cols;
        if (CellAction(col, row).Mode == TVtCellMode::cmLabel) continue;
        FocusCell(col, row, false);
        return true;
    }
    return false;
}

bool TVtGrid::KeyChar(std::string_view ch) {
    if (FEditing || FListOpen || ch.empty() || !FOptions.WantChar) return false;
    const TVtCellMode mode = CellAction(FCurrent.X, FCurrent.Y).Mode;
    const char c = ch[0];
    if (IsEditMode(mode)) {
        const std::string& text = Cells(FCurrent.X, FCurrent.Y);
        const TVtEditDataType type = CellAction(FCurrent.X, FCurrent.Y).EditDataType;
        if (c == '\b') {
            OpenEditor(DropLastChar(text));
        } else if (c == ' ' && ch.size() == 1) {
            OpenEditor(text);
        } else if (ch.size() > 1) {
            if (IsTextType(type) || type == TVtEditDataType::dtColor) OpenEditor(ch);
        } else if (static_cast<unsigned char>(c) >= 0x20 && IsAllowedChar(type, c)) {
            OpenEditor(std::string(1, TypedChar(type, c)));
        }
    } else if (mode == cmColor || IsListMode(mode)) {
        if (c == ' ' && ch.size() == 1) {
            Gesture({omSpace, 0, TVtKey::vkOther});
        } else if (ch.size() == 1 && static_cast<unsigned char>(c) >= 0x20) {
            Gesture({omElse, c, TVtKey::vkOther});
        }
    }
    CheckSelectionChanged();
    return true;
}

bool TVtGrid::ShortcutKey(char letter, bool shift) {
    if (FEditing || FListOpen || !FOptions.WantChar) return false;
    switch (letter) {
    case 'A':
    case 'a': SelectAllCells(); break;
    case 'C':
    case 'c': CopyCells(shift); break;
    case 'V':
    case 'v': PasteCells(shift); break;
    case 'X':
    case 'x': CutCells(shift); break;
    case 'Y':
    case 'y': Redo(); break;
    case 'Z':
    case 'z': Undo(); break;
    default: return false;
    }
    CheckSelectionChanged();
    return true;
}

void TVtGrid::MouseDown(int col, int row, bool shift) {
    if (FEditing) CloseEditor(false);
    if (FListOpen || !InGrid(col, row)) return;
    if (IsFixed(col, row)) {
        MouseHeader(col, row, shift);
    } else {
        FocusCell(col, row, shift);
        FDragCells = true;
        if (!shift) {
            const TVtCellMode mode = CellAction(col, row).Mode;
            if (IsListMode(mode) || mode == cmColor) Gesture({omMouseDown, 0, TVtKey::vkOther});
        }
    }
    CheckSelectionChanged();
}

void TVtGrid::MouseHeader(int col, int row, bool shift) {
    const int lastCol = FColCount - 1;
    const int lastRow = FRowCount - 1;
    if (col < FFixedCols && row < FFixedRows) {
        FCurrent = {FFixedCols, FFixedRows};
        FAnchor = {lastCol, lastRow};
    } else if (row < FFixedRows) {
        FCurrent = {shift ? FCurrent.X : col, FFixedRows};
        FAnchor = {col, lastRow};
        FDragCols = true;
    } else {
        FCurrent = {FFixedCols, shift ? FCurrent.Y : row};
        FAnchor = {lastCol, row};
        FDragRows = true;
    }
    FSelection = {std::min(FCurrent.X, FAnchor.X), std::min(FCurrent.Y, FAnchor.Y),
                  std::max(FCurrent.X, FAnchor.X), std::max(FCurrent.Y, FAnchor.Y)};
}

void TVtGrid::MouseDrag(int col, int row) {
    col = std::clamp(col, FFixedCols, FColCount - 1);
    row = std::clamp(row, FFixedRows, FRowCount - 1);
    if (FDragCols) {
        FAnchor.X = col;
    } else if (FDragRows) {
        FAnchor.Y = row;
    } else if (FDragCells && !FEditing && !FListOpen) {
        FCurrent = {col, row};
    } else {
        return;
    }
    FSelection = {std::min(FCurrent.X, FAnchor.X), std::min(FCurrent.Y, FAnchor.Y),
                  std::max(FCurrent.X, FAnchor.X), std::max(FCurrent.Y, FAnchor.Y)};
    CheckSelectionChanged();
}

void TVtGrid::DoubleClick(int col, int row) {
    if (FEditing || FListOpen || col != FCurrent.X || row != FCurrent.Y) return;
    const TVtCellMode mode = CellAction(col, row).Mode;
    if (IsEditMode(mode)) {
        OpenEditor(Cells(col, row));
    } else if (IsListMode(mode) || mode == cmColor) {
        Gesture({omDblClick, 0, TVtKey::vkOther});
    }
    CheckSelectionChanged();
}

void TVtGrid::Gesture(const TVtGesture& gesture) {
    if (FEditing || FListOpen || ReadOnly || IsFixed(FCurrent.X, FCurrent.Y)) return;
    const TVtCellMode mode = CellAction(FCurrent.X, FCurrent.Y).Mode;
    if (IsListMode(mode)) {
        ListGesture(gesture);
    } else if (mode == cmColor) {
        const bool opens = (FOptions.ColorDialogOpenModes & gesture.Mode) != 0 ||
                           gesture.Mode == omEnter || gesture.Mode == omSpace ||
                           gesture.Key == TVtKey::vkF2;
        if (opens) FColorRequest = true;
    }
}

int TVtGrid::StepIndex(const TVtCellAction& action, int index, const TVtGesture& g) const {
    const int count = static_cast<int>(action.Items.size());
    const int next = std::min(index + 1, count - 1);
    const int previous = std::max(index - 1, 0);
    const bool upSideDown = FOptions.ListBoxUpSideDown;
    if (g.Key == TVtKey::vkUp) return upSideDown ? next : previous;
    if (g.Key == TVtKey::vkDown) return upSideDown ? previous : next;
    if (g.Char == 0) return index + 1 >= count ? 0 : index + 1;
    if (g.Char >= '0' && g.Char <= '9') return g.Char - '0' < count ? g.Char - '0' : -1;
    if (FOptions.ListUpKeys.find(g.Char) != std::string::npos) return upSideDown ? next : previous;
    if (FOptions.ListDnKeys.find(g.Char) != std::string::npos) return upSideDown ? previous : next;
    return -1;
}

void TVtGrid::ListGesture(const TVtGesture& g) {
    const TVtCellAction& current = CellAction(FCurrent.X, FCurrent.Y);
    const bool openMode = (FOptions.ListBoxOpenModes & g.Mode) != 0;
    const bool enterOrSpace = g.Mode == omEnter || g.Mode == omSpace;
    const bool f2 = g.Key == TVtKey::vkF2;
    if (!(openMode || enterOrSpace || g.Char != 0 || g.Key != TVtKey::vkOther)) return;
    const bool currentOnly =
        !FOptions.CanEditRange || (current.Mode == cmListBox && (openMode || enterOrSpace || f2));
    if (current.Mode == cmListBox && !current.Items.empty() && (openMode || f2)) {
        ShowList();
        return;
    }
    if (f2) return;
    const TGridRect area =
        currentOnly ? TGridRect{FCurrent.X, FCurrent.Y, FCurrent.X, FCurrent.Y} : FSelection;
    BeginCommand(FSelection);
    bool changed = false;
    for (int r = area.Top; r <= area.Bottom; ++r) {
        for (int c = area.Left; c <= area.Right; ++c) {
            const TVtCellAction& action = CellAction(c, r);
            if (!IsListMode(action.Mode) || action.Items.empty()) continue;
            const int index = StepIndex(action, ListIndex(c, r), g);
            if (index >= 0)
                changed |= WriteText(c, r, action.Items[static_cast<std::size_t>(index)]);
        }
    }
    EndCommand();
    DoChanged(changed);
}

void TVtGrid::ShowList() {
    FListRecorded = RecordUndo(TVtUndoKind::ukCells, FSelection);
    FListOpen = true;
    FListCell = FCurrent;
    if (OnShowListBox) OnShowListBox();
}

std::vector<std::string> TVtGrid::ListItems() const {
    std::vector<std::string> items = CellAction(FListCell.X, FListCell.Y).Items;
    if (FOptions.ListBoxUpSideDown) std::reverse(items.begin(), items.end());
    return items;
}

int TVtGrid::ListSelected() const {
    const int index = ListIndex(FListCell.X, FListCell.Y);
    if (index < 0 || !FOptions.ListBoxUpSideDown) return index;
    return static_cast<int>(CellAction(FListCell.X, FListCell.Y).Items.size()) - 1 - index;
}

void TVtGrid::CloseList(TVtListClose how, int shownIndex) {
    if (!FListOpen) return;
    FListOpen = false;
    bool changed = false;
    if (how == TVtListClose::lcEscape) {
        DropUndo(FListRecorded);
    } else {
        const std::vector<std::string> items = ListItems();
        if (shownIndex >= 0 && shownIndex < static_cast<int>(items.size())) {
            const std::string& item = items[static_cast<std::size_t>(shownIndex)];
            changed = WriteText(FListCell.X, FListCell.Y, item);
            if (FOptions.CanEditRange && how == TVtListClose::lcEnter) {
                for (int r = FSelection.Top; r <= FSelection.Bottom; ++r) {
                    for (int c = FSelection.Left; c <= FSelection.Right; ++c) {
                        const TVtCellAction& action = CellAction(c, r);
                        if (action.Mode != cmListBox ||
                            std::find(action.Items.begin(), action.Items.end(), item) ==
                                action.Items.end()) {
                            continue;
                        }
                        changed |= WriteText(c, r, item);
                    }
                }
            }
        }
        if (!changed) DropUndo(FListRecorded);
    }
    FListRecorded = false;
    FUndo.CloseStep();
    if (OnHideListBox) OnHideListBox(how == TVtListClose::lcEnter, changed);
    DoChanged(changed);
}

bool TVtGrid::TakeColorRequest() noexcept {
    const bool request = FColorRequest;
    FColorRequest = false;
    return request;
}

void TVtGrid::ApplyColor(TColor color) {
    if (FEditing || FListOpen) return;
    BeginCommand(FSelection);
    bool changed = false;
    for (int r = FSelection.Top; r <= FSelection.Bottom; ++r) {
        for (int c = FSelection.Left; c <= FSelection.Right; ++c) {
            changed |= SetColorValue(c, r, color);
        }
    }
    EndCommand();
    DoChanged(changed);
}

}  // namespace rekna
