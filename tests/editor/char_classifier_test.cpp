// Tests of the character classification of every file type, bracket pairs and the caret pair.
#include "paint_helpers.h"

#include <gtest/gtest.h>

namespace rekna::test {
namespace {

struct TKindCase {
    TFileType Type;
    const char* Text;   // UTF-8, one logical line
    const char* Kinds;  // one letter per CP932 byte (see KindLetter)
};

class KindTest : public ::testing::TestWithParam<TKindCase> {};

TEST_P(KindTest, ClassifiesEveryByte) {
    const TKindCase& c = GetParam();
    const TPaintFixture f(c.Text, c.Type);
    EXPECT_EQ(f.Kinds(), c.Kinds) << c.Text;
}

constexpr TFileType kMemo = TFileType::ftRekna;
constexpr TFileType kAns = TFileType::ftAns;
constexpr TFileType kVB = TFileType::ftVBScript;
constexpr TFileType kJS = TFileType::ftJScript;
constexpr TFileType kMail = TFileType::ftMail;
constexpr TFileType kText = TFileType::ftText;

INSTANTIATE_TEST_SUITE_P(
    Memo, KindTest,
    ::testing::Values(
        // A semicolon comments out the rest of the line.
        TKindCase{kMemo, "1+2 ;total", "ccccCCCCCC"},
        // A unit in square brackets is a comment, brackets included.
        TKindCase{kMemo, "12[mm]*3", "ccCCCCcc"},
        // ';' inside a bracket comment starts nothing; the bracket comment ends at ']'.
        TKindCase{kMemo, "[a;b]c", "CCCCCc"}, TKindCase{kMemo, ";a[b]c", "CCCCCC"},
        TKindCase{kMemo, "a]b", "cNc"},
        // A label colon makes the text before it a comment; ":=" is an assignment.
        TKindCase{kMemo, "width:3*4", "CCCCCCccc"}, TKindCase{kMemo, "a:=3", "cccc"},
        TKindCase{kMemo, "f(x):1", "CCCCCc"}, TKindCase{kMemo, "sin(1):2", "KKKCCCCc"},
        TKindCase{kMemo, "a:b:c", "CCCCc"}, TKindCase{kMemo, "[m]:1", "CCCCc"},
        // A function name is a keyword only directly before '('.
        TKindCase{kMemo, "sin(x)", "KKKBcB"}, TKindCase{kMemo, "SQRT(2)", "KKKKBcB"},
        TKindCase{kMemo, "sin (x)", "ccccBcB"}, TKindCase{kMemo, "asin2(x)", "cccccBcB"},
        TKindCase{kMemo, "SDistP(1)", "KKKKKKBcB"}, TKindCase{kMemo, "{1}", "BcB"},
        // Control and statistics lines: ordinary characters are ckNorm, brackets stay brackets.
        TKindCase{kMemo, "#Sqr(X)=X^2", "NNNNBNBNNNN"}, TKindCase{kMemo, ">10 ;a", "NNNNCC"},
        // Double-byte characters.
        TKindCase{kMemo, "あ＝い", "NN==NN"}, TKindCase{kMemo, "①ｱ", "DDD"},
        TKindCase{kMemo, "a　b", "cJJc"}, TKindCase{kMemo, ";あ①　＝", "CCCDDJJCC"},
        TKindCase{kMemo, "√2", "NNc"}, TKindCase{kMemo, "a\tb", "cTc"},
        // Script lines of the memo are VBScript.
        TKindCase{kMemo, "#>Dim x", "NNRRRNN"}, TKindCase{kMemo, "#?Abs(1)", "NNKKKBNB"},
        TKindCase{TFileType::ftLog, "#>Dim x", "NNRRRNN"},
        TKindCase{TFileType::ftLog, "x;1", "cCC"}));

INSTANTIATE_TEST_SUITE_P(Answer, KindTest,
                         ::testing::Values(TKindCase{kAns, "12 ;x", "ccccc"},
                                           TKindCase{kAns, "3[m]", "cCCC"},
                                           TKindCase{kAns, "a:b", "ccc"},
                                           TKindCase{kAns, "sin(1)", "KKKBcB"}));

INSTANTIATE_TEST_SUITE_P(
    VBScript, KindTest,
    ::testing::Values(
        TKindCase{kVB, "If x Then", "RRcccRRRR"}, TKindCase{kVB, "dim X", "RRRcc"},
        // Brackets and apostrophes inside a string are string; an apostrophe outside comments.
        TKindCase{kVB, "x = \"a(b)'c\" ' d(", "ccccSSSSSSSScCCCC"},
        TKindCase{kVB, "\"it's\"", "SSSSSS"}, TKindCase{kVB, "\"abc", "SSSS"},
        TKindCase{kVB, "\"\"\"\"x", "SSSSc"}, TKindCase{kVB, "MsgBox vbCrLf", "KKKKKKcKKKKKK"},
        TKindCase{kVB, "Abs(Sqr(2))", "KKKBKKKBcBB"}, TKindCase{kVB, "a{b}", "cccc"},
        TKindCase{kVB, "\"あ①\"あ", "SSSSSSNN"}, TKindCase{kVB, "'あ①", "CCCDD"},
        TKindCase{kVB, "Err.Raise 1", "KKKcKKKKKcc"}));

INSTANTIATE_TEST_SUITE_P(
    JScript, KindTest,
    ::testing::Values(TKindCase{kJS, "var s = 'a\"b'; // c", "RRRcccccSSSSSccCCCC"},
                      TKindCase{kJS, "Var x", "ccccc"},
                      TKindCase{kJS, "/* a */ Math.PI", "CCCCCCCcKKKKcKK"},
                      TKindCase{kJS, "x /* a", "ccCCCC"}, TKindCase{kJS, "/*/ x */y", "CCCCCCCCc"},
                      TKindCase{kJS, "\"/* no */\"", "SSSSSSSSSS"},
                      TKindCase{kJS, "'it\"s'", "SSSSSS"}, TKindCase{kJS, "@cc_on", "KKKKKK"},
                      TKindCase{kJS, "f(a[0])", "cBccccB"},
                      TKindCase{kJS, "return null", "RRRRRRcRRRR"}));

INSTANTIATE_TEST_SUITE_P(
    Mail, KindTest,
    ::testing::Values(TKindCase{kMail, "> quoted (a)", "sNNNNNNNNBNB"},
                      TKindCase{kMail, "see <http://x> ok", "ccccCCCCCCCCCCccc"},
                      TKindCase{kMail, "a < b", "ccscc"}, TKindCase{kMail, "<a> <b", "CCCcsc"},
                      TKindCase{kMail, "x > y", "ccscc"}, TKindCase{kMail, "[x]{y}", "BcBBcB"},
                      TKindCase{kMail, "<(>)", "CCCB"}, TKindCase{kMail, "a;b", "ccc"}));

INSTANTIATE_TEST_SUITE_P(Plain, KindTest,
                         ::testing::Values(TKindCase{kText, "a;b[c]", "cccccc"},
                                           TKindCase{kText, "(x)", "BcB"},
                                           TKindCase{kText, "#a", "cc"},
                                           TKindCase{kText, "①あ＝", "DDNNNN"},
                                           TKindCase{TFileType::ftNone, "sin(x):1", "cccBcBcc"},
                                           TKindCase{TFileType::ftNone, "\"a\tb", "ccTc"}));

TEST(CharClassifierTest, CrLfInsideARowIsOneMarkAndALoneCrIsACharacter) {
    TPaintFixture f("x");
    f.Strings.Put(0, "a\r\nb\rc");
    EXPECT_EQ(f.Kinds(), "cLLccc");
}

TEST(CharClassifierTest, LoneLeadByteAtTheRowEndIsADependenceCharacter) {
    TPaintFixture f("x");
    f.Strings.Put(0, J("あ") + std::string(1, J("い")[0]));
    EXPECT_EQ(f.Kinds(), "NND");
}

TEST(CharClassifierTest, CommentsAndStringsCarryAcrossSoftBreaks) {
    // Wrapped at 10 columns, the comment of row 0 goes on over the next rows.
    const TPaintFixture memo("1 ;abcdefghijklmnopqrstuvwxyz", TFileType::ftRekna, {.Wrap = 10});
    ASSERT_GT(memo.Strings.GetCount(), 2);
    ASSERT_TRUE(memo.Strings.Continued(0));
    EXPECT_EQ(memo.Kinds(2), "cc" + std::string(27, 'C'));
    const TPaintFixture vb("x = \"abcdefghijklmn\" y", TFileType::ftVBScript, {.Wrap = 10});
    ASSERT_GT(vb.Strings.GetCount(), 1);
    EXPECT_EQ(vb.Kinds(1), "cccc" + std::string(16, 'S') + "cc");
}

TEST(CharClassifierTest, JScriptCommentsEndWithTheirLogicalLine) {
    const TPaintFixture f("/* open\r\nx\r\n\"str\r\ny", TFileType::ftJScript);
    EXPECT_EQ(f.Kinds(0), "CCCCCCC");
    EXPECT_EQ(f.Kinds(1), "c");
    EXPECT_EQ(f.Kinds(2), "SSSS");
    EXPECT_EQ(f.Kinds(3), "c");
}

TEST(CharClassifierTest, LineStateComesFromTheFirstCharacter) {
    EXPECT_EQ(TPaintFixture("#x").Line(0).State, TLineState::lsControl);
    EXPECT_EQ(TPaintFixture(">x").Line(0).State, TLineState::lsStat);
    EXPECT_EQ(TPaintFixture(" #x").Line(0).State, TLineState::lsNormal);
    EXPECT_EQ(TPaintFixture(">x", TFileType::ftMail).Line(0).State, TLineState::lsStat);
    EXPECT_EQ(TPaintFixture("#x", TFileType::ftText).Line(0).State, TLineState::lsNormal);
}

TEST(CharClassifierTest, AnswerOfAScriptLineIsStringExceptItsMarks) {
    TPaintFixture f("x = 1\t2\r\n#a\r\n[b]", TFileType::ftAns);
    for (std::int32_t r = 0; r < 3; ++r)
        f.Strings.SetResult(r, "VB");
    EXPECT_EQ(f.Kinds(0), "SSSSSTS");
    // Lines beginning with '#', '>' or '[' keep their own colours.
    EXPECT_EQ(f.Kinds(1), "NN");
    EXPECT_EQ(f.Kinds(2), "CCC");
    f.Strings.SetResult(0, "");
    EXPECT_EQ(f.Kinds(0), "cccccTc");
}

struct TBracket {
    std::int16_t Depth;
    std::int32_t Pair;
};

std::vector<TBracket> Brackets(const TClassifiedLine& line) {
    std::vector<TBracket> out;
    for (const TCharCell& c : line.Cells)
        if (c.Kind == TCharKind::ckKakko) out.push_back({c.Depth, c.Pair});
    return out;
}

TEST(CharClassifierTest, BracketsCarryDepthAndPair) {
    struct TCase {
        const char* Text;
        std::vector<std::pair<int, int>> Expected;  // depth, pair
    };
    const TCase cases[] = {
        {"((a)(b))", {{1, 0}, {2, 1}, {2, 1}, {2, 2}, {2, 2}, {1, 0}}},
        // An unmatched closer has no pair and only lowers the depth.
        {")(", {{0, -1}, {0, 0}}},
        {"a))(", {{0, -1}, {-1, -1}, {-1, 0}}},
        {"(1", {{1, 0}}},
        {"({)}", {{1, 0}, {2, 1}, {2, 1}, {1, 0}}},
        // Brackets in comments are comments.
        {"(;)", {{1, 0}}},
        {"([)])", {{1, 0}, {1, 0}}},
    };
    for (const TCase& c : cases) {
        const std::vector<TBracket> got = Brackets(TPaintFixture(c.Text).Line(0));
        ASSERT_EQ(got.size(), c.Expected.size()) << c.Text;
        for (std::size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].Depth, c.Expected[i].first) << c.Text << " #" << i;
            EXPECT_EQ(got[i].Pair, c.Expected[i].second) << c.Text << " #" << i;
        }
    }
}

