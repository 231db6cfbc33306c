// Tests of re-wrapping: the documented wrap cases, caret and view carrying, and a property test
// of random edits against a model of the logical lines at small widths and tab stops.
#include "editor/store/umemo_strings.h"
#include "store_helpers.h"

#include <gtest/gtest.h>

#include <random>

namespace rekna {
namespace {

using test::Caret;
using test::Dump;
using test::J;
using test::Type;

struct TWrapCase {
    std::int32_t Wrap;
    bool AutoIndent;
    const char* Line;  // UTF-8
    const char* Rows;  // Dump
};

TEST(Reflow, DocumentedCases) {
    const TWrapCase cases[] = {
        {11, true, "あいうえおか", "あいうえお~か"},
        {10, true, "abcdefgh「xy", "abcdefgh~「xy"},
        {10, true, "abcdefghij。x", "abcdefghij。~x"},
        {20, true, "    aaaaaaaaaabbbbbbbbbbccccccccccdddd",
         "    aaaaaaaaaabbbbbb~    bbbbccccccccccdd~    dd"},
        {10, true, "    aaaaaaaaaabbbbbbbbbb", "    aaaaaa~    aaaabb~    bbbbbb~    bb"},
        {10, true, "            ", "          ~  "},
        {10, true, "         abcdefghij", "         a~    bcdefg~    hij"},
        {10, false, "         abcdefghij", "         a~bcdefghij"},
        {10, true, ">> quoted text that wraps", ">> quoted ~>> text th~>> at wrap~>> s"},
        {10, true, "\tab", "\tab"},
        {8, true, "\tabcdefghij", "\t~abcdefgh~ij"},
    };
    for (const auto& c : cases) {
        TUMemoStrings s;
        test::Configure(s, {c.Wrap, 8, c.AutoIndent, true});
        test::LoadLines(s, J(c.Line));
        EXPECT_EQ(Dump(s), c.Rows) << c.Line;
        EXPECT_EQ(s.GetTextStr(), J(c.Line)) << c.Line;
        EXPECT_EQ(s.CheckRows(true), "") << c.Line;
    }
}

TEST(Reflow, TypingPastTheMarginSplitsAndDeletingJoinsBack) {
    TUMemoStrings s;
    test::Configure(s, {10, 8, true, true});
    s.Add("abcdefghi");
    Caret(s, 10, 0);
    Type(s, "j");
    EXPECT_EQ(Dump(s), "abcdefghij");
    Type(s, "k");
    EXPECT_EQ(Dump(s), "abcdefghij~k");
    EXPECT_EQ(s.Selection().Caret, (TSelPoint{2, 1})) << "the caret follows the k";
    test::Backspace(s);
    EXPECT_EQ(Dump(s), "abcdefghij");
    EXPECT_FALSE(s.Continued(0));
    EXPECT_EQ(s.Selection().Caret, (TSelPoint{11, 0}));
}

// An edit in the middle of a long wrapped line re-flows the rest of it and leaves the rows above
// the edit alone.
TEST(Reflow, EditInTheMiddleOfALongLine) {
    for (std::int32_t wrap : {3, 7, 10}) {
        TUMemoStrings s;
        test::Configure(s, {wrap, 8, true, true});
        std::string line;
        for (int i = 0; i < 200; ++i)
            line += static_cast<char>('a' + i % 26);
        test::LoadLines(s, line + "\r\nnext");
        const std::int32_t rows = s.GetCount();
        for (std::int32_t r = 0; r < rows; ++r)
            s.SetRowMark(r, TRowMark::rmNone);
        const std::int32_t mid = 10;
        Caret(s, 2, mid);
        Type(s, J("漢"));
        for (std::int32_t r = 0; r < mid; ++r)
            EXPECT_EQ(s.RowMark(r), TRowMark::rmNone) << r;
        EXPECT_EQ(s.RowMark(mid), TRowMark::rmModified);
        std::string expected = line;
        expected.insert(static_cast<std::size_t>(mid * wrap + 1), J("漢"));
        EXPECT_EQ(s.GetTextStr(), expected + "\r\nnext") << wrap;
        EXPECT_EQ(s.CheckRows(true), "") << wrap;
        // The caret stays behind the typed character.
        const TSelPoint caret = s.Selection().Caret;
        std::size_t offset = 0;
        for (std::int32_t r = 0; r < caret.Y; ++r)
            offset += s.RowContent(r).size();
        offset += static_cast<std::size_t>(caret.X - 1 - s.HangLength(caret.Y));
        EXPECT_EQ(offset, static_cast<std::size_t>(mid * wrap + 3)) << wrap;
        test::Backspace(s);
        EXPECT_EQ(s.GetTextStr(), line + "\r\nnext");
        EXPECT_EQ(s.GetCount(), rows);
        EXPECT_EQ(s.CheckRows(true), "");
    }
}

TEST(Reflow, CaretAndAnchorGoWithTheirText) {
    TUMemoStrings s;
    test::Configure(s, {10, 8, true, true});
    test::LoadLines(s, "abcdefghijklmnopqrst\r\nlater");
    TUMemoSelection& sel = s.Selection();
    sel.Mode = TSelMode::smStream;
    sel.Caret = {3, 1};   // before 'm'
    sel.Anchor = {2, 0};  // before 'b'
    s.SetWrapColumns(5);
    EXPECT_EQ(Dump(s), "abcde~fghij~klmno~pqrst|later");
    EXPECT_EQ(sel.Caret, (TSelPoint{3, 2}));
    EXPECT_EQ(sel.Anchor, (TSelPoint{2, 0}));
    EXPECT_EQ(sel.Mode, TSelMode::smStream);

    // Rows of a selected line are carried whole; later rows shift with inserted rows.
    sel.Mode = TSelMode::smLine;
    sel.Anchor = {1, 0};
    sel.Caret = {1, 3};
    s.SetWrapColumns(10);
    EXPECT_EQ(sel.Anchor, (TSelPoint{1, 0}));
    EXPECT_EQ(sel.Caret, (TSelPoint{11, 1}));
    sel.Mode = TSelMode::smNone;
    sel.Caret = {3, 2};  // in "later"
    s.SetWrapColumns(4);
    EXPECT_EQ(sel.Caret, (TSelPoint{3, 5}));
    EXPECT_EQ(s.Get(5), "late");
}

// A caret at the end of a full row of a wrapped line stays there while a later row changes.
TEST(Reflow, CaretAtTheEndOfAnUntouchedRowStays) {
    TUMemoStrings s;
    test::Configure(s, {10, 8, true, true});
    test::LoadLines(s, "abcdefghijklm");
    Caret(s, 11, 0);
    s.Put(1, "klmnopqrstuv");
    s.Reflow(1);
    EXPECT_EQ(Dump(s), "abcdefghij~klmnopqrst~uv");
    EXPECT_EQ(s.Selection().Caret, (TSelPoint{11, 0}));
    // Once its own row changes, a caret at the cut goes down with the text behind it.
    s.Put(0, "abcdefghiXj");
    s.Reflow(0);
    EXPECT_EQ(Dump(s), "abcdefghiX~jklmnopqrs~tuv");
    EXPECT_EQ(s.Selection().Caret, (TSelPoint{1, 1}));
}

TEST(Reflow, CaretInTheHangingIndentMovesToTheRowText) {
    TUMemoStrings s;
    test::Configure(s, {10, 8, true, true});
    test::LoadLines(s, "    abcdefghijkl");
    EXPECT_EQ(Dump(s), "    abcdef~    ghijkl");
    Caret(s, 2, 1);
    s.Put(0, "    Xabcdef");  // grows by one, so row 1 changes
    s.Reflow(0);
    EXPECT_EQ(Dump(s), "    Xabcde~    fghijk~    l");
    EXPECT_EQ(s.Selection().Caret, (TSelPoint{6, 1})) << "before the g";
}

TEST(Reflow, RowsInsertedAboveTheTopRowMoveTheView) {
    TUMemoStrings s;
    test::Configure(s, {10, 8, true, true});
    test::LoadLines(s, "aaaaaaaaa\r\nb\r\nc\r\nd");
    s.SetTopRow(2);
    Caret(s, 10, 0);
    Type(s, "xyz");
    EXPECT_EQ(Dump(s), "aaaaaaaaax~yz|b|c|d");
    EXPECT_EQ(s.TopRow(), 3);
    EXPECT_EQ(s.Get(s.TopRow()), "c");
}

TEST(Reflow, SetWrapColumnsKeepsAVisibleCaretInPlace) {
    TUMemoStrings s;
    std::string text;
    for (int i = 0; i < 30; ++i)
        text += std::string(25, static_cast<char>('a' + i % 26)) + "\r\n";
    test::LoadLines(s, text);
    s.SetVisibleRows(10);
    s.SetTopRow(10);
    Caret(s, 1, 14);
    s.SetWrapColumns(10);
    EXPECT_EQ(s.Selection().Caret.Y, 42);
    EXPECT_EQ(s.TopRow(), 38) << "the caret stays four rows below the top";
    // A caret out of view leaves the top row alone.
    s.SetTopRow(0);
    s.SetWrapColumns(20);
    EXPECT_EQ(s.TopRow(), 0);
    EXPECT_EQ(s.SaveBytes(), text);
    // Width limits.
    s.SetWrapColumns(5000);
    EXPECT_EQ(s.WrapColumns(), TUMemoStrings::kMaxWrapColumns);
    s.SetWrapColumns(-2);
    EXPECT_EQ(s.WrapColumns(), 0);
    EXPECT_EQ(s.GetCount(), 30);
}

// The model: the logical lines as plain bytes.
struct TModel {
    std::vector<std::string> Lines;
    [[nodiscard]] std::string Text() const {
        std::string out;
        for (std::size_t i = 0; i < Lines.size(); ++i)
            out += (i > 0 ? "\r\n" : "") + Lines[i];
        return out;
    }
};

// The first row of logical line `line`.
std::int32_t FirstRowOf(const TUMemoStrings& s, std::size_t line) {
    std::int32_t row = 0;
    for (std::size_t l = 0; l < line; ++l)
        row = s.LastRowOfLine(row) + 1;
    return row;
}

// Row and byte position of content offset `offset` of logical line `line`.
TSelPoint PointOf(const TUMemoStrings& s, std::size_t line, std::size_t offset) {
    std::int32_t row = FirstRowOf(s, line);
    const std::int32_t last = s.LastRowOfLine(row);
    for (;; ++row) {
        const std::size_t length = s.RowContent(row).size();
        if (offset < length || row == last)
            return {s.HangLength(row) + static_cast<std::int32_t>(offset) + 1, row};
        offset -= length;
    }
}

class TRandomEditor {
public:
    TRandomEditor(TUMemoStrings& s, TModel& m, unsigned seed) : S(s), M(m), Rng(seed) {}

