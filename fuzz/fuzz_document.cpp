// Fuzz target: any bytes read as a memo file and written back in the encoding, byte-order mark
// and line ends they were read with come back byte for byte, under either default format.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "frame/document_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string file(reinterpret_cast<const char*>(data), size);
    // Under either default for files that do not show their encoding and line ends.
    for (const bool shiftJis : {false, true}) {
        const rekna::TDecodedDocument doc =
            rekna::DecodeDocument(file, rekna::DefaultFormat(shiftJis));
        const std::string back =
            rekna::EncodeDocument(doc.Bytes, doc.Encoding, doc.Bom, doc.LineEnd);
        // A file read as LF that also holds CR LF pairs is written with LF throughout.
        const bool uniform =
            doc.LineEnd == rekna::TLineEnd::leCrLf || file.find("\r\n") == std::string::npos;
        if (uniform && back != file) std::abort();
    }
    return 0;
}
