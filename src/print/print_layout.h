// The printed page: margins in printer dots, lines per page, pages, and the texts of one page
// with their places, worked out once and drawn alike on the preview and on paper.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "print/print_settings.h"

namespace rekna {

// A rectangle in dots; Right and Bottom are the far edges.
struct TPrintRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    friend bool operator==(const TPrintRect&, const TPrintRect&) = default;
};

// Margins of the paper in millimetres.
struct TMarginsMm {
    int Left = 25, Top = 25, Right = 20, Bottom = 20;
};

// The margins on the sheet in paper dots, never outside the printable area.
[[nodiscard]] TPrintRect MarginRect(const TPrintMetrics& m, const TMarginsMm& mm) noexcept;
// The margins as distances from the printable area's edges (Left, Top, Right, Bottom), in dots.
[[nodiscard]] TPrintRect PageMargins(const TPrintMetrics& m, const TMarginsMm& mm) noexcept;

// Lines that fit between the top and bottom margins; at least one, also when the font is taller
// than the page or the margins meet.
[[nodiscard]] int LinesPerPage(int pageH, int top, int bottom, int gap, int pitch) noexcept;
// Pages for n printed lines at linesPerPage a page: every page holds at least one line, so a
// count that fills its pages exactly gets no empty page after them, and nothing gives no page.
[[nodiscard]] int PageCount(int lines, int linesPerPage) noexcept;

// A run of text drawn with its top-left corner at (X, Y) in dots of the printable area; Text is
// CP932.
struct TPrintPiece {
    int X = 0, Y = 0;
    std::string Text;
    friend bool operator==(const TPrintPiece&, const TPrintPiece&) = default;
};

// The width of a CP932 text in the printing font, in dots.
using TTextWidth = std::function<int(std::string_view)>;

// The pieces of a line with tabs: each tab moves to the next multiple of tabWidth from x0.
void TabbedLinePieces(int x0, int y, std::string_view text, int tabWidth, const TTextWidth& width,
                      std::vector<TPrintPiece>& out);

// One printed line of a row with tabs, from x = 0 and no wider than limit: the pieces of text
// from byte from on, with end set to where the last one ends. Returns where the next line starts
// (text.size() when the row is done). A character wider than the whole line is put there alone,
// so every call moves on.
std::size_t FitLine(std::string_view text, std::size_t from, int limit, int tabWidth,
                    const TTextWidth& width, std::vector<TPrintPiece>& out, int& end);

// The document title from the main window's caption: the text before " - Rekna", or empty.
[[nodiscard]] std::string HeaderTitle(std::string_view caption);

// The rows to print: the memo pane's rows and the answer pane's, by index.
struct TPrintSource {
    int MemoRows = 0;
    std::function<std::string_view(int)> MemoRow;
    int AnswerRows = 0;
    std::function<std::string_view(int)> AnswerRow;
};

// Everything a page depends on besides the rows.
struct TPrintRequest {
    TPrintMetrics Metrics;
    TMarginsMm Margins;
    int SpacePercent = 20;       // line spacing in per cent of the font height
    int AnswerPercent = 75;      // where the second column starts, in per cent of the text width
    int FontHeight = 0;          // the font's character height in dots
    int TabWidth = 0;            // width of the memo's tab stop in dots
    bool Answers = true;         // 計算結果を印刷
    bool AnswerPane = true;      // the answer pane is shown
    bool Header = false;         // ファイル名を印刷
    bool PageNo = false;         // ページNoを印刷
    bool SelectionOnly = false;  // 選択行のみ, checked and available
    int SelFirst = 0, SelLast = 0;
    std::string Title;  // the header text, CP932
};

// The rows to print set out in printed lines, once for all pages. A row wider than its column
// goes on over the next lines; an answer stands in its column when it fits there beside the
// row's text, else it moves left to end at the right margin, else it takes the next line. So
// nothing is drawn past a margin or over other text, on the preview and on paper alike.
struct TPrintFlow {
    TPrintRect Margins;  // from the printable area's edges
    int Gap = 0, Pitch = 1;
    int AnswerX = 0;  // where the second column starts, from the printable area's left edge
    int LinesPerPage = 1;
    int Pages = 0;  // 0 when there is nothing to print
    bool TwoColumn = false;
    // Each line's pieces with X from the start of its column and Y = 0.
    std::vector<std::vector<TPrintPiece>> Lines;
};

[[nodiscard]] TPrintFlow FlowRows(const TPrintRequest& r, const TPrintSource& src,
                                  const TTextWidth& width);

// One page worked out.
struct TPageLayout {
    TPrintMetrics Metrics;
    TPrintRect Margins;  // from the printable area's edges
    int FontHeight = 0;
    int LinesPerPage = 1;
    int Pages = 0;  // 0 when there is nothing to print: page 1 is then blank
    int Page = 1;   // 1-based; a page past the end is taken as the last
    bool TwoColumn = false;
    std::vector<TPrintPiece> Pieces;
};

// Page (1-based) of a flow, with the header and the page number.
[[nodiscard]] TPageLayout PageOfFlow(const TPrintRequest& r, const TPrintFlow& flow, int page,
                                     const TTextWidth& width);
// Lays page (1-based) out; printing many pages takes FlowRows once and PageOfFlow for each.
[[nodiscard]] TPageLayout LayoutPage(const TPrintRequest& r, const TPrintSource& src, int page,
                                     const TTextWidth& width);

// The "p / N" text of a page.
[[nodiscard]] std::string PageNumberText(int page, int pages);

}  // namespace rekna
