// TUMemoSelection: the caret, the selection anchor and the selection mode of the line store.
#pragma once

#include <compare>
#include <cstdint>

namespace rekna {

class TUMemoStrings;

// A caret or selection point: Y the row from 0, X the 1-based byte position in the row.
struct TSelPoint {
    std::int32_t X = 1;
    std::int32_t Y = 0;

    friend bool operator==(const TSelPoint&, const TSelPoint&) = default;
    // Row first, then position.
    friend std::strong_ordering operator<=>(const TSelPoint& a, const TSelPoint& b) {
        if (a.Y != b.Y) return a.Y <=> b.Y;
        return a.X <=> b.X;
    }
};

// None, whole rows, a stream of text, a box of display columns over a range of rows.
enum class TSelMode : std::uint8_t { smNone = 0, smLine = 1, smStream = 2, smBox = 3 };

// Owned by the store, which carries Caret and Anchor along when it re-wraps rows. The fields may be
// set directly; the operations below normalise afterwards, and so must a caller that sets them.
// A box of zero width over several rows is the multi-row caret: it stays in box mode without
// being a selection.
class TUMemoSelection {
public:
    TSelMode Mode = TSelMode::smNone;
    TSelPoint Caret;
    TSelPoint Anchor;
    // The display column vertical movement tries to keep.
    std::int32_t RememberedColumn = 1;

    // Caret and anchor in row-then-position order.
    [[nodiscard]] TSelPoint Start() const noexcept { return Caret < Anchor ? Caret : Anchor; }
    [[nodiscard]] TSelPoint End() const noexcept { return Caret < Anchor ? Anchor : Caret; }

    // Line mode; stream mode with caret != anchor; box mode with different caret and anchor
    // columns.
    [[nodiscard]] bool HasSelection(const TUMemoStrings& strings) const noexcept;
    [[nodiscard]] bool IsStreamSelection() const noexcept {
        return Mode == TSelMode::smStream && Caret != Anchor;
    }
    [[nodiscard]] bool IsBoxSelection(const TUMemoStrings& strings) const noexcept {
        return Mode == TSelMode::smBox && BoxLeft(strings) != BoxRight(strings);
    }
    // |caret row - anchor row| + 1 with a selection, else 0.
    [[nodiscard]] std::int32_t SelectedRowCount(const TUMemoStrings& strings) const noexcept;

    // The display column of the caret; 1 in line mode.
    [[nodiscard]] std::int32_t CaretColumn(const TUMemoStrings& strings) const noexcept;
    // The display column of the anchor (1 in line mode).
    [[nodiscard]] std::int32_t AnchorColumn(const TUMemoStrings& strings) const noexcept;
    // The box covers the columns BoxLeft <= c < BoxRight of the rows BoxTop..BoxBottom.
    [[nodiscard]] std::int32_t BoxLeft(const TUMemoStrings& strings) const noexcept;
    [[nodiscard]] std::int32_t BoxRight(const TUMemoStrings& strings) const noexcept;
    [[nodiscard]] std::int32_t BoxTop() const noexcept { return Start().Y; }
    [[nodiscard]] std::int32_t BoxBottom() const noexcept { return End().Y; }

    // Whether the character at p lies in the selection of the current mode.
    [[nodiscard]] bool IsSelected(const TUMemoStrings& strings, TSelPoint p) const noexcept;

    // The mode a caret movement leaves behind: Shift extends a stream, Shift+Ctrl a box,
    // anything else drops the selection.
    [[nodiscard]] static constexpr TSelMode ModeForShift(bool shift, bool ctrl) noexcept {
        if (!shift) return TSelMode::smNone;
        return ctrl ? TSelMode::smBox : TSelMode::smStream;
    }

    // Each operation below normalises afterwards. keepColumn leaves RememberedColumn alone
    // (vertical moves).
    void SetCaret(const TUMemoStrings& strings, TSelPoint p, TSelMode mode,
                  bool keepColumn = false) noexcept;
    void SetCaretOnly(const TUMemoStrings& strings, TSelPoint p, bool keepColumn = false) noexcept;
    void SetAnchor(const TUMemoStrings& strings, TSelPoint p) noexcept;
    void SetMode(const TUMemoStrings& strings, TSelMode mode) noexcept;
    // Line mode from row a (the anchor) to row b (the caret).
    void SelectRows(const TUMemoStrings& strings, std::int32_t a, std::int32_t b) noexcept;
    void SelectStream(const TUMemoStrings& strings, TSelPoint from, TSelPoint to) noexcept;
    // Both ends given as (display column, row).
    void SelectBox(const TUMemoStrings& strings, TSelPoint from, TSelPoint to) noexcept;

    // Caret (1, 0), mode none; not normalised (the store may be empty).
    void Reset() noexcept;
    // Mode none, anchor at the caret.
    void Clear() noexcept;

    // Brings caret and anchor onto existing rows and positions: (1, 0) in an empty store,
    // otherwise clamped to the rows and to 1..length+1 and moved off the second byte of a
    // double-byte character. Without a mode the anchor follows the caret; a stream or box
    // selection whose ends coincide falls back to no selection. The remembered column follows the
    // caret unless keepColumn is set.
    void Normalize(const TUMemoStrings& strings, bool keepColumn = false) noexcept;
};

}  // namespace rekna
