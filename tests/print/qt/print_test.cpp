// Widget tests of printing: the memo to PDF with its trailing page, the preview's pages and zoom,
// the page-by-page printing into one job, the corrected boxes and the paper width.
#include "print/qt/print_form.h"
#include "print/qt/print_page.h"
#include "print/qt/print_panel.h"
#include "print/qt/print_setup.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPageLayout>
#include <QPrinter>
#include <QProcess>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
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

TEST_F(PrintTest, FullPagesGetNoEmptyPageAfterThemAndAnEmptyMemoPrintsNothing) {
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
        EXPECT_EQ(PdfPages(Path("out.pdf")), (rows + lp - 1) / lp) << rows;
    }
    auto empty = Open(0, true);
    std::string error;
    EXPECT_EQ(PrintMemoToPdf(*empty, QString::fromStdString(Path("empty.pdf")), error), 1);
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(Path("empty.pdf")))) << error;
    empty->Action("ActionPrintView")->trigger();
    TFormPrint* preview = Setup(*empty).Preview();
    std::vector<QString> messages;
    preview->ShowMessage = [&messages](const QString& text, bool) { messages.push_back(text); };
    preview->AskPrintPage = [](const QString&) { return QMessageBox::Yes; };
    preview->AskPdfName = [this] { return QString::fromStdString(Path("empty.pdf")); };
    preview->ButtonPrintClick();
    EXPECT_EQ(messages, std::vector<QString>{QStringLiteral("印刷する行がありません")});
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(Path("empty.pdf"))));
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
    const int fresh = columns();
    form->KeptSettings()["Print2Column"] = "0";
    const int plain = columns();
    EXPECT_GT(plain, 40);
    EXPECT_NE(plain, 80);
    EXPECT_LT(fresh, plain * 3 / 4);
    form->KeptSettings()["PrintMargin.Left"] = "50";
    EXPECT_LT(columns(), plain);
    form->KeptSettings()["PrintMargin.Left"] = "";
    form->KeptSettings()["Print2Column"] = "1";
    EXPECT_EQ(columns(), fresh);
}

// A fresh installation wrapping at the paper edge: a long line wraps short of the answer column,
// so its answer stands in the column on the line's last row.
TEST_F(PrintTest, AFreshInstallationWrappingAtThePaperEdgeKeepsTheAnswerInItsColumn) {
    std::ofstream(Paths.SettingsFile) << "Rekna.初期設定ファイル\nWordWrap=0001\n";
    std::ofstream memo(Path("memo.txt"));
    for (int i = 0; i < 75; ++i)
        memo << "1+";
    memo << "0\n";
    memo.close();
    TStartPaths p = Paths;
    p.Document = Path("memo.txt");
    TFormMemo form(p);
    form.Start();
    form.FirstShow();
    Setup(form).Printer().setOutputFormat(QPrinter::PdfFormat);
    ASSERT_TRUE(form.Action("ActionViewWrapPaper")->isChecked());
    form.VtFrameCalc1()->ActionViewWrap0Execute();
    ASSERT_GT(form.VtFrameCalc1()->UMemo1()->Lines().GetCount(), 1);
    QPrinter& printer = Setup(form).Printer();
    const TPrintedPage page = LayoutMemoPage(
        form, printer, StoredChoices(ReadPrintSettings(form.KeptSettings()), false), 1);
    const TPageLayout& l = page.Layout;
    const int ansX =
        l.Margins.Left + (l.Metrics.PageW - l.Margins.Left - l.Margins.Right) * 75 / 100;
    const QFontMetricsF metrics(page.Font, &printer);
    int answers = 0;
    for (const TPrintPiece& piece : l.Pieces) {
        if (piece.Text == "75") {
            ++answers;
            EXPECT_EQ(piece.X, ansX);
        } else {
            EXPECT_LE(piece.X + metrics.horizontalAdvance(QString::fromStdString(piece.Text)), ansX)
                << piece.Text;
        }
    }
    EXPECT_EQ(answers, 1);
}

