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

enum class TSelMode : std::uint8_t { smNone = 0, smLine = 1, smStream = 2, smBox = 3 };

// Owned by the store, which carries Caret and Anchor along when it re-wraps rows.
class TUMemoSelection {
public:
    TSelMode Mode = TSelMode::smNone;
    TSelPoint Caret;
    TSelPoint Anchor;

    // Caret and anchor in row-then-position order.
    [[nodiscard]] TSelPoint Start() const noexcept { return Caret < Anchor ? Caret : Anchor; }
    [[nodiscard]] TSelPoint End() const noexcept { return Caret < Anchor ? Anchor : Caret; }

    // Line mode; stream mode with caret != anchor; box mode with different caret and anchor
    // columns.
    [[nodiscard]] bool HasSelection(const TUMemoStrings& strings) const noexcept;

    // Caret (1, 0), mode none.
    void Reset() noexcept;
    // Mode none, anchor at the caret.
    void Clear() noexcept;

    // Brings caret and anchor onto existing rows and positions: (1, 0) in an empty store,
    // otherwise clamped to the rows and to 1..length+1 and moved off the second byte of a
    // double-byte character. Without a mode the anchor follows the caret; a stream or box
    // selection whose ends coincide falls back to no selection.
    void Normalize(const TUMemoStrings& strings) noexcept;
};

}  // namespace rekna
