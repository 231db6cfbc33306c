// TUMemoStrings: the editor's line store, a list of display rows in which soft wrapping lives.
#pragma once

#include "editor/selection/umemo_selection.h"
#include "editor/store/row_store.h"
#include "editor/store/umemo_string_item.h"
#include "editor/store/wrap.h"
#include "editor/undo/edit_recorder.h"
#include "numbers/cplx.h"
#include "platform/file_io.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rekna {

enum class TAutoIndentType : std::uint8_t { atEnter, atBS, atDel, atSelect, atArrow };

// Told of every change of the rows' texts and flags (a host that keeps something per row, the
// calculation frame): removals before the rows go, the rest after the change.
class TRowObserver {
public:
    virtual ~TRowObserver() = default;
    virtual void RowsRemoving(std::int32_t row, std::int32_t count) = 0;
    virtual void RowsInserted(std::int32_t row, std::int32_t count) = 0;
    // The row's text or its Continued flag changed.
    virtual void RowChanged(std::int32_t row) = 0;
    // Every row was replaced (a file loaded, the store cleared).
    virtual void RowsReset() = 0;
};

// A set of TAutoIndentType kept as the bits 1, 2, 4, 8 and 16; all five by default.
class TAutoIndentTypes {
public:
    constexpr TAutoIndentTypes() noexcept = default;
    constexpr explicit TAutoIndentTypes(std::uint8_t bits) noexcept : FBits(bits & kAll) {}

    [[nodiscard]] constexpr bool Contains(TAutoIndentType t) const noexcept {
        return (FBits & Bit(t)) != 0;
    }
    constexpr void Include(TAutoIndentType t) noexcept { FBits |= Bit(t); }
    constexpr void Exclude(TAutoIndentType t) noexcept {
        FBits = static_cast<std::uint8_t>(FBits & ~Bit(t));
    }
    [[nodiscard]] constexpr std::uint8_t Bits() const noexcept { return FBits; }

    friend constexpr bool operator==(TAutoIndentTypes, TAutoIndentTypes) noexcept = default;

private:
    static constexpr std::uint8_t kAll = 31;
    [[nodiscard]] static constexpr std::uint8_t Bit(TAutoIndentType t) noexcept {
        return static_cast<std::uint8_t>(1u << static_cast<unsigned>(t));
    }
    std::uint8_t FBits = kAll;
};

// The line store. A logical line (the text between two hard line ends) occupies one or more
// consecutive rows; every row but its last carries Continued. Row indexes run from 0; byte
// positions in a row from 1 to length+1.
//
// Out-of-range rows never raise: readers give an empty row, writers do nothing and return false,
// and both leave the list-index error text in LastError(). Logical-line functions clamp the row.
class TUMemoStrings {
public:
    // Wrap widths never exceed this.
    static constexpr std::int32_t kMaxWrapColumns = 1024;

    TUMemoStrings();
    TUMemoStrings(const TUMemoStrings&) = delete;
    TUMemoStrings& operator=(const TUMemoStrings&) = delete;
    ~TUMemoStrings();

    // --- Rows. Put, Insert, Delete and the flag setters record undo items and run in an edit
    // group of their own (without view records) when called outside one.
    [[nodiscard]] std::int32_t GetCount() const noexcept { return FRows.Count(); }
    [[nodiscard]] const std::string& Get(std::int32_t row) const;
    // Keeps the row's flag; the part of its hanging indent that the new text keeps stays one.
    bool Put(std::int32_t row, std::string_view text);
    bool PutRow(std::int32_t row, std::string_view text, bool continued);
    // Put of the row's text with count bytes from the 1-based pos replaced by bytes, done where
    // the row's bytes are: the undo item keeps the replaced bytes, the width and the Tab summary
    // follow from the changed part. pos and count are clamped to the row.
    bool Splice(std::int32_t row, std::int32_t pos, std::int32_t count, std::string_view bytes);
    // row may be GetCount() to append.
    bool Insert(std::int32_t row, std::string_view text);
    bool InsertRow(std::int32_t row, std::string_view text, bool continued);
    // Returns the new row's index.
    std::int32_t Add(std::string_view text);
    bool Delete(std::int32_t row);
    // Empties the undo list, then deletes every row from the last to the first (each deletion
    // recorded) in one edit group, and resets the selection.
    void Clear();

