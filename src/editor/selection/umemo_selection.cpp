// The selection's queries, its operations and its normalisation against the rows of the store.
#include "editor/selection/umemo_selection.h"

#include "editor/store/columns.h"
#include "editor/store/umemo_strings.h"

#include <algorithm>
#include <cstdlib>

namespace rekna {
namespace {

// The display column of a point, its row clamped to the store.
[[nodiscard]] std::int32_t ColumnOf(const TUMemoStrings& strings, TSelPoint p) noexcept {
    const std::int32_t count = strings.GetCount();
    if (count == 0) return 1;
    const std::int32_t row = std::clamp(p.Y, 0, count - 1);
    return strings.RowColumnOfPos(row, p.X);
}

}  // namespace

bool TUMemoSelection::HasSelection(const TUMemoStrings& strings) const noexcept {
    switch (Mode) {
    case TSelMode::smLine: return true;
    case TSelMode::smStream: return Caret != Anchor;
    case TSelMode::smBox: return strings.GetCount() > 0 && BoxLeft(strings) != BoxRight(strings);
    case TSelMode::smNone: break;
    }
    return false;
}

std::int32_t TUMemoSelection::SelectedRowCount(const TUMemoStrings& strings) const noexcept {
    if (!HasSelection(strings)) return 0;
    return std::abs(Caret.Y - Anchor.Y) + 1;
}

std::int32_t TUMemoSelection::CaretColumn(const TUMemoStrings& strings) const noexcept {
    return Mode == TSelMode::smLine ? 1 : ColumnOf(strings, Caret);
}

std::int32_t TUMemoSelection::AnchorColumn(const TUMemoStrings& strings) const noexcept {
    return Mode == TSelMode::smLine ? 1 : ColumnOf(strings, Anchor);
}

std::int32_t TUMemoSelection::BoxLeft(const TUMemoStrings& strings) const noexcept {
    return std::min(ColumnOf(strings, Caret), ColumnOf(strings, Anchor));
}

std::int32_t TUMemoSelection::BoxRight(const TUMemoStrings& strings) const noexcept {
    return std::max(ColumnOf(strings, Caret), ColumnOf(strings, Anchor));
}

bool TUMemoSelection::IsSelected(const TUMemoStrings& strings, TSelPoint p) const noexcept {
    switch (Mode) {
    case TSelMode::smLine: return p.Y >= Start().Y && p.Y <= End().Y;
    case TSelMode::smStream: return Start() <= p && p < End();
    case TSelMode::smBox: {
        if (p.Y < BoxTop() || p.Y > BoxBottom()) return false;
        const std::int32_t column = ColumnOf(strings, p);
        return column >= BoxLeft(strings) && column < BoxRight(strings);
    }
    case TSelMode::smNone: break;
    }
    return false;
}

void TUMemoSelection::SetCaret(const TUMemoStrings& strings, TSelPoint p, TSelMode mode,
                               bool keepColumn) noexcept {
    // A selection starts where the caret stood.
    if (Mode == TSelMode::smNone) Anchor = Caret;
    Mode = mode;
    Caret = p;
    Normalize(strings, keepColumn);
}

void TUMemoSelection::SetCaretOnly(const TUMemoStrings& strings, TSelPoint p,
                                   bool keepColumn) noexcept {
    Caret = p;
    Normalize(strings, keepColumn);
}

void TUMemoSelection::SetAnchor(const TUMemoStrings& strings, TSelPoint p) noexcept {
    Anchor = p;
    Normalize(strings, true);
}

void TUMemoSelection::SetMode(const TUMemoStrings& strings, TSelMode mode) noexcept {
    Mode = mode;
    Normalize(strings, true);
}

void TUMemoSelection::SelectRows(const TUMemoStrings& strings, std::int32_t a,
                                 std::int32_t b) noexcept {
    Mode = TSelMode::smLine;
    Anchor = {1, a};
    Caret = {1, b};
    Normalize(strings);
}

void TUMemoSelection::SelectStream(const TUMemoStrings& strings, TSelPoint from,
                                   TSelPoint to) noexcept {
    Mode = TSelMode::smStream;
    Anchor = from;
    Caret = to;
    Normalize(strings);
}

void TUMemoSelection::SelectBox(const TUMemoStrings& strings, TSelPoint from,
                                TSelPoint to) noexcept {
    auto position = [&](TSelPoint p) {
        const std::int32_t count = strings.GetCount();
        if (count == 0) return TSelPoint{1, 0};
        const std::int32_t row = std::clamp(p.Y, 0, count - 1);
        return TSelPoint{strings.PosOfColumn(strings.Item(row).Text, p.X), row};
    };
    Mode = TSelMode::smBox;
    Anchor = position(from);
    Caret = position(to);
    Normalize(strings);
}

void TUMemoSelection::Reset() noexcept {
    Mode = TSelMode::smNone;
    Caret = {1, 0};
    Anchor = Caret;
    RememberedColumn = 1;
}

void TUMemoSelection::Clear() noexcept {
    Mode = TSelMode::smNone;
    Anchor = Caret;
}

void TUMemoSelection::Normalize(const TUMemoStrings& strings, bool keepColumn) noexcept {
    const std::int32_t count = strings.GetCount();
    if (count == 0) {
        Caret = {1, 0};
        Anchor = Caret;
    } else {
        for (TSelPoint* point : {&Caret, &Anchor}) {
            point->Y = std::clamp(point->Y, 0, count - 1);
            point->X = AdjustToCharStart(strings.Item(point->Y).Text, point->X);
        }
    }
    if (Mode == TSelMode::smNone) Anchor = Caret;
    if ((Mode == TSelMode::smStream || Mode == TSelMode::smBox) && Anchor == Caret)
        Mode = TSelMode::smNone;
    if (!keepColumn) RememberedColumn = CaretColumn(strings);
}

}  // namespace rekna
