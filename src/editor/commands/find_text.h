// The editor's search over its rows (FindText) and the replacing commands over its lines.
#pragma once

#include "editor/commands/find_match.h"
#include "editor/selection/umemo_selection.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace rekna {

class TUMemoEditor;
class TUMemoStrings;

// Searches the rows for text and returns where it was found: X the 1-based byte position of the
// match in row Y, or (-1, -1). An empty text finds nothing and changes nothing.
// - Without stMatchCase letters match in either case. Matches never span rows and never begin
//   inside a double-byte character or a row's hanging-indent copy.
// - The search starts at (startX, startY) when startY >= 0; else at the caret; else, with a
//   selection that holds the text, behind it (ahead of it upward), so that a repeated search
//   moves on; with any other selection at its start (its end upward), so that it is searched.
// - Down: the first match from the start on. Up (stBack): the last match that ends at or before
//   the start. No wrap-around.
// - Found: with stSelect or stAriaSelect the caret goes behind the match (to its start upward);
//   stAriaSelect extends a stream from the old anchor, stSelect selects the match; without both
//   the selection is dropped. The caret is scrolled into view.
// - Not found: stSelect without stAriaSelect drops the selection.
// - With stSelect, found or not, text and options become the find highlight and OnSetFindText
//   fires.
// It runs as one edit group without undo records, so the host hears one set of notifications.
TSelPoint FindText(TUMemoEditor& editor, std::string_view text, TSearchTypes options,
                   std::int32_t startX = -1, std::int32_t startY = -1);

// Whether the selected text is text: exactly with matchCase, else ignoring case.
[[nodiscard]] bool SelectionHolds(const TUMemoEditor& editor, std::string_view text,
                                  bool matchCase);

// When the selection holds find, it is replaced by replacement and true is returned. Backward,
// the caret then stands at the start of the replacement, found again from where the selection
// began, so also a replacement that holds line breaks or re-wraps its line puts it right; the
// next upward search then does not find the inserted text. One edit group, one undo step.
bool ReplaceFoundText(TUMemoEditor& editor, std::string_view find, std::string_view replacement,
                      bool matchCase, bool backward);

// How Replace All ended.
struct TReplaceAllResult {
    std::int64_t Count = 0;  // occurrences replaced
    bool Stopped = false;    // stop() asked to end early
};

// Every occurrence of find in every logical line, left to right and not overlapping, replaced
// by replacement (which may hold line breaks), in one edit group: one undo step and one set of
// notifications, however many lines changed. stop (when set) is asked every few hundred lines
// with the count so far; true ends the command there, the work done so far kept as the one step.
// The caret ends behind the last replacement. Nothing happens on a read-only editor or for an
// empty find text. done (when set) hears the result while the edit group is still open, before
// the notifications (and the recalculation they start) run.
TReplaceAllResult
ReplaceAllText(TUMemoEditor& editor, std::string_view find, std::string_view replacement,
               bool matchCase, const std::function<bool(std::int64_t count)>& stop = {},
               const std::function<void(const TReplaceAllResult& result)>& done = {});

// The selected text with every occurrence replaced, put back in place of the selection (one undo
// step); returns the number of occurrences, and changes nothing when it is 0.
std::int64_t ReplaceInSelection(TUMemoEditor& editor, std::string_view find,
                                std::string_view replacement, bool matchCase);

// text with every occurrence that matcher finds replaced; count receives their number.
[[nodiscard]] std::string ReplaceOccurrences(std::string_view text, const TFindMatcher& matcher,
                                             std::string_view replacement, std::int64_t& count);

// The point of byte offset of the logical line that starts at row first (offsets count the
// line's text, without hanging-indent copies), clamped to the line's end.
[[nodiscard]] TSelPoint PointOfLineOffset(const TUMemoStrings& strings, std::int32_t first,
                                          std::size_t offset);
// The line-text offset of a point, the inverse of the above.
[[nodiscard]] std::size_t LineOffsetOfPoint(const TUMemoStrings& strings, TSelPoint p);

}  // namespace rekna