    [[nodiscard]] bool Continued(std::int32_t row) const;
    // Records the change and marks the row modified when the flag changes. Clearing it makes the
    // next row's hanging-indent copy part of that row's text.
    bool SetContinued(std::int32_t row, bool continued);

    [[nodiscard]] const TUMemoStringItem& Item(std::int32_t row) const;
    [[nodiscard]] std::int32_t HangLength(std::int32_t row) const;
    // The row's part of its logical line's text: Text without the hanging-indent copy.
    [[nodiscard]] std::string_view RowContent(std::int32_t row) const;
    // The host's data of the row (see TUMemoStringItem): views stay valid until the row's data
    // is next set.
    [[nodiscard]] std::string_view Note(std::int32_t row) const;
    bool SetNote(std::int32_t row, std::string_view note);
    [[nodiscard]] std::string_view Result(std::int32_t row) const;
    // Sets ResultMark 2 when the value differs.
    bool SetResult(std::int32_t row, std::string_view result);
    // Zero when the row has no value.
    [[nodiscard]] TCplx Value(std::int32_t row) const;
    // Does nothing when the row has no value.
    bool SetValue(std::int32_t row, const TCplx& value);
    [[nodiscard]] std::string_view Log(std::int32_t row) const;
    // All of them at once, shared with whoever else holds the block (the line cache). A row
    // without a value takes the texts and keeps no value. Sets ResultMark 2 when Result differs.
    [[nodiscard]] const TLineAnswerRef& Answer(std::int32_t row) const;
    bool SetAnswer(std::int32_t row, TLineAnswerRef answer);
    // 0 for an empty store.
    [[nodiscard]] std::int32_t Width(std::int32_t row) const;
    [[nodiscard]] TRowMark RowMark(std::int32_t row) const;
    // A mark other than rmNone sets the changed flag.
    bool SetRowMark(std::int32_t row, TRowMark mark);
    [[nodiscard]] std::uint8_t ResultMark(std::int32_t row) const;
    bool SetResultMark(std::int32_t row, std::uint8_t mark);

    // --- Replaying undo items: exact and unrecorded. An inserted row is marked inserted, a put
    // row modified, a flag gets no mark. False (and nothing done) for a row outside the store.
    bool ReplayInsert(std::int32_t row, std::string_view text, bool continued,
                      std::uint16_t hangLength);
    bool ReplayDelete(std::int32_t row);
    // Rows made by NewRow, inserted at row as a run; count rows deleted from row on.
    bool ReplayInsertRows(std::int32_t row, std::vector<TUMemoStringItem>&& items);
    bool ReplayDeleteRows(std::int32_t row, std::int32_t count);
    // A row for ReplayInsertRows.
    [[nodiscard]] TUMemoStringItem NewRow(std::string_view text, bool continued,
                                          std::uint16_t hangLength) const {
        return NewItem(text, continued, hangLength);
    }
    bool ReplayPut(std::int32_t row, std::string_view text, bool continued,
                   std::uint16_t hangLength);
    // ReplayPut of the row's text with count bytes from the 0-based offset at replaced by bytes
    // (clamped to the row; bytes must not view it).
    bool ReplaySplice(std::int32_t row, std::size_t at, std::size_t count, std::string_view bytes,
                      bool continued, std::uint16_t hangLength);
    bool ReplayFlag(std::int32_t row, bool continued);
    // Takes the wrap width without re-wrapping, then the caret, the top row and the left column.
    void ReplayView(const TViewState& view);
    [[nodiscard]] TViewState ViewState() const noexcept;

    // --- Logical lines.
    [[nodiscard]] std::int32_t FirstRowOfLine(std::int32_t row) const noexcept;
    [[nodiscard]] std::int32_t LastRowOfLine(std::int32_t row) const noexcept;
    // The line's text: its rows joined, each without its hanging-indent copy.
    [[nodiscard]] std::string GetLine(std::int32_t row) const;
    // The same text without a copy where the line is one row (a view of that row, valid until
    // the row is next edited); a line of several rows is joined into storage.
    [[nodiscard]] std::string_view LineView(std::int32_t row, std::string& storage) const;
    // Replaces the line with text and re-wraps it; a caret inside the line goes to its end.
    void SetLine(std::int32_t row, std::string_view text);

