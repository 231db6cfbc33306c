// Tests of which files are read as the program's settings at start.
#include "shell/program_settings.h"

#include <gtest/gtest.h>

#include "shell/settings_file.h"
#include "shell/start_paths.h"
#include "support/temp_folder.h"

namespace rekna {
namespace {

TEST(ProgramSettings, OnlyAFileOfTheProgramWithOneOfItsKeysIsRead) {
    test::TTempFolder dir;
    const std::string header = SettingsHeader() + "\r\n";
    struct {
        const char* File;
        const char* Program;
        std::string Text;
        bool Read;
    } const rows[] = {
        {"rekna.ini", "rekna", header + "Hide0=0\r\n", true},
        {"rekna.ini", "rekna", header + "FileBackUp=0\r\n", true},
        {"rekna.ini", "rekna", "garbage\r\nfoo=bar\r\n\x81\x7c=1\r\n", false},
        {"rekna.ini", "rekna", "", false},
        {"rekna.ini", "rekna", std::string("\0\0\0=\0", 5), false},
        // A renamed program reads the file of its own name, and only that.
        {"memo.ini", "memo", header + "Eng1=0\r\n", true},
        {"memo.ini", "rekna", header + "Eng1=0\r\n", false},
        {"rekna.ini", "memo", header + "Eng1=0\r\n", false},
    };
    for (const auto& r : rows) {
        test::WriteBytes(dir.File(r.File), r.Text);
        TMemorySettings store;
        store.Set("Kept", "1");
        const bool read = ReadProgramSettings(dir.File(r.File), r.Program, store);
        EXPECT_EQ(read, r.Read) << r.File << " as " << r.Program << ": " << r.Text;
        // What was not read leaves the store as it was.
        EXPECT_EQ(store.Get("Kept").has_value(), !r.Read);
    }
    TMemorySettings store;
    EXPECT_FALSE(ReadProgramSettings(dir.File("missing.ini"), "rekna", store));
}

TEST(ProgramSettings, TheSettingsFileIsNamedAfterTheProgramBothWays) {
    test::TTempFolder dir;
    std::filesystem::create_directory(dir.File("bin"));
    for (const char* name : {"rekna", "memo"}) {
        const TStartEnv env{dir.File(std::string("bin/") + name), "", dir.Path(), dir.File("cfg"),
                            [](const std::string&) { return true; }};
        const TStartPaths p = FindStartPaths(env);
        EXPECT_EQ(p.ProgramName, name);
        EXPECT_EQ(p.SettingsFile, dir.File(std::string("bin/") + name + ".ini"));
        EXPECT_TRUE(IsSettingsFileName(p.SettingsFile, p.ProgramName));
    }
}

}  // namespace
}  // namespace rekna
