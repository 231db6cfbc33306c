// Reading and writing text files in CP932 or UTF-8, with CR LF or LF line ends.
#include "frame/document_codec.h"

#include <algorithm>

#include "platform/cp932.h"

namespace rekna {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

// Set from the settings as they are read; one thread reads and writes files.
TDocFormat gPlainFormat;

}  // namespace

TDocFormat DefaultFormat(bool shiftJis) noexcept {
    if (shiftJis) return {TDocEncoding::deCp932, false, TLineEnd::leCrLf};
    return {TDocEncoding::deUtf8, false, TLineEnd::leLf};
}

TDocFormat PlainFileFormat() noexcept {
    return gPlainFormat;
}

void SetPlainFileFormat(const TDocFormat& format) noexcept {
    gPlainFormat = format;
}

TDocFormat FormatOf(const TFileEvidence& evidence, const TDocFormat& plain) noexcept {
    TDocFormat format;
    if ((evidence.Bom || evidence.HighBytes) && evidence.Utf8) {
        format.Encoding = TDocEncoding::deUtf8;
        format.Bom = evidence.Bom;
    } else if (evidence.Bom || evidence.HighBytes) {
        format.Encoding = TDocEncoding::deCp932;
    } else {
        format.Encoding = plain.Encoding;
        format.Bom = false;
    }
    format.LineEnd = evidence.LineEnd.value_or(plain.LineEnd);
    return format;
}

std::optional<TLineEnd> FirstLineEnd(std::string_view bytes) noexcept {
    const std::size_t at = bytes.find_first_of("\r\n");
    if (at == std::string_view::npos) return std::nullopt;
    return bytes[at] == '\n' ? TLineEnd::leLf : TLineEnd::leCrLf;
}

bool HasHighBytes(std::string_view s) noexcept {
    return std::any_of(s.begin(), s.end(),
                       [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

TDecodedDocument DecodeDocument(std::string bytes, const TDocFormat& plain) {
    TFileEvidence evidence;
    evidence.LineEnd = FirstLineEnd(bytes);
    evidence.Bom = std::string_view(bytes).substr(0, kBom.size()) == kBom;
    const std::string_view body =
        evidence.Bom ? std::string_view(bytes).substr(kBom.size()) : std::string_view(bytes);
    evidence.HighBytes = HasHighBytes(body);
    std::string cp932;
    if (evidence.HighBytes) {
        evidence.Utf8 = IsValidUtf8(body);
        if (evidence.Utf8) {
            bool lossless = true;
            cp932 = Utf8ToCp932(body, &lossless);
            // Only when every character is carried (the user-defined area may be full).
            evidence.Utf8 = lossless && Cp932ToUtf8(cp932) == body;
        }
    } else if (evidence.Bom) {
        cp932 = body;
    }
    const TDocFormat format = FormatOf(evidence, plain);
    TDecodedDocument out;
    out.Encoding = format.Encoding;
    out.Bom = format.Bom;
    out.LineEnd = format.LineEnd;
    if (format.Encoding == TDocEncoding::deUtf8 && (evidence.Bom || evidence.HighBytes)) {
        out.Bytes = std::move(cp932);
    } else {
        // CP932, or plain ASCII, which is the same bytes in either encoding.
        if (evidence.HighBytes) ReserveUserAreaCodes(bytes);
        out.Bytes = std::move(bytes);
    }
    return out;
}

TDecodedDocument DecodeDocument(std::string bytes) {
    return DecodeDocument(std::move(bytes), gPlainFormat);
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

std::string EncodeKeepingAll(std::string_view cp932, const TDocFormat& format) {
    const TDocEncoding encoding =
        CanEncode(cp932, format.Encoding) ? format.Encoding : TDocEncoding::deUtf8;
    return EncodeDocument(cp932, encoding, format.Bom, format.LineEnd);
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
