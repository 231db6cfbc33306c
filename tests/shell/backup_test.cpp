// Tests of the backup rules: the start-up decision, the dated block, the exit question and the
// backup write with a fake trash.
#include "shell/backup.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <memory>

#include "editor/store/umemo_strings.h"
#include "editor/undo/umemo_undo.h"
#include "platform/cp932.h"
#include "support/number_guard.h"
#include "support/temp_folder.h"

namespace rekna {
namespace {

namespace fs = std::filesystem;
using enum TStartLoad;

TEST(Backup, StartLoadAndExitQuestion) {
    const TDate today{2024, 3, 15};
    struct {
        bool BackupOn, DateOn, Exists;
        TDate Date;
        TStartLoad Expected;
    } const rows[] = {
        {false, true, true, {2024, 3, 14}, slNone},
        {true, true, false, {2024, 3, 14}, slNone},
        {true, true, true, {2024, 3, 14}, slWithDate},
        {true, true, true, {2023, 3, 15}, slWithDate},
        {true, true, true, {2024, 3, 16}, slWithDate},
        {true, true, true, {2024, 3, 15}, slPlain},
        {true, false, true, {2024, 3, 14}, slPlain},
    };
    for (const auto& r : rows)
        EXPECT_EQ(DecideStartLoad(r.BackupOn, r.DateOn, r.Exists, r.Date, today), r.Expected)
            << r.Date.Year << "-" << r.Date.Month << "-" << r.Date.Day;
    EXPECT_TRUE(MustAskToSave(false, false, true, false));
    EXPECT_FALSE(MustAskToSave(true, false, true, false));
    EXPECT_FALSE(MustAskToSave(false, true, true, false));
    EXPECT_FALSE(MustAskToSave(false, false, false, false));
    EXPECT_FALSE(MustAskToSave(false, false, true, true));
}

std::tm LocalTime(int year, int month, int day, int hour, int minute, int second) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    t.tm_isdst = -1;
    return t;
}

TEST(Backup, DateTimeCommentPadsTheDateOnly) {
    EXPECT_EQ(DateTimeComment(LocalTime(2024, 1, 5, 9, 0, 7)),
              SysText("; 2024年01月05日 9時0分7秒"));
    EXPECT_EQ(DateTimeComment(LocalTime(1999, 12, 31, 23, 59, 59)),
              SysText("; 1999年12月31日 23時59分59秒"));
}

TEST(Backup, DateBlockAtTheEnd) {
    const test::TNumberGuard guard;
    const std::pair<std::string, std::string> rows[] = {
        {"1+2\r\nabc", "1+2|abc||; c||"},
        {"1+2\r\n", "1+2||; c||"},
        {"1+2\r\n\r\n", "1+2||; c||"},
        {"\r\n", "|; c||"},
        {"", "; c||"},
    };
    for (const auto& [text, expected] : rows) {
        TUMemoStrings m;
        ASSERT_TRUE(m.LoadBytes(text, true));
        const std::int32_t caret = AppendDateBlock(m, "; c");
        std::string got;
        for (std::int32_t r = 0; r < m.GetCount(); ++r)
            got += (r > 0 ? "|" : "") + m.Get(r);
        EXPECT_EQ(got, expected) << text;
        EXPECT_EQ(caret, m.GetCount() - 1);
        EXPECT_EQ(m.Selection().Caret, (TSelPoint{1, caret}));
        EXPECT_EQ(m.TopRow(), caret);
    }
    TUMemoStrings m;  // a narrow wrap width wraps the comment; one undo takes the block back
    auto undo = std::make_unique<TUMemoUndo>(m);
    TUMemoUndo& steps = *undo;
    m.SetRecorder(std::move(undo));
    m.SetWrapColumns(12);
    ASSERT_TRUE(m.LoadBytes("abc\r\n", true));
    const std::string comment = SysText("; 2024年01月05日 9時0分7秒");
    const std::int32_t caret = AppendDateBlock(m, comment);
    EXPECT_EQ(caret, m.GetCount() - 1);
    EXPECT_EQ(m.CheckRows(true), "");
    EXPECT_EQ(m.GetTextStr(), "abc\r\n\r\n" + comment + "\r\n\r\n");
    EXPECT_GT(m.GetCount(), 6);
    ASSERT_TRUE(steps.Undo());
    EXPECT_EQ(m.GetTextStr(), "abc");
    EXPECT_FALSE(steps.CanUndo());
}

class TFakeTrash : public TTrash {
public:
    explicit TFakeTrash(bool works) : FWorks(works) {}
    bool MoveToTrash(const std::string& path) override {
        Moved.push_back(test::ReadBytes(path));
        return FWorks && ::unlink(path.c_str()) == 0;
    }
    std::vector<std::string> Moved;

private:
    bool FWorks;
};

TEST(Backup, WritingWithAndWithoutTheTrash) {
    struct {
        bool OldExists, Recycle, TrashWorks, Moved;
    } const rows[] = {
        {true, true, true, true},   {true, true, false, true},   {true, false, true, false},
        {false, true, true, false}, {false, false, true, false},
    };
    for (const auto& r : rows) {
        test::TTempFolder dir;
        const std::string path = dir.File("BackUp.txt");
        if (r.OldExists) test::WriteBytes(path, "old\r\n");
        TFakeTrash trash(r.TrashWorks);
        EXPECT_TRUE(WriteBackup(path, "new\r\n", r.Recycle, trash).Ok());
        EXPECT_EQ(test::ReadBytes(path), "new\r\n");
        EXPECT_EQ(trash.Moved,
                  r.Moved ? std::vector<std::string>{"old\r\n"} : std::vector<std::string>{});
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), {}), 1) << "no side file";
    }
}

TEST(Backup, AFailedWriteKeepsTheOldBackupOutOfTheTrash) {
    test::TTempFolder dir;
    const std::string path = dir.File("BackUp.txt");
    test::WriteBytes(path, "old\r\n");
    ::chmod(path.c_str(), 0604);
    TFakeTrash trash(true);
    {
        const test::TWriteLimit limit;
        EXPECT_FALSE(WriteBackup(path, std::string(100, 'n'), true, trash).Ok());
    }
    EXPECT_TRUE(trash.Moved.empty());
    EXPECT_EQ(test::ReadBytes(path), "old\r\n");
    ASSERT_TRUE(WriteBackup(path, "new", true, trash).Ok());
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st) == 0 ? st.st_mode & 0777 : 0, 0604u);
    EXPECT_TRUE(WriteBackup(dir.File("a/b/BackUp.txt"), "x", true, trash).Ok());
    fs::create_directory(dir.File("folder"));
    EXPECT_FALSE(WriteBackup(dir.File("folder"), "x", true, trash).Ok());
    EXPECT_EQ(trash.Moved.size(), 1u) << "a folder never goes to the trash";
}

TEST(Backup, FileDateIsTheLocalModificationDay) {
    test::TTempFolder dir;
    const std::string path = dir.File("BackUp.txt");
    EXPECT_FALSE(FileDate(path).has_value());
    EXPECT_FALSE(FileDate(dir.Path()).has_value());
    test::WriteBytes(path, "x");
    std::tm noon = LocalTime(2021, 7, 4, 12, 0, 0);  // noon: no day change with summer time
    const std::time_t when = std::mktime(&noon);
    const timespec times[2] = {{when, 0}, {when, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    EXPECT_EQ(FileDate(path), (TDate{2021, 7, 4}));
}

}  // namespace
}  // namespace rekna
