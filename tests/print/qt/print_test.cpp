// Widget tests of printing: the memo to PDF with its trailing page, the preview's pages and zoom,
// the page-by-page printing into one job, the corrected boxes and the paper width.
#include "print/qt/print_form.h"
#include "print/qt/print_panel.h"
#include "print/qt/print_setup.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QPrinter>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "editor/qt/umemo.h"
#include "frame/qt/vt_frame_calc.h"
#include "shell/qt/form_memo.h"
#include "support/number_guard.h"

namespace rekna {
namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Pages of a PDF written by the printer: one page object each.
int PdfPages(const std::string& path) {
    const std::string pdf = ReadFile(path);
    int pages = 0;
    for (std::size_t at = pdf.find("/Type /Page\n"); at != std::string::npos;
         at = pdf.find("/Type /Page\n", at + 1))
        ++pages;
    return pdf.rfind("%PDF", 0) == 0 ? pages : -1;
}

class PrintTest : public ::testing::Test {
protected:
    PrintTest() {
        Paths.SettingsFile = Path("rekna.ini");
        Paths.SettingsFolder = Dir.path().toStdString() + "/";
        std::ofstream(Paths.SettingsFile) << "Rekna.初期設定ファイル\nPrintPageNo=1\n";
    }
    std::string Path(const char* name) const { return Dir.path().toStdString() + "/" + name; }

    // A window on a memo of rows lines "i*2", its printer writing PDF files.
    std::unique_ptr<TFormMemo> Open(int rows, bool show) {
        std::ofstream memo(Path("memo.txt"));
        for (int i = 1; i <= rows; ++i)
            memo << i << "*2\n";
        memo.close();
        TStartPaths p = Paths;
        p.Document = Path("memo.txt");
        auto form = std::make_unique<TFormMemo>(p);
        form->Start();
        if (show) {
            form->show();
            EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        }
        form->FirstShow();
        Setup(*form).Printer().setOutputFormat(QPrinter::PdfFormat);
        return form;
    }
    static TPrintSetup& Setup(TFormMemo& f) { return *PrintSetupOf(f); }
    static int LinesPerPage(TFormMemo& f) {
        return LayoutMemoPage(f, Setup(f).Printer(),
                              StoredChoices(ReadPrintSettings(f.KeptSettings()), false), 1)
            .Layout.LinesPerPage;
    }

