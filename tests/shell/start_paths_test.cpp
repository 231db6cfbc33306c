// Tests of where the settings file and the command line's document are found.
#include "shell/start_paths.h"

#include <gtest/gtest.h>

#include "platform/program_place.h"
#include "support/temp_folder.h"

namespace rekna {
namespace {

namespace fs = std::filesystem;

TEST(StartPaths, EveryKindOfArgument) {
    test::TTempFolder dir;
    for (const char* folder : {"bin", "here", "bare", "docs", "plain", "set", "cfg"})
        fs::create_directory(dir.File(folder));
    for (const char* file : {"bin/rekna", "here/rekna.ini", "docs/memo.txt", "docs/rekna.ini",
                             "plain/note.txt", "plain/Rekna.ini", "set/rekna.ini"})
        test::WriteBytes(dir.File(file), "x");
    const std::string root = dir.Path() + "/";
    struct {
        std::string Argument;
        const char* Current;
        bool Writable;
        const char* Settings;
        const char* Document;
    } const rows[] = {
        {"", "bare", true, "bin/rekna.ini", ""},
        {"", "bare", false, "cfg/rekna/rekna.ini", ""},
        {"", "here", false, "here/rekna.ini", ""},
        {root + "docs/memo.txt", "bare", true, "docs/rekna.ini", "docs/memo.txt"},
        {"../docs/./memo.txt", "bare", true, "docs/rekna.ini", "docs/memo.txt"},
        {root + "plain/note.txt", "here", true, "here/rekna.ini", "plain/note.txt"},
        {root + "plain/note.txt", "bare", false, "cfg/rekna/rekna.ini", "plain/note.txt"},
        {root + "plain/Rekna.ini", "bare", true, "bin/rekna.ini", "plain/Rekna.ini"},
        {root + "set/rekna.ini", "here", true, "set/rekna.ini", ""},
        {"../set", "here", true, "set/rekna.ini", ""},
        {root + "set/", "bare", false, "set/rekna.ini", ""},
        {root + "plain", "bare", true, "bin/rekna.ini", ""},
        {"missing.txt", "here", true, "here/rekna.ini", ""},
        {root + "docs/no/rekna.ini", "bare", false, "cfg/rekna/rekna.ini", ""},
    };
    for (const auto& r : rows) {
        std::string asked;
        const TStartEnv env{dir.File("bin/rekna"), r.Argument, dir.File(r.Current), dir.File("cfg"),
                            [&](const std::string& folder) {
                                asked = folder;
                                return r.Writable;
                            }};
        const TStartPaths p = FindStartPaths(env);
        const std::string where = r.Argument + " in " + r.Current;
        EXPECT_EQ(p.SettingsFile, root + r.Settings) << where;
        EXPECT_EQ(p.Document, *r.Document ? root + r.Document : "") << where;
        EXPECT_EQ(p.BackupFile(), fs::path(p.SettingsFile).replace_filename("BackUp.txt"));
        EXPECT_TRUE(asked.empty() || asked == dir.File("bin")) << where;
    }
    EXPECT_FALSE(fs::exists(dir.File("cfg/rekna"))) << "nothing is created";
    // The real access test, and a program named relative to the current folder.
    const TStartEnv env{"bin/rekna", "", dir.Path(), dir.File("cfg"), nullptr};
    EXPECT_EQ(FindStartPaths(env).SettingsFile, dir.File("bin/rekna.ini"));
    EXPECT_EQ(FindStartPaths(env).DefinitionsFile(), dir.File("bin/ReknaDef.txt"));
}

// An installed program keeps its files in the user's folder even where it may write (root, CI).
TEST(StartPaths, InstalledProgramNeverWritesBesideItself) {
    const struct {
        const char* Folder;
        bool System;
    } rows[] = {
        {"/usr/bin", true},
        {"/usr/local/bin/", true},
        {"/usr", true},
        {"/bin", true},
        {"/opt/rekna/bin", true},
        {"/snap/rekna/1/bin", true},
        {"/usrlocal/bin", false},
        {"/home/me/rekna", false},
        {"/tmp/build", false},
        {"usr/bin", false},
        {"", false},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(IsSystemProgramFolder(r.Folder), r.System) << r.Folder;
        EXPECT_EQ(KeepsFilesBesideProgram(r.Folder, true), !r.System) << r.Folder;
        EXPECT_FALSE(KeepsFilesBesideProgram(r.Folder, false)) << r.Folder;
    }
    const auto writable = [](const std::string&) { return true; };
    for (const char* program : {"/usr/bin/rekna", "/usr/local/bin/rekna"}) {
        const TStartEnv env{program, "", "/nonexistent", "/home/me/.config", writable};
        EXPECT_EQ(FindStartPaths(env).SettingsFile, "/home/me/.config/rekna/rekna.ini") << program;
    }
}

}  // namespace
}  // namespace rekna