    std::string Piece() {
        static const std::vector<std::string> pool = {
            "a",     "b",     " ",     "\t",    ">",     "#",     "(",    ")",   J("あ"),
            J("漢"), J("「"), J("」"), J("。"), J("、"), J("　"), J("ｱ"), "xyz", "  "};
        std::string out;
        const int n = 1 + Pick(4);
        for (int i = 0; i < n; ++i)
            out += pool[static_cast<std::size_t>(Pick(static_cast<int>(pool.size())))];
        return out;
    }

    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(Rng); }

    // One user edit; returns what it did, for failure messages.
    std::string Step() {
        const auto line = static_cast<std::size_t>(Pick(static_cast<int>(M.Lines.size())));
        std::string& model = M.Lines[line];
        const int op = Pick(10);
        S.BeginEdit(true);
        std::string what;
        if (op <= 3) {  // type
            const auto at = static_cast<std::size_t>(Pick(static_cast<int>(model.size()) + 1));
            const std::string piece = Piece();
            const TSelPoint p = PointOf(S, line, at);
            std::string text = S.Get(p.Y);
            text.insert(static_cast<std::size_t>(p.X - 1), piece);
            S.Put(p.Y, text);
            Caret(S, p.X + static_cast<std::int32_t>(piece.size()), p.Y);
            S.Reflow(p.Y);
            model.insert(at, piece);
            what = "type at " + std::to_string(at);
        } else if (op <= 5 && !model.empty()) {  // delete a range, maybe over several rows
            auto a = static_cast<std::size_t>(Pick(static_cast<int>(model.size())));
            auto b = a + 1 +
                     static_cast<std::size_t>(
                         Pick(static_cast<int>(std::min<std::size_t>(model.size() - a, 30))));
            b = std::min(b, model.size());
            const TSelPoint p = PointOf(S, line, a);
            const TSelPoint q = PointOf(S, line, b);
            if (p.Y == q.Y) {
                std::string text = S.Get(p.Y);
                text.erase(static_cast<std::size_t>(p.X - 1), static_cast<std::size_t>(q.X - p.X));
                S.Put(p.Y, text);
            } else {
                const std::string joined = S.Get(p.Y).substr(0, static_cast<std::size_t>(p.X - 1)) +
                                           S.Get(q.Y).substr(static_cast<std::size_t>(q.X - 1));
                S.PutRow(p.Y, joined, S.Continued(q.Y));
                for (std::int32_t r = q.Y; r > p.Y; --r)
                    S.Delete(r);
            }
            Caret(S, p.X, p.Y);
            S.Reflow(p.Y);
            model.erase(a, b - a);
            what = "delete " + std::to_string(a) + ".." + std::to_string(b);
        } else if (op == 6) {  // Enter
            const auto at = static_cast<std::size_t>(Pick(static_cast<int>(model.size()) + 1));
            const TSelPoint p = PointOf(S, line, at);
            const std::string text = S.Get(p.Y);
            S.InsertRow(p.Y + 1, text.substr(static_cast<std::size_t>(p.X - 1)), S.Continued(p.Y));
            S.PutRow(p.Y, text.substr(0, static_cast<std::size_t>(p.X - 1)), false);
            Caret(S, 1, p.Y + 1);
            S.Reflow(S.Reflow(p.Y) + 1);
            M.Lines.insert(M.Lines.begin() + static_cast<std::ptrdiff_t>(line) + 1,
                           model.substr(at));
            M.Lines[line].erase(at);
            what = "enter at " + std::to_string(at);
        } else if (op == 7 && line + 1 < M.Lines.size()) {  // join with the next line
            const std::int32_t last = S.LastRowOfLine(FirstRowOf(S, line));
            S.SetContinued(last, true);
            S.Reflow(last);
            model += M.Lines[line + 1];
            M.Lines.erase(M.Lines.begin() + static_cast<std::ptrdiff_t>(line) + 1);
            what = "join";
        } else if (op == 8) {
            const std::string text = Piece() + Piece() + Piece();
            S.SetLine(FirstRowOf(S, line), text);
            model = text;
            what = "set line";
        } else {
            what = "nothing";
        }
        S.EndEdit(true);
        return what;
    }

