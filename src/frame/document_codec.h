// The encoding of a memo file: CP932 as the memo holds it, or UTF-8 converted at the edges.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace rekna {

enum class TDocEncoding : std::uint8_t { deCp932, deUtf8 };

struct TDecodedDocument {
    std::string Bytes;  // CP932, as the memo holds it
    TDocEncoding Encoding = TDocEncoding::deCp932;
    bool Bom = false;  // the UTF-8 file began with a byte-order mark
};

// A file that is valid UTF-8, holds bytes beyond ASCII (or a byte-order mark) and converts to
// CP932 and back unchanged is read as UTF-8; anything else is taken byte for byte as CP932, so
// that no byte of a file is ever lost or changed by opening it.
[[nodiscard]] TDecodedDocument DecodeDocument(std::string bytes);

// The bytes to write for the memo's CP932 text in the document's encoding.
[[nodiscard]] std::string EncodeDocument(std::string_view cp932, TDocEncoding encoding, bool bom);

}  // namespace rekna