TEST(CharClassifierTest, CaretPairIsTheInnermostPairAroundTheCaret) {
    struct TCase {
        const char* Text;
        std::int32_t CaretX;
        std::int32_t Pair;
    };
    const TCase cases[] = {
        {"(a(b)c)", 1, kNoPair},  // before the first bracket
        {"(a(b)c)", 2, 0},
        {"(a(b)c)", 3, 0},  // directly before an opening bracket: still the outer pair
        {"(a(b)c)", 4, 1},
        {"(a(b)c)", 5, 1},  // directly before a closing bracket: inside its pair
        {"(a(b)c)", 6, 0},
        {"(a(b)c)", 8, kNoPair},          // after the last character
        {"(a;b)", 4, kNoPair},            // in a comment
        {"(a;b)", 3, 0},                  // directly before the comment
        {"(a", 3, 0},                     // at the end of a line with an open pair
        {"x = \"(\" + (y)", 6, kNoPair},  // in a VBScript string the bracket is text
    };
    for (const TCase& c : cases) {
        const TFileType type = c.Text[0] == 'x' ? TFileType::ftVBScript : TFileType::ftRekna;
        const TPaintFixture f(c.Text, type);
        EXPECT_EQ(f.Line(0, {c.CaretX, 0}).CaretPair, c.Pair) << c.Text << " at " << c.CaretX;
    }
}