    // --- Text and files. The text of a logical line never includes the hanging-indent copies
    // that wrapping put on its rows, so what is saved is exactly what was loaded.
    // The logical lines joined with CR LF, no line end after the last.
    [[nodiscard]] std::string GetTextStr() const;
    // One edit group without view records: line ends normalised, split into lines, each put into
    // the row of the same index (flag 0) or added, surplus rows deleted, selection and view back
    // to the start. Rows are not re-wrapped.
    void SetTextStr(std::string_view text);
    // Every logical line followed by CR LF; the bytes SaveToFile writes.
    [[nodiscard]] std::string SaveBytes() const;
    // Writes SaveBytes() through a temporary file renamed over the target. The undo list is
    // emptied only when the file was written.
    [[nodiscard]] TFileResult SaveToFile(const std::string& name);
    // Reads the file and takes its lines, each wrapped. On failure the store is unchanged.
    [[nodiscard]] TFileResult LoadFile(const std::string& name, bool toEnd);
    // LoadFile on bytes already read. False (store unchanged) when memory ran out.
    bool LoadBytes(std::string_view bytes, bool toEnd);
    // Adds the file's lines at the end, wrapped, in one edit group (the undo list is emptied
    // first, so only the appended rows can be taken back).
    [[nodiscard]] TFileResult AppendFile(const std::string& name);
    bool AppendBytes(std::string_view bytes);

    // --- Columns of a row text under the store's TabStops and WrapColumns.
    [[nodiscard]] std::int32_t RowWidth(std::string_view s) const noexcept;
    [[nodiscard]] std::int32_t ColumnOfPos(std::string_view s, std::int32_t pos) const noexcept;
    [[nodiscard]] std::int32_t PosOfColumn(std::string_view s, std::int32_t col) const noexcept;
    [[nodiscard]] std::int32_t CharAtColumn(std::string_view s, std::int32_t col) const noexcept;
    [[nodiscard]] std::int32_t PosNearestX(std::string_view s, double x) const noexcept;
    [[nodiscard]] std::int32_t BoxPosOfColumn(std::string_view s, std::int32_t col) const noexcept;
    // The same on the text of a row of the store (an empty one outside it), looking for Tabs only
    // when its Tab summary says it holds one.
    [[nodiscard]] std::int32_t RowColumnOfPos(std::int32_t row, std::int32_t pos) const noexcept;
    [[nodiscard]] std::int32_t RowCharAtColumn(std::int32_t row, std::int32_t col) const noexcept;

    // --- Edit generations (see TRowStore): a reader that keeps what it read of a row learns from
    // them what of the row is still the same.
    [[nodiscard]] TEditStamp EditStamp() const noexcept { return FRows.Stamp(); }
    // The leading bytes of the row's text unchanged since stamp; nullopt when unknown or the
    // row is outside the store.
    [[nodiscard]] std::optional<std::size_t> SameSince(TEditStamp stamp,
                                                       std::int32_t row) const noexcept;

    // --- Wrapping.
    [[nodiscard]] std::int32_t BreakPos(std::string_view s,
                                        std::size_t hangLength = 0) const noexcept;
    // Re-wraps the logical line of row from its first row; returns the line's last row.
    std::int32_t Reflow(std::int32_t row);
    // Re-wraps from row to the end of its logical line, carrying caret and anchor with the
    // text; returns the line's last row. Rows whose text does not change are not touched.
    std::int32_t ReflowFrom(std::int32_t row);
    // Limited to 0..1024. When it changes: one edit group with view records in which every
    // logical line is re-wrapped; a visible caret keeps its distance from the top row.
    void SetWrapColumns(std::int32_t columns);
    [[nodiscard]] std::string IndentPrefix(std::string_view s) const;
    [[nodiscard]] std::int32_t IndentLength(std::string_view s) const noexcept;
    [[nodiscard]] std::int32_t IndentLength(std::int32_t row) const noexcept;
    [[nodiscard]] const TWrapRules& WrapRules() const noexcept { return FRules; }

    // --- Line-break commands on the selected rows; each one edit group with view records,
    // nothing without a selection.
    void JoinLines();
    void SplitAtWraps();
    void RejoinWraps();
    void JoinSelected();

