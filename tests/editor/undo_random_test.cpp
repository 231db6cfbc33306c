// Long seeded sequences of random edits with random selections, at small wrap widths and tab
// stops: every step is taken back to its exact state and redone to its exact result, and undoing
// everything gives back the original text byte for byte.
#include "editor_helpers.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace rekna {
namespace {

using test::J;
using test::State;

class TRandomSession {
public:
    TRandomSession(TUMemoEditor& e, TMemoryClipboard& clipboard, unsigned seed)
        : E(e), Clipboard(clipboard), Rng(seed) {}

    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(Rng); }

    std::string Piece() {
        static const std::vector<std::string> pool = {
            "a",     "Zq",    " ",     "\t",    ">",     "#",     "(",    ")", "1.5",
            J("あ"), J("漢"), J("「"), J("」"), J("。"), J("　"), J("ｱ"), "/", "*",
            "  ",    ";",     "\r\n",  "\n",    J("１"), J("×"),  "xyz",  "\r"};
        std::string out;
        const int n = 1 + Pick(4);
        for (int i = 0; i < n; ++i)
            out += pool[static_cast<std::size_t>(Pick(static_cast<int>(pool.size())))];
        return out;
    }

    TSelPoint Point() {
        const TUMemoStrings& s = E.Strings();
        if (s.GetCount() == 0) return {1, 0};
        const std::int32_t row = Pick(s.GetCount());
        return {1 + Pick(static_cast<int>(s.Get(row).size()) + 2), row};
    }

    void Select() {
        TUMemoStrings& s = E.Strings();
        TUMemoSelection& sel = s.Selection();
        const std::int32_t count = std::max(s.GetCount(), 1);
        switch (Pick(7)) {
        case 6: E.SelectAll(); break;
        case 0:
        case 1: sel.SetCaret(s, Point(), TSelMode::smNone); break;
        case 2: sel.SelectStream(s, Point(), Point()); break;
        case 3: sel.SelectRows(s, Pick(count), Pick(count)); break;
        case 4: sel.SelectBox(s, {1 + Pick(12), Pick(count)}, {1 + Pick(12), Pick(count)}); break;
        default: {
            const std::int32_t column = 1 + Pick(8);
            sel.SelectBox(s, {column, Pick(count)}, {column, Pick(count)});
        }
        }
    }

    // One command; returns its name for failure messages.
    std::string Command() {
        TUMemoStrings& s = E.Strings();
        switch (Pick(22)) {
        case 0:
        case 1: E.InsertAtCaret(Piece()); return "type";
        case 2:
            E.SetInsertMode(false);
            E.InsertAtCaret(Piece());
            E.SetInsertMode(true);
            return "overwrite";
        case 3: E.NewLine(Pick(3) == 0); return "enter";
        case 4: E.BackSpace(Pick(3) == 0); return "backspace";
        case 5: E.DeleteChar(Pick(4) == 0); return "delete";
        case 6: E.Cut(); return "cut";
        case 7: E.DeleteSel(); return "delete selection";
        case 8:
            Clipboard.SetText(Piece() + Piece());
            E.Paste();
            return "paste";
        case 9:
            E.Copy(Pick(2) == 0);
            E.Paste();
            return "copy and paste";
        case 10:
            Clipboard.SetText(Piece() + "\r\n" + Piece());
            E.BoxPaste();
            return "box paste";
        case 11:
            Clipboard.SetText(Piece());
            E.QuotedPaste();
            return "quoted paste";
        case 12:
            Clipboard.SetText(Piece() + J("二（３）"));
            E.CalcPaste();
            return "calc paste";
        case 13:
            E.SetTabIndentChar(Pick(2) == 0 ? TTabIndentChar::tcTab : TTabIndentChar::tcSpace);
            E.TabKey(Pick(2) == 0);
            return "tab";
        case 14:
            E.InsertClipText(Piece() + "\r\n" + Piece(), true, false, {});
            return "insert selected";
        case 15:
            s.SetAutoKakko(Pick(2) == 0);
            E.InsertAtCaret(Pick(2) == 0 ? "(" : "[");
            return "bracket";
        case 16: s.SetWrapColumns(Pick(3) == 0 ? 0 : 1 + Pick(20)); return "wrap";
        case 17: s.JoinLines(); return "join lines";
        case 18: s.JoinSelected(); return "join selected";
        case 19: E.InsertAtCaret("Q"); return "type Q";
        case 20:
            s.SetDoubleKana(Pick(2) == 0);
            s.SetDoubleDiv(Pick(2) == 0);
            s.SetDoubleMul(Pick(2) == 0);
            E.InsertAtCaret(Piece());
            return "converted";
        default:
            // Find and replace opens the edit group around it.
            s.BeginEdit(true);
            E.ReplaceSel(Piece());
            s.EndEdit(true);
            return "replace selection";
        }
    }

    TUMemoEditor& E;
    TMemoryClipboard& Clipboard;
    std::mt19937 Rng;
};

TEST(UndoRandom, EverySequenceIsTakenBackExactly) {
    const std::string document = test::Lines("    インデント付きの行 with words (and brackets)\n"
                                             "\n"
                                             "#;?「かっこ」。\n"
                                             "plain\ttabbed\ttext\n"
                                             ">1 2 3\n"
                                             "　全角の字下げ");
    for (std::int32_t wrap : {0, 3, 5, 8, 13, 30}) {
        for (std::int32_t tabs : {1, 3, 8}) {
            for (int flags = 0; flags < 4; ++flags) {
                const test::TStoreSetup setup{wrap, tabs, (flags & 1) != 0, (flags & 2) != 0};
                TUMemoEditor e;
                TMemoryClipboard clipboard;
                e.SetClipboard(&clipboard);
                test::Setup(e, setup, document);
                TUMemoStrings& s = e.Strings();
                s.SetVisibleRows(5);
                const std::string original = s.SaveBytes();
                TRandomSession session(e, clipboard,
                                       static_cast<unsigned>(wrap * 1009 + tabs * 31 + flags));
                std::vector<test::TEditorState> before;
                std::vector<test::TEditorState> after;
                std::vector<std::string> names;
                for (int step = 0; step < 150; ++step) {
                    session.Select();
                    const test::TEditorState start = State(s);
                    const std::size_t items = e.History().UndoList().Count();
                    const std::string name = session.Command();
                    const std::string where = "wrap " + std::to_string(wrap) + " tabs " +
                                              std::to_string(tabs) + " flags " +
                                              std::to_string(flags) + " step " +
                                              std::to_string(step) + " " + name;
                    ASSERT_EQ(s.CheckRows(true), "") << where << "\n" << State(s);
                    if (e.History().UndoList().Count() == items) continue;
                    before.push_back(start);
                    after.push_back(State(s));
                    names.push_back(where);
                }
                ASSERT_GT(before.size(), 90u);
                for (std::size_t k = before.size(); k-- > 0;) {
                    ASSERT_TRUE(e.Undo()) << names[k];
                    ASSERT_EQ(State(s), before[k]) << "taking back " << names[k];
                }
                EXPECT_FALSE(e.CanUndo());
                ASSERT_EQ(s.SaveBytes(), original);
                for (std::size_t k = 0; k < after.size(); ++k) {
                    ASSERT_TRUE(e.Redo()) << names[k];
                    ASSERT_EQ(State(s), after[k]) << "redoing " << names[k];
                }
                while (e.Undo()) {}
                ASSERT_EQ(s.SaveBytes(), original);
                ASSERT_EQ(s.CheckRows(false), "");
            }
        }
    }
}

}  // namespace
}  // namespace rekna
