// FindText over the rows of the line store, and the replacing commands over its lines.
#include "editor/commands/find_text.h"

#include "editor/umemo_editor.h"
#include "platform/lcmap.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace rekna {

namespace {

// How many lines Replace All works through between two questions to stop.
constexpr std::int32_t kStopCheckLines = 256;

[[nodiscard]] TSearchTypes MatchOptions(bool matchCase) {
    TSearchTypes options;
    if (matchCase) options.Include(TSearchType::stMatchCase);
    return options;
}

// The text split at CR LF, lone CR and lone LF; a break at the end leaves an empty last piece.
[[nodiscard]] std::vector<std::string_view> SplitPieces(std::string_view text) {
    std::vector<std::string_view> pieces;
    std::size_t begin = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        pieces.push_back(text.substr(begin, i - begin));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        begin = i + 1;
    }
    pieces.push_back(text.substr(begin));
    return pieces;
}

// Replaces the logical line at row by text, which may hold line breaks (each piece becomes a
// line of its own); returns the last row written. caretOffset, an offset into text, is turned
// into caret.
std::int32_t WriteLine(TUMemoStrings& s, std::int32_t row, std::string_view text,
                       std::size_t caretOffset, TSelPoint& caret) {
    if (text.find_first_of("\r\n") == std::string_view::npos) {
        s.SetLine(row, text);
        caret = PointOfLineOffset(s, row, caretOffset);
        return s.LastRowOfLine(row);
    }
    const std::vector<std::string_view> pieces = SplitPieces(text);
    std::int32_t first = row;
    std::int32_t last = row;
    std::size_t pieceStart = 0;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (i == 0) {
            s.SetLine(row, pieces[0]);
            last = s.LastRowOfLine(row);
        } else {
            first = last + 1;
            s.InsertRow(first, pieces[i], false);
            last = s.Reflow(first);
        }
        const std::size_t pieceEnd = pieceStart + pieces[i].size();
        if (caretOffset >= pieceStart && caretOffset <= pieceEnd)
            caret = PointOfLineOffset(s, first, caretOffset - pieceStart);
        // Behind the piece lies its line break: one or two bytes.
        std::size_t next = pieceEnd;
        if (next < text.size() && text[next] == '\r') ++next;
        if (next < text.size() && text[next] == '\n') ++next;
        pieceStart = next;
    }
    return last;
}

}  // namespace

TSelPoint PointOfLineOffset(const TUMemoStrings& strings, std::int32_t first, std::size_t offset) {
    if (strings.GetCount() == 0) return {1, 0};
    std::int32_t row = strings.FirstRowOfLine(first);
    const std::int32_t last = strings.LastRowOfLine(row);
    for (;; ++row) {
        const std::size_t length = strings.RowContent(row).size();
        if (offset < length || row == last) {
            offset = std::min(offset, length);
            return {strings.HangLength(row) + static_cast<std::int32_t>(offset) + 1, row};
        }
        offset -= length;
    }
}

std::size_t LineOffsetOfPoint(const TUMemoStrings& strings, TSelPoint p) {
    if (strings.GetCount() == 0) return 0;
    p.Y = std::clamp(p.Y, 0, strings.GetCount() - 1);
    std::size_t offset = 0;
    for (std::int32_t row = strings.FirstRowOfLine(p.Y); row < p.Y; ++row)
        offset += strings.RowContent(row).size();
    const std::int32_t inRow = p.X - 1 - strings.HangLength(p.Y);
    const auto content = static_cast<std::int32_t>(strings.RowContent(p.Y).size());
    return offset + static_cast<std::size_t>(std::clamp(inRow, 0, content));
}

bool SelectionHolds(const TUMemoEditor& editor, std::string_view text, bool matchCase) {
    const TUMemoStrings& s = editor.Strings();
    if (text.empty() || !s.Selection().HasSelection(s)) return false;
    const std::string selected = editor.GetSelText(false);
    if (selected.size() != text.size()) return false;
    return matchCase ? selected == text : LocaleLowerCase(selected) == LocaleLowerCase(text);
}

TSelPoint FindText(TUMemoEditor& editor, std::string_view text, TSearchTypes options,
                   std::int32_t startX, std::int32_t startY) {
    if (text.empty()) return {-1, -1};
    TUMemoStrings& s = editor.Strings();
    const TEditGroup group(s, false);
    TUMemoSelection& sel = s.Selection();
    sel.Normalize(s, true);
    const bool back = options.Contains(TSearchType::stBack);
    const bool matchCase = options.Contains(TSearchType::stMatchCase);
    const TFindMatcher matcher(text, MatchOptions(matchCase));

    TSelPoint start = sel.Caret;
    if (startY >= 0) {
        start = {startX, startY};
    } else if (sel.HasSelection(s)) {
        const bool holds = SelectionHolds(editor, text, matchCase);
        start = holds == back ? sel.Start() : sel.End();
    }

    TSelPoint found{-1, -1};
    std::int32_t length = 0;
    const std::int32_t count = s.GetCount();
    auto take = [&](TByteRange r, std::int32_t row) {
        if (r.Begin < 0) return false;
        found = {r.Begin + 1, row};
        length = r.End - r.Begin;
        return true;
    };
    if (!back) {
        for (std::int32_t y = std::max(start.Y, 0); y < count; ++y) {
            const auto hang = static_cast<std::size_t>(s.HangLength(y));
            const std::size_t from =
                y == start.Y ? std::max(static_cast<std::size_t>(std::max(start.X - 1, 0)), hang)
                             : hang;
            if (take(matcher.FindFirst(s.Get(y), from), y)) break;
        }
    } else {
        for (std::int32_t y = std::min(start.Y, count - 1); y >= 0; --y) {
            const std::string& row = s.Get(y);
            const std::size_t to =
                y == start.Y ? static_cast<std::size_t>(std::max(start.X - 1, 0)) : row.size();
            if (take(matcher.FindLast(row, static_cast<std::size_t>(s.HangLength(y)), to), y))
                break;
        }
    }

    const bool select = options.Contains(TSearchType::stSelect);
    const bool extend = options.Contains(TSearchType::stAriaSelect);
    if (found.Y >= 0) {
        const TSelPoint behind{found.X + length, found.Y};
        const TSelPoint caret = back ? found : behind;
        if (extend) {
            sel.SelectStream(s, sel.Anchor, caret);
        } else if (select) {
            sel.SelectStream(s, back ? behind : found, caret);
        } else {
            sel.Clear();
        }
        editor.ScrollCaretIntoView();
    } else if (select && !extend) {
        sel.Clear();
    }
    if (select) {
        editor.SetFindState(text, options);
        if (editor.OnSetFindText) editor.OnSetFindText(text, options);
    }
    return found;
}

