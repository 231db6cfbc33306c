// Every editing command, at several wrap widths, tab stops and indent settings: the rows stay
// wrapped as a fresh wrap would cut them, undo restores text, flags, hanging indents, caret,
// selection and view exactly, and redo restores the state after the command.
#include "editor_helpers.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace rekna {
namespace {

using test::At;
using test::J;
using test::LineRow;
using test::State;

const char* const kDocument = "    indented line with words and more words\n"
                              "        eight spaces deep, and then some text\n"
                              "あいうえおかきくけこ漢字かな交じり\n"
                              "tab\there\tand\tthere\n"
                              "\n"
                              ">data 1 2 3 4 5\n"
                              "short\n"
                              "#comment line that is long enough to wrap around";

struct TCommand {
    const char* Name;
    std::function<void(TUMemoEditor&)> Select;
    std::function<void(TUMemoEditor&, TMemoryClipboard&)> Run;
};

void Caret(TUMemoEditor& e, TSelPoint p) {
    e.Strings().Selection().SetCaret(e.Strings(), p, TSelMode::smNone);
}

void Stream(TUMemoEditor& e, TSelPoint from, TSelPoint to) {
    e.Strings().Selection().SelectStream(e.Strings(), from, to);
}

// Rows from the first row of line a to the last row of line b.
void Rows(TUMemoEditor& e, std::size_t a, std::size_t b) {
    TUMemoStrings& s = e.Strings();
    s.Selection().SelectRows(s, LineRow(s, a), s.LastRowOfLine(LineRow(s, b)));
}

// A box from column c1 of the first row of line a to column c2 of the first row of line b.
void Box(TUMemoEditor& e, std::int32_t c1, std::size_t a, std::int32_t c2, std::size_t b) {
    TUMemoStrings& s = e.Strings();
    s.Selection().SelectBox(s, {c1, LineRow(s, a)}, {c2, LineRow(s, b)});
}

// The end of the first row of line `line`, where its soft break is (the line end unwrapped).
TSelPoint FirstRowEnd(const TUMemoStrings& s, std::size_t line) {
    const std::int32_t row = LineRow(s, line);
    return {static_cast<std::int32_t>(s.Get(row).size()) + 1, row};
}

// The start of the second row of line `line` (the first row's end when it is not wrapped).
TSelPoint SecondRowStart(const TUMemoStrings& s, std::size_t line) {
    return At(s, line, s.RowContent(LineRow(s, line)).size());
}

void Clip(TMemoryClipboard& c, std::string_view utf8) {
    c.SetText(test::Lines(utf8));
}

std::vector<TCommand> Commands() {
    using E = TUMemoEditor;
    using C = TMemoryClipboard;
    auto none = [](E&) {};
    return {
        {"type", [](E& e) { Caret(e, At(e.Strings(), 0, 10)); },
         [](E& e, C&) { e.InsertAtCaret("Z"); }},
        {"type a double-byte character", [](E& e) { Caret(e, At(e.Strings(), 2, 4)); },
         [](E& e, C&) { e.InsertAtCaret(J("漢")); }},
        {"type over a stream of three lines",
         [](E& e) { Stream(e, At(e.Strings(), 0, 5), At(e.Strings(), 3, 3)); },
         [](E& e, C&) { e.InsertAtCaret("q"); }},
        {"type over selected rows", [](E& e) { Rows(e, 2, 3); },
         [](E& e, C&) { e.InsertAtCaret("w"); }},
        {"type into the multi-row caret", [](E& e) { Box(e, 3, 5, 3, 6); },
         [](E& e, C&) { e.InsertAtCaret("ab"); }},
        {"type over a box of mixed widths", [](E& e) { Box(e, 2, 0, 6, 3); },
         [](E& e, C&) { e.InsertAtCaret("x"); }},
        {"overwrite half a double-byte character", [](E& e) { Caret(e, At(e.Strings(), 2, 0)); },
         [](E& e, C&) {
             e.SetInsertMode(false);
             e.InsertAtCaret("a");
             e.SetInsertMode(true);
         }},
        {"overwrite in a box", [](E& e) { Box(e, 2, 2, 2, 3); },
         [](E& e, C&) {
             e.SetInsertMode(false);
             e.InsertAtCaret("yy");
             e.SetInsertMode(true);
         }},
        {"bracket around a word",
         [](E& e) { Stream(e, At(e.Strings(), 6, 0), At(e.Strings(), 6, 5)); },
         [](E& e, C&) {
             e.Strings().SetAutoKakko(true);
             e.InsertAtCaret("(");
         }},
        {"converted input", [](E& e) { Caret(e, At(e.Strings(), 4, 0)); },
         [](E& e, C&) {
             e.Strings().SetDoubleKana(true);
             e.Strings().SetDoubleDiv(true);
             e.Strings().SetDoubleMul(true);
             e.InsertAtCaret(J("ｱｲ/*"));
         }},
        {"enter", [](E& e) { Caret(e, At(e.Strings(), 0, 12)); },
         [](E& e, C&) { e.NewLine(false); }},
        {"shift enter", [](E& e) { Caret(e, At(e.Strings(), 1, 12)); },
         [](E& e, C&) { e.NewLine(true); }},
        {"enter at the indentation", [](E& e) { Caret(e, At(e.Strings(), 1, 4)); },
         [](E& e, C&) { e.NewLine(false); }},
        {"enter at a soft break", [](E& e) { Caret(e, FirstRowEnd(e.Strings(), 7)); },
         [](E& e, C&) { e.NewLine(false); }},
        {"enter at a continuation row", [](E& e) { Caret(e, SecondRowStart(e.Strings(), 0)); },
         [](E& e, C&) { e.NewLine(false); }},
        {"enter in the multi-row caret", [](E& e) { Box(e, 4, 5, 4, 7); },
         [](E& e, C&) { e.NewLine(false); }},
        {"enter over a stream",
         [](E& e) { Stream(e, At(e.Strings(), 2, 2), At(e.Strings(), 3, 2)); },
         [](E& e, C&) { e.NewLine(false); }},
        {"backspace", [](E& e) { Caret(e, At(e.Strings(), 3, 4)); },
         [](E& e, C&) { e.BackSpace(false); }},
        {"backspace joins lines", [](E& e) { Caret(e, At(e.Strings(), 6, 0)); },
         [](E& e, C&) { e.BackSpace(false); }},
        {"backspace at a continuation row", [](E& e) { Caret(e, SecondRowStart(e.Strings(), 7)); },
         [](E& e, C&) { e.BackSpace(false); }},
        {"backspace to the indentation above", [](E& e) { Caret(e, At(e.Strings(), 1, 8)); },
         [](E& e, C&) { e.BackSpace(false); }},
        {"backspace a double-byte character", [](E& e) { Caret(e, At(e.Strings(), 2, 6)); },
         [](E& e, C&) { e.BackSpace(false); }},
        {"backspace in the multi-row caret", [](E& e) { Box(e, 3, 5, 3, 7); },
         [](E& e, C&) { e.BackSpace(false); }},
        {"delete", [](E& e) { Caret(e, At(e.Strings(), 3, 3)); },
         [](E& e, C&) { e.DeleteChar(false); }},
        {"delete joins lines", [](E& e) { Caret(e, At(e.Strings(), 0, 1000)); },
         [](E& e, C&) { e.DeleteChar(false); }},
        {"delete at a soft break", [](E& e) { Caret(e, FirstRowEnd(e.Strings(), 0)); },
         [](E& e, C&) { e.DeleteChar(false); }},
        {"delete to the row end", [](E& e) { Caret(e, At(e.Strings(), 0, 6)); },
         [](E& e, C&) { e.DeleteChar(true); }},
        {"delete in the multi-row caret", [](E& e) { Box(e, 1, 2, 1, 3); },
         [](E& e, C&) { e.DeleteChar(false); }},
        {"cut a stream", [](E& e) { Stream(e, At(e.Strings(), 2, 2), At(e.Strings(), 5, 3)); },
         [](E& e, C&) { e.Cut(); }},
        {"cut rows", [](E& e) { Rows(e, 3, 4); }, [](E& e, C&) { e.Cut(); }},
        {"cut a box", [](E& e) { Box(e, 2, 0, 6, 3); }, [](E& e, C&) { e.Cut(); }},
        {"delete rows to the end", [](E& e) { Rows(e, 6, 7); }, [](E& e, C&) { e.DeleteSel(); }},
        {"paste lines", [](E& e) { Caret(e, At(e.Strings(), 0, 6)); },
         [](E& e, C& c) {
             Clip(c, "P1 pasted\nP2\n  P3 ");
             e.Paste();
         }},
        {"paste over a stream",
         [](E& e) { Stream(e, At(e.Strings(), 0, 2), At(e.Strings(), 0, 9)); },
         [](E& e, C& c) {
             Clip(c, "single");
             e.Paste();
         }},
        {"paste rows over rows, selected after", [](E& e) { Rows(e, 3, 3); },
         [](E& e, C&) { e.InsertClipText(J("L1\nL2 line two\n"), true, false, {}); }},
        {"paste into the multi-row caret", [](E& e) { Box(e, 3, 5, 3, 7); },
         [](E& e, C& c) {
             Clip(c, "xy");
             e.Paste();
         }},
        {"box paste below the caret", [](E& e) { Caret(e, At(e.Strings(), 6, 2)); },
         [](E& e, C& c) {
             Clip(c, "b1\nb2\nb3\nb4\n");
             e.BoxPaste();
         }},
        {"box paste over a box", [](E& e) { Box(e, 2, 0, 5, 2); },
         [](E& e, C& c) {
             Clip(c, "一\nb2");
             e.BoxPaste();
         }},
        {"quoted paste", [](E& e) { Caret(e, At(e.Strings(), 4, 0)); },
         [](E& e, C& c) {
             Clip(c, "q1\nq2\n");
             e.QuotedPaste();
         }},
        {"calc paste", [](E& e) { Caret(e, At(e.Strings(), 4, 0)); },
         [](E& e, C& c) {
             Clip(c, "１２×３＋ｱｲｳ　二");
             e.CalcPaste();
         }},
        {"tab on a stream", [](E& e) { Stream(e, At(e.Strings(), 0, 2), At(e.Strings(), 3, 3)); },
         [](E& e, C&) { e.TabKey(false); }},
        {"tab with tabs on rows", [](E& e) { Rows(e, 0, 3); },
         [](E& e, C&) {
             e.SetTabIndentChar(TTabIndentChar::tcTab);
             e.TabKey(false);
             e.SetTabIndentChar(TTabIndentChar::tcSpace);
         }},
        {"shift tab on rows", [](E& e) { Rows(e, 0, 7); }, [](E& e, C&) { e.TabKey(true); }},
        {"tab in the multi-row caret", [](E& e) { Box(e, 2, 5, 2, 6); },
         [](E& e, C&) { e.TabKey(false); }},
        {"select all and type", [](E& e) { e.SelectAll(); },
         [](E& e, C&) { e.InsertAtCaret("all"); }},
        {"join rows", [](E& e) { Rows(e, 5, 7); }, [](E& e, C&) { e.Strings().JoinLines(); }},
        {"new wrap width", none,
         [](E& e, C&) {
             const std::int32_t w = e.Strings().WrapColumns();
             e.Strings().SetWrapColumns(w == 0 ? 15 : w == 12 ? 0 : w + 4);
         }},
    };
}

TEST(UndoCommands, EveryCommandIsTakenBackAndRedoneExactly) {
    const std::vector<TCommand> commands = Commands();
    const std::string document = test::Lines(kDocument);
    for (std::int32_t wrap : {0, 7, 12, 25}) {
        for (std::int32_t tabs : {1, 4, 8}) {
            for (bool autoIndent : {true, false}) {
                for (const TCommand& command : commands) {
                    const std::string where =
                        std::string(command.Name) + " at wrap " + std::to_string(wrap) + " tabs " +
                        std::to_string(tabs) + (autoIndent ? " auto-indent" : "");
                    TUMemoEditor e;
                    TMemoryClipboard clipboard;
                    e.SetClipboard(&clipboard);
                    test::Setup(e, {wrap, tabs, autoIndent, true}, document);
                    TUMemoStrings& s = e.Strings();
                    s.SetVisibleRows(6);
                    s.SetTopRow(2);
                    command.Select(e);
                    const test::TEditorState before = State(s);
                    command.Run(e, clipboard);
                    const test::TEditorState after = State(s);
                    ASSERT_NE(after, before) << where << " changed nothing";
                    ASSERT_EQ(s.CheckRows(true), "") << where << "\n" << after;
                    ASSERT_TRUE(e.Undo()) << where;
                    ASSERT_EQ(State(s), before) << where;
                    ASSERT_FALSE(e.CanUndo()) << where << ": one command, one step";
                    ASSERT_EQ(s.SaveBytes(), document + "\r\n") << where;
                    ASSERT_TRUE(e.Redo()) << where;
                    ASSERT_EQ(State(s), after) << where;
                    ASSERT_TRUE(e.Undo()) << where;
                    ASSERT_EQ(State(s), before) << where;
                    ASSERT_EQ(s.CheckRows(true), "") << where;
                }
            }
        }
    }
}

}  // namespace
}  // namespace rekna
