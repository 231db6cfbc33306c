// The selection's queries and its normalisation against the rows of the store.
#include "editor/umemo_selection.h"

#include "editor/columns.h"
#include "editor/umemo_strings.h"

#include <algorithm>

namespace rekna {

bool TUMemoSelection::HasSelection(const TUMemoStrings& strings) const noexcept {
    switch (Mode) {
    case TSelMode::smLine: return true;
    case TSelMode::smStream: return Caret != Anchor;
    case TSelMode::smBox: {
        const std::int32_t count = strings.GetCount();
        if (count == 0) return false;
        auto column = [&](TSelPoint p) {
            const std::int32_t row = std::clamp(p.Y, 0, count - 1);
            return strings.ColumnOfPos(strings.Item(row).Text, p.X);
        };
        return column(Caret) != column(Anchor);
    }
    case TSelMode::smNone: break;
    }
    return false;
}

void TUMemoSelection::Reset() noexcept {
    Mode = TSelMode::smNone;
    Caret = {1, 0};
    Anchor = Caret;
}

void TUMemoSelection::Clear() noexcept {
    Mode = TSelMode::smNone;
    Anchor = Caret;
}

void TUMemoSelection::Normalize(const TUMemoStrings& strings) noexcept {
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
}

}  // namespace rekna