    // --- Selection edits (selection_edit.cpp, box_edit.cpp, selection_text.cpp). Each runs in
    // an edit group of its own without view records; the control's commands open the recorded
    // group around them. Positions inside a row's hanging-indent copy count as its end: the copy
    // is not text, so text never goes into it or comes out of it.
    // The selected text. raw (the formatted copy) ends every row with CR LF and keeps what the
    // rows show; otherwise wrapped rows are joined again without their hanging-indent copies.
    [[nodiscard]] std::string GetSelText(bool raw) const;
    // Removes the selected text. A box leaves a zero-width box at its left column over the same
    // rows (the multi-row caret), also when it had no width.
    void DeleteSelection();
    // Inserts text at the selection: into every row of a box (or with forceBox from the caret
    // row down), as whole rows in line mode, else at the caret. DoubleKana, DoubleDiv and
    // DoubleMul apply. A forced box paste with more lines than rows below adds rows.
    void PasteText(std::string_view text, bool selectAfter, bool forceBox);
    // Tab and Shift+Tab on a stream or line selection.
    void IndentSelection(char ch);
    void UnindentSelection();
    // A line selection of every row, unless the store is empty or one empty row.
    void SelectAll();
    // Typing into the multi-row caret: t goes into every row of the box at its left column
    // (rows too short are padded with spaces; overwriting changes only rows that reach it); the
    // box becomes zero-width behind t.
    void BoxInsert(std::string_view t, bool overwrite);
    // Backspace and Delete on every row of a zero-width box.
    void BoxBackSpace();
    void BoxDeleteChar();
    // The input conversions of typed and pasted text: DoubleKana, DoubleDiv, DoubleMul.
    [[nodiscard]] std::string ConvertInput(std::string_view t) const;
    // x moved behind the row's hanging-indent copy.
    [[nodiscard]] std::int32_t TextPos(std::int32_t row, std::int32_t x) const noexcept;
    // Re-wraps the logical lines that rows from..to belong to, the lowest first, so that the rows
    // above keep their indexes.
    void ReflowRowsUp(std::int32_t from, std::int32_t to);
    // Marks row + 1 as joined to row: with AutoIndent its leading indentation becomes a hanging
    // indent, as wrapping would have made it. row + 1 must exist.
    void JoinNextRow(std::int32_t row);

    // --- Edit groups and batch updates.
    void BeginEdit(bool recordState);
    void EndEdit(bool recordState);
    void BeginUpdate();
    void EndUpdate();
    [[nodiscard]] bool InEdit() const noexcept { return FEditNest > 0; }
    [[nodiscard]] bool Updating() const noexcept { return FUpdateCount > 0; }
    // Called when the outermost edit group closes outside a batch, and when a batch ends.
    std::function<void(TEditEnd)> OnEditEnd;

    // The changed flag: set by every row change and non-zero RowMark; the owner clears it.
    [[nodiscard]] bool IsChanged() const noexcept { return FChanged; }
    void ClearChanged() noexcept { FChanged = false; }
    // The rows the host recalculates after an edit.
    [[nodiscard]] std::int32_t ChangedFrom() const noexcept { return FChangedFrom; }
    [[nodiscard]] std::int32_t ChangedTo() const noexcept { return FChangedTo; }
    void SetChangedRange(std::int32_t from, std::int32_t to) noexcept;

