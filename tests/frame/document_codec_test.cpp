// Tests of the memo file encodings and line ends: which files are read as UTF-8, and that
// writing gives the same bytes back.
#include "frame/document_codec.h"

#include <gtest/gtest.h>

#include <string>

#include "editor/store/umemo_strings.h"
#include "platform/cp932.h"

namespace rekna {
namespace {

// The bytes a memo holding the decoded text writes back: through the line store, as the window
// loads and saves a file.
std::string ThroughTheMemo(const TDecodedDocument& d) {
    TUMemoStrings memo;
    memo.LoadBytes(d.Bytes, false);
    return EncodeDocument(memo.SaveBytes(), d.Encoding, d.Bom, d.LineEnd);
}

TEST(DocumentCodecTest, EveryFileComesBackByteForByte) {
    using E = TDocEncoding;
    using L = TLineEnd;
    struct TCase {
        std::string Bytes;
        TDocEncoding Encoding;
        bool Bom;
        TLineEnd LineEnd;
        bool Memo = true;  // a memo file as the line store writes them: every line ended
    };
    const std::string cp932 = SysText("1億23万 ; 電圧\r\n");
    const std::string utf8 = "1億23万 ; 電圧\r\n";
    const std::string wide = "; Euro € emoji 😀 Ω≈ µ ² é\nx=2 ; 日本\n";
    const TDocFormat plain = DefaultFormat(false);
    const TDocFormat sjis = DefaultFormat(true);
    // Plain ASCII and files without a line break take the default; anything else keeps what the
    // file shows, under either default.
    const struct {
        TDocFormat Plain;
        TCase Case;
    } rows[] = {
        {plain, {"1+2\r\n", E::deUtf8, false, L::leCrLf}},  // ASCII is UTF-8
        {plain, {"1+2\n3\n", E::deUtf8, false, L::leLf}},
        {plain, {"2*3", E::deUtf8, false, L::leLf, false}},  // no line break: LF
        {plain, {"", E::deUtf8, false, L::leLf}},
        {plain, {cp932, E::deCp932, false, L::leCrLf}},  // CP932 Japanese
        {plain, {SysText("電圧"), E::deCp932, false, L::leLf, false}},
        {plain, {utf8, E::deUtf8, false, L::leCrLf}},  // UTF-8 Japanese
        {plain, {"1億\n2万\n", E::deUtf8, false, L::leLf}},
        {plain,
         {"\xEF\xBB\xBF"
          "1+2\r\n",
          E::deUtf8, true, L::leCrLf}},  // a byte-order mark
        {plain, {"\xEF\xBB\xBF" + wide, E::deUtf8, true, L::leLf}},
        {plain, {wide, E::deUtf8, false, L::leLf}},                  // characters CP932 lacks
        {plain, {"\xE3\x80\x9C\r\n", E::deUtf8, false, L::leCrLf}},  // 〜 of JIS-based tables
        {plain, {"\xF0\x9F\x98\x80", E::deUtf8, false, L::leLf, false}},
        {plain, {std::string("\xFF\xFE\x00", 3), E::deCp932, false, L::leLf, false}},  // binary
        {plain, {std::string("a\r\x81\r\n\x00z\r\n", 9), E::deCp932, false, L::leCrLf, false}},
        {plain, {"\xF0\x40\xF9\xFC\r\n", E::deCp932, false, L::leCrLf}},  // the file's own codes
        {sjis, {"1+2\n3\n", E::deCp932, false, L::leLf}},                 // the line ends it shows
        {sjis, {"2*3", E::deCp932, false, L::leCrLf, false}},
        {sjis, {cp932, E::deCp932, false, L::leCrLf}},
        {sjis, {"1億\n2万\n", E::deUtf8, false, L::leLf}},
        {sjis, {"\xF0\x9F\x98\x80", E::deUtf8, false, L::leCrLf, false}},
        {sjis,
         {"\xEF\xBB\xBF"
          "1+2\n",
          E::deUtf8, true, L::leLf}},
    };
    for (const auto& [p, c] : rows) {
        const TDecodedDocument d = DecodeDocument(c.Bytes, p);
        EXPECT_EQ(d.Encoding, c.Encoding) << c.Bytes;
        EXPECT_EQ(d.Bom, c.Bom) << c.Bytes;
        EXPECT_EQ(d.LineEnd, c.LineEnd) << c.Bytes;
        EXPECT_EQ(EncodeDocument(d.Bytes, d.Encoding, d.Bom, d.LineEnd), c.Bytes);
        if (c.Memo) {
            EXPECT_EQ(ThroughTheMemo(d), c.Bytes);
        }
    }
    EXPECT_EQ(DecodeDocument(utf8, plain).Bytes, cp932);
    // The line store ends the last line; a file without any line break gets the default's.
    EXPECT_EQ(ThroughTheMemo(DecodeDocument("2*3", plain)), "2*3\n");
    EXPECT_EQ(ThroughTheMemo(DecodeDocument("2*3", sjis)), "2*3\r\n");
    // A CP932 file's own user-defined codes never stand for carried characters.
    EXPECT_TRUE(CanEncode(DecodeDocument("\xF0\x41\r\n", plain).Bytes, E::deCp932));
    EXPECT_EQ(Cp932ToUtf8("\xF0\x41"), "\xEE\x80\x81");  // U+E001
}

TEST(DocumentCodecTest, TheProcessWideDefaultDecidesPlainFiles) {
    const TDocFormat before = PlainFileFormat();
    EXPECT_EQ(before, DefaultFormat(false));  // a fresh installation
    SetPlainFileFormat(DefaultFormat(true));
    EXPECT_EQ(DecodeDocument("1+2").Format(), DefaultFormat(true));
    EXPECT_EQ(DecodeDocument(SysText("電圧\n")).Format(),
              (TDocFormat{TDocEncoding::deCp932, false, TLineEnd::leLf}));
    SetPlainFileFormat(before);
    EXPECT_EQ(DecodeDocument("1+2").Format(), DefaultFormat(false));
}

TEST(DocumentCodecTest, ShiftJisCannotHoldCarriedCharacters) {
    const std::string euro = Utf8ToCp932("€ 1+2");
    EXPECT_FALSE(CanEncode(euro, TDocEncoding::deCp932));
    EXPECT_TRUE(CanEncode(euro, TDocEncoding::deUtf8));
    EXPECT_TRUE(CanEncode(SysText("日本"), TDocEncoding::deCp932));
    EXPECT_EQ(EncodeDocument(euro + "\r\n", TDocEncoding::deUtf8, false, TLineEnd::leLf),
              "€ 1+2\n");
    // What the program writes on its own goes out as UTF-8 rather than lose a character.
    EXPECT_EQ(EncodeKeepingAll(euro + "\r\n", DefaultFormat(true)), "€ 1+2\r\n");
    EXPECT_EQ(EncodeKeepingAll(SysText("日本\r\n"), DefaultFormat(true)), SysText("日本\r\n"));
    EXPECT_EQ(EncodingName(TDocEncoding::deCp932), "Shift_JIS");
    EXPECT_EQ(LineEndName(TLineEnd::leLf), "LF");
}

}  // namespace
}  // namespace rekna
