// Tests of loading, appending and saving: every byte survives, failures are reported and leave
// the store and the target alone.
#include "editor/commands/past_string_list.h"
#include "editor/store/umemo_strings.h"
#include "platform/file_io.h"
#include "store_helpers.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>

namespace rekna {
namespace {

namespace fs = std::filesystem;
using test::Dump;
using test::J;

// What saving must give back for loaded bytes: every line followed by CR LF.
std::string Normalized(std::string_view bytes) {
    std::string out;
    std::size_t pos = 0;
    std::string_view line;
    while (NextTextLine(bytes, pos, line))
        out.append(line).append("\r\n");
    return out;
}

class TTempDir {
public:
    TTempDir() {
        std::string pattern = (fs::temp_directory_path() / "rekna-files-XXXXXX").string();
        FPath = ::mkdtemp(pattern.data());
    }
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;
    ~TTempDir() {
        std::error_code ignored;
        fs::remove_all(FPath, ignored);
    }
    [[nodiscard]] std::string File(const std::string& name) const { return FPath + "/" + name; }
    [[nodiscard]] std::size_t Entries() const {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(FPath), {}));
    }

private:
    std::string FPath;
};

std::string ReadFile(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void WriteFile(const std::string& name, std::string_view bytes) {
    std::ofstream out(name, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

TEST(LineFiles, SaveWritesALineEndAfterEveryLine) {
    TUMemoStrings s;
    s.Add("a");
    s.Add("b");
    EXPECT_EQ(s.SaveBytes(), "a\r\nb\r\n");
    EXPECT_EQ(s.GetTextStr(), "a\r\nb");
    TUMemoStrings empty;
    EXPECT_EQ(empty.SaveBytes(), "");
    empty.Add("");
    EXPECT_EQ(empty.SaveBytes(), "\r\n");
}

// Any bytes, wrapped at any width and re-wrapped at another, save as they were loaded.
TEST(LineFiles, ArbitraryBytesSurviveLoadingWrappingAndSaving) {
    std::mt19937 rng(7);
    std::vector<std::string> inputs = {
        "",
        "\r\n",
        "a\rb\nc\r\nd",
        std::string("nul\0inside\r\n\0", 14),
        J("全角") + J("あ").substr(0, 1) + "\r\n" +
            J("あ").substr(0, 1),  // lone lead bytes at ends
        std::string(5000, 'x') + "\r\n" + std::string(3000, '\t'),
        J("    インデント") + std::string(300, ' ') + J("「。」"),
    };
    for (int i = 0; i < 40; ++i) {
        std::string bytes(static_cast<std::size_t>(rng() % 400), '\0');
        for (char& c : bytes)
            c = static_cast<char>(rng() % 256);
        inputs.push_back(bytes);
    }
    for (const std::string& input : inputs) {
        for (std::int32_t wrap : {0, 1, 2, 5, 10, 68}) {
            for (bool autoIndent : {false, true}) {
                TUMemoStrings s;
                test::Configure(s, {wrap, 4, autoIndent, true});
                ASSERT_TRUE(s.LoadBytes(input, false));
                ASSERT_EQ(s.SaveBytes(), Normalized(input)) << "wrap " << wrap;
                ASSERT_EQ(s.CheckRows(true), "");
                s.SetWrapColumns(wrap == 10 ? 3 : 10);
                ASSERT_EQ(s.SaveBytes(), Normalized(input)) << "re-wrapped from " << wrap;
                ASSERT_EQ(s.CheckRows(true), "");
            }
        }
    }
}

TEST(LineFiles, LongLinesBecomeSeveralRows) {
    TUMemoStrings s;
    s.SetWrapColumns(10);
    s.Add("old");
    ASSERT_TRUE(s.LoadBytes("abcdefghijklmnopqrstuvwxy\r\nshort\r\n", false));
    EXPECT_EQ(Dump(s), "abcdefghij~klmnopqrst~uvwxy|short");
    EXPECT_FALSE(s.IsChanged());
}

TEST(LineFiles, FileRoundTripAndUndoList) {
    TTempDir dir;
    const std::string name = dir.File("memo.txt");
    std::string bytes;
    for (int i = 0; i < 256; ++i)
        bytes += static_cast<char>(i);
    bytes += "\r\n" + J("メモ") + "\n\n";
    WriteFile(name, bytes);

    TUMemoStrings s;
    test::TTestRecorder& rec = test::InstallRecorder(s);
    s.SetWrapColumns(7);
    s.Add("before");
    ASSERT_TRUE(s.LoadFile(name, false).Ok());
    EXPECT_TRUE(rec.Items.empty());
    EXPECT_TRUE(rec.Enabled) << "recording is on again after loading";
    EXPECT_FALSE(s.IsChanged());

    s.Put(0, s.Get(0));  // no change, nothing recorded
    EXPECT_TRUE(rec.Items.empty());
    s.Add("more");
    EXPECT_FALSE(rec.Items.empty());
    const std::string saved = dir.File("saved.txt");
    ASSERT_TRUE(s.SaveToFile(saved).Ok());
    EXPECT_TRUE(rec.Items.empty()) << "a saved document has nothing to undo";
    EXPECT_EQ(ReadFile(saved), Normalized(bytes) + "more\r\n");
    EXPECT_EQ(dir.Entries(), 2u) << "no temporary file is left behind";
}

TEST(LineFiles, FailedSavesAreReportedAndLeaveTheTargetAlone) {
    TTempDir dir;
    TUMemoStrings s;
    test::TTestRecorder& rec = test::InstallRecorder(s);
    s.Add("text");
    ASSERT_EQ(rec.Items.size(), 1u);

    const TFileResult missingDir = s.SaveToFile(dir.File("no/such/dir.txt"));
    EXPECT_EQ(missingDir.Status, TFileStatus::fsWriteError);
    EXPECT_EQ(missingDir.Errno, ENOENT);
    EXPECT_FALSE(missingDir.Message().empty());
    EXPECT_EQ(rec.Items.size(), 1u) << "a failed save keeps the document modified";

    const std::string folder = dir.File("folder");
    fs::create_directory(folder);
    WriteFile(folder + "/inside.txt", "keep");
    const TFileResult onDir = s.SaveToFile(folder);
    EXPECT_EQ(onDir.Status, TFileStatus::fsWriteError);
    EXPECT_EQ(ReadFile(folder + "/inside.txt"), "keep");
    EXPECT_EQ(dir.Entries(), 1u) << "the temporary file is removed";
}

TEST(LineFiles, OnlyRegularFilesAreReadOrReplaced) {
    TTempDir dir;
    const std::string fifo = dir.File("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    TUMemoStrings s;
    s.Add("keep");
    EXPECT_EQ(s.LoadFile(fifo, false).Status, TFileStatus::fsReadError) << "without blocking";
    EXPECT_EQ(s.LoadFile("/dev/zero", false).Errno, EINVAL) << "without reading forever";
    const TFileResult saved = s.SaveToFile(fifo);
    EXPECT_EQ(saved.Status, TFileStatus::fsWriteError);
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_EQ(dir.Entries(), 1u);
    EXPECT_EQ(Dump(s), "keep");
}

TEST(LineFiles, SavingKeepsPermissionsAndSymbolicLinks) {
    TTempDir dir;
    const std::string target = dir.File("target.txt");
    WriteFile(target, "old\r\n");
    ::chmod(target.c_str(), 0640);
    const std::string link = dir.File("link.txt");
    fs::create_symlink(target, link);

    TUMemoStrings s;
    s.Add("new");
    ASSERT_TRUE(s.SaveToFile(link).Ok());
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadFile(target), "new\r\n");
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST(LineFiles, FailedLoadsAreReportedAndLeaveTheStoreAlone) {
    TTempDir dir;
    TUMemoStrings s;
    s.Add("keep");
    s.Selection().Caret = {3, 0};
    const TFileResult missing = s.LoadFile(dir.File("missing.txt"), false);
    EXPECT_EQ(missing.Status, TFileStatus::fsNotFound);
    const TFileResult folder = s.LoadFile(dir.File(""), false);
    EXPECT_EQ(folder.Status, TFileStatus::fsReadError);
    EXPECT_EQ(folder.Errno, EISDIR);
    EXPECT_EQ(s.AppendFile(dir.File("missing.txt")).Status, TFileStatus::fsNotFound);
    EXPECT_EQ(Dump(s), "keep");
    EXPECT_EQ(s.Selection().Caret, (TSelPoint{3, 0}));
}

TEST(LineFiles, LoadToEndShowsTheLastPage) {
    TUMemoStrings s;
    s.SetVisibleRows(3);
    ASSERT_TRUE(s.LoadBytes("1\r\n2\r\n3\r\n4\r\n5\r\n", true));
    EXPECT_EQ(s.Selection().Caret, (TSelPoint{1, 4}));
    EXPECT_EQ(s.TopRow(), 2);
    EXPECT_EQ(s.LeftCol(), 1);
    ASSERT_TRUE(s.LoadBytes("1\r\n2\r\n3\r\n4\r\n5\r\n", false));
    EXPECT_EQ(s.Selection().Caret, (TSelPoint{1, 0}));
    EXPECT_EQ(s.TopRow(), 0);
}

TEST(LineFiles, AppendAddsWrappedLinesThatCanBeTakenBack) {
    TTempDir dir;
    const std::string name = dir.File("more.txt");
    WriteFile(name, "abcdefghijkl\r\nxy");
    TUMemoStrings s;
    test::TTestRecorder& rec = test::InstallRecorder(s);
    s.SetWrapColumns(10);
    s.Add("one");
    s.Add("two");
    const int clears = rec.Clears;
    ASSERT_TRUE(s.AppendFile(name).Ok());
    EXPECT_EQ(Dump(s), "one|two|abcdefghij~kl|xy");
    EXPECT_EQ(rec.Clears, clears + 1);
    EXPECT_EQ(s.Selection().Caret, (TSelPoint{1, 2}));
    EXPECT_EQ(s.TopRow(), 1);
    ASSERT_TRUE(rec.TakeBack(s));
    EXPECT_EQ(Dump(s), "one|two");
}

}  // namespace
}  // namespace rekna
