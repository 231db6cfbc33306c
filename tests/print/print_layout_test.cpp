// Tests of the printed page (margins, pagination in one and two columns, selected rows, tabs,
// header and footer) and of the preview's zoom arithmetic and recording states.
#include "print/print_layout.h"
#include "print/print_view.h"

#include <gtest/gtest.h>

#include <sstream>

namespace rekna {
namespace {

// 254 dots per inch (ten dots a millimetre), A4 with a 5 mm unprintable edge.
constexpr TPrintMetrics kA4{2100, 2970, 50, 50, 2000, 2870, 254, 254};

// Every byte is 10 dots wide.
int Width(std::string_view text) {
    return static_cast<int>(text.size()) * 10;
}

std::string Dump(const std::vector<TPrintPiece>& pieces) {
    std::ostringstream s;
    for (const TPrintPiece& p : pieces)
        s << p.X << ',' << p.Y << ':' << p.Text << '\n';
    return s.str();
}

struct TRows {
    std::vector<std::string> Memo, Answers;
    TPrintSource Source() const {
        return {static_cast<int>(Memo.size()), [this](int i) { return std::string_view(Memo[i]); },
                static_cast<int>(Answers.size()),
                [this](int i) { return std::string_view(Answers[i]); }};
    }
};

TRows Rows(int memo, int answers) {
    TRows r;
    for (int i = 0; i < memo; ++i)
        r.Memo.push_back("r" + std::to_string(i));
    for (int i = 0; i < answers; ++i)
        r.Answers.push_back("a" + std::to_string(i));
    return r;
}

// Margins 25, 25, 20, 20 mm give 200, 200, 150, 150 dots inside the printable area; a font of
// 500 dots with 20 % spacing has a pitch of 600, so four lines fit.
TPrintRequest Request() {
    TPrintRequest r;
    r.Metrics = kA4;
    r.FontHeight = 500;
    r.TabWidth = 40;
    r.Title = "memo.txt";
    return r;
}

TEST(PrintLayout, MarginsStayInsideThePrintableArea) {
    EXPECT_EQ(MarginRect(kA4, {}), (TPrintRect{250, 250, 1900, 2770}));
    EXPECT_EQ(PageMargins(kA4, {}), (TPrintRect{200, 200, 150, 150}));
    TPrintMetrics wide = kA4;
    wide.OffX = wide.OffY = 150;
    wide.PageW = 1800;
    wide.PageH = 2670;
    EXPECT_EQ(MarginRect(wide, {10, 10, 10, 10}), (TPrintRect{150, 150, 1950, 2820}));
    EXPECT_EQ(PageMargins(wide, {10, 10, 10, 10}), (TPrintRect{0, 0, 0, 0}));
}

TEST(PrintLayout, TheHeaderIsTheCaptionBeforeTheProgramName) {
    const struct {
        const char* Caption;
        const char* Title;
    } rows[] = {{"memo.txt - Rekna", "memo.txt"},
                {"memo.txt * - Rekna", "memo.txt *"},
                {"Rekna", ""},
                {" - Rekna - Rekna", ""}};
    for (const auto& r : rows)
        EXPECT_EQ(HeaderTitle(r.Caption), r.Title) << r.Caption;
}

TEST(PrintLayout, PageCountAndLinesPerPage) {
    const struct {
        int Rows, PerPage, Pages;
    } counts[] = {{0, 4, 0}, {3, 4, 1}, {4, 4, 1}, {8, 4, 2}, {9, 4, 3}, {5, 0, 5}};
    for (const auto& c : counts)
        EXPECT_EQ(PageCount(c.Rows, c.PerPage), c.Pages) << c.Rows;
    const struct {
        int PageH, Top, Bottom, Gap, Pitch, Lines;
    } lines[] = {{2870, 200, 150, 100, 600, 4},
                 {2870, 200, 150, 0, 500, 5},
                 {2870, 200, 150, 1000, 6000, 1},  // a font taller than the page
                 {100, 200, 150, 20, 120, 1},      // margins past each other
                 {100, 0, 0, 0, 0, 1}};
    for (const auto& l : lines)
        EXPECT_EQ(LinesPerPage(l.PageH, l.Top, l.Bottom, l.Gap, l.Pitch), l.Lines) << l.Pitch;
}

TEST(PrintLayout, TabsStopAtMultiplesOfTheTabWidthFromTheColumnStart) {
    std::vector<TPrintPiece> pieces;
    TabbedLinePieces(100, 7, "ab\tc\t\td", 40, Width, pieces);
    EXPECT_EQ(Dump(pieces), "100,7:ab\n140,7:c\n220,7:d\n");
    pieces.clear();
    TabbedLinePieces(0, 0, "\tx", 0, Width, pieces);
    EXPECT_EQ(Dump(pieces), "1,0:x\n");
}

TEST(PrintLayout, PagesInOneAndTwoColumns) {
    const struct {
        const char* Name;
        int MemoRows, AnswerRows;
        bool AnswerPane, Answers, Selection;
        int SelFirst, SelLast, Page, Pages;
        const char* Expected;
    } cases[] = {
        {"memo and answers, first page", 8, 8, true, true, false, 0, 0, 1, 2,
         "1770,0:memo.txt\n200,200:r0\n1437,200:a0\n200,800:r1\n1437,800:a1\n"
         "200,1400:r2\n1437,1400:a2\n200,2000:r3\n1437,2000:a3\n1800,2820:1 / 2\n"},
        {"a full page is the last one", 8, 8, true, true, false, 0, 0, 3, 2,
         "1770,0:memo.txt\n200,200:r4\n1437,200:a4\n200,800:r5\n1437,800:a5\n"
         "200,1400:r6\n1437,1400:a6\n200,2000:r7\n1437,2000:a7\n1800,2820:2 / 2\n"},
        {"blank rows at the end make no page", 4, 0, true, true, false, 0, 0, 2, 1,
         "1770,0:memo.txt\n200,200:r0\n200,800:r1\n200,1400:r2\n200,2000:r3\n1800,2820:1 / 1\n"},
        {"a page past the end is the last", 3, 3, true, true, false, 0, 0, 9, 1,
         "1770,0:memo.txt\n200,200:r0\n1437,200:a0\n200,800:r1\n1437,800:a1\n"
         "200,1400:r2\n1437,1400:a2\n1800,2820:1 / 1\n"},
        {"a row without an answer row", 3, 2, true, true, false, 0, 0, 1, 1,
         "1770,0:memo.txt\n200,200:r0\n1437,200:a0\n200,800:r1\n1437,800:a1\n"
         "200,1400:r2\n1800,2820:1 / 1\n"},
        {"memo only", 5, 5, true, false, false, 0, 0, 2, 2,
         "1770,0:memo.txt\n200,200:r4\n1800,2820:2 / 2\n"},
        {"two columns of selected rows", 14, 14, false, true, true, 3, 12, 1, 2,
         "1770,0:memo.txt\n200,200:r3\n200,800:r4\n200,1400:r5\n200,2000:r6\n"
         "1437,200:r7\n1437,800:r8\n1437,1400:r9\n1437,2000:r10\n1800,2820:1 / 2\n"},
        {"two columns, second page", 14, 14, false, true, true, 12, 3, 2, 2,
         "1770,0:memo.txt\n200,200:r11\n200,800:r12\n1800,2820:2 / 2\n"},
        {"a selection past the end", 5, 5, false, true, true, 4, 40, 1, 1,
         "1770,0:memo.txt\n200,200:r4\n1800,2820:1 / 1\n"},
    };
    for (const auto& c : cases) {
        TPrintRequest r = Request();
        r.Header = r.PageNo = true;
        r.AnswerPane = c.AnswerPane;
        r.Answers = c.Answers;
        r.SelectionOnly = c.Selection;
        r.SelFirst = c.SelFirst;
        r.SelLast = c.SelLast;
        const TRows rows = Rows(c.MemoRows, c.AnswerRows);
        const TPageLayout page = LayoutPage(r, rows.Source(), c.Page, Width);
        EXPECT_EQ(page.LinesPerPage, 4) << c.Name;
        EXPECT_EQ(page.Pages, c.Pages) << c.Name;
        EXPECT_EQ(Dump(page.Pieces), c.Expected) << c.Name;
    }
}

TEST(PrintLayout, AFontTallerThanThePageGivesOneLineAPage) {
    TPrintRequest r = Request();
    r.FontHeight = 5000;
    const TRows rows = Rows(3, 3);
    const TPageLayout page = LayoutPage(r, rows.Source(), 2, Width);
    EXPECT_EQ(page.LinesPerPage, 1);
    EXPECT_EQ(page.Pages, 3);
    EXPECT_EQ(Dump(page.Pieces), "200,200:r1\n1437,200:a1\n");
}

TEST(PrintLayout, NothingPassesAMarginOrRunsOverOtherText) {
    // 20 dots a byte: 82 characters between the margins, 20 in the answer column from 1437.
    const TTextWidth wide = [](std::string_view t) { return static_cast<int>(t.size()) * 20; };
    const std::string forty = "2.2360679774997897 @ 1.10714871779409050";  // 40 characters
    const std::string complex = "246913578024691355 + 3.66788283123110601i";
    const std::string a(60, 'a'), b(82, 'b'), c(100, 'c'), d(62, 'd'), e(81, 'e');
    const struct {
        const char* Name;
        std::vector<std::string> Memo, Answers;
        bool AnswerPane;
        std::string Expected;
    } cases[] = {
        {"an answer wider than its column ends at the margin",
         {"1+2i #@"},
         {forty},
         true,
         "200,200:1+2i #@\n1050,200:" + forty + "\n"},
        {"a complex answer", {"z"}, {complex}, true, "200,200:z\n1030,200:" + complex + "\n"},
        {"a row that leaves no room puts its answer on the next line",
         {a},
         {forty},
         true,
         "200,200:" + a + "\n1050,800:" + forty + "\n"},
        {"a row running into the answer column moves its answer right",
         {d},
         {"77"},
         true,
         "200,200:" + d + "\n1810,200:77\n"},
        {"a row running under its answer's place",
         {e, "1"},
         {"77", "2"},
         true,
         "200,200:" + e + "\n1437,800:77\n200,1400:1\n1437,1400:2\n"},
        {"a long row goes on over the next line",
         {c},
         {"5"},
         true,
         "200,200:" + c.substr(0, 82) + "\n200,800:" + c.substr(82) + "\n1437,800:5\n"},
        {"an answer wider than the line",
         {"x"},
         {c},
         true,
         "200,200:x\n200,800:" + c.substr(0, 82) + "\n200,1400:" + c.substr(82) + "\n"},
        {"two columns: each row stays in its column",
         {a + "aaaaaaaaaa", "b", "c", b},
         {},
         false,
         "200,200:" + a + "\n200,800:aaaaaaaaaa\n200,1400:b\n200,2000:c\n1437,200:" +
             b.substr(0, 20) + "\n1437,800:" + b.substr(20, 20) +
             "\n1437,1400:" + b.substr(40, 20) + "\n1437,2000:" + b.substr(60, 20) + "\n"},
    };
    for (const auto& k : cases) {
        TPrintRequest r = Request();
        r.AnswerPane = k.AnswerPane;
        const TPrintSource src{static_cast<int>(k.Memo.size()),
                               [&k](int i) { return std::string_view(k.Memo[i]); },
                               static_cast<int>(k.Answers.size()),
                               [&k](int i) { return std::string_view(k.Answers[i]); }};
        const TPageLayout page = LayoutPage(r, src, 1, wide);
        EXPECT_EQ(Dump(page.Pieces), k.Expected) << k.Name;
        for (const TPrintPiece& p : page.Pieces)
            EXPECT_LE(p.X + wide(p.Text), 2000 - 150) << k.Name << ": " << p.Text;
    }
    // A title wider than the text keeps its end.
    TPrintRequest titled = Request();
    titled.Header = true;
    titled.Title = std::string(80, '/') + "memo.txt";
    const TRows one{{"x"}, {}};
    EXPECT_EQ(Dump(LayoutPage(titled, one.Source(), 1, wide).Pieces),
              "210,0:" + std::string(74, '/') + "memo.txt\n200,200:x\n");
    // The rest of the two-column row is on page 2.
    TPrintRequest r = Request();
    r.AnswerPane = false;
    const TRows rows{{b, b, b}, {}};
    EXPECT_EQ(LayoutPage(r, rows.Source(), 1, wide).Pages, 2);
}

TEST(PrintLayout, AnEmptyMemoHasNoPage) {
    const TRows rows{{"", ""}, {"", ""}};
    TPrintRequest r = Request();
    r.PageNo = true;
    const TPageLayout page = LayoutPage(r, rows.Source(), 1, Width);
    EXPECT_EQ(page.Pages, 0);
    EXPECT_EQ(Dump(page.Pieces), "");
}

TEST(PrintLayout, FitLineBreaksBetweenCharactersAndAtTabs) {
    const struct {
        const char* Text;
        int Limit;
        const char* Expected;  // the lines, separated by "|"
    } rows[] = {
        {"abcdef", 40, "0,0:abcd\n|0,0:ef\n"},
        {"ab\tcd", 55, "0,0:ab\n40,0:c\n|0,0:d\n"},
        {"ab\tcd", 40, "0,0:ab\n|0,0:cd\n"},
        {"\x82\xa0\x82\xa2x", 25, "0,0:\x82\xa0\n|0,0:\x82\xa2\n|0,0:x\n"},
        {"abc", 5, "0,0:a\n|0,0:b\n|0,0:c\n"},
    };
    for (const auto& row : rows) {
        const std::string_view text = row.Text;
        std::string lines;
        std::size_t at = 0;
        do {
            std::vector<TPrintPiece> line;
            int end = 0;
            at = FitLine(text, at, row.Limit, 40, Width, line, end);
            lines += (lines.empty() ? "" : "|") + Dump(line);
        } while (at < text.size());
        EXPECT_EQ(lines, row.Expected) << row.Text;
    }
}

TEST(PrintView, ScreenPageAtAZoom) {
    TPrintMetrics m = kA4;
    m.DpiX = m.DpiY = 96;
    const TScreenPage s = ScreenPage(m, {200, 300, 1900, 2700}, 96, 96, 50);
    EXPECT_EQ((std::array{s.Width, s.Height}), (std::array{1050, 1485}));
    EXPECT_EQ(s.Printable, (TPrintRect{25, 25, 1025, 1460}));
    EXPECT_EQ(s.Margins, (TPrintRect{100, 150, 950, 1350}));
    EXPECT_EQ(ScreenPage({}, {}, 96, 96, 100).Width, 0);
}

TEST(PrintView, ZoomByDrag) {
    const struct {
        int Scale, Lo, Hi;
        TPoint Press, Release;
        bool Changed;
        int NewScale, ScrollX, ScrollY;
    } rows[] = {
        {100, 10, 500, {0, 0}, {200, 150}, true, 200, 0, 0},
        {100, 10, 500, {200, 150}, {0, 0}, true, 50, -150, -112},
        {100, 20, 200, {0, 0}, {100, 50}, true, 200, -100, -100},
        {100, 20, 200, {100, 0}, {0, 50}, true, 25, -187, -144},
        {30, 20, 200, {0, 0}, {400, 300}, true, 30, 0, 0},
        {100, 20, 200, {40, 30}, {0, 0}, true, 20, -196, -147},
        {100, 20, 200, {0, 0}, {40, 0}, true, 200, -160, -150},
        {100, 20, 200, {5, 5}, {5, 5}, false, 100, 0, 0},
    };
    for (const auto& r : rows) {
        const TZoom z = ZoomByDrag(r.Scale, r.Lo, r.Hi, r.Press, r.Release, 400, 300);
        EXPECT_EQ((std::array{z.Changed ? 1 : 0, z.Scale, z.ScrollX, z.ScrollY}),
                  (std::array{r.Changed ? 1 : 0, r.NewScale, r.ScrollX, r.ScrollY}))
            << r.Press.X << ',' << r.Press.Y << " -> " << r.Release.X << ',' << r.Release.Y;
    }
    EXPECT_EQ((std::array{ClampScaleBound(5), ClampScaleBound(600), ClampScale(300, 20, 200)}),
              (std::array{10, 500, 200}));
}

TEST(PrintView, RecordingStates) {
    TPrevRecorder rec;
    EXPECT_FALSE(rec.CheckPrint());
    EXPECT_EQ(rec.Error(), "Print: Bad Status");
    EXPECT_EQ(rec.Canvas(), nullptr);
    EXPECT_EQ(rec.Error(), "GetCanvas: Bad Status");
    EXPECT_FALSE(rec.EndDoc());
    EXPECT_EQ(rec.Error(), "EndDoc: Bad Status");
    ASSERT_TRUE(rec.BeginDoc(kA4));
    EXPECT_FALSE(rec.BeginDoc(kA4));
    EXPECT_EQ(rec.Error(), "Begin Doc: Bad Status");
    ASSERT_NE(rec.Canvas(), nullptr);
    EXPECT_FALSE(rec.CheckPrint());
    EXPECT_TRUE(rec.EndDoc());
    EXPECT_TRUE(rec.CheckPrint());
    EXPECT_EQ(rec.State(), TPrevState::psRecorded);
    EXPECT_TRUE(rec.BeginDoc(kA4));
    EXPECT_EQ(rec.State(), TPrevState::psRecording);
}

}  // namespace
}  // namespace rekna
