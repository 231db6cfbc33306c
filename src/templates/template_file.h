// The template file: its text form (headings by depth, Tab-prefixed body lines, state lines),
// reading and writing it in the encoding it came in, its place, and the monthly snapshot.
#pragma once

#include "frame/document_codec.h"
#include "platform/file_io.h"
#include "templates/template_tree.h"

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

namespace rekna {

inline constexpr std::string_view kTemplateFileName = "ReknaTemplate.txt";
// A template file is a few kilobytes; anything beyond these is not one and is refused unread.
inline constexpr std::size_t kMaxTemplateFileBytes = std::size_t{4} << 20;
inline constexpr std::size_t kMaxTemplateNodes = 100000;

// Beside the program when its folder is writable, else in the settings folder (both given with
// a trailing "/").
[[nodiscard]] std::string TemplateFilePath(const std::string& programFolder,
                                           bool programFolderWritable,
                                           const std::string& settingsFolder);
// The snapshot's name: the file's extension replaced by year · 100 + month and ".dat"
// (".../ReknaTemplate202612.dat").
[[nodiscard]] std::string SnapshotPath(const std::string& path, int year, int month);

// The tree built from the file's text (CP932, any line ends); the tree is cleared first and its
// changed mark cleared afterwards. false when the text holds more than kMaxTemplateNodes
// headings (the tree is then left empty).
bool ParseTemplateText(std::string_view text, TTemplateTree& tree);
// The file's text (CP932, CR LF): the comment lines, every node in tree order with its body, and
// the state lines.
[[nodiscard]] std::string TemplateText(const TTemplateTree& tree);

// The file of one template window: it remembers how the file was written and whether it may be
// written at all.
class TTemplateFile {
public:
    explicit TTemplateFile(std::string path) : FPath(std::move(path)) {}

    [[nodiscard]] const std::string& Path() const noexcept { return FPath; }

    // Reads the file into the tree. A missing file leaves an empty tree and counts as read. When
    // the file was last changed in another month than now's, its bytes are also kept in the
    // month's snapshot file, unless that exists. A failed read (too large, unreadable, too many
    // headings) leaves an empty tree, and the file is then not written until the tree changes.
    TFileResult Read(TTemplateTree& tree, const std::tm& now);
    // Writes the tree through a temporary file, in the encoding, byte-order mark and line ends
    // the file was read with (PlainFileFormat() for a new file; UTF-8 when Shift_JIS cannot hold
    // the text). Nothing is written, and fsOk returned, when the last read failed and the tree has
    // not changed since. The tree's restore buffer is emptied and its changed mark cleared.
    TFileResult Write(TTemplateTree& tree);
    // The last read failed: the file on disk was not taken in.
    [[nodiscard]] bool ReadFailed() const noexcept { return FReadFailed; }
    [[nodiscard]] TDocEncoding Encoding() const noexcept { return FEncoding; }

private:
    std::string FPath;
    TDocEncoding FEncoding = TDocEncoding::deUtf8;
    bool FBom = false;
    TLineEnd FLineEnd = TLineEnd::leLf;
    bool FReadFailed = false;
};

}  // namespace rekna
