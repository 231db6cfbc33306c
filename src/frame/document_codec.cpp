// Reading and writing memo files in CP932 or UTF-8.
#include "frame/document_codec.h"

#include <algorithm>

#include "platform/cp932.h"

namespace rekna {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

bool HasHighBytes(std::string_view s) noexcept {
    return std::any_of(s.begin(), s.end(),
                       [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

}  // namespace

TDecodedDocument DecodeDocument(std::string bytes) {
    TDecodedDocument out;
    const bool bom = std::string_view(bytes).substr(0, kBom.size()) == kBom;
    const std::string_view body = bom ? std::string_view(bytes).substr(kBom.size()) : bytes;
    if ((bom || HasHighBytes(body)) && IsValidUtf8(body)) {
        bool lossless = true;
        std::string cp932 = Utf8ToCp932(body, &lossless);
        // Look-alike characters convert one way only: such a file stays as it is.
        if (lossless && Cp932ToUtf8(cp932) == body) {
            out.Bytes = std::move(cp932);
            out.Encoding = TDocEncoding::deUtf8;
            out.Bom = bom;
            return out;
        }
    }
    out.Bytes = std::move(bytes);
    return out;
}

std::string EncodeDocument(std::string_view cp932, TDocEncoding encoding, bool bom) {
    if (encoding == TDocEncoding::deCp932) return std::string(cp932);
    std::string out = bom ? std::string(kBom) : std::string();
    out += Cp932ToUtf8(cp932);
    return out;
}

}  // namespace rekna
