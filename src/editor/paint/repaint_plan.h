// TRepaintTracker: which rows of the view must be painted again after an edit, a caret move or a
// scroll, given what every visible row showed at the last paint.
#pragma once

#include "editor/paint/char_kind.h"
#include "editor/selection/umemo_selection.h"
#include "editor/store/row_cells.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace rekna {

class TUMemoStrings;

// The view at a paint. PageRows and PageCols count a partly visible row or column.
struct TViewFrame {
    std::int32_t TopRow = 0;
    std::int32_t LeftCol = 1;
    std::int32_t PageRows = 1;
    std::int32_t PageCols = 1;
    std::int32_t PaperColumns = 0;  // the paper's right edge, in columns

    friend bool operator==(const TViewFrame&, const TViewFrame&) = default;
};

// Everything a row's pixels depend on besides the painter's settings.
struct TRowLook {
    bool Exists = false;  // false: the empty area below the last row
    // The row's text; of a long row only its length and its two ends, the line store's repaint
    // mark telling of every other change.
    std::string Text;
    std::size_t Bytes = 0;
    bool Continued = false;
    bool Last = false;
    bool AnswerVB = false;      // the answer pane's script-answer colouring of its line
    bool CaretRow = false;      // the underline
    std::int32_t PairOpen = 0;  // byte positions of caret-pair brackets on the row, 0 for none
    std::int32_t PairClose = 0;
    TRowSelection Selection;

    friend bool operator==(const TRowLook&, const TRowLook&) = default;
};

// A row's text is kept whole in its look up to this length.
inline constexpr std::size_t kLookTextBytes = 4096;

// What LookRows needs to know besides the store.
struct TLookInputs {
    TViewFrame View;
    bool Focused = false;
    bool HideSelection = false;
    TFileType FileType = TFileType::ftRekna;
    // The brackets of the caret pair (Y < 0: none).
    TSelPoint PairOpen{0, -1};
    TSelPoint PairClose{0, -1};
};

// The look of every visible row, top first; looks is resized to View.PageRows.
void LookRows(const TUMemoStrings& strings, const TLookInputs& inputs,
              std::vector<TRowLook>& looks);

// The two ends of the bracket pair that encloses the caret, as found by classifying the caret's
// line; Y < 0 for an end that is missing.
struct TCaretPair {
    TSelPoint Open{0, -1};
    TSelPoint Close{0, -1};
};
[[nodiscard]] TCaretPair CaretPairOf(const TClassifiedLine& caretLine) noexcept;

struct TRepaintPlan {
    bool Full = false;
    // How far the view moved since the last paint: the window contents move up by ScrollRows rows
    // and left by ScrollCols columns.
    std::int32_t ScrollRows = 0;
    std::int32_t ScrollCols = 0;
    // Rows to paint whole, ascending; rows at or below the row count are the empty area below it.
    std::vector<std::int32_t> Rows;
    // After a sideways scroll, the columns to paint on every other visible row (empty: To < From).
    std::int32_t StripFrom = 1;
    std::int32_t StripTo = 0;
    // Rows outside the view whose repaint marks were taken into account; the painter clears them.
    std::vector<std::int32_t> SeenMarks;
};

class TRepaintTracker {
public:
    // The next plan repaints everything.
    void Invalidate() noexcept { FValid = false; }
    [[nodiscard]] bool Valid() const noexcept { return FValid; }

    // A row is painted again when its look changed, when the line store marked it (an inserted
    // row also every visible row below it), when a row of its logical line changed (comments,
    // strings and brackets carry across soft breaks), and when scrolling uncovered it.
    [[nodiscard]] TRepaintPlan Plan(const TUMemoStrings& strings, const TViewFrame& view,
                                    const std::vector<TRowLook>& looks) const;

    // Remembers what the view shows after a paint.
    void Painted(const TViewFrame& view, std::vector<TRowLook>& looks);

private:
    bool FValid = false;
    TViewFrame FView;
    std::vector<TRowLook> FLooks;
};

}  // namespace rekna