TEST(CharClassifierTest, CaretPairIsFoundAcrossSoftBreaks) {
    const TPaintFixture f("(abcdefghijklmnop)", TFileType::ftRekna, {.Wrap = 10});
    ASSERT_EQ(f.Strings.GetCount(), 2);
    const TClassifiedLine line = f.Line(1, {3, 1});
    EXPECT_EQ(line.CaretPair, 0);
    // The caret on another line finds no pair here.
    EXPECT_EQ(f.Line(0, {3, 5}).CaretPair, kNoPair);
    EXPECT_EQ(line.FirstRow, 0);
    EXPECT_EQ(line.LastRow, 1);
    ASSERT_EQ(line.RowBegin.size(), 3u);
    EXPECT_EQ(line.Cells[static_cast<std::size_t>(line.RowBegin[1])].Row, 1);
    EXPECT_EQ(line.Cells[static_cast<std::size_t>(line.RowBegin[1])].Pos, 1);
}

TEST(CharClassifierTest, EmptyStoreAndEmptyRowsGiveNoCells) {
    TUMemoStrings empty;
    TCharClassifier classifier;
    TClassifiedLine line;
    classifier.Classify(empty, 0, {1, 0}, line);
    EXPECT_TRUE(line.Cells.empty());
    const TPaintFixture f("\r\n\r\nx");
    EXPECT_EQ(f.Kinds(1), "");
    EXPECT_EQ(f.Kinds(2), "c");
}

}  // namespace
}  // namespace rekna::test

