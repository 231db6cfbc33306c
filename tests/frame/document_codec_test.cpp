// Tests of the memo file encodings and line ends: which files are read as UTF-8, and that
// writing gives the same bytes back.
#include "frame/document_codec.h"

#include <gtest/gtest.h>

#include <string>

#include "editor/store/umemo_strings.h"
#include "platform/cp932.h"

namespace rekna {
namespace {

// The bytes a memo holding the document's text writes back: through the line store, as the
// window loads and saves a file.
std::string ThroughTheMemo(const std::string& file) {
    const TDecodedDocument d = DecodeDocument(file);
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
    const TCase cases[] = {
        {"1+2\r\n", E::deCp932, false, L::leCrLf},  // ASCII stays as it is
        {"1+2\n3\n", E::deCp932, false, L::leLf},
        {cp932, E::deCp932, false, L::leCrLf},  // CP932 Japanese
        {utf8, E::deUtf8, false, L::leCrLf},    // UTF-8 Japanese
        {"1億\n2万\n", E::deUtf8, false, L::leLf},
        {"\xEF\xBB\xBF"
         "1+2\r\n",
         E::deUtf8, true, L::leCrLf},  // a byte-order mark
        {"\xEF\xBB\xBF" + wide, E::deUtf8, true, L::leLf},
        {wide, E::deUtf8, false, L::leLf},                       // characters CP932 lacks
        {"\xE3\x80\x9C\r\n", E::deUtf8, false, L::leCrLf},       // 〜 of JIS-based tables
        {"\xF0\x9F\x98\x80", E::deUtf8, false, L::leLf, false},  // no line break at all
        {std::string("\xFF\xFE\x00", 3), E::deCp932, false, L::leCrLf, false},  // binary
        {std::string("a\r\x81\r\n\x00z\r\n", 9), E::deCp932, false, L::leCrLf, false},
        {"\xF0\x40\xF9\xFC\r\n", E::deCp932, false, L::leCrLf},  // the file's own user codes
    };
    for (const TCase& c : cases) {
        const TDecodedDocument d = DecodeDocument(c.Bytes);
        EXPECT_EQ(d.Encoding, c.Encoding) << c.Bytes;
        EXPECT_EQ(d.Bom, c.Bom) << c.Bytes;
        EXPECT_EQ(d.LineEnd, c.LineEnd) << c.Bytes;
        EXPECT_EQ(EncodeDocument(d.Bytes, d.Encoding, d.Bom, d.LineEnd), c.Bytes);
        if (c.Memo) {
            EXPECT_EQ(ThroughTheMemo(c.Bytes), c.Bytes);
        }
    }
    EXPECT_EQ(DecodeDocument(utf8).Bytes, cp932);
    // A CP932 file's own user-defined codes never stand for carried characters.
    EXPECT_TRUE(CanEncode(DecodeDocument("\xF0\x41\r\n").Bytes, E::deCp932));
    EXPECT_EQ(Cp932ToUtf8("\xF0\x41"), "\xEE\x80\x81");  // U+E001
}

TEST(DocumentCodecTest, ShiftJisCannotHoldCarriedCharacters) {
    const std::string euro = Utf8ToCp932("€ 1+2");
    EXPECT_FALSE(CanEncode(euro, TDocEncoding::deCp932));
    EXPECT_TRUE(CanEncode(euro, TDocEncoding::deUtf8));
    EXPECT_TRUE(CanEncode(SysText("日本"), TDocEncoding::deCp932));
    EXPECT_EQ(EncodeDocument(euro + "\r\n", TDocEncoding::deUtf8, false, TLineEnd::leLf),
              "€ 1+2\n");
    EXPECT_EQ(EncodingName(TDocEncoding::deCp932), "Shift_JIS");
    EXPECT_EQ(LineEndName(TLineEnd::leLf), "LF");
}

}  // namespace
}  // namespace rekna