    test::TNumberGuard Guard;
    QTemporaryDir Dir;
    TStartPaths Paths;
};

TEST_F(PrintTest, AMemoFillingTwoPagesExactlyPrintsThreePagesToPdf) {
    int lp = 0;
    {
        auto probe = Open(1, false);
        lp = LinesPerPage(*probe);
    }
    ASSERT_GT(lp, 10);
    for (const int rows : {lp, 2 * lp, 2 * lp + 1}) {
        auto form = Open(rows, false);
        EXPECT_EQ(form->VtFrameCalc1()->UMemo2()->Lines().Get(rows - 1), std::to_string(rows * 2));
        std::string error;
        ASSERT_EQ(PrintMemoToPdf(*form, QString::fromStdString(Path("out.pdf")), error), 0)
            << error;
        EXPECT_EQ(PdfPages(Path("out.pdf")), rows / lp + 1) << rows;
    }
}

TEST_F(PrintTest, ThePreviewPagesAndZooms) {
    auto form = Open(130, true);
    form->Action("ActionPrintView")->trigger();
    TFormPrint* preview = Setup(*form).Preview();
    ASSERT_NE(preview, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(preview));
    const int lp = LinesPerPage(*form);
    EXPECT_EQ(preview->LabelLineCount()->text(), QStringLiteral("1ページ行数=%1").arg(lp));
    EXPECT_EQ(preview->TabControlPage()->count(), 130 / lp + 1);
    TPrevPanel* panel = preview->PrevPanel1();
    EXPECT_EQ(panel->PrevScale(), 75);
    // The text is drawn inside the printable area.
    QImage image(panel->size(), QImage::Format_RGB32);
    panel->render(&image);
    const TScreenPage& s = panel->ScreenLayout();
    int dark = 0;
    for (int y = s.Margins.Top; y < s.Margins.Bottom; ++y)
        for (int x = s.Margins.Left; x < s.Margins.Right; ++x)
            dark += qGray(image.pixel(x, y)) < 96;
    EXPECT_GT(dark, 500);

    QComboBox* scale = preview->Box(TPrintBox::pbScale);
    const auto drag = [panel](QPoint from, QPoint to) {
        QTest::mousePress(panel, Qt::LeftButton, {}, from);
        QTest::mouseMove(panel, (from + to) / 2);
        QTest::mouseMove(panel, to);
        QTest::mouseRelease(panel, Qt::LeftButton, {}, to);
    };
    QTest::mouseClick(panel, Qt::LeftButton, {}, {100, 100});
    EXPECT_EQ(panel->PrevScale(), 75);
    drag({100, 100}, {140, 120});
    EXPECT_EQ(panel->PrevScale(), 200);
    EXPECT_EQ(scale->currentText(), QStringLiteral("200"));
    drag({140, 120}, {100, 100});
    EXPECT_EQ(panel->PrevScale(), 20);
    EXPECT_EQ(scale->currentText(), QStringLiteral("20"));

    preview->TabControlPage()->setCurrentIndex(1);
    EXPECT_EQ(panel->Page().Layout.Page, 2);
    // With the answer pane hidden the memo runs on in a second column.
    form->Action("ActionWindowAns")->trigger();
    preview->ButtonViewClick();
    EXPECT_TRUE(panel->Page().Layout.TwoColumn);
    EXPECT_EQ(preview->TabControlPage()->count(), 130 / (2 * lp) + 1);
}

TEST_F(PrintTest, ConfirmedPagesGoIntoOneJobAndCancelKeepsTheWindow) {
    auto form = Open(130, true);
    form->Action("ActionPrintView")->trigger();
    TFormPrint* preview = Setup(*form).Preview();
    const int pages = preview->TabControlPage()->count();
    ASSERT_GE(pages, 3);
    preview->AskPdfName = [this] { return QString::fromStdString(Path("job.pdf")); };
    std::vector<QMessageBox::StandardButton> answers;
    std::vector<int> asked;
    preview->AskPrintPage = [&](const QString& text) {
        asked.push_back(preview->TabControlPage()->currentIndex() + 1);
        EXPECT_TRUE(text.startsWith(QStringLiteral("このページを印刷しますか?\n\nページNo  = ")));
        const auto a = answers.front();
        answers.erase(answers.begin());
        return a;
    };
    answers = {QMessageBox::Yes, QMessageBox::Cancel};
    preview->ButtonPrintClick();
    EXPECT_EQ(asked, (std::vector<int>{1, 2}));
    EXPECT_TRUE(preview->isVisible());
    EXPECT_EQ(preview->TabControlPage()->currentIndex(), 1);
    EXPECT_EQ(PdfPages(Path("job.pdf")), 1);

    asked.clear();
    answers.assign(static_cast<std::size_t>(pages - 1), QMessageBox::Yes);
    answers[1] = QMessageBox::No;
    preview->ButtonPrintClick();
    EXPECT_EQ(asked.size(), static_cast<std::size_t>(pages - 1));
    EXPECT_FALSE(preview->isVisible());
    EXPECT_EQ(PdfPages(Path("job.pdf")), pages - 2);
}

TEST_F(PrintTest, BoxesAreCorrectedAndKeptWhenTheWindowCloses) {
    auto form = Open(5, true);
    form->Action("ActionPrintView")->trigger();
    TFormPrint* preview = Setup(*form).Preview();
    const struct {
        TPrintBox Box;
        const char* Typed;
        const char* Shown;
    } rows[] = {{TPrintBox::pbLeft, "12.7", "12"},
                {TPrintBox::pbRight, "-30", "30"},
                {TPrintBox::pbScale, "", "100"},
                {TPrintBox::pbAns, "95", "90"}};
    for (const auto& r : rows) {
        preview->Box(r.Box)->setEditText(QString::fromLatin1(r.Typed));
        preview->ButtonViewClick();
        EXPECT_EQ(preview->Box(r.Box)->currentText(), QString::fromLatin1(r.Shown)) << r.Typed;
    }
    preview->CheckBoxPage()->click();
    preview->close();
    EXPECT_EQ(form->KeptSettings().at("PrintMargin.Left"), "12");
    EXPECT_EQ(form->KeptSettings().at("PrintAnsWidth"), "90");
    EXPECT_EQ(form->KeptSettings().at("PrintPageNo"), "0");
}

TEST_F(PrintTest, ThePaperWidthFollowsThePrintSettings) {
    auto form = Open(1, false);
    const auto columns = [&form] {
        int c = 0;
        form->VtFrameCalc1()->OnGetPaperColWidth(c);
        return c;
    };
    const int plain = columns();
    EXPECT_GT(plain, 40);
    EXPECT_NE(plain, 80);
    form->KeptSettings()["PrintMargin.Left"] = "50";
    EXPECT_LT(columns(), plain);
    form->KeptSettings()["PrintMargin.Left"] = "";
    form->KeptSettings()["Print2Column"] = "1";
    EXPECT_LT(columns(), plain * 3 / 4);
}

}  // namespace
}  // namespace rekna