    // --- Properties.
    [[nodiscard]] std::int32_t MaxWidth() const noexcept { return FRows.MaxWidth(); }
    [[nodiscard]] std::int32_t WrapColumns() const noexcept { return FRules.WrapColumns; }
    [[nodiscard]] std::int32_t TabStops() const noexcept { return FRules.TabStops; }
    // 1..1024; row widths follow at once, wrapping when a line is next edited or the wrap width
    // changes.
    void SetTabStops(std::int32_t tabStops) noexcept;
    [[nodiscard]] bool AutoIndent() const noexcept { return FRules.AutoIndent; }
    void SetAutoIndent(bool on) noexcept { FRules.AutoIndent = on; }
    [[nodiscard]] TAutoIndentTypes AutoIndentTypes() const noexcept { return FAutoIndentTypes; }
    void SetAutoIndentTypes(TAutoIndentTypes types) noexcept { FAutoIndentTypes = types; }
    [[nodiscard]] bool AutoKakko() const noexcept { return FAutoKakko; }
    void SetAutoKakko(bool on) noexcept { FAutoKakko = on; }
    [[nodiscard]] bool BanBreak() const noexcept { return FRules.BanBreak; }
    void SetBanBreak(bool on) noexcept { FRules.BanBreak = on; }
    [[nodiscard]] const std::string& BanHead() const noexcept { return FBanHead.Chars(); }
    void SetBanHead(std::string_view chars) { FBanHead.Assign(chars); }
    [[nodiscard]] const std::string& BanEnd() const noexcept { return FBanEnd.Chars(); }
    void SetBanEnd(std::string_view chars) { FBanEnd.Assign(chars); }
    [[nodiscard]] bool DoubleKana() const noexcept { return FDoubleKana; }
    void SetDoubleKana(bool on) noexcept { FDoubleKana = on; }
    [[nodiscard]] bool DoubleDiv() const noexcept { return FDoubleDiv; }
    void SetDoubleDiv(bool on) noexcept { FDoubleDiv = on; }
    [[nodiscard]] bool DoubleMul() const noexcept { return FDoubleMul; }
    void SetDoubleMul(bool on) noexcept { FDoubleMul = on; }
    // While on, every new row gets a zero Value.
    [[nodiscard]] bool CplxEnable() const noexcept { return FCplxEnable; }
    void SetCplxEnable(bool on) noexcept { FCplxEnable = on; }

    // --- Selection and view.
    [[nodiscard]] TUMemoSelection& Selection() noexcept { return FSelection; }
    [[nodiscard]] const TUMemoSelection& Selection() const noexcept { return FSelection; }
    [[nodiscard]] std::int32_t TopRow() const noexcept { return FTopRow; }
    void SetTopRow(std::int32_t row) noexcept { FTopRow = row < 0 ? 0 : row; }
    [[nodiscard]] std::int32_t LeftCol() const noexcept { return FLeftCol; }
    void SetLeftCol(std::int32_t col) noexcept { FLeftCol = col < 1 ? 1 : col; }
    // Rows the owner's view shows; decides whether the caret is visible and what the last page is.
    [[nodiscard]] std::int32_t VisibleRows() const noexcept { return FVisibleRows; }
    void SetVisibleRows(std::int32_t rows) noexcept { FVisibleRows = rows < 1 ? 1 : rows; }

    // --- The row observer (not owned; null for none).
    void SetRowObserver(TRowObserver* observer) noexcept { FObserver = observer; }
    [[nodiscard]] TRowObserver* RowObserver() const noexcept { return FObserver; }
    // The logical line (from 0) of a row, counted through the row blocks.
    [[nodiscard]] std::int32_t LineIndexOfRow(std::int32_t row) const noexcept {
        return FRows.LinesBefore(row);
    }

    // --- Undo recording: the store owns its recorder; without one nothing is recorded.
    void SetRecorder(std::unique_ptr<TEditRecorder> recorder) noexcept;
    [[nodiscard]] TEditRecorder* Recorder() const noexcept { return FRecorder.get(); }

    // The list-index error of the last out-of-range row ("... (%d)" with the row), or empty.
    [[nodiscard]] const std::string& LastError() const noexcept { return FLastError; }
    void ClearLastError() noexcept { FLastError.clear(); }

