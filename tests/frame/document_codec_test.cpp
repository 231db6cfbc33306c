// Tests of the memo file encodings: which files are read as UTF-8, and that writing gives the
// same bytes back.
#include "frame/document_codec.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/cp932.h"

namespace rekna {
namespace {

TEST(DocumentCodecTest, WhichFilesAreReadAsUtf8) {
    struct TCase {
        std::string Bytes;
        TDocEncoding Encoding;
        bool Bom;
    };
    const std::string cp932 = SysText("1億23万 ; 電圧\r\n");
    const std::string utf8 = "1億23万 ; 電圧\r\n";
    const TCase cases[] = {
        {"1+2\r\n", TDocEncoding::deCp932, false},  // ASCII stays as it is
        {cp932, TDocEncoding::deCp932, false},      // CP932 Japanese
        {utf8, TDocEncoding::deUtf8, false},        // UTF-8 Japanese
        {"\xEF\xBB\xBF"
         "1+2\r\n",
         TDocEncoding::deUtf8, true},                            // a byte-order mark
        {"\xE3\x80\x9C\r\n", TDocEncoding::deCp932, false},      // 〜 converts one way only
        {"\xF0\x9F\x98\x80\r\n", TDocEncoding::deCp932, false},  // no CP932 character
        {"\xFF\xFE\x00", TDocEncoding::deCp932, false},          // binary
    };
    for (const TCase& c : cases) {
        const TDecodedDocument d = DecodeDocument(c.Bytes);
        EXPECT_EQ(d.Encoding, c.Encoding) << c.Bytes;
        EXPECT_EQ(d.Bom, c.Bom) << c.Bytes;
        // Whatever was read, writing it back gives the file's bytes.
        EXPECT_EQ(EncodeDocument(d.Bytes, d.Encoding, d.Bom), c.Bytes);
    }
    EXPECT_EQ(DecodeDocument(utf8).Bytes, cp932);
}

}  // namespace
}  // namespace rekna