namespace rekna::test {
namespace {

// Whatever the bytes, every syntax gives each byte of the line to exactly one cell, in order, and
// the cells of a row lie on that row.
TEST(CharClassifierTest, CellsCoverEveryByteOnceForAnyInput) {
    const char alphabet[] = "ab1_(){}[];:=#>'\"/*<@ \t\r\n\x81\x82\x87\x40\xA0\xB1\xE0\xFC\xFD\xFF";
    std::uint32_t seed = 12345;
    const auto next = [&] {
        seed = seed * 1103515245u + 12345u;
        return seed >> 16;
    };
    const TFileType types[] = {TFileType::ftRekna,    TFileType::ftLog,     TFileType::ftAns,
                               TFileType::ftVBScript, TFileType::ftJScript, TFileType::ftMail,
                               TFileType::ftNone,     TFileType::ftText};
    for (int round = 0; round < 120; ++round) {
        std::string text;
        const std::uint32_t len = next() % 60;
        for (std::uint32_t i = 0; i < len; ++i)
            text += alphabet[next() % (sizeof alphabet - 1)];
        for (const TFileType type : types) {
            TPaintFixture f("", type, {.Wrap = static_cast<std::int32_t>(next() % 12)});
            f.Strings.LoadBytes(text, false);
            for (std::int32_t row = 0; row < f.Strings.GetCount();
                 row = f.Strings.LastRowOfLine(row) + 1) {
                const TClassifiedLine line =
                    f.Line(row, {static_cast<std::int32_t>(next() % 8), row});
                std::int32_t r = line.FirstRow;
                std::int32_t pos = 1;
                std::size_t covered = 0;
                std::size_t bytes = 0;
                for (std::int32_t k = line.FirstRow; k <= line.LastRow; ++k)
                    bytes += f.Strings.Get(k).size();
                for (const TCharCell& c : line.Cells) {
                    while (pos > static_cast<std::int32_t>(f.Strings.Get(r).size())) {
                        ++r;
                        pos = 1;
                    }
                    ASSERT_EQ(c.Row, r);
                    ASSERT_EQ(c.Pos, pos);
                    ASSERT_TRUE(c.Bytes == 1 || c.Bytes == 2);
                    pos += c.Bytes;
                    covered += c.Bytes;
                }
                ASSERT_LE(r, line.LastRow);
                ASSERT_EQ(covered, bytes);
            }
        }
    }
}

}  // namespace
}  // namespace rekna::test
