// The printed page: margins in printer dots, lines per page, pages, and the texts of one page
// with their places, worked out once and drawn alike on the preview and on paper.
#include "print/print_layout.h"

#include <algorithm>

#include "platform/cp932.h"

namespace rekna {

TPrintRect MarginRect(const TPrintMetrics& m, const TMarginsMm& mm) noexcept {
    return {std::max(MmToDots(mm.Left, m.DpiX), m.OffX), std::max(MmToDots(mm.Top, m.DpiY), m.OffY),
            std::min(m.PaperW - MmToDots(mm.Right, m.DpiX), m.OffX + m.PageW),
            std::min(m.PaperH - MmToDots(mm.Bottom, m.DpiY), m.OffY + m.PageH)};
}

TPrintRect PageMargins(const TPrintMetrics& m, const TMarginsMm& mm) noexcept {
    // A margin narrower than the printer's own edge is the edge: nothing is drawn outside the
    // printable area.
    return {std::max(0, MmToDots(mm.Left, m.DpiX) - m.OffX),
            std::max(0, MmToDots(mm.Top, m.DpiY) - m.OffY),
            std::max(0, MmToDots(mm.Right, m.DpiX) - (m.PaperW - m.OffX - m.PageW)),
            std::max(0, MmToDots(mm.Bottom, m.DpiY) - (m.PaperH - m.OffY - m.PageH))};
}

int LinesPerPage(int pageH, int top, int bottom, int gap, int pitch) noexcept {
    if (pitch <= 0) return 1;
    const long long lines = (static_cast<long long>(pageH) - top - bottom + gap) / pitch;
    return static_cast<int>(std::clamp<long long>(lines, 1, 1 << 20));
}

int PageCount(int lines, int linesPerPage) noexcept {
    const long long per = std::max(linesPerPage, 1);
    return static_cast<int>((std::max(lines, 0) + per - 1) / per);
}

void TabbedLinePieces(int x0, int y, std::string_view text, int tabWidth, const TTextWidth& width,
                      std::vector<TPrintPiece>& out) {
    tabWidth = std::max(tabWidth, 1);
    long long x = x0;
    while (true) {
        const std::size_t tab = text.find('\t');
        const std::string_view piece = text.substr(0, tab);
        if (!piece.empty()) out.push_back({static_cast<int>(x), y, std::string(piece)});
        if (tab == std::string_view::npos) break;
        x += width(piece);
        x = x0 + ((x - x0) / tabWidth + 1) * tabWidth;
        x = std::min<long long>(x, 1 << 30);
        text.remove_prefix(tab + 1);
    }
}

std::string HeaderTitle(std::string_view caption) {
    const std::size_t at = caption.find(" - Rekna");
    return at == std::string_view::npos ? std::string() : std::string(caption.substr(0, at));
}

std::string PageNumberText(int page, int pages) {
    return std::to_string(page) + " / " + std::to_string(pages);
}

std::size_t FitLine(std::string_view text, std::size_t from, int limit, int tabWidth,
                    const TTextWidth& width, std::vector<TPrintPiece>& out, int& end) {
    tabWidth = std::max(tabWidth, 1);
    limit = std::max(limit, 1);
    long long x = 0;
    end = 0;
    std::size_t at = std::min(from, text.size());
    while (at < text.size()) {
        const std::size_t tab = text.find('\t', at);
        const std::size_t stop = tab == std::string_view::npos ? text.size() : tab;
        const std::string_view piece = text.substr(at, stop - at);
        int w = piece.empty() ? 0 : width(piece);
        std::size_t taken = piece.size();
        if (x + w > limit) {
            // The longest run of whole characters that still fits; widths grow with the run.
            std::vector<std::size_t> ends;
            for (std::size_t i = 0; i < piece.size(); i += CharLength(piece, i))
                ends.push_back(i + CharLength(piece, i));
            std::size_t lo = 0, hi = ends.size();
            while (lo < hi) {
                const std::size_t mid = (lo + hi + 1) / 2;
                if (x + width(piece.substr(0, ends[mid - 1])) <= limit)
                    lo = mid;
                else
                    hi = mid - 1;
            }
            if (lo == 0 && x > 0) return at;  // the next line starts with this piece
            taken = ends[std::max<std::size_t>(lo, 1) - 1];
            w = width(piece.substr(0, taken));
        }
        if (taken > 0) {
            out.push_back({static_cast<int>(x), 0, std::string(piece.substr(0, taken))});
            end = static_cast<int>(x + w);
        }
        if (taken < piece.size()) return at + taken;
        if (tab == std::string_view::npos) return text.size();
        x = ((x + w) / tabWidth + 1) * tabWidth;
        at = tab + 1;
        // A tab stop at or past the edge ends the line; the text after the tab begins the next.
        if (x >= limit) return at;
    }
    return text.size();
}

namespace {

// Where a row's answer of width w goes when the row's text ends at textEnd on a line of width
// limit whose second column starts at ansX: that x on the same line, or -1 for the next line.
int AnswerPlace(int textEnd, int w, int ansX, int limit, int space) {
    const int free = textEnd > 0 ? textEnd + space : 0;
    if (ansX >= free && ansX + w <= limit) return ansX;
    if (limit - w >= free) return limit - w;
    return -1;
}

}  // namespace

TPrintFlow FlowRows(const TPrintRequest& r, const TPrintSource& src, const TTextWidth& width) {
    TPrintFlow f;
    const TPrintMetrics& m = r.Metrics;
    f.Margins = PageMargins(m, r.Margins);
    const TPrintRect& g = f.Margins;
    const int textW = std::max(m.PageW - g.Left - g.Right, 1);
    const int ansRel = static_cast<int>(static_cast<long long>(textW) * r.AnswerPercent / 100);
    f.AnswerX = g.Left + ansRel;
    const int fontH = std::max(r.FontHeight, 1);
    f.Gap = r.SpacePercent * fontH / 100;
    f.Pitch = fontH + f.Gap;
    f.LinesPerPage = LinesPerPage(m.PageH, g.Top, g.Bottom, f.Gap, f.Pitch);
    const int lp = f.LinesPerPage;
    const int space = std::max(width(" "), 1);

    int first = 0;
    int last = src.MemoRows - 1;
    if (r.SelectionOnly && src.MemoRows > 0) {
        first = std::clamp(std::min(r.SelFirst, r.SelLast), 0, src.MemoRows - 1);
        last = std::clamp(std::max(r.SelFirst, r.SelLast), first, src.MemoRows - 1);
    }
    f.TwoColumn = r.Answers && !r.AnswerPane;
    // The first column ends a blank before the second begins.
    const int firstColumnW = std::max(ansRel - space, 1);
    const int secondColumnW = std::max(textW - ansRel, 1);
    const auto limitOf = [&](std::size_t line) {
        if (!f.TwoColumn) return textW;
        return (line / static_cast<std::size_t>(lp)) % 2 == 0 ? firstColumnW : secondColumnW;
    };
    // Lays text out from the line the flow has reached on; the end of its last line.
    const auto flow = [&](std::string_view text) {
        std::size_t at = 0;
        int end = 0;
        do {
            std::vector<TPrintPiece> line;
            const std::size_t next =
                FitLine(text, at, limitOf(f.Lines.size()), r.TabWidth, width, line, end);
            f.Lines.push_back(std::move(line));
            at = next;
        } while (at < text.size());
        return end;
    };
    for (int row = first; row <= last; ++row) {
        const int textEnd = flow(src.MemoRow(row));
        if (!r.Answers || f.TwoColumn || row >= src.AnswerRows) continue;
        const std::string_view answer = src.AnswerRow(row);
        if (answer.empty()) continue;
        std::vector<TPrintPiece> pieces;
        int w = 0;
        const std::size_t rest = FitLine(answer, 0, 1 << 30, r.TabWidth, width, pieces, w);
        int x = rest >= answer.size() ? AnswerPlace(textEnd, w, ansRel, textW, space) : -1;
        if (x < 0 && w <= textW) {
            // On a line of its own: in its column when it fits there, else ending at the margin.
            f.Lines.emplace_back();
            x = ansRel + w <= textW ? ansRel : textW - w;
        }
        if (x < 0) {
            flow(answer);  // wider than the whole line: it goes on over the next lines
            continue;
        }
        for (TPrintPiece& p : pieces) {
            p.X += x;
            f.Lines.back().push_back(std::move(p));
        }
    }
    // Blank lines at the end print nothing: no page is made of them alone.
    while (!f.Lines.empty() && f.Lines.back().empty())
        f.Lines.pop_back();
    f.Pages = PageCount(static_cast<int>(f.Lines.size()), f.TwoColumn ? 2 * lp : lp);
    return f;
}

TPageLayout PageOfFlow(const TPrintRequest& r, const TPrintFlow& f, int page,
                       const TTextWidth& width) {
    TPageLayout out;
    const TPrintMetrics& m = r.Metrics;
    out.Metrics = m;
    out.Margins = f.Margins;
    out.FontHeight = std::max(r.FontHeight, 1);
    out.LinesPerPage = f.LinesPerPage;
    out.Pages = f.Pages;
    out.TwoColumn = f.TwoColumn;
    out.Page = std::clamp(page, 1, std::max(f.Pages, 1));
    const TPrintRect& g = f.Margins;
    const int lp = f.LinesPerPage;
    const long long perPage = f.TwoColumn ? 2LL * lp : lp;
    const auto edge = [&](std::string_view text) {
        return std::max(g.Left, m.PageW - g.Right - width(text));
    };
    if (r.Header && !r.Title.empty()) {
        // A title wider than the text loses its start (the file name stays), never the margin.
        std::string_view title = r.Title;
        const int textW = m.PageW - g.Left - g.Right;
        while (title.size() > 1 && width(title) > textW)
            title.remove_prefix(CharLength(title, 0));
        out.Pieces.push_back(
            {edge(title), std::max(g.Top - f.Pitch - f.Gap, 0), std::string(title)});
    }
    if (f.Pages > 0) {
        const long long s = (out.Page - 1) * perPage;
        const long long e =
            std::min<long long>(s + perPage, static_cast<long long>(f.Lines.size()));
        for (long long k = s; k < e; ++k) {
            const long long j = k - s;
            const int x0 = j < lp ? g.Left : f.AnswerX;
            const int y = static_cast<int>(g.Top + (j % lp) * f.Pitch);
            for (const TPrintPiece& p : f.Lines[static_cast<std::size_t>(k)])
                out.Pieces.push_back({x0 + p.X, y, p.Text});
        }
    }
    if (r.PageNo && f.Pages > 0) {
        const std::string number = PageNumberText(out.Page, out.Pages);
        out.Pieces.push_back({edge(number), m.PageH - g.Bottom + f.Gap, number});
    }
    return out;
}

TPageLayout LayoutPage(const TPrintRequest& r, const TPrintSource& src, int page,
                       const TTextWidth& width) {
    return PageOfFlow(r, FlowRows(r, src, width), page, width);
}

}  // namespace rekna
