// Reading and writing memo files in CP932 or UTF-8, with CR LF or LF line ends.
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

// The line ends of the first line break; nothing when the text has none.
int FirstLineEnd(std::string_view s) noexcept {
    const std::size_t at = s.find_first_of("\r\n");
    if (at == std::string_view::npos) return -1;
    return s[at] == '\n' ? static_cast<int>(TLineEnd::leLf) : static_cast<int>(TLineEnd::leCrLf);
}

}  // namespace

TDecodedDocument DecodeDocument(std::string bytes) {
    TDecodedDocument out;
    const int ends = FirstLineEnd(bytes);
    const bool bom = std::string_view(bytes).substr(0, kBom.size()) == kBom;
    const std::string_view body = bom ? std::string_view(bytes).substr(kBom.size()) : bytes;
    if ((bom || HasHighBytes(body)) && IsValidUtf8(body)) {
        bool lossless = true;
        std::string cp932 = Utf8ToCp932(body, &lossless);
        // Only when every character is carried (the user-defined area may be full).
        if (lossless && Cp932ToUtf8(cp932) == body) {
            out.Bytes = std::move(cp932);
            out.Encoding = TDocEncoding::deUtf8;
            out.Bom = bom;
            out.LineEnd = ends < 0 ? TLineEnd::leLf : static_cast<TLineEnd>(ends);
            return out;
        }
    }
    ReserveUserAreaCodes(bytes);
    out.Bytes = std::move(bytes);
    out.LineEnd = ends < 0 ? TLineEnd::leCrLf : static_cast<TLineEnd>(ends);
    return out;
}

std::string EncodeDocument(std::string_view cp932, TDocEncoding encoding, bool bom,
                           TLineEnd lineEnd) {
    std::string text;
    if (lineEnd == TLineEnd::leLf) {
        text.reserve(cp932.size());
        for (std::size_t i = 0; i < cp932.size(); ++i) {
            if (cp932[i] == '\r' && i + 1 < cp932.size() && cp932[i + 1] == '\n') continue;
            text += cp932[i];
        }
        cp932 = text;
    }
    if (encoding == TDocEncoding::deCp932) return std::string(cp932);
    std::string out = bom ? std::string(kBom) : std::string();
    out += Cp932ToUtf8(cp932);
    return out;
}

bool CanEncode(std::string_view cp932, TDocEncoding encoding) {
    return encoding == TDocEncoding::deUtf8 || !HoldsCarriedCharacters(cp932);
}

std::string_view EncodingName(TDocEncoding encoding) noexcept {
    return encoding == TDocEncoding::deUtf8 ? "UTF-8" : "Shift_JIS";
}

std::string_view LineEndName(TLineEnd lineEnd) noexcept {
    return lineEnd == TLineEnd::leLf ? "LF" : "CR LF";
}

}  // namespace rekna