// The changed settings are kept at once (also when printing the last page hides the window) and
// printing to a file uses them: margins, boxes typed with Enter, checks, paper and orientation.
TEST_F(PrintTest, SettingsAreKeptAndUsedAndAFileNamesItselfOrSaysWhyNot) {
    auto form = Open(30, true);
    form->Action("ActionPrintView")->trigger();
    TFormPrint* preview = Setup(*form).Preview();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(preview));
    QComboBox* top = preview->Box(TPrintBox::pbTop);
    top->setFocus();
    top->lineEdit()->selectAll();
    QTest::keyClicks(top, "abc17x");
    EXPECT_EQ(top->currentText(), QStringLiteral("17"));
    const int lines = LinesPerPage(*form);
    QTest::keyClick(top, Qt::Key_Return);
    EXPECT_EQ(form->KeptSettings().at("PrintMargin.Top"), "17");
    EXPECT_GT(preview->PageBox()->maximum(), 0);
    preview->CheckBoxName()->click();
    EXPECT_EQ(form->KeptSettings().at("PrintFileName"), "1");
    EXPECT_GT(LinesPerPage(*form), lines);  // the stored 17 mm leave room for more lines

    std::vector<QString> messages;
    preview->ShowMessage = [&messages](const QString& text, bool) { messages.push_back(text); };
    preview->AskPrintPage = [](const QString&) { return QMessageBox::Yes; };
    preview->AskPdfName = [] { return QStringLiteral("/nonexistent-folder/out.pdf"); };
    preview->ButtonPrintClick();
    ASSERT_EQ(messages.size(), 1U);
    EXPECT_TRUE(messages[0].endsWith(QStringLiteral("No such file or directory")))
        << messages[0].toStdString();
    preview->AskPdfName = [this] { return QString::fromStdString(Path("ok.pdf")); };
    preview->TabControlPage()->setCurrentIndex(0);
    preview->ButtonPrintClick();
    EXPECT_FALSE(preview->isVisible());
    EXPECT_TRUE(
        form->statusBar()->currentMessage().endsWith(QString::fromStdString(Path("ok.pdf"))));
    EXPECT_EQ(PdfPages(Path("ok.pdf")), 1);

    // The paper the printer set-up stores goes to the printer and into the file.
    form->KeptSettings()["PrintPaper"] = "148x210";
    form->KeptSettings()["PrintLandscape"] = "1";
    form->KeptSettings()["PrintMargin.Top"] = "abc";
    std::string error;
    ASSERT_EQ(PrintMemoToPdf(*form, QString::fromStdString(Path("a5.pdf")), error), 0) << error;
    const QPageLayout layout = Setup(*form).Printer().pageLayout();
    EXPECT_EQ(layout.pageSize().id(), QPageSize::A5);
    EXPECT_EQ(layout.orientation(), QPageLayout::Landscape);
    EXPECT_NE(ReadFile(Path("a5.pdf")).find("/MediaBox [0 0 595"), std::string::npos);
}

// rekna --print-to-pdf with no display at all: every digit of every answer of the demo memo is
// in the PDF's text.
TEST_F(PrintTest, PrintToPdfWithoutADisplayHoldsEveryAnswer) {
    const QString dir = Dir.path();
    ASSERT_TRUE(
        QFile::copy(QStringLiteral(REKNA_SOURCE_DIR "/examples/demo.txt"), dir + "/demo.txt"));
    std::ofstream(Paths.SettingsFile) << "Rekna.初期設定ファイル\n";
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    const auto run = [&env](const QString& program, const QStringList& arguments) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(program, arguments);
        EXPECT_TRUE(p.waitForFinished(60000)) << program.toStdString();
        EXPECT_EQ(p.exitCode(), 0)
            << program.toStdString() << p.readAllStandardError().toStdString();
        return QString::fromUtf8(p.readAllStandardOutput());
    };
    run(QStringLiteral(REKNA_PATH),
        {QStringLiteral("--print-to-pdf"), dir + "/out.pdf", dir + "/demo.txt"});
    const QString answers =
        run(QStringLiteral(REKNA_CALC_PATH),
            {QStringLiteral("--answers"), QStringLiteral("--no-settings"), dir + "/demo.txt"});
    const QString text = run(QStringLiteral("pdftotext"),
                             {QStringLiteral("-layout"), dir + "/out.pdf", QStringLiteral("-")});
    QStringList lines;
    for (QString line : text.split(QLatin1Char('\n')))
        lines << line.remove(QLatin1Char(' '));
    int checked = 0;
    for (QString answer : answers.split(QLatin1Char('\n'))) {
        answer.remove(QLatin1Char(' '));
        if (answer.isEmpty()) continue;
        ++checked;
        EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&answer](const QString& l) {
            return l.contains(answer);
        })) << answer.toStdString();
    }
    EXPECT_GT(checked, 20);
}

}  // namespace
}  // namespace rekna