    // Empty when the rows are consistent (widths, hanging-indent lengths, block statistics) and,
    // with wrapped set, every logical line is cut exactly as a fresh wrap would cut it;
    // otherwise a description of the first faults.
    [[nodiscard]] std::string CheckRows(bool wrapped) const;

private:
    // Row primitives: valid rows, recorded, no edit group, no hanging-indent fix-up.
    void RawInsert(std::int32_t row, std::string_view text, bool continued,
                   std::uint16_t hangLength);
    void RawDelete(std::int32_t row);
    // A run of rows: recorded row by row as single inserts and deletes would record them.
    void RawInsertRows(std::int32_t row, std::vector<TUMemoStringItem>&& items);
    void RawDeleteRows(std::int32_t row, std::int32_t count);
    void RawPut(std::int32_t row, std::string_view text, bool continued, std::uint16_t hangLength);
    // Splice's change: at and count lie in the row, at not inside its hanging-indent copy,
    // bytes do not view the row.
    void RawSplice(std::int32_t row, std::size_t at, std::size_t count, std::string_view bytes);
    // The bytes, width and Tab summary of a splice, nothing else.
    void SpliceText(std::int32_t row, std::size_t at, std::size_t count, std::string_view bytes);
    // The row's text, width and Tab summary set to text.
    void SetRowText(std::int32_t row, std::string&& text);
    // After the row's text changed: its flag, its hanging-indent length (clamped to the text),
    // its mark, the changed flag and the observer.
    void RowTextChanged(std::int32_t row, bool continued, std::uint16_t hangLength);
    void RawSetFlag(std::int32_t row, bool continued);
    // A row that does not follow a continued row holds no hanging-indent copy.
    void FixHang(std::int32_t row);
    void Record(TUndoKind kind, std::int32_t row, std::string_view oldText, bool oldContinued,
                std::uint16_t oldHangLength);
    [[nodiscard]] TUMemoStringItem NewItem(std::string_view text, bool continued,
                                           std::uint16_t hangLength) const;
    [[nodiscard]] bool CheckRow(std::int32_t row, bool allowEnd = false) const;

    // The hanging indent of the logical line that starts at first.
    [[nodiscard]] std::string LineHangIndent(std::int32_t first) const;
    // Appends the wrapped rows of one line of text to rows (loading).
    void AppendWrapped(TRowStore& rows, std::string_view line) const;
    void AppendWrapped(std::vector<TUMemoStringItem>& rows, std::string_view line) const;
    // Builds the rows of every line of bytes; false when memory ran out (rows then undefined).
    bool BuildRows(std::string_view bytes, TRowStore& rows) const;
    // Walks the text: content pieces, with a call of lineEnd after every logical line.
    void VisitLines(const std::function<void(std::string_view)>& piece,
                    const std::function<void(bool last)>& lineEnd) const;
    // The selected rows of the line-break commands; false without a selection.
    [[nodiscard]] bool SelectedRows(std::int32_t& from, std::int32_t& to) const noexcept;
    void ReflowRows(std::int32_t from, std::int32_t to);
    // The parts of DeleteSelection and PasteText, one per mode; the selection is normalised.
    void DeleteLineSelection();
    void DeleteStreamSelection();
    void DeleteBoxSelection();
    void PasteIntoEmpty(const std::vector<std::string>& lines, bool selectAfter);
    void PasteRows(const std::vector<std::string>& lines, bool selectAfter);
    void PasteStream(const std::vector<std::string>& lines, bool selectAfter);
    void PasteBox(const std::vector<std::string>& lines, bool selectAfter);

    TRowStore FRows;
    TWrapRules FRules;
    TCharSet FBanHead;
    TCharSet FBanEnd;
    TAutoIndentTypes FAutoIndentTypes;
    bool FAutoKakko = false;
    bool FDoubleKana = false;
    bool FDoubleDiv = false;
    bool FDoubleMul = false;
    bool FCplxEnable = false;

    TUMemoSelection FSelection;
    std::int32_t FTopRow = 0;
    std::int32_t FLeftCol = 1;
    std::int32_t FVisibleRows = 1;

    std::unique_ptr<TEditRecorder> FRecorder;
    TRowObserver* FObserver = nullptr;
    bool FClearing = false;  // Clear tells the observer once, at its end
    std::int32_t FEditNest = 0;
    std::int32_t FUpdateCount = 0;
    bool FChanged = false;
    std::int32_t FChangedFrom = 0;
    std::int32_t FChangedTo = 0;
    mutable std::string FLastError;

    // Scratch of the reflow, kept to spare allocations on every keystroke.
    std::string FContent;
    std::vector<TRowPiece> FPieces;
    std::vector<std::size_t> FOldStarts;
};

// An edit group for the length of a scope: it closes on every path out.
class TEditGroup {
public:
    TEditGroup(TUMemoStrings& strings, bool recordState) : FStrings(strings), FRecord(recordState) {
        FStrings.BeginEdit(FRecord);
    }
    TEditGroup(const TEditGroup&) = delete;
    TEditGroup& operator=(const TEditGroup&) = delete;
    ~TEditGroup() { FStrings.EndEdit(FRecord); }

private:
    TUMemoStrings& FStrings;
    bool FRecord;
};

}  // namespace rekna
