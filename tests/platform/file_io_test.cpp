// Tests of the parent folders a file needs; reading and replacing files are tested through the
// line store's files.
#include "platform/file_io.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>

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
        if (!c.Made) EXPECT_EQ(errno, c.Errno);
        if (c.Made && c.Path.find('/') != std::string::npos)
            EXPECT_TRUE(fs::is_directory(fs::path(c.Path).parent_path()));
    }
    fs::remove_all(root);
}

}  // namespace
}  // namespace rekna