    TUMemoStrings& S;
    TModel& M;
    std::mt19937 Rng;
};

// After any edits the text equals the model, every line is cut exactly as a fresh wrap of its
// text cuts it, a fresh load of the text gives the same rows, and taking the recorded groups
// back restores every earlier state exactly.
TEST(Reflow, RandomEditsAgreeWithTheModelAndAFreshWrap) {
    for (std::int32_t wrap : {1, 2, 3, 4, 5, 7, 10, 13, 40}) {
        for (std::int32_t tabs : {1, 2, 4, 8}) {
            for (int flags = 0; flags < 4; ++flags) {
                const test::TStoreSetup setup{wrap, tabs, (flags & 1) != 0, (flags & 2) != 0};
                TUMemoStrings s;
                test::Configure(s, setup);
                test::TTestRecorder& rec = test::InstallRecorder(s);
                TModel model{
                    {J("    インデント付きの行 with words"), "", J("#;?「かっこ」。"), "plain"}};
                test::LoadLines(s, model.Text());
                TRandomEditor editor(s, model,
                                     static_cast<unsigned>(wrap * 131 + tabs * 7 + flags));
                std::vector<test::TRowSnapshot> history;
                std::vector<std::int32_t> widths;
                for (int step = 0; step < 50; ++step) {
                    history.push_back(test::Snapshot(s));
                    widths.push_back(s.WrapColumns());
                    std::string what;
                    if (step % 17 == 16) {
                        std::int32_t w = 1 + editor.Pick(20);
                        if (w == s.WrapColumns()) w = w % 20 + 1;
                        s.SetWrapColumns(w);
                        what = "wrap " + std::to_string(w);
                    } else {
                        what = editor.Step();
                    }
                    const std::string where = "wrap " + std::to_string(wrap) + " tabs " +
                                              std::to_string(tabs) + " flags " +
                                              std::to_string(flags) + " step " +
                                              std::to_string(step) + " " + what;
                    ASSERT_EQ(s.GetTextStr(), model.Text()) << where;
                    ASSERT_EQ(s.CheckRows(true), "") << where << "\n" << Dump(s);
                    TUMemoStrings fresh;
                    test::Configure(fresh,
                                    {s.WrapColumns(), tabs, setup.AutoIndent, setup.BanBreak});
                    ASSERT_TRUE(fresh.LoadBytes(s.SaveBytes(), false));
                    ASSERT_EQ(Dump(fresh), Dump(s)) << where;
                    TUMemoSelection copy = s.Selection();
                    copy.Normalize(s);
                    ASSERT_EQ(copy.Caret, s.Selection().Caret) << where;
                }
                for (std::size_t k = history.size(); k-- > 0;) {
                    ASSERT_TRUE(rec.TakeBack(s));
                    ASSERT_EQ(test::Snapshot(s), history[k]) << "taking back step " << k;
                    ASSERT_EQ(s.WrapColumns(), widths[k]);
                }
            }
        }
    }
}

}  // namespace
}  // namespace rekna
