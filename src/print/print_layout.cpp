// The printed page: margins in printer dots, lines per page, pages, and the texts of one page
// with their places, worked out once and drawn alike on the preview and on paper.
#include "print/print_layout.h"

#include <algorithm>

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

int PageCount(int rows, int rowsPerPage) noexcept {
    return std::max(rows, 0) / std::max(rowsPerPage, 1) + 1;
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

TPageLayout LayoutPage(const TPrintRequest& r, const TPrintSource& src, int page,
                       const TTextWidth& width) {
    TPageLayout out;
    const TPrintMetrics& m = r.Metrics;
    out.Metrics = m;
    out.Margins = PageMargins(m, r.Margins);
    const TPrintRect& g = out.Margins;
    const int ansX =
        g.Left + static_cast<int>((static_cast<long long>(m.PageW) - g.Left - g.Right) *
                                  r.AnswerPercent / 100);
    const int fontH = std::max(r.FontHeight, 1);
    const int gap = r.SpacePercent * fontH / 100;
    const int pitch = fontH + gap;
    out.FontHeight = fontH;
    out.LinesPerPage = LinesPerPage(m.PageH, g.Top, g.Bottom, gap, pitch);
    const int lp = out.LinesPerPage;

    int first = 0;
    int last = src.MemoRows - 1;
    if (r.SelectionOnly && src.MemoRows > 0) {
        first = std::clamp(std::min(r.SelFirst, r.SelLast), 0, src.MemoRows - 1);
        last = std::clamp(std::max(r.SelFirst, r.SelLast), first, src.MemoRows - 1);
    }
    const int n = std::max(last - first + 1, 0);
    out.TwoColumn = r.Answers && !r.AnswerPane;
    const int perPage = out.TwoColumn ? 2 * lp : lp;
    out.Pages = PageCount(n, perPage);
    out.Page = std::clamp(page, 1, out.Pages);
    const long long s = static_cast<long long>(out.Page - 1) * perPage + first;
    const long long e = std::min(static_cast<long long>(out.Page) * perPage - 1 + first,
                                 static_cast<long long>(first) + n - 1);

    if (r.Header && !r.Title.empty()) {
        const int x = m.PageW - g.Right - width(r.Title);
        out.Pieces.push_back({x, g.Top - pitch - gap, r.Title});
    }
    const auto rowY = [&](long long i) { return static_cast<int>(g.Top + i * pitch); };
    for (long long i = s; i <= e; ++i) {
        const int row = static_cast<int>(i);
        const std::string_view text = src.MemoRow(row);
        if (out.TwoColumn) {
            if (i - s < lp) {
                TabbedLinePieces(g.Left, rowY(i - s), text, r.TabWidth, width, out.Pieces);
            } else {
                TabbedLinePieces(ansX, rowY(i - s - lp), text, r.TabWidth, width, out.Pieces);
            }
            continue;
        }
        TabbedLinePieces(g.Left, rowY(i - s), text, r.TabWidth, width, out.Pieces);
        if (r.Answers && row < src.AnswerRows)
            TabbedLinePieces(ansX, rowY(i - s), src.AnswerRow(row), r.TabWidth, width, out.Pieces);
    }
    if (r.PageNo) {
        const std::string number = PageNumberText(out.Page, out.Pages);
        out.Pieces.push_back({m.PageW - g.Right - width(number), m.PageH - g.Bottom + gap, number});
    }
    return out;
}

}  // namespace rekna
