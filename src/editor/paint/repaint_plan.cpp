// The incremental repaint: comparing what the rows show now with what they showed at the last
// paint, and the rows the line store marked.
#include "editor/paint/repaint_plan.h"

#include "editor/store/umemo_strings.h"

#include <algorithm>
#include <cstdlib>

namespace rekna {

void LookRows(const TUMemoStrings& strings, const TLookInputs& in, std::vector<TRowLook>& looks) {
    const std::int32_t count = strings.GetCount();
    const TSelPoint caret = strings.Selection().Caret;
    looks.resize(static_cast<std::size_t>(std::max(in.View.PageRows, 0)));
    for (std::size_t i = 0; i < looks.size(); ++i) {
        const std::int32_t row = in.View.TopRow + static_cast<std::int32_t>(i);
        TRowLook& look = looks[i];
        look.Exists = row < count;
        if (!look.Exists) {
            look = TRowLook{};
            continue;
        }
        const std::string& text = strings.Get(row);
        look.Bytes = text.size();
        if (text.size() <= kLookTextBytes) {
            look.Text.assign(text);
        } else {
            look.Text.assign(text, 0, kLookTextBytes / 2);
            look.Text.append(text, text.size() - kLookTextBytes / 2);
        }
        look.Continued = strings.Continued(row);
        look.Last = row == count - 1;
        look.AnswerVB =
            in.FileType == TFileType::ftAns && strings.Result(strings.FirstRowOfLine(row)) == "VB";
        look.CaretRow = row == caret.Y;
        look.PairOpen = in.PairOpen.Y == row ? in.PairOpen.X : 0;
        look.PairClose = in.PairClose.Y == row ? in.PairClose.X : 0;
        look.Selection = RowSelectionOf(strings, row, in.Focused, in.HideSelection);
    }
}

TCaretPair CaretPairOf(const TClassifiedLine& line) noexcept {
    TCaretPair pair;
    if (line.CaretPair == kNoPair) return pair;
    if (line.PairOpen.Row >= 0) pair.Open = TSelPoint{line.PairOpen.Pos, line.PairOpen.Row};
    if (line.PairClose.Row >= 0) pair.Close = TSelPoint{line.PairClose.Pos, line.PairClose.Row};
    return pair;
}

TRepaintPlan TRepaintTracker::Plan(const TUMemoStrings& strings, const TViewFrame& view,
                                   const std::vector<TRowLook>& looks) const {
    TRepaintPlan plan;
    const std::int32_t pageRows = view.PageRows;
    const std::int32_t pageCols = view.PageCols;
    plan.ScrollRows = view.TopRow - FView.TopRow;
    plan.ScrollCols = view.LeftCol - FView.LeftCol;
    if (!FValid || pageRows != FView.PageRows || pageCols != FView.PageCols ||
        view.PaperColumns != FView.PaperColumns || std::abs(plan.ScrollRows) >= pageRows ||
        std::abs(plan.ScrollCols) >= pageCols ||
        looks.size() != static_cast<std::size_t>(pageRows)) {
        plan.Full = true;
        plan.ScrollRows = plan.ScrollCols = 0;
        for (std::int32_t i = 0; i < pageRows; ++i)
            plan.Rows.push_back(view.TopRow + i);
        return plan;
    }

    const std::int32_t count = strings.GetCount();
    std::vector<char> dirty(static_cast<std::size_t>(pageRows), 0);
    std::vector<char> content(static_cast<std::size_t>(pageRows), 0);
    bool belowInserted = false;
    for (std::int32_t i = 0; i < pageRows; ++i) {
        const auto u = static_cast<std::size_t>(i);
        const std::int32_t row = view.TopRow + i;
        // The old row whose pixels the scroll brought here. The old last row may have been only
        // partly visible: moved up, its pixels are not reused.
        const std::int32_t j = i + plan.ScrollRows;
        if (j < 0 || j >= FView.PageRows || (plan.ScrollRows > 0 && j == FView.PageRows - 1)) {
            dirty[u] = 1;
        } else {
            const TRowLook& was = FLooks[static_cast<std::size_t>(j)];
            const TRowLook& now = looks[u];
            if (was.Exists != now.Exists || was.Bytes != now.Bytes || was.Text != now.Text ||
                was.Continued != now.Continued || was.Last != now.Last ||
                was.AnswerVB != now.AnswerVB) {
                dirty[u] = content[u] = 1;
            } else if (!(was == now)) {
                dirty[u] = 1;
            }
        }
        if (row < count) {
            const TRowMark mark = strings.RowMark(row);
            if (mark == TRowMark::rmInserted) belowInserted = true;
            if (mark != TRowMark::rmNone || belowInserted) dirty[u] = content[u] = 1;
        } else if (belowInserted) {
            dirty[u] = 1;
        }
    }

    // A change anywhere in a logical line can recolour all of it, also from rows out of view.
    const std::int32_t lastVisible = std::min(view.TopRow + pageRows, count) - 1;
    const auto markedOutside = [&](std::int32_t from, std::int32_t to) {
        bool any = false;
        for (std::int32_t r = from; r <= to; ++r) {
            if (strings.RowMark(r) != TRowMark::rmNone) {
                plan.SeenMarks.push_back(r);
                any = true;
            }
        }
        return any;
    };
    if (lastVisible >= view.TopRow) {
        const std::int32_t head = strings.FirstRowOfLine(view.TopRow);
        if (head < view.TopRow && markedOutside(head, view.TopRow - 1)) content[0] = 1;
        const std::int32_t tail = strings.LastRowOfLine(lastVisible);
        if (tail > lastVisible && markedOutside(lastVisible + 1, tail))
            content[static_cast<std::size_t>(lastVisible - view.TopRow)] = 1;
    }
    for (std::int32_t i = 0; i < pageRows; ++i) {
        const std::int32_t row = view.TopRow + i;
        if (!content[static_cast<std::size_t>(i)] || row >= count) continue;
        const std::int32_t first = std::max(strings.FirstRowOfLine(row), view.TopRow);
        const std::int32_t last = std::min(strings.LastRowOfLine(row), lastVisible);
        for (std::int32_t r = first; r <= last; ++r)
            dirty[static_cast<std::size_t>(r - view.TopRow)] = 1;
        i = std::max(i, last - view.TopRow);
    }

    for (std::int32_t i = 0; i < pageRows; ++i) {
        if (dirty[static_cast<std::size_t>(i)]) plan.Rows.push_back(view.TopRow + i);
    }
    if (plan.ScrollCols > 0) {
        // The old partly visible right column is painted again with the new ones.
        plan.StripFrom = FView.LeftCol + pageCols - 1;
        plan.StripTo = view.LeftCol + pageCols - 1;
    } else if (plan.ScrollCols < 0) {
        plan.StripFrom = view.LeftCol;
        plan.StripTo = FView.LeftCol - 1;
    }
    return plan;
}

void TRepaintTracker::Painted(const TViewFrame& view, std::vector<TRowLook>& looks) {
    FView = view;
    FLooks.swap(looks);
    FValid = true;
}

}  // namespace rekna
