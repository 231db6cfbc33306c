// Tests of double-click selection (numbers, bracket ranges, character classes), of the bracket
// commands, and of the mouse model's clicks and drags.
#include "editor/store/wrap.h"
#include "editor_helpers.h"

#include <gtest/gtest.h>

#include <optional>

namespace rekna {
namespace {

using test::J;
using test::Lines;
using test::Text;
using test::U;

// The offset of the first occurrence of `at` (UTF-8) in text (UTF-8), in CP932 bytes.
std::int64_t OffsetOf(std::string_view text, std::string_view at) {
    const std::size_t i = text.find(at);
    EXPECT_NE(i, std::string_view::npos) << at;
    return static_cast<std::int64_t>(J(text.substr(0, i)).size());
}

struct TSpanCase {
    const char* Text;
    const char* At;  // the clicked character (its first occurrence)
    bool Outer;
    TWordKind Kind;
    const char* Selected;
};

TEST(WordSpanTest, NumbersBracketsAndCharacterClasses) {
    const TCharSet dependence(J("①②③"));
    using K = TWordKind;
    const TSpanCase cases[] = {
        // Numbers with SI prefixes, exponents, signs, digit groups and units.
        {"x = 1.5k + 2", "5", false, K::wkNumber, "1.5k"},
        {"x = 1.5k + 2", ".", false, K::wkNumber, "1.5k"},
        {"(-2.5e-3)", "2", false, K::wkNumber, "-2.5e-3"},
        {"-7+1", "7", false, K::wkNumber, "-7"},
        {"a-1", "1", false, K::wkNumber, "1"},
        {"2*-3", "3", false, K::wkNumber, "-3"},
        {"1,000,000円", "0", false, K::wkNumber, "1,000,000"},
        {"12,a", "1", false, K::wkNumber, "12"},
        {"3時間20分です", "2", false, K::wkNumber, "3時間20分"},
        {"&H$FF 50%", "5", false, K::wkNumber, "50%"},
        {"12°30′", "3", false, K::wkNumber, "12°30′"},
        // Brackets of the pair table, nested pairs counted per pair.
        {"f(a(b)c)", "(", true, K::wkBracket, "(a(b)c)"},
        {"f(a(b)c)", "(", false, K::wkBracket, "a(b)c"},
        {"f(a(b)c) ", "c)", false, K::wkWord, "c"},
        {"「全角」です", "「", false, K::wkBracket, "全角"},
        {"[1,(2]", "[", true, K::wkBracket, "[1,(2]"},
        // An unmatched bracket is an ordinary punctuation character.
        {"a((b", "(", false, K::wkWord, "(("},
        // Runs of one class.
        {"abc_12 def", "b", false, K::wkWord, "abc_12"},
        {"x  \ty", " ", false, K::wkWord, "  \t"},
        {"ひらがなカタカナ漢字", "が", false, K::wkWord, "ひらがな"},
        {"ひらがなカタカナ漢字", "タ", false, K::wkWord, "カタカナ"},
        {"ひらがなカタカナ漢字", "字", false, K::wkWord, "漢字"},
        {"コーヒーを", "ー", false, K::wkWord, "コーヒー"},
        {"ｶﾀｶﾅabc", "ﾀ", false, K::wkWord, "ｶﾀｶﾅ"},
        {"①②x", "②", false, K::wkWord, "①②"},
        {"Ａｂｃ１２", "ｂ", false, K::wkWord, "Ａｂｃ"},
        {"Ａｂｃ１２．５", "２", false, K::wkWord, "１２．５"},
        {"αβγ。", "β", false, K::wkWord, "αβγ"},
        {"a　　b", "　", false, K::wkWord, "　　"},
        {"a+=b", "+", false, K::wkWord, "+="},
    };
    for (const TSpanCase& c : cases) {
        const std::string text = J(c.Text);
        const TWordSpan span = WordSpanAt(text, OffsetOf(c.Text, c.At), c.Outer, &dependence);
        EXPECT_EQ(span.Kind, c.Kind) << c.Text << " at " << c.At;
        EXPECT_EQ(U(text.substr(static_cast<std::size_t>(span.From),
                                static_cast<std::size_t>(span.To - span.From))),
                  c.Selected)
            << c.Text << " at " << c.At;
    }
    EXPECT_EQ(WordSpanAt("abc", 3, false, nullptr).Kind, TWordKind::wkNone);
}

TEST(EnclosingPairTest, TheInnermostPairAroundAnOffset) {
    struct TCase {
        const char* Text;
        std::int64_t Offset;
        std::optional<std::pair<std::int64_t, std::int64_t>> Pair;
    };
    const TCase cases[] = {
        {"f(a[b]c)", 4, std::pair<std::int64_t, std::int64_t>{3, 5}},
        {"f(a[b]c)", 6, std::pair<std::int64_t, std::int64_t>{1, 7}},
        // Directly before the closing bracket still counts as inside.
        {"f(a[b]c)", 7, std::pair<std::int64_t, std::int64_t>{1, 7}},
        {"f(a[b]c)", 2, std::pair<std::int64_t, std::int64_t>{1, 7}},
        {"f(a[b]c)", 1, std::nullopt},
        {"f(a[b]c)", 8, std::nullopt},
        {"(a", 1, std::nullopt},
        {"((a)", 2, std::pair<std::int64_t, std::int64_t>{1, 3}},
        {"((a)", 4, std::nullopt},
        // A closer of another pair does not end the pair.
        {"(a]b)", 3, std::pair<std::int64_t, std::int64_t>{0, 4}},
    };
    for (const TCase& c : cases) {
        const auto span = EnclosingPair(c.Text, c.Offset);
        ASSERT_EQ(span.has_value(), c.Pair.has_value()) << c.Text << " at " << c.Offset;
        if (span) {
            EXPECT_EQ(span->Open, c.Pair->first) << c.Text << " at " << c.Offset;
            EXPECT_EQ(span->Close, c.Pair->second) << c.Text << " at " << c.Offset;
        }
    }
    const std::string japanese = J("（あ）");
    const auto span = EnclosingPair(japanese, 2);
    ASSERT_TRUE(span.has_value());
    EXPECT_EQ(span->CloseBytes, 2);
    EXPECT_EQ(span->Close, 4);
}

class TEditorMouseTest : public ::testing::Test {
protected:
    void Load(std::string_view utf8, std::int32_t wrap = 0) {
        E.Strings().SetWrapColumns(wrap);
        test::LoadLines(E.Strings(), Lines(utf8));
        E.SetViewSize(10, 40);
    }
    void Caret(TSelPoint p) { Sel().SetCaret(E.Strings(), p, TSelMode::smNone); }
    [[nodiscard]] TUMemoSelection& Sel() { return E.Strings().Selection(); }
    [[nodiscard]] std::string Selected() const { return U(E.GetSelText(false)); }

