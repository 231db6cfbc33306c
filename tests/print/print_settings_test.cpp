// Tests of the print window's number boxes, its settings keys and the paper width in characters.
#include "print/print_settings.h"

#include <gtest/gtest.h>

namespace rekna {
namespace {

TEST(PrintSettings, ComboValueReadsClampsAndCorrects) {
    using B = TPrintBox;
    const struct {
        const char* Text;
        TPrintBox Box;
        int Expected;
    } rows[] = {
        {"", B::pbScale, 100},
        {"abc", B::pbTop, 50},
        {"", B::pbSpace, 100},
        {"", B::pbAns, 90},
        {"12.7", B::pbLeft, 12},
        {"-30", B::pbRight, 30},
        {"5", B::pbTop, 10},
        {"250", B::pbScale, 200},
        {"19", B::pbScale, 20},
        {"0", B::pbSpace, 0},
        {"95", B::pbAns, 90},
        {"99999999999", B::pbTop, 50},
        {"-2147483648", B::pbBottom, 50},
        {" 15", B::pbTop, 15},
        {"1e3", B::pbScale, 100},
        {".5", B::pbRight, 50},
        {"75.", B::pbScale, 75},
        {"+40", B::pbLeft, 40},
        {"12 ", B::pbAns, 90},
    };
    for (const auto& r : rows)
        EXPECT_EQ(ComboValue(r.Text, r.Box), r.Expected) << r.Text;
}

TEST(PrintSettings, MissingAndUnreadableKeysGiveTheDefaults) {
    const TPrintSettings empty = ReadPrintSettings({});
    EXPECT_EQ(empty.Boxes,
              (std::array<std::string, kPrintBoxCount>{"75", "25", "20", "25", "20", "20", "75"}));
    EXPECT_FALSE(empty.Top || empty.Left || empty.Width || empty.Height);
    EXPECT_EQ((std::array{empty.FileName, empty.TwoColumn, empty.PageNo, empty.SelRow}),
              (std::array{false, true, false, false}));

    const TPrintSettings odd = ReadPrintSettings({{"PreView.Top", "x"},
                                                  {"PreView.Hight", "480"},
                                                  {"Print2Column", "yes"},
                                                  {"PrintPageNo", "2"},
                                                  {"PrintMargin.Left", "abc"}});
    EXPECT_FALSE(odd.Top);
    EXPECT_EQ(odd.Height, 480);
    EXPECT_TRUE(odd.TwoColumn);
    EXPECT_TRUE(odd.PageNo);
    // A box shows its stored text as it stands; reading it corrects it.
    EXPECT_EQ(odd.Boxes[3], "abc");
}

TEST(PrintSettings, WrittenSettingsReadBack) {
    TPrintSettings s;
    s.Top = -5;
    s.Left = 10;
    s.Width = 640;
    s.Height = 480;
    s.Boxes = {"150", "30", "10", "15", "12.7", "0", "60"};
    s.FileName = s.PageNo = s.SelRow = true;
    s.TwoColumn = false;
    s.Paper = "215.9x279.4";
    s.Landscape = true;
    TKeptTexts kept;
    WritePrintSettings(kept, s);
    const TPrintSettings back = ReadPrintSettings(kept);
    EXPECT_EQ(back.Boxes, s.Boxes);
    EXPECT_EQ((std::array{back.Top, back.Left, back.Width, back.Height}),
              (std::array{s.Top, s.Left, s.Width, s.Height}));
    EXPECT_EQ((std::array{back.FileName, back.TwoColumn, back.PageNo, back.SelRow}),
              (std::array{true, false, true, true}));
    EXPECT_EQ((std::pair{back.Paper, back.Landscape}), (std::pair{s.Paper, true}));
    EXPECT_EQ(kept.at("Print2Column"), "0");
    StoreTwoColumn(kept, true);
    EXPECT_EQ(kept.at("Print2Column"), "1");
}

TEST(PrintSettings, StoredPapers) {
    const struct {
        const char* Text;
        const char* Read;  // as written back; empty when it is no paper
    } rows[] = {{"210x297", "210x297"},
                {"215.9x279.4", "215.9x279.4"},
                {"210.04x297", "210x297"},
                {"", ""},
                {"210", ""},
                {"x297", ""},
                {"0x297", ""},
                {"210x1e9", ""},
                {"210x297mm", ""},
                {"nanx297", ""}};
    for (const auto& r : rows) {
        const std::optional<TPaperMm> paper = ReadPaper(r.Text);
        EXPECT_EQ(paper ? PaperText(*paper) : "", r.Read) << r.Text;
        EXPECT_EQ(ReadPrintSettings({{"PrintPaper", r.Text}}).Paper, r.Read) << r.Text;
    }
}

TEST(PrintSettings, PaperColumnsFollowTheStoredMargins) {
    // 254 dots per inch: ten dots a millimetre; the printable area starts 5 mm in.
    TPrintMetrics m{2100, 2970, 50, 50, 2000, 2870, 254, 254};
    const struct {
        TKeptTexts Kept;
        int TwoCharWidth;
        bool AnswerPane;
        int Expected;
    } rows[] = {
        // left 250 - 50, right 200 - 50: 1650 dots over 20 dots for two characters; a fresh
        // installation prints the answers beside the memo and so leaves them their share.
        {{}, 20, true, 114},
        {{{"Print2Column", ""}}, 20, true, 114},
        {{{"Print2Column", "0"}}, 20, true, 165},
        {{{"Print2Column", "1"}}, 20, false, 165},
        {{{"Print2Column", "1"}, {"PrintAnsWidth", "50"}}, 20, true, 73},
        {{{"Print2Column", "0"}, {"PrintMargin.Left", "10"}, {"PrintMargin.Right", "10"}},
         20,
         true,
         190},
        {{{"Print2Column", "0"}, {"PrintMargin.Left", "junk"}}, 20, true, 140},
        {{}, 0, true, 80},
    };
    for (const auto& r : rows)
        EXPECT_EQ(PaperColumns(r.Kept, m, r.TwoCharWidth, r.AnswerPane), r.Expected);
    m.DpiX = 0;
    EXPECT_EQ(PaperColumns({}, m, 20, true), 80);
}

}  // namespace
}  // namespace rekna
