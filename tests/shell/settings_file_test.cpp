// Tests of the settings file: its bytes, tolerant reading, refused files and failed writes.
#include "shell/settings_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <random>

#include "platform/cp932.h"
#include "support/temp_folder.h"

namespace rekna {
namespace {

std::string Dump(const TMemorySettings& s) {
    std::string out;
    for (const auto& [k, v] : s.Entries())
        out += "[" + k + "|" + v + "]";
    return out;
}

TEST(SettingsFile, HeaderAndCrLfLinesWithoutLineEndsInsideEntries) {
    test::TTempFolder dir;
    TMemorySettings s;
    s.Set("Font.Name", SysText("ＭＳ ゴシック"));
    s.Set("With", "a=b");
    s.Set("FileName", "/a\r\nDoubleRun=1\nx");  // a newline in a file name adds no key
    s.Set("Bad\nKey", "1");
    s.Set("", "no key");
    const std::string path = dir.File("new/deeper/rekna.ini");
    const TSettingsFormat sjis{TDocEncoding::deCp932, false, TLineEnd::leCrLf};
    ASSERT_TRUE(WriteSettingsFile(path, s, sjis).Ok()) << "missing folders are made";
    EXPECT_EQ(test::ReadBytes(path), SysText("Rekna.初期設定ファイル\r\nFont.Name=ＭＳ ゴシック\r\n"
                                             "With=a=b\r\nFileName=/aDoubleRun=1x\r\n"));
    // A new file is UTF-8 with LF; either is read back as it was written, and a character that
    // CP932 lacks makes even a Shift_JIS file UTF-8 rather than a "?".
    ASSERT_TRUE(WriteSettingsFile(path, s).Ok());
    EXPECT_EQ(test::ReadBytes(path), "Rekna.初期設定ファイル\nFont.Name=ＭＳ ゴシック\n"
                                     "With=a=b\nFileName=/aDoubleRun=1x\n");
    TMemorySettings read;
    TSettingsFormat format{TDocEncoding::deCp932, true, TLineEnd::leCrLf};
    ASSERT_TRUE(ReadSettingsFile(path, read, &format).Ok());
    EXPECT_EQ(read.Get("Font.Name"), s.Get("Font.Name"));
    EXPECT_EQ(format.Encoding, TDocEncoding::deUtf8);
    EXPECT_EQ(format.LineEnd, TLineEnd::leLf);
    EXPECT_FALSE(format.Bom);
    s.Set("Font.Name", Utf8ToCp932("Font µ"));
    ASSERT_TRUE(WriteSettingsFile(path, s, sjis).Ok());
    EXPECT_NE(test::ReadBytes(path).find("Font.Name=Font µ\r\n"), std::string::npos);
}

TEST(SettingsFile, ReadingToleratesWhateverTheFileHolds) {
    const std::string lead = SysText("全").substr(0, 1);  // a cut double-byte character
    struct {
        std::string Bytes, Expected;
    } const rows[] = {
        {SysText("Rekna.初期設定ファイル") + "\r\na=1\r\nb=2\r\n", "[a|1][b|2]"},
        {"a=1\nb=2", "[a|1][b|2]"},
        {"a=1\rb=2\r", "[a|1][b|2]"},
        {"garbage\r\n\r\n\n\ra=1\r\n= v\r\na=2\r\n", "[a|1][| v]"},
        {std::string("a=1\0b\r\nb=2", 10), std::string("[a|1\0b][b|2]", 12)},
        {"k=" + lead, "[k|" + lead + "]"},
        {"\xEF\xBB\xBFu=\xE6\x97\xA5\r\n", "[u|" + SysText("日") + "]"},  // UTF-8
        {"", ""},
    };
    test::TTempFolder dir;
    const std::string path = dir.File("rekna.ini");
    for (const auto& r : rows) {
        test::WriteBytes(path, r.Bytes);
        TMemorySettings read;
        ASSERT_TRUE(ReadSettingsFile(path, read).Ok());
        EXPECT_EQ(Dump(read), r.Expected);
    }
    std::mt19937 random(7);
    for (int round = 0; round < 100; ++round) {
        std::string bytes(random() % 100000, '\0');
        for (char& c : bytes)
            c = static_cast<char>(random() % 8 == 0 ? "=\r\n"[random() % 3] : random());
        test::WriteBytes(path, bytes);
        TMemorySettings read;
        ASSERT_TRUE(ReadSettingsFile(path, read).Ok());
        for (const auto& [k, v] : read.Entries())
            ASSERT_EQ((k + v).find_first_of("\r\n"), std::string::npos);
    }
}

TEST(SettingsFile, RefusedFilesAndFailedWritesKeepWhatWasThere) {
    test::TTempFolder dir;
    TMemorySettings keep;
    keep.Set("a", "1");
    test::WriteBytes(dir.File("huge.ini"), std::string(kMaxSettingsFileBytes + 1, 'x'));
    ::mkdir(dir.File("folder.ini").c_str(), 0755);
    EXPECT_EQ(ReadSettingsFile(dir.File("missing.ini"), keep).Status, TFileStatus::fsNotFound);
    for (const std::string& path :
         {dir.File("huge.ini"), dir.File("folder.ini"), std::string("/dev/zero")})
        EXPECT_EQ(ReadSettingsFile(path, keep).Status, TFileStatus::fsReadError) << path;
    EXPECT_EQ(Dump(keep), "[a|1]");

    const std::string path = dir.File("rekna.ini");
    test::WriteBytes(path, "old=1\r\n");
    keep.Set("a", std::string(100, 'n'));
    {
        const test::TWriteLimit limit;
        EXPECT_EQ(WriteSettingsFile(path, keep).Status, TFileStatus::fsWriteError);
    }
    if (::geteuid() != 0) {  // folder permissions do not stop root
        ::chmod(dir.Path().c_str(), 0555);
        EXPECT_EQ(WriteSettingsFile(path, keep).Status, TFileStatus::fsWriteError);
        ::chmod(dir.Path().c_str(), 0755);
    }
    EXPECT_EQ(test::ReadBytes(path), "old=1\r\n");
    EXPECT_FALSE(WriteSettingsFile(path + "/x.ini", keep).Ok()) << "a file as the folder";
}

TEST(SettingsFile, SettingsFileNames) {
    const std::pair<std::string_view, bool> rows[] = {
        {"rekna.ini", true},        {"/a/b/Rekna.INI", true},    {"ReknaWork.ini", true},
        {"/x.ini/rekna.Ini", true}, {"rekna.ini.txt", false},    {"rekna", false},
        {"my-rekna.ini", false},    {"/rekna.ini/a.ini", false}, {"rekn.ini", false},
    };
    for (const auto& [path, expected] : rows)
        EXPECT_EQ(IsSettingsFileName(path, "rekna"), expected) << path;
    EXPECT_FALSE(IsSettingsFileName("rekna.ini", ""));
}

TEST(SettingsFile, MergingKeepsWhatAnotherInstanceWroteMeanwhile) {
    const auto store = [](std::string_view text) {
        TMemorySettings s;
        s.SetText(text);
        return s;
    };
    // Mine changed A, the other instance B; C is changed by both (mine wins), D only on disk is
    // not mine to write, E is new here.
    const TMemorySettings merged =
        MergeSettings(store("A=2\r\nB=1\r\nC=2\r\nE=5"), store("A=1\r\nB=1\r\nC=1\r\nD=1"),
                      store("A=1\r\nB=3\r\nC=3\r\nD=4"));
    EXPECT_EQ(merged.Text(), "A=2\r\nB=3\r\nC=2\r\nE=5\r\n");
}

}  // namespace
}  // namespace rekna
