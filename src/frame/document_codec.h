// The encoding and line ends of a text file: CP932 as the memo holds it, or UTF-8 converted at
// the edges; CR LF as the memo holds it, or LF. One decision for every file the programs read.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace rekna {

enum class TDocEncoding : std::uint8_t { deCp932, deUtf8 };
enum class TLineEnd : std::uint8_t { leCrLf, leLf };

// How a file is written back: its encoding, byte-order mark and line ends.
struct TDocFormat {
    TDocEncoding Encoding = TDocEncoding::deUtf8;
    bool Bom = false;
    TLineEnd LineEnd = TLineEnd::leLf;
    friend bool operator==(const TDocFormat&, const TDocFormat&) = default;
};

// The format of new files and of what a file leaves open: UTF-8 with LF, or Shift_JIS with
// CR LF for users who exchange files with Shift_JIS systems.
[[nodiscard]] TDocFormat DefaultFormat(bool shiftJis) noexcept;
// The process-wide default that DecodeDocument and new documents take; UTF-8 with LF until the
// settings say otherwise (the window and rekna-calc set it from the same settings key).
[[nodiscard]] TDocFormat PlainFileFormat() noexcept;
void SetPlainFileFormat(const TDocFormat& format) noexcept;

// What the bytes of a file show about how it was written; gathered piece by piece where a
// file is read as a stream.
struct TFileEvidence {
    bool Bom = false;        // it begins with the UTF-8 byte-order mark
    bool HighBytes = false;  // a byte beyond ASCII after the mark
    // The bytes after the mark are valid UTF-8 whose every character the memo can carry.
    bool Utf8 = true;
    std::optional<TLineEnd> LineEnd;  // that of the first line break
};

// The one decision: a byte-order mark or bytes beyond ASCII that are valid UTF-8 make UTF-8;
// other bytes beyond ASCII make CP932; plain ASCII (on Linux a UTF-8 file) takes plain's
// encoding, and a file without a line break plain's line ends.
[[nodiscard]] TDocFormat FormatOf(const TFileEvidence& evidence, const TDocFormat& plain) noexcept;

// The line ends of the first line break in the bytes; nothing when they have none.
[[nodiscard]] std::optional<TLineEnd> FirstLineEnd(std::string_view bytes) noexcept;
// True when a byte of s is beyond ASCII.
[[nodiscard]] bool HasHighBytes(std::string_view s) noexcept;

struct TDecodedDocument {
    std::string Bytes;  // CP932, as the memo holds it; line ends as in the file
    TDocEncoding Encoding = TDocEncoding::deUtf8;
    bool Bom = false;  // the UTF-8 file began with a byte-order mark
    TLineEnd LineEnd = TLineEnd::leLf;
    [[nodiscard]] TDocFormat Format() const noexcept { return {Encoding, Bom, LineEnd}; }
};

// Reads a file as FormatOf decides. UTF-8 is converted (characters that CP932 lacks are carried
// in its user-defined area); CP932 is taken byte for byte, so that no byte of a file is ever
// lost or changed by opening it, and the user-defined codes it brings keep their own meaning.
[[nodiscard]] TDecodedDocument DecodeDocument(std::string bytes, const TDocFormat& plain);
[[nodiscard]] TDecodedDocument DecodeDocument(std::string bytes);

// The bytes to write for the memo's CP932 text (CR LF line ends) in the document's encoding and
// line ends.
[[nodiscard]] std::string EncodeDocument(std::string_view cp932, TDocEncoding encoding, bool bom,
                                         TLineEnd lineEnd = TLineEnd::leCrLf);
// The same in a format; text that Shift_JIS cannot hold is written as UTF-8, so that nothing
// is ever lost (files the program writes on its own, without asking).
[[nodiscard]] std::string EncodeKeepingAll(std::string_view cp932, const TDocFormat& format);

// True when the text can be written in the encoding as it stands: CP932 cannot hold the
// characters carried in the user-defined area.
[[nodiscard]] bool CanEncode(std::string_view cp932, TDocEncoding encoding);

// The names the window shows: "UTF-8", "Shift_JIS"; "LF", "CR LF".
[[nodiscard]] std::string_view EncodingName(TDocEncoding encoding) noexcept;
[[nodiscard]] std::string_view LineEndName(TLineEnd lineEnd) noexcept;

}  // namespace rekna
