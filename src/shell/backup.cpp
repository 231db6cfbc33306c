// The backup rules: the start-up load, the dated block, the exit question and the backup write.
#include "shell/backup.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>

#include "editor/store/umemo_strings.h"
#include "platform/cp932.h"
#include "shell/settings_file.h"

namespace rekna {

namespace {

// The side file that takes the new backup while the old one is still in place.
[[nodiscard]] std::string SideFile(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::size_t start = slash == std::string::npos ? 0 : slash + 1;
    return path.substr(0, start) + "." + path.substr(start) + ".new";
}

[[nodiscard]] TFileResult WriteBytes(const std::string& path, std::string_view bytes) {
    return WriteFileReplacing(path, [&](const auto& sink) { sink(bytes); });
}

}  // namespace

TStartLoad DecideStartLoad(bool backupOn, bool dateOn, bool backupExists, TDate backupDate,
                           TDate today) noexcept {
    if (!backupOn || !backupExists) return TStartLoad::slNone;
    // A backup dated after today (a clock set back) is not of today either.
    return dateOn && backupDate != today ? TStartLoad::slWithDate : TStartLoad::slPlain;
}

std::string DateTimeComment(const std::tm& now) {
    static const std::string year = SysText("年"), month = SysText("月"), day = SysText("日"),
                             hour = SysText("時"), minute = SysText("分"), second = SysText("秒");
    char date[32];
    std::snprintf(date, sizeof date, "%04lld", static_cast<long long>(now.tm_year) + 1900);
    std::string text = "; ";
    text += date;
    text += year;
    std::snprintf(date, sizeof date, "%02d", now.tm_mon + 1);
    text += date;
    text += month;
    std::snprintf(date, sizeof date, "%02d", now.tm_mday);
    text += date;
    text += day;
    text += ' ';
    text += std::to_string(now.tm_hour) + hour;
    text += std::to_string(now.tm_min) + minute;
    text += std::to_string(now.tm_sec) + second;
    return text;
}

std::int32_t AppendDateBlock(TUMemoStrings& memo, const std::string& comment) {
    const TEditGroup group(memo, true);
    const std::int32_t count = memo.GetCount();
    if (count > 0 && !memo.Get(count - 1).empty()) memo.Add("");
    const std::int32_t commentRow = memo.Add("");
    // SetLine wraps the comment like typed text when the wrap width is narrower than it.
    memo.SetLine(commentRow, comment);
    memo.Add("");
    const std::int32_t last = memo.Add("");
    memo.Selection().SetCaret(memo, TSelPoint{1, last}, TSelMode::smNone);
    memo.SetTopRow(last);
    return last;
}

bool MustAskToSave(bool backUpInfo, bool fileBackUp, bool modified, bool textEmpty) noexcept {
    return !backUpInfo && !fileBackUp && modified && !textEmpty;
}

TFileResult WriteBackup(const std::string& path, std::string_view bytes, bool recycle,
                        TTrash& trash) {
    if (!MakeParentFolders(path)) return {TFileStatus::fsWriteError, errno};
    // Only an old backup file goes to the trash; anything else of that name is left for the
    // replacing write to refuse.
    struct stat old {};
    const bool oldFile = ::stat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode);
    if (!recycle || !oldFile) return WriteBytes(path, bytes);

    // A full disk or a refused trash must never leave the user without any backup.
    const std::string side = SideFile(path);
    if (const TFileResult written = WriteBytes(side, bytes); !written.Ok()) return written;
    (void)::chmod(side.c_str(), old.st_mode & 07777);
    (void)trash.MoveToTrash(path);
    if (::rename(side.c_str(), path.c_str()) != 0) return {TFileStatus::fsWriteError, errno};
    return {};
}

std::optional<TDate> FileDate(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    std::tm local{};
    if (::localtime_r(&st.st_mtime, &local) == nullptr) return std::nullopt;
    return TDate{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

}  // namespace rekna
