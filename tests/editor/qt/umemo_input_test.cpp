// Tests of the editor widget driven by QTest key, mouse and input-method events.
#include "umemo_test_helpers.h"

#include <QClipboard>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QScreen>
#include <QScrollBar>
#include <QWindow>

#include <functional>
#include <string>
#include <vector>

namespace rekna::test {
namespace {

inline std::string U8(std::string_view cp932) {
    return Cp932ToUtf8(cp932);
}

// The rows as UTF-8, "|" after a hard break and "~" after a soft one.
std::string Rows(const TUMemo& m) {
    const TUMemoStrings& s = m.Lines();
    std::string out;
    for (std::int32_t r = 0; r < s.GetCount(); ++r) {
        if (r > 0) out += s.Continued(r - 1) ? "~" : "|";
        out += U8(s.Get(r));
    }
    return out;
}

class TInputTest : public ::testing::Test {
protected:
    void SetUp() override { V.Focus(true); }
    void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier, int times = 1) {
        for (int i = 0; i < times; ++i)
            QTest::keyClick(&M, key, mods);
    }
    // Japanese text as the keyboard delivers it, one character at a time.
    void TypeJapanese(const QString& text) {
        for (const QChar c : text)
            QTest::sendKeyEvent(QTest::Click, &M, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
    void Commit(const QString& text) {
        QInputMethodEvent e;
        e.setCommitString(text);
        QApplication::sendEvent(&M, &e);
    }
    void Caret(TSelPoint p) {
        TUMemoStrings& s = M.Lines();
        s.BeginEdit(false);
        s.Selection().SetCaret(s, p, TSelMode::smNone);
        s.EndEdit(false);
    }
    // What the input method learns when it asks.
    [[nodiscard]] QVariant Query(Qt::InputMethodQuery query) {
        QInputMethodQueryEvent e(query);
        QApplication::sendEvent(&M, &e);
        return e.value(query);
    }
    [[nodiscard]] TSelPoint CaretAt() const { return M.Lines().Selection().Caret; }
    [[nodiscard]] std::string Selected() const { return U8(M.Editor().GetSelText(false)); }
    // The viewport point in the middle of a cell (column fraction 0.5 = its middle).
    [[nodiscard]] QPoint At(std::int32_t row, double column) const {
        return QPoint(M.ColumnX(1) +
                          static_cast<int>((column - M.Lines().LeftCol()) * M.ColPitch()),
                      M.RowY(row) + M.CellHeight() / 2);
    }

    TMemoView V;
    TUMemo& M = V.Memo;
};

TEST_F(TInputTest, TypingSelectingWithShiftAndReplacing) {
    QTest::keyClicks(&M, "abc def");
    EXPECT_EQ(Rows(M), "abc def");
    EXPECT_EQ(CaretAt(), (TSelPoint{8, 0}));
    Key(Qt::Key_Left, Qt::ShiftModifier, 3);
    EXPECT_EQ(Selected(), "def");
    QTest::keyClicks(&M, "X");
    EXPECT_EQ(Rows(M), "abc X");
    Key(Qt::Key_Home, Qt::ShiftModifier);
    Key(Qt::Key_Delete);
    EXPECT_EQ(Rows(M), "");
    // Enter and Backspace.
    QTest::keyClicks(&M, "ab");
    Key(Qt::Key_Return);
    QTest::keyClicks(&M, "cd");
    Key(Qt::Key_Backspace, Qt::NoModifier, 3);
    EXPECT_EQ(Rows(M), "ab");
    // The canvas shows what was typed.
    EXPECT_GT(InkCount(V.Image(), V.Cell(0, 1, 2)), 0);
}

TEST_F(TInputTest, JapaneseFromTheKeyboardAndFromTheInputMethod) {
    TypeJapanese(QString::fromUtf8("あい"));
    EXPECT_EQ(Rows(M), "あい");
    EXPECT_EQ(CaretAt(), (TSelPoint{5, 0}));
    // A composition is drawn at the caret but not typed; the commit is one edit.
    QInputMethodEvent compose(QString::fromUtf8("にほんご"), {});
    QApplication::sendEvent(&M, &compose);
    EXPECT_TRUE(M.Composing());
    EXPECT_EQ(Rows(M), "あい");
    Commit(QString::fromUtf8("日本語"));
    EXPECT_FALSE(M.Composing());
    EXPECT_EQ(Rows(M), "あい日本語");
    EXPECT_EQ(CaretAt(), (TSelPoint{11, 0}));
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Rows(M), "あい");
    // A commit with a line break is pasted.
    Commit(QString::fromUtf8("一\n二"));
    EXPECT_EQ(Rows(M), "あい一|二");
    // Half-width katakana become full-width when DoubleKana is on.
    M.Lines().SetDoubleKana(true);
    Commit(QString::fromUtf8("ｶﾞ"));
    EXPECT_EQ(Rows(M), "あい一|二ガ");
}

TEST_F(TInputTest, TheInputMethodIsToldAboutTheCaret) {
    V.Load("x\nあいう");
    Caret({5, 1});
    EXPECT_TRUE(Query(Qt::ImEnabled).toBool());
    EXPECT_EQ(Query(Qt::ImSurroundingText).toString(), QString::fromUtf8("あいう"));
    EXPECT_EQ(Query(Qt::ImCursorPosition).toInt(), 2);
    const QRect r = Query(Qt::ImCursorRectangle).toRect();
    EXPECT_EQ(r.left(), M.ColumnX(5) + M.viewport()->x());
    EXPECT_EQ(r.top(), M.RowY(1) + M.viewport()->y());
    EXPECT_EQ(r.height(), M.CellHeight());
    // Reconversion selects the word at the caret and offers it.
    Caret({3, 1});
    M.Reconvert();
    EXPECT_EQ(Query(Qt::ImCurrentSelection).toString(), QString::fromUtf8("あいう"));
    EXPECT_EQ(Query(Qt::ImAnchorPosition).toInt(), 0);
    // The input method replaces the selection around the caret with its result.
    QInputMethodEvent replace(QString(), {});
    replace.setCommitString(QString::fromUtf8("亜"), -3, 3);
    QApplication::sendEvent(&M, &replace);
    EXPECT_EQ(Rows(M), "x|亜");
    M.Editor().SetReadOnly(true);
    EXPECT_FALSE(Query(Qt::ImEnabled).toBool());
    Commit(QString::fromUtf8("無"));
    EXPECT_EQ(Rows(M), "x|亜");
}

TEST_F(TInputTest, BoxSelectionAndTheMultiRowCaret) {
    V.Load("abcd\nefgh\nijkl");
    Caret({2, 0});
    Key(Qt::Key_Down, Qt::ShiftModifier | Qt::ControlModifier, 2);
    QTest::keyClicks(&M, "xy");
    EXPECT_EQ(Rows(M), "axybcd|exyfgh|ixyjkl");
    Key(Qt::Key_Backspace);
    EXPECT_EQ(Rows(M), "axbcd|exfgh|ixjkl");
    Key(Qt::Key_Right, Qt::ShiftModifier | Qt::ControlModifier, 2);
    EXPECT_EQ(Selected(), "bc\r\nfg\r\njk\r\n");
    Key(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(Rows(M), "axd|exh|ixl");
    EXPECT_EQ(M.Lines().Selection().Mode, TSelMode::smBox);
    // The box caret is a bar as tall as the rows of the box.
    EXPECT_EQ(M.CaretRect().height(), M.RowY(2) + M.CellHeight() - M.RowY(0));
    // Esc ends the multi-row caret.
    Key(Qt::Key_Escape);
    EXPECT_EQ(M.Lines().Selection().Mode, TSelMode::smNone);
}

TEST_F(TInputTest, AutoIndentAndAutomaticBrackets) {
    QTest::keyClicks(&M, "first");
    Key(Qt::Key_Return);
    QTest::keyClicks(&M, "  >ab");
    Key(Qt::Key_Return);
    EXPECT_EQ(Rows(M), "first|  >ab|  >");
    EXPECT_EQ(CaretAt(), (TSelPoint{4, 2}));
    Key(Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(Rows(M), "first|  >ab|  >|");
    // Backspace joins the rows again, then goes back to the indentation of the row above.
    Key(Qt::Key_Backspace);
    EXPECT_EQ(Rows(M), "first|  >ab|  >");
    Key(Qt::Key_Backspace);
    EXPECT_EQ(Rows(M), "first|  >ab|");
    M.Lines().SetAutoKakko(true);
    Key(Qt::Key_Backspace, Qt::ControlModifier);  // swallowed: Ctrl+Backspace types nothing
    QTest::keyClicks(&M, "f(");
    EXPECT_EQ(U8(M.Lines().Get(2)), "f()");
    EXPECT_EQ(CaretAt(), (TSelPoint{3, 2}));
    // A word selected on one row is wrapped in the brackets.
    Key(Qt::Key_End);
    QTest::keyClicks(&M, " sin");
    Key(Qt::Key_Left, Qt::ShiftModifier, 3);
    QTest::keyClicks(&M, "[");
    EXPECT_EQ(U8(M.Lines().Get(2)), "f() [sin]");
    EXPECT_EQ(CaretAt(), (TSelPoint{10, 2}));
}

TEST_F(TInputTest, RuledLinesOverwriteAndUndoThroughKeys) {
    Key(Qt::Key_Right, Qt::AltModifier, 3);
    EXPECT_EQ(Rows(M), "----");
    Key(Qt::Key_Down, Qt::AltModifier);
    EXPECT_EQ(Rows(M), "---+|   |");
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Rows(M), "----");
    Key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(Rows(M), "---+|   |");
    Key(Qt::Key_Backspace, Qt::AltModifier);
    Key(Qt::Key_Delete, Qt::AltModifier);
    EXPECT_EQ(Rows(M), "---");

    V.Load("あいう");
    Caret({1, 0});
    std::vector<bool> modes;
    M.Editor().OnStatusChange = [&] { modes.push_back(M.Editor().InsertMode()); };
    Key(Qt::Key_Insert);
    EXPECT_FALSE(M.Editor().InsertMode());
    // The overwrite caret is a half-height block over the character.
    EXPECT_EQ(M.CaretRect().height(), M.CellHeight() / 2);
    EXPECT_EQ(M.CaretRect().width(), 2 * M.ColPitch());
    QTest::keyClicks(&M, "a");
    EXPECT_EQ(Rows(M), "a いう");
    QTest::keyClicks(&M, "bcd");
    EXPECT_EQ(Rows(M), "abcdう");
    Key(Qt::Key_Insert);
    QTest::keyClicks(&M, "e");
    EXPECT_EQ(Rows(M), "abcdeう");
    EXPECT_EQ(modes, (std::vector<bool>{false, true}));
}

TEST_F(TInputTest, TheNotificationsComeInTheirOrderAroundTheRepaint) {
    V.Load("abc\ndef");
    Caret({4, 0});
    std::vector<std::string> log;
    TUMemoEditor& e = M.Editor();
    // Whether the caret row was painted yet: the painter clears a row's mark when it paints it.
    const auto painted = [&] { return M.Lines().RowMark(0) == TRowMark::rmNone ? "+" : "-"; };
    e.OnChange = [&] { log.push_back(std::string("Change") + painted()); };
    e.OnChanged = [&] { log.push_back(std::string("Changed") + painted()); };
    e.OnUndoChange = [&](bool, bool) { log.emplace_back("UndoChange"); };
    e.OnUndoChanged = [&](bool, bool) { log.emplace_back("UndoChanged"); };
    e.OnMoveCaretCol = [&] { log.emplace_back("MoveCaretCol"); };
    e.OnMovedCaretCol = [&] { log.emplace_back("MovedCaretCol"); };
    e.OnMoveCaretRow = [&] { log.emplace_back("MoveCaretRow"); };
    e.OnMovedCaretRow = [&] { log.emplace_back("MovedCaretRow"); };
    e.OnSelect = [&] { log.emplace_back("Select"); };
    e.OnSelected = [&] { log.emplace_back("Selected"); };
    QTest::keyClicks(&M, "x");
    EXPECT_EQ(log, (std::vector<std::string>{"Change-", "UndoChange", "MoveCaretCol", "Changed+",
                                             "UndoChanged", "MovedCaretCol"}));
    log.clear();
    Key(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(log,
              (std::vector<std::string>{"MoveCaretRow", "Select", "MovedCaretRow", "Selected"}));
}

TEST_F(TInputTest, MouseClicksDragsAndShiftClicks) {
    V.Load("abcdef\nghijkl\nmnopqr");
    QTest::mouseClick(M.viewport(), Qt::LeftButton, Qt::NoModifier, At(1, 3.2));
    EXPECT_EQ(CaretAt(), (TSelPoint{3, 1}));
    QTest::mouseClick(M.viewport(), Qt::LeftButton, Qt::ShiftModifier, At(2, 3.2));
    EXPECT_EQ(Selected(), "ijkl\r\nmn");
    QTest::mousePress(M.viewport(), Qt::LeftButton, Qt::NoModifier, At(0, 1.2));
    QTest::mouseMove(M.viewport(), At(0, 4.2));
    QTest::mouseRelease(M.viewport(), Qt::LeftButton, Qt::NoModifier, At(0, 4.2));
    EXPECT_EQ(Selected(), "abc");
    // Shift+Ctrl: a box from the caret to the pointer.
    QTest::mouseClick(M.viewport(), Qt::LeftButton, Qt::NoModifier, At(0, 2.2));
    QTest::mouseClick(M.viewport(), Qt::LeftButton, Qt::ShiftModifier | Qt::ControlModifier,
                      At(2, 4.2));
    EXPECT_EQ(M.Lines().Selection().Mode, TSelMode::smBox);
    EXPECT_EQ(Selected(), "bc\r\nhi\r\nno\r\n");
    // Overwrite mode takes the character under the pointer.
    M.Editor().SetInsertMode(false);
    QTest::mouseClick(M.viewport(), Qt::LeftButton, Qt::NoModifier, At(1, 3.8));
    EXPECT_EQ(CaretAt(), (TSelPoint{3, 1}));
}

TEST_F(TInputTest, TheLineMarginSelectsRowsUnderItsCursor) {
    V.Load("one\ntwo\nthree\nfour");
    const QPoint margin(M.LeftMargin() / 2, M.RowY(1) + 2);
    QTest::mouseMove(M.viewport(), margin);
    EXPECT_EQ(M.MouseMode(), TMouseMode::mmLineMargin);
    EXPECT_EQ(M.viewport()->cursor().hotSpot(), QPoint(9, 0));
    QTest::mousePress(M.viewport(), Qt::LeftButton, Qt::NoModifier, margin);
    QTest::mouseMove(M.viewport(), QPoint(margin.x(), M.RowY(2) + 2));
    QTest::mouseRelease(M.viewport(), Qt::LeftButton, Qt::NoModifier,
                        QPoint(margin.x(), M.RowY(2) + 2));
    EXPECT_EQ(Selected(), "two\r\nthree\r\n");
    QTest::mouseClick(M.viewport(), Qt::LeftButton, Qt::ShiftModifier,
                      QPoint(margin.x(), M.RowY(3) + 2));
    EXPECT_EQ(Selected(), "two\r\nthree\r\nfour");
    QTest::mouseMove(M.viewport(), At(0, 2.0));
    EXPECT_NE(M.MouseMode(), TMouseMode::mmLineMargin);
    EXPECT_EQ(M.viewport()->cursor().shape(), Qt::IBeamCursor);
}

TEST_F(TInputTest, DoubleClickSelectsAWordAndHighlightsIt) {
    V.Load("fc = 1/(2*PI*R1*C1) ;fc の値\nx = fc*2.5k");
    std::vector<std::string> found;
    M.Editor().OnSetFindText = [&](std::string_view t, TSearchTypes) { found.push_back(U8(t)); };
    QTest::mouseDClick(M.viewport(), Qt::LeftButton, Qt::NoModifier, At(1, 5.5));
    EXPECT_EQ(Selected(), "fc");
    EXPECT_EQ(M.FindText(), "fc");
    // Every occurrence gets the find background.
    const QRgb find = V.Rgb(M.Style().ColorFind);
    EXPECT_EQ(V.BackAt(0, 1), find);
    EXPECT_EQ(V.BackAt(0, 22), find);
    QTest::mouseDClick(M.viewport(), Qt::LeftButton, Qt::NoModifier, At(1, 9.5));
    EXPECT_EQ(Selected(), "2.5k");
    // Esc drops the selection, then the highlight.
    Key(Qt::Key_Escape);
    EXPECT_EQ(M.FindText(), "2.5k");
    Key(Qt::Key_Escape);
    EXPECT_EQ(M.FindText(), "");
    EXPECT_NE(V.BackAt(0, 1), find);
    EXPECT_EQ(found, (std::vector<std::string>{"fc", "2.5k", ""}));
}

TEST_F(TInputTest, DraggingTheWrapMarginChangesTheWrapWidth) {
    V.Load("short\nabcdefghijklmnopqrstuvwxyz0123456789");
    std::int32_t wraps = 0;
    M.Editor().Wrap().OnChangeWordWrap = [&] { ++wraps; };
    M.Editor().Wrap().SetWordWrapWidth(20);
    M.Editor().Wrap().SetWordWrap(TWordWrapType::wtCount);
    ASSERT_EQ(Rows(M), "short|abcdefghijklmnopqrst~uvwxyz0123456789");
    const QPoint handle = At(0, 21.5);
    QTest::mouseMove(M.viewport(), handle);
    EXPECT_EQ(M.MouseMode(), TMouseMode::mmWrapMargin);
    QTest::mousePress(M.viewport(), Qt::LeftButton, Qt::NoModifier, handle);
    QTest::mouseMove(M.viewport(), At(0, 31.5));
    QTest::mouseRelease(M.viewport(), Qt::LeftButton, Qt::NoModifier, At(0, 31.5));
    EXPECT_EQ(M.Editor().Wrap().WordWrapWidth(), 30);
    EXPECT_EQ(Rows(M), "short|abcdefghijklmnopqrstuvwxyz0123~456789");
    EXPECT_EQ(wraps, 2);
    // Esc cancels a drag: the width stays.
    QTest::mousePress(M.viewport(), Qt::LeftButton, Qt::NoModifier, At(0, 31.5));
    QTest::mouseMove(M.viewport(), At(0, 15.5));
    Key(Qt::Key_Escape);
    QTest::mouseRelease(M.viewport(), Qt::LeftButton, Qt::NoModifier, At(0, 15.5));
    EXPECT_EQ(M.Editor().Wrap().WordWrapWidth(), 30);
}

TEST_F(TInputTest, ADragBelowTheViewScrollsAndExtends) {
    std::string text = "row 0";
    for (int i = 1; i < 100; ++i)
        text += "\nrow " + std::to_string(i);
    V.Load(text);
    QTest::mousePress(M.viewport(), Qt::LeftButton, Qt::NoModifier, At(1, 1.0));
    const QPoint below(At(0, 3.0).x(), M.viewport()->height() + 10);
    QTest::mouseMove(M.viewport(), below);
    QTest::qWait(400);
    QTest::mouseRelease(M.viewport(), Qt::LeftButton, Qt::NoModifier, below);
    EXPECT_GT(M.Lines().TopRow(), 2);
    EXPECT_GT(CaretAt().Y, M.FullPageRows());
    EXPECT_EQ(M.Lines().Selection().Mode, TSelMode::smStream);
    EXPECT_EQ(M.Lines().Selection().Anchor, (TSelPoint{1, 1}));
    // The view keeps what it was scrolled to once the button is up.
    const std::int32_t top = M.Lines().TopRow();
    QTest::qWait(150);
    EXPECT_EQ(M.Lines().TopRow(), top);
}

TEST_F(TInputTest, PagesTabsAndTheClipboard) {
    std::string text = "row 0";
    for (int i = 1; i < 60; ++i)
        text += "\nrow " + std::to_string(i);
    V.Load(text);
    Key(Qt::Key_Down, Qt::NoModifier, 3);
    Key(Qt::Key_PageDown);
    EXPECT_EQ(CaretAt().Y, 3 + M.Editor().PageStep());
    EXPECT_EQ(M.Lines().TopRow(), M.Editor().PageStep());
    EXPECT_EQ(M.verticalScrollBar()->value(), M.Lines().TopRow());
    Key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(CaretAt().Y, 59);
    Key(Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(CaretAt(), (TSelPoint{1, 0}));
    EXPECT_EQ(M.Lines().TopRow(), 0);
    Key(Qt::Key_Down, Qt::ControlModifier, 3);
    EXPECT_EQ(M.Lines().TopRow(), 3);
    EXPECT_EQ(CaretAt(), (TSelPoint{1, 0}));
    // Tab is typed while WantTabs is on.
    Key(Qt::Key_Tab);
    EXPECT_EQ(U8(M.Lines().Get(0)), "\trow 0");
    // Copy and paste go through the desktop clipboard as Unicode.
    V.Load("値は１２３");
    Key(Qt::Key_A, Qt::ControlModifier);
    Key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QString::fromUtf8("値は１２３"));
    QApplication::clipboard()->setText(QString::fromUtf8("貼る"));
    Key(Qt::Key_End, Qt::ControlModifier);
    Key(Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(Rows(M), "値は１２３貼る");
}

// What the window shows after an input, painted only where something changed, equals a full
// paint of the widget.
TEST_F(TInputTest, TheWindowShowsWhatAFullPaintShows) {
    const int flash = QApplication::cursorFlashTime();
    QApplication::setCursorFlashTime(0);  // the caret stays on
    V.Load("abc def\n(1+2)*3\nあいう");
    M.window()->windowHandle()->requestActivate();
    const auto shown = [&] {
        QApplication::processEvents();
        const QImage screen = M.screen()->grabWindow(M.window()->winId()).toImage();
        const QPoint at = M.viewport()->mapTo(M.window(), QPoint(0, 0));
        return screen.copy(QRect(at, M.viewport()->size())).convertToFormat(QImage::Format_RGB32);
    };
    const auto full = [&] {
        return M.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    };
    struct TStep {
        const char* What;
        std::function<void()> Do;
    };
    const TStep steps[] = {
        {"type", [&] { QTest::keyClicks(&M, "xy"); }},
        {"right", [&] { Key(Qt::Key_Right); }},
        {"click in the row",
         [&] { QTest::mouseClick(M.viewport(), Qt::LeftButton, {}, At(0, 6.2)); }},
        {"into the brackets", [&] { Key(Qt::Key_Down); }},
        {"select", [&] { Key(Qt::Key_Right, Qt::ShiftModifier, 2); }},
        {"overwrite", [&] { Key(Qt::Key_Insert); }},
        {"enter", [&] { Key(Qt::Key_Return); }},
        {"backspace", [&] { Key(Qt::Key_Backspace); }},
        {"box", [&] { Key(Qt::Key_Down, Qt::ShiftModifier | Qt::ControlModifier); }},
        {"focus out", [&] { V.Focus(false); }},
        {"focus in", [&] { V.Focus(true); }},
    };
    for (const TStep& step : steps) {
        step.Do();
        const QImage screen = shown();
        ASSERT_FALSE(screen.isNull()) << step.What;
        EXPECT_TRUE(screen == full()) << step.What;
    }
    QApplication::setCursorFlashTime(flash);
}

}  // namespace
}  // namespace rekna::test
