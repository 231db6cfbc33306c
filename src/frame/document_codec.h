// The encoding and line ends of a memo file: CP932 as the memo holds it, or UTF-8 converted at
// the edges; CR LF as the memo holds it, or LF.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace rekna {

enum class TDocEncoding : std::uint8_t { deCp932, deUtf8 };
enum class TLineEnd : std::uint8_t { leCrLf, leLf };

struct TDecodedDocument {
    std::string Bytes;  // CP932, as the memo holds it; line ends as in the file
    TDocEncoding Encoding = TDocEncoding::deCp932;
    bool Bom = false;  // the UTF-8 file began with a byte-order mark
    // The file's line ends, by its first line break; a file without one takes the encoding's
    // usual ends (LF for UTF-8, CR LF for CP932).
    TLineEnd LineEnd = TLineEnd::leCrLf;
};

// A file with a UTF-8 byte-order mark, or valid UTF-8 holding bytes beyond ASCII, is read as
// UTF-8 (characters that CP932 lacks are carried in its user-defined area); anything else is
// taken byte for byte as CP932, so that no byte of a file is ever lost or changed by opening
// it, and the user-defined codes it brings keep their own meaning.
[[nodiscard]] TDecodedDocument DecodeDocument(std::string bytes);

// The bytes to write for the memo's CP932 text (CR LF line ends) in the document's encoding and
// line ends.
[[nodiscard]] std::string EncodeDocument(std::string_view cp932, TDocEncoding encoding, bool bom,
                                         TLineEnd lineEnd = TLineEnd::leCrLf);

// True when the text can be written in the encoding as it stands: CP932 cannot hold the
// characters carried in the user-defined area.
[[nodiscard]] bool CanEncode(std::string_view cp932, TDocEncoding encoding);

// The names the window shows: "UTF-8", "Shift_JIS"; "LF", "CR LF".
[[nodiscard]] std::string_view EncodingName(TDocEncoding encoding) noexcept;
[[nodiscard]] std::string_view LineEndName(TLineEnd lineEnd) noexcept;

}  // namespace rekna
