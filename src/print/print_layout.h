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
// n rows at rowsPerPage a page: n div rowsPerPage + 1, so a count that fills its pages exactly
// is followed by a page without rows.
[[nodiscard]] int PageCount(int rows, int rowsPerPage) noexcept;

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

// One page worked out.
struct TPageLayout {
    TPrintMetrics Metrics;
    TPrintRect Margins;  // from the printable area's edges
    int FontHeight = 0;
    int LinesPerPage = 1;
    int Pages = 1;
    int Page = 1;  // 1-based; a page past the end is taken as the last
    bool TwoColumn = false;
    std::vector<TPrintPiece> Pieces;
};

// Lays page (1-based) out.
[[nodiscard]] TPageLayout LayoutPage(const TPrintRequest& r, const TPrintSource& src, int page,
                                     const TTextWidth& width);

// The "p / N" text of a page.
[[nodiscard]] std::string PageNumberText(int page, int pages);

}  // namespace rekna
