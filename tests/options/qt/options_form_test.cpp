// The options dialog from the main window: one control changed per page and applied reaches the
// frame, the engine, the editors or the main window; OK without changes keeps the settings and
// the definitions file byte for byte.
#include "options/qt/options_form.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

#include "editor/qt/umemo.h"
#include "frame/qt/vt_frame_calc.h"
#include "grid/qt/str_vt_grid.h"
#include "platform/cp932.h"
#include "shell/qt/form_memo.h"
#include "support/number_guard.h"

namespace rekna {
namespace {

constexpr const char* kDefinitions = "; 定数\n#c=3\n#f(x) [test]=x^2\na = 1\nb=2\n";

class OptionsFormTest : public ::testing::Test {
protected:
    OptionsFormTest() {
        Paths.SettingsFile = Dir.path().toStdString() + "/rekna.ini";
        Paths.SettingsFolder = Dir.path().toStdString() + "/";
        QFile def(QString::fromStdString(Paths.DefinitionsFile()));
        EXPECT_TRUE(def.open(QIODevice::WriteOnly));
        def.write(kDefinitions);
        def.close();
        Form = std::make_unique<TFormMemo>(Paths);
        Form->AskToSave = [] { return TSaveAnswer::saNo; };
        Form->Start();
        Form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
        Form->FirstShow();
    }
    ~OptionsFormTest() override {
        if (TFormSet* d = OpenedOptions(*Form)) d->close();
        Form->close();
    }

    TVtFrameCalc& Frame() { return *Form->VtFrameCalc1(); }
    TFormSet& Open() {
        Form->Action("ActionSetOption")->trigger();
        TFormSet* d = OpenedOptions(*Form);
        EXPECT_NE(d, nullptr);
        return *d;
    }
    std::string Answer(const char* memo) {
        Frame().UMemo1()->LoadBytes(SysText(memo), false);
        Frame().CalcRows(true, false, TCalcRangeKind::rkAll);
        const std::string answer = Cp932ToUtf8(Frame().UMemo2()->Lines().Get(0));
        return answer.substr(std::min(answer.size(), answer.find_first_not_of(' ')));
    }
    std::string FileText(const std::string& path) {
        QFile f(QString::fromStdString(path));
        if (!f.open(QIODevice::ReadOnly)) return "(missing)";
        return f.readAll().toStdString();
    }
    // The settings file without the dialog's own place.
    std::string SettingsText() {
        EXPECT_TRUE(Form->WriteSettings().Ok());
        std::string out;
        for (const QByteArray& line :
             QByteArray::fromStdString(FileText(Paths.SettingsFile)).split('\n'))
            if (!line.startsWith("UsrFunc.")) out += line.toStdString() + "\n";
        return out;
    }

