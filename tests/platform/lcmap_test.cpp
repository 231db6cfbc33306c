// Tests of the full-width and half-width mappings and the locale casing of CP932 text.
#include "platform/lcmap.h"

#include "platform/cp932.h"

#include <gtest/gtest.h>

#include <string>

namespace rekna {
namespace {

// The two bytes of a double-byte code.
std::string Code(int code) {
    return std::string{static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
}

// Shows CP932 bytes as UTF-8 in failure messages.
std::string Show(const std::string& cp932) {
    return Cp932ToUtf8(cp932);
}

struct TRow {
    std::string In;
    std::string Out;
};

void ExpectRows(std::string (*map)(std::string_view), const std::vector<TRow>& rows) {
    for (const TRow& row : rows) {
        const std::string in = row.In;
        EXPECT_EQ(Show(map(in)), Show(row.Out)) << "input: " << Show(in);
        EXPECT_EQ(map(in), row.Out) << "input: " << Show(in);
    }
}

TEST(LcMap, FullWidth) {
    ExpectRows(MapFullWidth,
               {
                   {SysText(" !\"#$%&'()*+,-./0123456789:;<=>?@"),
                    SysText("　！＂＃＄％＆＇（）＊＋，－．／０１２３４５６７８９：；＜＝＞？＠")},
                   {SysText("ABCXYZ[\\]^_`abcxyz{|}~"),
                    SysText("ＡＢＣＸＹＺ［＼］＾＿｀ａｂｃｘｙｚ｛｜｝～")},
                   {SysText("｡｢｣､･ｦｧｯｰｱﾝﾞﾟ"), SysText("。「」、・ヲァッーアン゛゜")},
                   // Voiced and semi-voiced letters are composed, across every voiced row.
                   {SysText("ｶﾞｺﾞｻﾞｿﾞﾀﾞﾄﾞﾊﾞﾎﾞﾊﾟﾎﾟｳﾞ"), SysText("ガゴザゾダドバボパポヴ")},
                   // A mark that cannot join stays a mark of its own.
                   {SysText("ﾜﾞｱﾟｶﾟﾞｶｶﾞﾞﾊﾟﾟ"), SysText("ワ゛ア゜カ゜゛カガ゛パ゜")},
                   // Double-byte characters and controls are copied; the trail byte 0xDE of
                   // "む" is not a voiced mark.
                   {SysText("ｶむ漢ａ\t\r\n"), SysText("カむ漢ａ\t\r\n")},
                   {std::string("\x7f\x80\xa0\xfd\xfe\xff", 6),
                    std::string("\x7f\x80\xa0\xfd\xfe\xff", 6)},
                   // A lone lead byte at the end is copied as it is.
                   {std::string("a\x81"), SysText("ａ") + "\x81"},
                   {std::string("\xe0"), std::string("\xe0")},
               });
}

TEST(LcMap, FullWidthCodes) {
    EXPECT_EQ(MapFullWidth(" "), Code(0x8140));
    EXPECT_EQ(MapFullWidth("\\"), Code(0x815F));
    EXPECT_EQ(MapFullWidth("~"), Code(0x8160));
    EXPECT_EQ(MapFullWidth("-"), Code(0x817C));
    // The quotes have two codes each; either is the same character.
    EXPECT_EQ(Cp932ToUtf8(MapFullWidth("\"'")), "＂＇");
}

TEST(LcMap, HalfWidth) {
    ExpectRows(
        MapHalfWidth,
        {
            {SysText(
                 "　！＂＃＄％＆＇（）＊＋，－．／０９：；＜＝＞？＠ＡＺ［＼］＾＿｀ａｚ｛｜｝～"),
             SysText(" !\"#$%&'()*+,-./09:;<=>?@AZ[\\]^_`az{|}~")},
            {SysText("。「」、・ヲァッーアン゛゜"), SysText("｡｢｣､･ｦｧｯｰｱﾝﾞﾟ")},
            {SysText("ガゴザゾダドバボパポヴ"), SysText("ｶﾞｺﾞｻﾞｿﾞﾀﾞﾄﾞﾊﾞﾎﾞﾊﾟﾎﾟｳﾞ")},
            // No half-width form: these stay.
            {SysText("ヮヰヱヵヶぁん漢Αω“”‘’￥×÷"), SysText("ヮヰヱヵヶぁん漢Αω“”‘’￥×÷")},
            {SysText("abc ｶﾞ\t"), SysText("abc ｶﾞ\t")},
            // "＇" and "＂" under both their codes.
            {Code(0xEEFB) + Code(0xEEFC) + Code(0xFA56) + Code(0xFA57), "'\"'\""},
            {SysText("Ａ") + "\x82", std::string("A\x82")},
        });
}

// Every printable ASCII character and every half-width katakana comes back after both mappings.
TEST(LcMap, RoundTrip) {
    std::string all;
    for (int c = 0x20; c <= 0x7E; ++c)
        all += static_cast<char>(c);
    for (int c = 0xA1; c <= 0xDF; ++c)
        all += static_cast<char>(c);
    const std::string full = MapFullWidth(all);
    EXPECT_EQ(full.size(), 2 * (0x7E - 0x20 + 1) + 2 * (0xDF - 0xA1 + 1));
    EXPECT_EQ(MapHalfWidth(full), all);
    for (std::size_t i = 0; i < full.size(); i += 2)
        EXPECT_TRUE(IsLeadByte(full[i])) << i;
}

TEST(LcMap, WideCasePairs) {
    struct TPair {
        int Upper, Lower;
    };
    const TPair pairs[] = {
        {0x8260, 0x8281}, {0x8279, 0x829A},  // Ａ ａ, Ｚ ｚ
        {0x839F, 0x83BF}, {0x83B6, 0x83D6},  // Α α, Ω ω
        {0x8440, 0x8470}, {0x844E, 0x847E},  // А а, Н н
        {0x844F, 0x8480}, {0x8460, 0x8491},  // О о, Я я
        {0x8446, 0x8476},                    // Ё ё
    };
    for (const TPair& p : pairs) {
        EXPECT_EQ(WideUpperCase(p.Lower), p.Upper) << std::hex << p.Lower;
        EXPECT_EQ(WideLowerCase(p.Upper), p.Lower) << std::hex << p.Upper;
        EXPECT_EQ(WideUpperCase(p.Upper), p.Upper);
        EXPECT_EQ(WideLowerCase(p.Lower), p.Lower);
    }
    // Just outside the rows, and the gap 0x847F.
    for (int code : {0x825F, 0x827A, 0x8280, 0x829B, 0x839E, 0x83B7, 0x83BE, 0x83D7, 0x843F, 0x8461,
                     0x846F, 0x847F, 0x8492}) {
        EXPECT_EQ(WideUpperCase(code), code) << std::hex << code;
        EXPECT_EQ(WideLowerCase(code), code) << std::hex << code;
    }
}

TEST(LcMap, LocaleCase) {
    ExpectRows(LocaleUpperCase, {
                                    {SysText("abz ABZ ａｚ αω абнопяё 1_ア"),
                                     SysText("ABZ ABZ ＡＺ ΑΩ АБНОПЯЁ 1_ア")},
                                    // Trail bytes that look like ASCII letters: "ニ" is 0x83 0x6A.
                                    {SysText("ニェⅰ"), SysText("ニェⅰ")},
                                    {Code(0x847F) + "a\x84", Code(0x847F) + "A\x84"},
                                });
    ExpectRows(LocaleLowerCase, {
                                    {SysText("abz ABZ ＡＺ ΑΩ АБНОПЯЁ 1_ア"),
                                     SysText("abz abz ａｚ αω абнопяё 1_ア")},
                                    {SysText("アニⅠ"), SysText("アニⅠ")},
                                    {Code(0x847F) + "A\x84", Code(0x847F) + "a\x84"},
                                });
}

}  // namespace
}  // namespace rekna
