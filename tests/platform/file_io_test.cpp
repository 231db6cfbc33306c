// Tests of the parent folders a file needs and of writes in place (hard links, folders that take
// no new files); reading and replacing files are tested through the line store's files.
#include "platform/file_io.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace rekna {
namespace {

namespace fs = std::filesystem;

TEST(FileIo, ParentFoldersAreMadeOnlyWhereAFolderCanBe) {
    const fs::path root = fs::temp_directory_path() / ("rekna-io-" + std::to_string(::getpid()));
    fs::remove_all(root);
    fs::create_directories(root);
    std::ofstream(root / "file") << "x";
    struct TCase {
        std::string Path;
        bool Made;
        int Errno;
    };
    const TCase cases[] = {
        {(root / "a/b/c/settings.ini").string(), true, 0},  // missing parents made in turn
        {(root / "a/b/c/other.ini").string(), true, 0},     // an existing folder is fine
        {(root / "file/inside.ini").string(), false, ENOTDIR},
        {(root / "file/deeper/inside.ini").string(), false, ENOTDIR},
        {"relative.ini", true, 0},  // no folder to make
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Path);
        errno = 0;
        EXPECT_EQ(MakeParentFolders(c.Path), c.Made);
        if (!c.Made) {
            EXPECT_EQ(errno, c.Errno);
        }
        if (c.Made && c.Path.find('/') != std::string::npos) {
            EXPECT_TRUE(fs::is_directory(fs::path(c.Path).parent_path()));
        }
    }
    fs::remove_all(root);
}

std::string Read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TFileResult Write(const fs::path& p, const std::string& bytes) {
    return WriteFileReplacing(p.string(), [&bytes](const auto& sink) { sink(bytes); });
}

TEST(FileIo, AFileWithOtherNamesOrInAClosedFolderIsWrittenInPlace) {
    const fs::path root = fs::temp_directory_path() / ("rekna-place-" + std::to_string(::getpid()));
    fs::remove_all(root);
    fs::create_directories(root / "closed");
    std::ofstream(root / "a.txt") << "old";
    fs::create_hard_link(root / "a.txt", root / "b.txt");
    ASSERT_TRUE(Write(root / "a.txt", "new text").Ok());
    EXPECT_EQ(Read(root / "b.txt"), "new text");
    EXPECT_EQ(fs::hard_link_count(root / "a.txt"), 2u);
    EXPECT_TRUE(fs::equivalent(root / "a.txt", root / "b.txt"));
    ASSERT_TRUE(Write(root / "a.txt", "short").Ok());
    EXPECT_EQ(Read(root / "b.txt"), "short");

    // A write that fails half-way puts the old content back.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 1000;
    setrlimit(RLIMIT_FSIZE, &small);
    const TFileResult full = Write(root / "a.txt", std::string(5000, 'x'));
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_FALSE(full.Ok());
    EXPECT_EQ(Read(root / "b.txt"), "short");

    // A folder that takes no new files (the super-user's writes pass any mode).
    std::ofstream(root / "closed/c.txt") << "old";
    fs::permissions(root / "closed", fs::perms::owner_read | fs::perms::owner_exec);
    if (::geteuid() != 0) {
        EXPECT_TRUE(Write(root / "closed/c.txt", "new").Ok());
        EXPECT_EQ(Read(root / "closed/c.txt"), "new");
        EXPECT_FALSE(Write(root / "closed/d.txt", "new").Ok());
    }
    fs::permissions(root / "closed", fs::perms::owner_all);

    // Read-only: a mode that lets nobody write, whoever asks.
    ::chmod((root / "closed/c.txt").c_str(), 0444);
    EXPECT_TRUE(IsReadOnlyFile((root / "closed/c.txt").string()));
    EXPECT_FALSE(IsReadOnlyFile((root / "a.txt").string()));
    EXPECT_FALSE(IsReadOnlyFile((root / "missing.txt").string()));
    fs::remove_all(root);
}

}  // namespace
}  // namespace rekna
