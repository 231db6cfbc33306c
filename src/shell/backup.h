// The backup of the memo: what is loaded at start, the dated comment, the exit question and
// the writing of the new backup.
#pragma once

#include <compare>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

#include "platform/file_io.h"

namespace rekna {

class TUMemoStrings;

struct TDate {
    int Year, Month, Day;
    auto operator<=>(const TDate&) const = default;
};

// Moves a file to the desktop's trash; injected so that tests need no desktop.
class TTrash {
public:
    virtual ~TTrash() = default;
    virtual bool MoveToTrash(const std::string& path) = 0;
};

enum class TStartLoad : std::uint8_t { slNone, slPlain, slWithDate };

// What to load at start: nothing without a backup or with backups off, the dated block when the
// backup's date is another day than today (also a later one, after the clock was set back).
[[nodiscard]] TStartLoad DecideStartLoad(bool backupOn, bool dateOn, bool backupExists,
                                         TDate backupDate, TDate today) noexcept;

// "; yyyy年mm月dd日 h時n分s秒" in CP932, from a broken-down local time.
[[nodiscard]] std::string DateTimeComment(const std::tm& now);

// Adds the dated block at the end of a loaded backup in one edit group (one undo step): an empty
// row when the last row is not empty, one more empty row, the comment (wrapped like any line),
// two empty rows. Puts the caret on the last row, makes it the store's top row and returns it,
// for the view to scroll there.
std::int32_t AppendDateBlock(TUMemoStrings& memo, const std::string& comment);

// The exit question is asked when neither BackUpInfo nor FileBackUp is on, the memo is modified
// and its text is not empty.
[[nodiscard]] bool MustAskToSave(bool backUpInfo, bool fileBackUp, bool modified,
                                 bool textEmpty) noexcept;

// Writes bytes as the new backup (creating the folder when missing); with recycle on, an existing
// old backup file goes to the trash. The new text is complete on disk, in a hidden file beside
// the backup, before the old one is moved, so that a failed write leaves the old backup where it
// was and out of the trash. A trash that fails does not stop the writing: the old backup is then
// replaced. Should the final rename fail, the new text stays in the hidden file.
[[nodiscard]] TFileResult WriteBackup(const std::string& path, std::string_view bytes, bool recycle,
                                      TTrash& trash);

// The modification date of path in local time, or nothing when it is no existing regular file.
[[nodiscard]] std::optional<TDate> FileDate(const std::string& path);

}  // namespace rekna