bool ReplaceFoundText(TUMemoEditor& editor, std::string_view find, std::string_view replacement,
                      bool matchCase, bool backward) {
    if (editor.ReadOnly() || !SelectionHolds(editor, find, matchCase)) return false;
    TUMemoStrings& s = editor.Strings();
    const TEditGroup group(s, true);
    TUMemoSelection& sel = s.Selection();
    // The text before the selection stays as it is, so its line start and the offset of the
    // selection in that line still name the replacement's start afterwards.
    const TSelPoint start = sel.Start();
    const std::int32_t first = s.FirstRowOfLine(start.Y);
    const std::size_t offset = LineOffsetOfPoint(s, start);
    editor.ReplaceSel(replacement);
    if (backward) {
        sel.Mode = TSelMode::smNone;
        sel.Caret = PointOfLineOffset(s, first, offset);
        sel.Normalize(s);
        editor.ScrollCaretIntoView();
    }
    return true;
}

std::string ReplaceOccurrences(std::string_view text, const TFindMatcher& matcher,
                               std::string_view replacement, std::int64_t& count) {
    std::vector<TByteRange> ranges;
    matcher.Find(text, ranges);
    count = static_cast<std::int64_t>(ranges.size());
    if (ranges.empty()) return std::string(text);
    std::string out;
    out.reserve(text.size() + ranges.size() * replacement.size());
    std::size_t at = 0;
    for (const TByteRange& r : ranges) {
        out.append(text.substr(at, static_cast<std::size_t>(r.Begin) - at));
        out.append(replacement);
        at = static_cast<std::size_t>(r.End);
    }
    out.append(text.substr(at));
    return out;
}

TReplaceAllResult ReplaceAllText(TUMemoEditor& editor, std::string_view find,
                                 std::string_view replacement, bool matchCase,
                                 const std::function<bool(std::int64_t count)>& stop,
                                 const std::function<void(const TReplaceAllResult& result)>& done) {
    TReplaceAllResult result;
    TUMemoStrings& s = editor.Strings();
    if (find.empty() || editor.ReadOnly() || s.GetCount() == 0) return result;
    const TFindMatcher matcher(find, MatchOptions(matchCase));
    std::vector<TByteRange> ranges;
    std::string out;
    TSelPoint caret{-1, -1};

    // One edit group for every line, opened by the first change: a memo without the text gets
    // no undo step.
    std::optional<TEditGroup> group;
    std::int32_t lines = 0;
    for (std::int32_t row = 0; row < s.GetCount();) {
        const std::string line = s.GetLine(row);
        matcher.Find(line, ranges);
        if (ranges.empty()) {
            row = s.LastRowOfLine(row) + 1;
        } else {
            out.clear();
            std::size_t at = 0;
            for (const TByteRange& r : ranges) {
                out.append(line, at, static_cast<std::size_t>(r.Begin) - at);
                out.append(replacement);
                at = static_cast<std::size_t>(r.End);
            }
            const std::size_t caretOffset = out.size();
            out.append(line, at);
            result.Count += static_cast<std::int64_t>(ranges.size());
            if (!group) group.emplace(s, true);
            row = WriteLine(s, row, out, caretOffset, caret) + 1;
        }
        if (stop && ++lines % kStopCheckLines == 0 && stop(result.Count)) {
            result.Stopped = true;
            break;
        }
    }
    if (caret.Y >= 0) {
        TUMemoSelection& sel = s.Selection();
        sel.Mode = TSelMode::smNone;
        sel.Caret = caret;
        sel.Normalize(s);
        editor.ScrollCaretIntoView();
    }
    if (done) done(result);
    return result;
}

std::int64_t ReplaceInSelection(TUMemoEditor& editor, std::string_view find,
                                std::string_view replacement, bool matchCase) {
    TUMemoStrings& s = editor.Strings();
    if (find.empty() || editor.ReadOnly() || !s.Selection().HasSelection(s)) return 0;
    std::int64_t count = 0;
    const std::string text = ReplaceOccurrences(
        editor.GetSelText(false), TFindMatcher(find, MatchOptions(matchCase)), replacement, count);
    if (count == 0) return 0;
    const TEditGroup group(s, true);
    s.DeleteSelection();
    s.PasteText(text, true, false);
    return count;
}

}  // namespace rekna
