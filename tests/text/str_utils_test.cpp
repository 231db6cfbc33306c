// Tests of the width, kana, case and formula conversions of CP932 text.
#include "text/str_utils.h"

#include "platform/cp932.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace rekna {
namespace {

using TConvert = std::string (*)(std::string_view);

struct TRow {
    const char* Name;
    TConvert Convert;
    std::string In;   // UTF-8, or raw bytes where Raw is set
    std::string Out;  // likewise
    bool Raw = false;
};

std::string Code(int code) {
    return std::string{static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
}

void ExpectRows(const std::vector<TRow>& rows) {
    for (const TRow& row : rows) {
        const std::string in = row.Raw ? row.In : SysText(row.In);
        const std::string want = row.Raw ? row.Out : SysText(row.Out);
        const std::string got = row.Convert(in);
        EXPECT_EQ(Cp932ToUtf8(got), Cp932ToUtf8(want)) << row.Name << "(" << Cp932ToUtf8(in) << ")";
        EXPECT_EQ(got, want) << row.Name << "(" << Cp932ToUtf8(in) << ")";
    }
}

#define FN(f) #f, static_cast < TConvert>(f)

TEST(StrUtils, FullWidthSelections) {
    ExpectRows({
        {FN(ToFullWidth), "a.1 +ｶﾞ･ｰ\t漢", "ａ．１　＋ガ・ー\t漢"},
        {FN(ToFullWidthAlnum), "x.1-Y_z ｱ+09", "ｘ．１-Ｙ_ｚ ｱ+０９"},
        {FN(ToFullWidthAlnum), "AZaz09./@[`{", "ＡＺａｚ０９．/@[`{"},
        // "." is a symbol as well; 0xA1..0xA5 are symbols, the katakana and their marks not.
        {FN(ToFullWidthSymbols), "a+b.c d｡･ｦｰﾞ\t~", "a＋b．c　d。・ｦｰﾞ\t～"},
        {FN(ToFullWidthSymbols), "/0:9@A[Z`a{z", "／0：9＠A［Z｀a｛z"},
        // 0xA6 and above, voiced marks joined within the run; 0xA1..0xA5 stay.
        {FN(ToFullWidthKana), "ｶﾞｷﾞ abc ｡ﾟｦｰﾝ", "ガギ abc ｡゜ヲーン"},
        {FN(ToFullWidthKana), "ﾊﾟ1ﾊ｡ﾟ", "パ1ハ｡゜"},
        {FN(ToFullWidthKana), "ｶむ", "カむ"},
    });
}

TEST(StrUtils, HalfWidthSelections) {
    ExpectRows({
        {FN(ToHalfWidth), "ＡＢＣ　１２３　ガパヴ、。「」・ー゛゜ヵヶ漢字ぁα",
         "ABC 123 ｶﾞﾊﾟｳﾞ､｡｢｣･ｰﾞﾟヵヶ漢字ぁα"},
        // "０" to "ｚ" and "．"; "／" (below "０") and "ぁ" (above "ｚ") stay.
        {FN(ToHalfWidthAlnum), "０９ＡＺａｚ．／，（アぁ", "09AZaz.／，（アぁ"},
        // Below "０": the symbol rows, the space, the kana punctuation.
        {FN(ToHalfWidthSymbols), "　（）＋－＝？／、ー゛＼～０Ａア×÷￥",
         " ()+-=?/､ｰﾞ\\~０Ａア×÷￥"},
        // The two quotes live outside the symbol rows but are symbols as well.
        {FN(ToHalfWidthSymbols), "＂＇ａ", "\"'ａ"},
        {FN(ToHalfWidthSymbols), Code(0xFA56) + Code(0xEEFC), "'\"", true},
        // "ァ" to "ヶ"; the kana punctuation lies outside, ヵ and ヶ have no half form.
        {FN(ToHalfWidthKana), "ァヲンヴガパヵヶ、ーＡ", "ｧｦﾝｳﾞｶﾞﾊﾟヵヶ、ーＡ"},
    });
}

TEST(StrUtils, FormulaToHalfWidth) {
    ExpectRows({
        {FN(FormulaToHalfWidth), "１２×３＋ｱｲｳ　二", "12*3+アイウ　二"},
        {FN(FormulaToCalcText), "１２×３＋ｱｲｳ　二", "12*3+アイウ　2"},
        {FN(FormulaToHalfWidth), "ー、。「」？゛゜（１）", "ー、。「」？゛゜(1)"},
        {FN(FormulaToHalfWidth), "６÷２・ｘ＝ａ", "6/2*x=a"},
        // Katakana stay, half-width ones are widened, Greek, kanji and hiragana come back.
        {FN(FormulaToHalfWidth), "ァヶヴｶﾞｰ｡ αβ漢ぁ\t", "ァヶヴガー。 αβ漢ぁ\t"},
        {FN(FormulaToHalfWidth), "ＰＩ（ｒ）＾２ ;面積", "PI(r)^2 ;面積"},
        {FN(KanjiToDigits), "三十二", "3十2"},
        {FN(KanjiToDigits), "零一二三四五六七八九壱弐参", "0123456789123"},
        {FN(KanjiToDigits), "〇十百千拾万", "〇十百千拾万"},
        // The bytes of "一" (0x88 0xEA) also stand across "ヨ" (0x83 0x88) and "熙" (0xEA..).
        {FN(KanjiToDigits), "ヨ熙", "ヨ熙"},
        {FN(FormulaToCalcText), "ヨ熙一", "ヨ熙1"},
    });
}

TEST(StrUtils, PreconvertFormula) {
    ExpectRows({
        {FN(PreconvertFormula), "１２＋３４　＝　４６", "12+34 ＝ 46"},
        {FN(PreconvertFormula), "二×三÷四", "2×3÷4"},
        {FN(PreconvertFormula), "（１．５）；ａｂ：ｘ", "(1.5);ab:x"},
        {FN(PreconvertFormula), "ア漢ぁαｶ", "ア漢ぁαｶ"},
        {FN(PreconvertFormula), "１，０００、ー", "1,000､ｰ"},
    });
}

TEST(StrUtils, CaseAndKana) {
    ExpectRows({
        {FN(UpperCaseWide), "ａｚαωабнопяё ab", "ＡＺΑΩАБНОПЯЁ ab"},
        {FN(LowerCaseWide), "ＡＺΑΩАБНОПЯЁ AB", "ａｚαωабнопяё AB"},
        {FN(UpperCaseAscii), "abz ａ ニェ", "ABZ ａ ニェ"},
        {FN(LowerCaseAscii), "ABZ Ａ アニ", "abz Ａ アニ"},
        {FN(HiraganaToKatakana), "ぁみむんゝーa", "ァミムンゝーa"},
        {FN(KatakanaToHiragana), "ァミムンヴヵヶーヽ", "ぁみむんヴヵヶーヽ"},
    });
}

TEST(StrUtils, KanaCodeBoundaries) {
    struct TCase {
        int Hiragana, Katakana;
    };
    for (const TCase c : {TCase{0x829F, 0x8340}, TCase{0x82DD, 0x837E}, TCase{0x82DE, 0x8380},
                          TCase{0x82F1, 0x8393}}) {
        EXPECT_EQ(HiraganaToKatakana(static_cast<std::uint16_t>(c.Hiragana)), c.Katakana);
        EXPECT_EQ(KatakanaToHiragana(static_cast<std::uint16_t>(c.Katakana)), c.Hiragana);
    }
    for (int code : {0x829E, 0x82F2, 0x833F, 0x837F, 0x8394, 0x8395, 0x8396}) {
        EXPECT_EQ(HiraganaToKatakana(static_cast<std::uint16_t>(code)), code) << std::hex << code;
        EXPECT_EQ(KatakanaToHiragana(static_cast<std::uint16_t>(code)), code) << std::hex << code;
    }
    EXPECT_TRUE(IsWideLetter(0x847E));
    EXPECT_FALSE(IsWideLetter(0x847F));
    EXPECT_TRUE(IsWideLetter(0x8491));
    EXPECT_FALSE(IsWideLetter(0x824F));
    EXPECT_TRUE(IsWideDigit(0x824F));
    EXPECT_TRUE(IsWideDigit(0x8258));
    EXPECT_FALSE(IsWideDigit(0x8260));
}

// Each selective widening is undone by its narrowing for all of printable ASCII.
TEST(StrUtils, WidthRoundTrips) {
    std::string ascii;
    for (char c = 0x20; c < 0x7F; ++c)
        ascii += c;
    EXPECT_EQ(ToHalfWidth(ToFullWidth(ascii)), ascii);
    EXPECT_EQ(ToHalfWidthAlnum(ToFullWidthAlnum(ascii)), ascii);
    EXPECT_EQ(ToHalfWidthSymbols(ToFullWidthSymbols(ascii)), ascii);
    // The engine's pre-conversion keeps the answer marker "＝".
    EXPECT_EQ(PreconvertFormula(ToFullWidth(ascii)),
              SysText(" !\"#$%&'()*+,-./0123456789:;<＝>?@") + ascii.substr(0x41 - 0x20));
}

// Raw bytes: a lone lead byte at the end, and pairs whose second byte is no trail byte, pass
// every conversion unchanged.
TEST(StrUtils, LoneLeadBytes) {
    const TConvert all[] = {
        ToFullWidth,
        ToFullWidthAlnum,
        ToFullWidthSymbols,
        ToFullWidthKana,
        ToHalfWidth,
        ToHalfWidthAlnum,
        ToHalfWidthSymbols,
        ToHalfWidthKana,
        FormulaToHalfWidth,
        KanjiToDigits,
        FormulaToCalcText,
        PreconvertFormula,
        UpperCaseAscii,
        LowerCaseAscii,
        static_cast<TConvert>(UpperCaseWide),
        static_cast<TConvert>(LowerCaseWide),
        static_cast<TConvert>(HiraganaToKatakana),
        static_cast<TConvert>(KatakanaToHiragana),
    };
    for (std::size_t i = 0; i < std::size(all); ++i) {
        for (const std::string tail : {"\x81", "\xe0", "\x9f", "\xfc"}) {
            const std::string got = all[i](tail);
            EXPECT_EQ(got, tail) << i;
            EXPECT_EQ(all[i]("\x82\x20").substr(0, 2), "\x82\x20") << i;
        }
    }
    // Before the lone lead byte the text is converted as usual.
    EXPECT_EQ(ToHalfWidth(SysText("Ａ") + "\x82"), "A\x82");
    EXPECT_EQ(FormulaToCalcText(SysText("二×") + "\x88"), "2*\x88");
    EXPECT_EQ(UpperCaseWide(SysText("ａ") + "\x82"), SysText("Ａ") + "\x82");
    EXPECT_EQ(KanjiToDigits(Code(0x88EA).substr(0, 1)), "\x88");
}

// A text that mixes everything, through chains of conversions as the commands use them.
TEST(StrUtils, Mixed) {
    const std::string text = SysText("Ａbc１2　ｶﾞｷﾞ漢字ぁア（x）×二\t");
    EXPECT_EQ(Cp932ToUtf8(ToHalfWidth(ToFullWidth(text))), "Abc12 ｶﾞｷﾞ漢字ぁｱ(x)×二\t");
    EXPECT_EQ(Cp932ToUtf8(ToFullWidth(ToHalfWidth(text))), "Ａｂｃ１２　ガギ漢字ぁア（ｘ）×二\t");
    EXPECT_EQ(Cp932ToUtf8(KatakanaToHiragana(ToFullWidthKana(text))),
              "Ａbc１2　がぎ漢字ぁあ（x）×二\t");
    EXPECT_EQ(Cp932ToUtf8(LocaleUpperCase(text)), "ＡBC１2　ｶﾞｷﾞ漢字ぁア（X）×二\t");
    EXPECT_EQ(FormulaToCalcText(text), KanjiToDigits(FormulaToHalfWidth(text)));
}

}  // namespace
}  // namespace rekna
