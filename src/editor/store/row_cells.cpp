// Placing a row's classified characters on columns and applying what the row shows on top.
#include "editor/store/row_cells.h"

#include "editor/store/columns.h"
#include "editor/store/umemo_strings.h"

#include <algorithm>
#include <climits>

namespace rekna {
namespace {

constexpr std::int32_t kEofWidth = 5;   // "[EOF]"
constexpr std::int32_t kCrLfWidth = 2;  // "↓"

[[nodiscard]] std::int32_t Clamp32(std::int64_t v) noexcept {
    return static_cast<std::int32_t>(std::min<std::int64_t>(v, INT32_MAX));
}

void ApplyFind(const TFindMatcher& find, std::string_view text, std::vector<TPaintCell>& cells) {
    thread_local std::vector<TByteRange> ranges;
    find.Find(text, ranges);
    std::size_t m = 0;
    for (TPaintCell& c : cells) {
        if (c.Bytes == 0) continue;
        const std::int32_t begin = c.Pos - 1;
        const std::int32_t end = begin + c.Bytes;
        while (m < ranges.size() && ranges[m].End <= begin)
            ++m;
        if (m < ranges.size() && ranges[m].Begin < end) c.Kind = TCharKind::ckFind;
    }
}

void ApplySelection(const TRowSelection& sel, std::vector<TPaintCell>& cells) {
    for (TPaintCell& c : cells) {
        switch (sel.Mode) {
        case TSelMode::smNone: break;
        case TSelMode::smLine: c.Selected = true; break;
        case TSelMode::smStream:
            c.Selected = c.Bytes == 0 ? sel.EndSelected : (c.Pos >= sel.From && c.Pos < sel.To);
            break;
        case TSelMode::smBox:
            c.Selected = c.Bytes != 0 && c.Column >= sel.From && c.Column < sel.To;
            break;
        }
    }
}

// Levels relative to the row's innermost brackets; Level holds the depth on entry.
bool ApplyLevels(std::vector<TPaintCell>& cells) {
    std::int32_t lo = INT32_MAX;
    std::int32_t hi = INT32_MIN;
    for (const TPaintCell& c : cells) {
        if (c.Kind != TCharKind::ckKakko) continue;
        lo = std::min(lo, c.Level);
        hi = std::max(hi, c.Level);
    }
    for (TPaintCell& c : cells) {
        if (c.Kind != TCharKind::ckKakko) {
            c.Level = 0;
            c.CaretPair = false;
        } else {
            c.Level = lo == hi ? 0 : c.Level - hi;
        }
    }
    return lo < hi;
}

}  // namespace

TRowSelection RowSelectionOf(const TUMemoStrings& strings, std::int32_t row, bool focused,
                             bool hideSelection) {
    TRowSelection r;
    const TUMemoSelection& sel = strings.Selection();
    if ((hideSelection && !focused) || row < 0 || row >= strings.GetCount()) return r;
    const TSelPoint start = sel.Start();
    const TSelPoint end = sel.End();
    if (row < start.Y || row > end.Y) return r;
    switch (sel.Mode) {
    case TSelMode::smNone: return r;
    case TSelMode::smLine:
        r.Mode = TSelMode::smLine;
        r.EndSelected = true;
        break;
    case TSelMode::smStream: {
        if (!sel.IsStreamSelection()) return r;
        const auto len = static_cast<std::int32_t>(strings.Get(row).size());
        r.From = row == start.Y ? start.X : 1;
        r.To = row == end.Y ? end.X : len + 1;
        if (strings.AutoIndent() && strings.AutoIndentTypes().Contains(TAutoIndentType::atSelect))
            r.From = std::max(r.From, strings.IndentLength(row) + 1);
        r.EndSelected = row < end.Y;
        if (r.From >= r.To && !r.EndSelected) return TRowSelection{};
        r.Mode = TSelMode::smStream;
        break;
    }
    case TSelMode::smBox: {
        const std::int32_t left = sel.BoxLeft(strings);
        const std::int32_t right = sel.BoxRight(strings);
        if (left >= right) return r;
        r.Mode = TSelMode::smBox;
        r.From = left;
        r.To = right;
        break;
    }
    }
    r.Focused = focused;
    return r;
}

void BuildRowCells(const TUMemoStrings& strings, const TClassifiedLine& line, std::int32_t row,
                   const TRowCellOptions& options, TRowCells& out) {
    out.Row = row;
    out.State = line.State;
    out.Cells.clear();
    out.EndColumn = 1;
    out.SeveralLevels = false;
    const std::int32_t count = strings.GetCount();
    if (row < 0 || row >= count || !line.Holds(row)) return;
    const std::string& text = strings.Get(row);
    const std::int32_t tabStops = strings.TabStops();
    const std::int32_t wrap = strings.WrapColumns();
    const auto index = static_cast<std::size_t>(row - line.FirstRow);
    const std::int32_t k0 = line.RowBegin[index];
    const std::int32_t k1 = line.RowBegin[index + 1];
    const std::int64_t from = options.FromColumn;
    const std::int64_t to = options.ToColumn;
    // A long line keeps the cells of a window: the columns start at its first cell.
    std::int64_t col = 1;
    if (line.Partial && k0 < k1)
        col = strings.RowColumnOfPos(row, line.Cells[static_cast<std::size_t>(k0)].Pos);
    for (std::int32_t k = k0; k < k1; ++k) {
        const TCharCell& c = line.Cells[static_cast<std::size_t>(k)];
        const char first = text[static_cast<std::size_t>(c.Pos - 1)];
        std::int64_t width = c.Bytes;
        if (first == '\t') {
            std::int64_t next = NextTabColumn(col, tabStops);
            if (wrap > 0) next = std::max(col + 1, std::min<std::int64_t>(next, wrap + 1));
            width = next - col;
        }
        if (col + width > from && col <= to) {
            TPaintCell p;
            p.Pos = c.Pos;
            p.Column = Clamp32(col);
            p.Width = Clamp32(width);
            p.Bytes = c.Bytes;
            p.Byte = static_cast<std::uint8_t>(first);
            p.Kind = c.Kind;
            p.Level = c.Depth;
            p.CaretPair = c.Pair != kNoPair && c.Pair == line.CaretPair;
            out.Cells.push_back(p);
        }
        col += width;
    }
    const auto len = static_cast<std::int32_t>(text.size());
    if (line.Partial && (k0 == k1 || line.Cells[static_cast<std::size_t>(k1 - 1)].Pos +
                                             line.Cells[static_cast<std::size_t>(k1 - 1)].Bytes <=
                                         len)) {
        col = strings.RowColumnOfPos(row, len + 1);
    }
    out.EndColumn = Clamp32(col);
    const bool last = row == count - 1;
    TPaintCell mark;
    mark.Pos = len + 1;
    mark.Column = out.EndColumn;
    mark.Bytes = 0;
    if (last && options.ShowEof) {
        mark.Kind = TCharKind::ckEof;
        mark.Width = kEofWidth;
    } else if (!last && !strings.Continued(row) && options.ShowCr) {
        mark.Kind = TCharKind::ckCrLf;
        mark.Width = kCrLfWidth;
    } else {
        mark.Width = 0;
    }
    if (mark.Width > 0 && col + mark.Width > from && col <= to) out.Cells.push_back(mark);

    if (options.Find != nullptr && !options.Find->Empty())
        ApplyFind(*options.Find, text, out.Cells);
    ApplySelection(options.Selection, out.Cells);
    out.SeveralLevels = ApplyLevels(out.Cells);
}

}  // namespace rekna