    TUMemoEditor E;
};

TEST_F(TEditorMouseTest, BracketCommandsWorkOnTheInnermostPair) {
    Load("x = (1 + (2 * 3)) ;（注）");
    Caret({12, 0});  // in "2 * 3"
    ASSERT_TRUE(E.SelectBracket(false));
    EXPECT_EQ(Selected(), "2 * 3");
    ASSERT_TRUE(E.SelectBracket(true));
    EXPECT_EQ(Selected(), "(2 * 3)");
    Caret({12, 0});
    ASSERT_TRUE(E.JumpToBracket(true));
    EXPECT_EQ(Sel().Caret, (TSelPoint{17, 0}));
    // From behind the inner pair the outer one encloses the caret.
    ASSERT_TRUE(E.JumpToBracket(false));
    EXPECT_EQ(Sel().Caret, (TSelPoint{5, 0}));
    Caret({12, 0});
    ASSERT_TRUE(E.DeleteBrackets());
    EXPECT_EQ(Text(E.Strings()), "x = (1 + 2 * 3) ;（注）");
    EXPECT_EQ(Sel().Caret, (TSelPoint{11, 0}));
    ASSERT_TRUE(E.Undo());
    EXPECT_EQ(Text(E.Strings()), "x = (1 + (2 * 3)) ;（注）");
    Caret({24, 0});
    ASSERT_TRUE(E.DeleteBrackets());
    EXPECT_EQ(Text(E.Strings()), "x = (1 + (2 * 3)) ;注");
    Caret({1, 0});
    EXPECT_FALSE(E.SelectBracket(false));
    E.SetReadOnly(true);
    Caret({12, 0});
    EXPECT_FALSE(E.DeleteBrackets());
}

TEST_F(TEditorMouseTest, BracketsAcrossASoftBreak) {
    Load("abcd(efgh)ij", 6);
    ASSERT_EQ(test::Dump(E.Strings()), "abcd(e~fgh)ij");
    Caret({2, 1});
    ASSERT_TRUE(E.SelectBracket(true));
    EXPECT_EQ(Selected(), "(efgh)");
    Caret({2, 1});
    ASSERT_TRUE(E.DeleteBrackets());
    EXPECT_EQ(Text(E.Strings()), "abcdefghij");
    EXPECT_EQ(E.Strings().CheckRows(true), "");
}

TEST_F(TEditorMouseTest, DoubleClickSelectsAndSetsTheFindText) {
    Load("R1 = 4.7k ;抵抗\nあいうえお");
    std::vector<std::string> found;
    E.OnSetFindText = [&](std::string_view t, TSearchTypes o) {
        found.push_back(U(t) + (!t.empty() && o.Contains(TSearchType::stMatchCase) ? " case" : ""));
    };
    // A click on the right half of "7" of "4.7k".
    E.DoubleClick({0, 8.6, false}, {}, nullptr);
    EXPECT_EQ(Selected(), "4.7k");
    EXPECT_EQ(U(E.FindText()), "4.7k");
    EXPECT_TRUE(E.FindOptions().Contains(TSearchType::stWord));
    E.DoubleClick({1, 4.0, false}, {}, nullptr);
    EXPECT_EQ(Selected(), "あいうえお");
    E.SetFileType(TFileType::ftJScript);
    E.DoubleClick({0, 1.2, false}, {}, nullptr);
    EXPECT_EQ(Selected(), "R1");
    // Ctrl: the bracket contents around the caret; the find text is emptied.
    E.SetFileType(TFileType::ftRekna);
    E.DoubleClick({1, 20.0, false}, {false, true, false}, nullptr);
    EXPECT_EQ(E.FindText(), "");
    EXPECT_EQ(found, (std::vector<std::string>{"4.7k", "あいうえお", "R1 case", ""}));
}

TEST_F(TEditorMouseTest, DoubleClickJoinsTheRowsOfASoftBreak) {
    Load("xx abcdefghijklmnop yy", 8);
    ASSERT_EQ(test::Dump(E.Strings()), "xx abcde~fghijklm~nop yy");
    E.DoubleClick({1, 1.5, false}, {}, nullptr);
    EXPECT_EQ(Selected(), "abcdefghijklmnop");
    EXPECT_EQ(Sel().Anchor, (TSelPoint{4, 0}));
    EXPECT_EQ(Sel().Caret, (TSelPoint{4, 2}));
}

TEST_F(TEditorMouseTest, ClicksDragsAndTheLineMargin) {
    Load("abcdef\nあいう\nxyz\nlast");
    // Insert mode: the nearest boundary; overwrite: the character under the pointer.
    EXPECT_EQ(PointerPos(E.Strings(), {0, 2.6, false}, true), (TSelPoint{3, 0}));
    EXPECT_EQ(PointerPos(E.Strings(), {0, 2.6, false}, false), (TSelPoint{2, 0}));
    EXPECT_EQ(PointerPos(E.Strings(), {1, 2.2, false}, true), (TSelPoint{3, 1}));
    EXPECT_EQ(PointerPos(E.Strings(), {1, 2.2, false}, false), (TSelPoint{1, 1}));
    EXPECT_EQ(PointerPos(E.Strings(), {9, 50.0, false}, true), (TSelPoint{5, 3}));
    EXPECT_EQ(PointerPos(E.Strings(), {0, -3.0, false}, true), (TSelPoint{1, 0}));

    EXPECT_EQ(E.MouseDown({0, 2.0, false}, {}), TMouseMode::mmStream);
    E.MouseDrag(TMouseMode::mmStream, {1, 5.0, false});
    EXPECT_EQ(Selected(), "bcdef\r\nあい");
    // Shift+click extends from the anchor.
    E.MouseDown({2, 3.0, false}, {true, false, false});
    EXPECT_EQ(Selected(), "bcdef\r\nあいう\r\nxy");
    // Shift+Ctrl: a box.
    EXPECT_EQ(E.MouseDown({3, 3.0, false}, {true, true, false}), TMouseMode::mmBox);
    EXPECT_EQ(Sel().Mode, TSelMode::smBox);
    // The margin picks whole rows; a drag there extends them.
    EXPECT_EQ(E.MouseDown({1, 0.0, true}, {}), TMouseMode::mmLineMargin);
    E.MouseDrag(TMouseMode::mmLineMargin, {2, 0.0, true});
    EXPECT_EQ(Selected(), "あいう\r\nxyz\r\n");
    E.MouseDown({3, 0.0, true}, {true, false, false});
    EXPECT_EQ(Sel().Anchor.Y, 1);
    EXPECT_EQ(Sel().Caret.Y, 3);
}

TEST(MouseModeTest, HoverAndTheWrapMarginHandle) {
    TUMemoStrings s;
    test::LoadLines(s, Lines("short\nabcdefghijklmnopqrstuvwxy"));
    struct TCase {
        TWordWrapType Wrap;
        TPointerCell At;
        bool Over;
    };
    const TCase cases[] = {
        {TWordWrapType::wtCount, {0, 21.3, false}, true},
        {TWordWrapType::wtCount, {0, 20.9, false}, false},
        {TWordWrapType::wtCount, {1, 21.3, false}, false},  // the row reaches the column
        {TWordWrapType::wtCount, {7, 21.0, false}, true},   // below the last row
        {TWordWrapType::wtRight, {0, 21.3, false}, false},
        {TWordWrapType::wtCount, {0, 21.3, true}, false},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(OverWrapMargin(s, c.Wrap, 20, c.At), c.Over) << c.At.Row << "," << c.At.Column;
    EXPECT_EQ(HoverMode(true, true, true, true), TMouseMode::mmLineMargin);
    EXPECT_EQ(HoverMode(false, true, true, true), TMouseMode::mmWrapMargin);
    EXPECT_EQ(HoverMode(false, false, true, true), TMouseMode::mmBox);
    EXPECT_EQ(HoverMode(false, false, true, false), TMouseMode::mmStream);
    EXPECT_EQ(HoverMode(false, false, false, true), TMouseMode::mmNormal);
}

TEST_F(TEditorMouseTest, ReconversionSelectsTheWordAtTheCaretAnchorFirst) {
    Load("abc 漢字かな");
    E.SetFindState("abc", {});
    Caret({7, 0});  // between 漢 and 字
    EXPECT_EQ(U(E.SelectForReconversion(nullptr)), "漢字");
    EXPECT_EQ(Sel().Anchor, (TSelPoint{5, 0}));
    EXPECT_EQ(Sel().Caret, (TSelPoint{9, 0}));
    EXPECT_EQ(E.FindText(), "abc");
    // An existing selection made backwards is turned round.
    Sel().SelectStream(E.Strings(), {4, 0}, {1, 0});
    EXPECT_EQ(E.SelectForReconversion(nullptr), "abc");
    EXPECT_LT(Sel().Anchor, Sel().Caret);
}

}  // namespace
}  // namespace rekna
