// The settings file: a header line, then "key=value" lines, read into and written from a store.
#pragma once

#include <string>
#include <string_view>

#include "frame/document_codec.h"
#include "frame/frame_settings.h"
#include "platform/file_io.h"

namespace rekna {

// The first line of every settings file (UTF-8 here; the file holds it as CP932, see
// SettingsHeader()).
inline constexpr std::string_view kSettingsHeaderUtf8 = "Rekna.初期設定ファイル";
// A settings file is a few kilobytes; anything beyond this is not one and is refused unread.
inline constexpr std::size_t kMaxSettingsFileBytes = std::size_t{4} << 20;

// The header line in CP932.
[[nodiscard]] const std::string& SettingsHeader();

// How a settings file is written: as it was read, or UTF-8 with LF for a new one.
struct TSettingsFormat {
    TDocEncoding Encoding = TDocEncoding::deUtf8;
    bool Bom = false;
    TLineEnd LineEnd = TLineEnd::leLf;
};

// Reads the file's "key=value" lines; lines without "=" (the header, garbage) are skipped and any
// line end (CR LF, LF, CR) is accepted. The file's encoding is decided as for every text file
// (DecodeDocument); the store holds CP932 text either way, and format (when given) says how the
// file was written. out is untouched on failure; a file larger than
// kMaxSettingsFileBytes or not a regular file is a read error.
[[nodiscard]] TFileResult ReadSettingsFile(const std::string& path, TMemorySettings& out,
                                           TSettingsFormat* format = nullptr);

// Writes the header and every entry in the format, replacing the file only when the whole text
// was written; text that CP932 cannot hold makes the file UTF-8. A missing parent folder is
// created first.
[[nodiscard]] TFileResult WriteSettingsFile(const std::string& path, const TMemorySettings& s,
                                            const TSettingsFormat& format = {});

// What to write when another instance may have written the file since it was read here: this
// instance's value where it changed since (mine differs from asRead), else the file's current
// value (disk), else mine; in mine's order.
[[nodiscard]] TMemorySettings MergeSettings(const TMemorySettings& mine,
                                            const TMemorySettings& asRead,
                                            const TMemorySettings& disk);

// True when the file name of path begins with programName and ends in ".ini", both in any case.
[[nodiscard]] bool IsSettingsFileName(std::string_view path, std::string_view programName);

}  // namespace rekna