    test::TNumberGuard Guard;
    QTemporaryDir Dir;
    TStartPaths Paths;
    std::unique_ptr<TFormMemo> Form;
};

template <typename T> T* Child(TFormSet& d, const char* name) {
    T* w = d.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

void SetCell(TStrVtGrid* grid, int col, int row, const char* utf8) {
    grid->Grid().SetCells(col, row, SysText(utf8));
    grid->Refresh();
}

TEST_F(OptionsFormTest, EachPageAppliedReachesTheProgram) {
    const struct {
        TOptionPage Page;
        std::function<void(TFormSet&)> Change;
        std::function<std::string()> Observe;
        std::string Expect;
    } rows[] = {
        {TOptionPage::opCalc, [](TFormSet& d) { d.Check("ActionSetDeg")->click(); },
         [&] {
             return std::string(Frame().Action("ActionSetDeg")->isChecked() ? "deg " : "rad ") +
                    (Frame().VtCalc1().AngleUnit() == TAngleUnit::auDeg ? "deg" : "rad");
         },
         "deg deg"},
        {TOptionPage::opResult,
         [](TFormSet& d) {
             d.Check("ActionSetAnsFix")->click();
             Child<QRadioButton>(d, "AfterPoint")->click();
             Child<QSpinBox>(d, "Digits")->setValue(3);
         },
         [&] { return std::to_string(Frame().VtCalc1().AnsLength()) + " " + Answer("1/3"); },
         "-3 0.333"},
        {TOptionPage::opDefinitions,
         [](TFormSet& d) {
             Child<QToolButton>(d, "DefCommand0")->click();
             TStrVtGrid* g = d.Table(TOptionTable::otDefinitions);
             SetCell(g, 1, g->Grid().RowCount() - 1, "sq(x)");
             SetCell(g, 3, g->Grid().RowCount() - 1, "x*x");
         },
         [&] { return Cp932ToUtf8(Frame().Core().DefText()) + Answer("sq(b)"); },
         std::string(kDefinitions) + "#sq(x)=x*x\n4"},
        {TOptionPage::opScreen, [](TFormSet& d) { d.Check("ActionViewStatus")->click(); },
         [&] { return std::string(Form->statusBar()->isVisible() ? "shown" : "hidden"); },
         "hidden"},
        {TOptionPage::opEditView,
         [](TFormSet& d) {
             SetCell(d.Table(TOptionTable::otStdColors), 2, 1, "clRed");
             Child<QSpinBox>(d, "TabStops")->setValue(4);
         },
         [&] {
             return ColorToString(Frame().UMemo1()->Style().ColorText) + " " +
                    std::to_string(Frame().Core().Options().TabStops);
         },
         "clRed 4"},
        {TOptionPage::opEditAction, [](TFormSet& d) { Child<QSpinBox>(d, "Margin")->setValue(10); },
         [&] { return std::to_string(Frame().Core().Options().ScrollMargin); }, "5"},
        {TOptionPage::opEditAction, [](TFormSet& d) { d.Check("ActionFileSJisDefault")->click(); },
         [&] {
             return std::string(Form->Settings().FileSJisDefault ? "on " : "off ") +
                    std::string(EncodingName(PlainFileFormat().Encoding));
         },
         "on Shift_JIS"},
        {TOptionPage::opHotKey,
         [](TFormSet& d) { SetCell(d.Table(TOptionTable::otHotTargets), 2, 2, "選択範囲"); },
         [&] { return Form->Settings().HotKeyAction; }, "333313"},
    };
    TFormSet& d = Open();
    for (const auto& r : rows) {
        d.ShowPage(r.Page);
        r.Change(d);
        Child<QPushButton>(d, "ButtonApply")->click();
        EXPECT_EQ(r.Observe(), r.Expect) << OptionPageCaption(r.Page);
    }
}

TEST_F(OptionsFormTest, OkWithoutChangesKeepsTheFiles) {
    // Settings outside the spins' ranges stay as they are.
    TCalcOptions& o = Frame().Core().Options();
    o.WrapWidth = 5;
    o.FontSize = 80;
    o.PendingAnsLength = 18;
    Frame().SetMemoMode();
    Frame().SetCalcMode();
    const std::string settings = SettingsText();
    ASSERT_NE(settings.find("Length=18\n"), std::string::npos);
    TFormSet& d = Open();
    ASSERT_TRUE(d.isVisible());
    Child<QPushButton>(d, "ButtonOk")->click();
    EXPECT_EQ(OpenedOptions(*Form), nullptr);
    EXPECT_EQ(SettingsText(), settings);
    EXPECT_NE(Form->KeptSettings()["UsrFunc.Width"], "");
    Form->close();
    EXPECT_EQ(FileText(Paths.DefinitionsFile()), kDefinitions);
}

// OK applies the pages in their order; a page applied earlier never refills a later page's
// controls from the old settings, and the memo is calculated once.
TEST_F(OptionsFormTest, OkKeepsEveryPagesEditsAndCalculatesOnce) {
    Answer("1+2");
    const int wrap = Frame().Core().Options().WrapWidth;
    TFormSet& d = Open();
    // The pages from the last to the first.
    SetCell(d.Table(TOptionTable::otHotTargets), 2, 2, "選択範囲");
    Child<QSpinBox>(d, "Margin")->setValue(3);
    Child<QSpinBox>(d, "RowPitch")->stepBy(4);
    Child<QSpinBox>(d, "WrapWidth")->stepBy(5);
    Child<QSpinBox>(d, "TabStops")->setValue(4);
    SetCell(d.Table(TOptionTable::otCharSets), 1, 1, "+-");
    SetCell(d.Table(TOptionTable::otStdColors), 2, 1, "clRed");
    d.Check("ActionViewStatus")->click();
    Child<QToolButton>(d, "DefCommand0")->click();
    TStrVtGrid* defs = d.Table(TOptionTable::otDefinitions);
    SetCell(defs, 1, defs->Grid().RowCount() - 1, "sq(x)");
    SetCell(defs, 3, defs->Grid().RowCount() - 1, "x*x");
    d.Check("ActionSetAnsFix")->click();
    Child<QRadioButton>(d, "AfterPoint")->click();
    Child<QSpinBox>(d, "Digits")->setValue(3);
    d.Check("ActionSetDeg")->click();
    int runs = 0;
    const std::function<void()> began = Frame().OnBeginCalc;
    Frame().OnBeginCalc = [&] {
        ++runs;
        if (began) began();
    };
    Child<QPushButton>(d, "ButtonOk")->click();
    Frame().OnBeginCalc = began;
    EXPECT_EQ(runs, 1);
    const TCalcOptions& o = Frame().Core().Options();
    EXPECT_EQ(o.RowPitch, 6);
    EXPECT_EQ(o.WrapWidth, wrap + 5);
    EXPECT_EQ(o.TabStops, 4);
    EXPECT_EQ(o.CharColors[0].Chars, "+-");
    EXPECT_EQ(o.ScrollMargin, 3);
    EXPECT_EQ(ColorToString(Frame().UMemo1()->Style().ColorText), "clRed");
    EXPECT_EQ(Frame().VtCalc1().AngleUnit(), TAngleUnit::auDeg);
    EXPECT_EQ(Frame().VtCalc1().AnsLength(), -3);
    EXPECT_FALSE(Form->statusBar()->isVisible());
    EXPECT_EQ(Form->Settings().HotKeyAction, "333313");
    EXPECT_NE(Frame().Core().DefText().find("#sq(x)=x*x"), std::string::npos);
    // Opened again, the dialog shows what OK applied.
    EXPECT_EQ(Child<QSpinBox>(Open(), "RowPitch")->value(), 6);
}

// 初期化計算 shows "a = 1" as a row; the row commands move whole rows; deleting every row
// leaves the file with only the comment that no row stands for.
TEST_F(OptionsFormTest, DefinitionRowsMoveWholeAndCanAllBeDeleted) {
    TFormSet& d = Open();
    d.ShowPage(TOptionPage::opDefinitions);
    TStrVtGrid* grid = d.Table(TOptionTable::otDefinitions);
    TVtGrid& g = grid->Grid();
    const auto row = [&g](int r) {
        return Cp932ToUtf8(g.Cells(1, r) + "|" + g.Cells(2, r) + "|" + g.Cells(3, r));
    };
    ASSERT_EQ(g.RowCount(), 5);
    EXPECT_EQ(row(3), "a||1");
    g.FocusCell(3, 3, false);
    Child<QToolButton>(d, "DefCommand3")->click();  // 上に移動
    EXPECT_EQ(row(2) + " " + row(3), "a||1 f(x)|test|x^2");
    d.ApplyPage(TOptionPage::opDefinitions);
    EXPECT_EQ(Cp932ToUtf8(Frame().Core().DefSource()),
              "; 定数\n#c=3\na = 1\n#f(x) [test]=x^2\nb=2\n");
    for (int i = 0; i < 5; ++i)
        Child<QToolButton>(d, "DefCommand2")->click();  // 行削除
    EXPECT_EQ(g.RowCount(), 2);
    EXPECT_EQ(row(1), "||");
    Child<QPushButton>(d, "ButtonOk")->click();
    Form->close();
    EXPECT_EQ(FileText(Paths.DefinitionsFile()), "; 定数\n");
}

TEST_F(OptionsFormTest, UserFunctionsOpenOnTheInitialCalculationPage) {
    Frame().Core().Options().FontName = SysText("ＭＳ ゴシック");
    Form->Action("ActionSetFunc")->trigger();
    TFormSet* d = OpenedOptions(*Form);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->CurrentPage(), TOptionPage::opDefinitions);
    EXPECT_EQ(Child<QLabel>(*d, "FontName")->text(), QStringLiteral("IPAGothic"));
    d->FontDialog = [](const QFont&) { return QFont(QStringLiteral("Noto Sans Mono CJK JP"), 14); };
    Child<QPushButton>(*d, "FontButton")->click();
    d->ApplyPage(TOptionPage::opEditView);
    EXPECT_EQ(Frame().Core().Options().FontName, "Noto Sans Mono CJK JP");
    EXPECT_EQ(Frame().Core().Options().FontSize, 14);
    // The significant-digits spin never gives 0 significant digits.
    Child<QRadioButton>(*d, "Significant")->click();
    Child<QSpinBox>(*d, "Digits")->setValue(0);
    d->ApplyPage(TOptionPage::opResult);
    EXPECT_EQ(Frame().VtCalc1().AnsLength(), 1);
    EXPECT_TRUE(Child<QRadioButton>(*d, "Significant")->isChecked());
    // Without an X11 display the hot-key page says that hot keys cannot be registered.
    EXPECT_NE(d->findChild<QLabel*>(QStringLiteral("HotKeyUnavailable")), nullptr);
}

}  // namespace
}  // namespace rekna
