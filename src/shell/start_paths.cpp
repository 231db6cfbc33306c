// Finding the settings file and the command line's document at start.
#include "shell/start_paths.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

#include <filesystem>
#include <system_error>

#include "platform/program_place.h"
#include "shell/backup_slots.h"

namespace rekna {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kFallbackProgram = "rekna";

[[nodiscard]] bool IsFile(const fs::path& p) {
    std::error_code ec;
    return fs::is_regular_file(p, ec);
}

[[nodiscard]] bool IsFolder(const fs::path& p) {
    std::error_code ec;
    return fs::is_directory(p, ec);
}

// Relative paths are taken from the current folder; "." and ".." are folded away without
// touching the file system, so that symbolic links stay as the user named them.
[[nodiscard]] fs::path Absolute(const std::string& path, const std::string& currentDir) {
    fs::path p(path);
    if (p.is_relative() && !currentDir.empty()) p = fs::path(currentDir) / p;
    return p.lexically_normal();
}

// The folder of a file path with a closing "/".
[[nodiscard]] std::string FolderOf(const fs::path& file) {
    std::string folder = file.parent_path().string();
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

[[nodiscard]] bool DefaultWritable(const std::string& folder) {
    return ::access(folder.c_str(), W_OK) == 0;
}

[[nodiscard]] TStartPaths SettingsAt(const fs::path& file, std::string document) {
    TStartPaths paths;
    paths.SettingsFile = file.string();
    paths.SettingsFolder = FolderOf(file);
    paths.Document = std::move(document);
    return paths;
}

}  // namespace

namespace {

// $variable when it is an absolute path, else the home folder (from $HOME, or the user
// database) with fallback appended; empty when neither is known.
std::string XdgFolder(const char* variable, const char* fallback) {
    if (const char* xdg = std::getenv(variable); xdg && *xdg == '/') return xdg;
    const char* home = std::getenv("HOME");
    if (!home || *home == '\0') {
        const passwd* user = ::getpwuid(::getuid());
        home = user ? user->pw_dir : nullptr;
    }
    return home && *home ? std::string(home) + fallback : std::string();
}

}  // namespace

std::string ConfigHomeFolder() {
    return XdgFolder("XDG_CONFIG_HOME", "/.config");
}

std::string StateHomeFolder() {
    return XdgFolder("XDG_STATE_HOME", "/.local/state");
}

std::vector<std::string> FallbackBackupFiles(const std::string& failed,
                                             const std::string& configHome,
                                             const std::string& stateHome) {
    std::vector<std::string> out;
    for (const std::string& home : {configHome, stateHome}) {
        if (home.empty()) continue;
        std::string file = home + "/rekna/" + fs::path(failed).filename().string();
        std::error_code ec;
        if (fs::weakly_canonical(file, ec) == fs::weakly_canonical(failed, ec)) continue;
        if (std::find(out.begin(), out.end(), file) == out.end()) out.push_back(std::move(file));
    }
    return out;
}

std::string TStartPaths::DefinitionsFile() const {
    return SettingsFolder + "ReknaDef.txt";
}

std::string TStartPaths::BackupFile() const {
    return BackupSlotFile(SettingsFolder, BackupSlot, ".txt");
}

std::string TStartPaths::BackupNameFile() const {
    return BackupSlotFile(SettingsFolder, BackupSlot, ".name");
}

std::vector<std::string> BackupFolders(const std::string& settingsFolder,
                                       const std::string& configHome,
                                       const std::string& stateHome) {
    std::vector<std::string> folders{settingsFolder};
    for (const std::string& home : {configHome, stateHome}) {
        if (!home.empty()) folders.push_back(home + "/rekna/");
    }
    return folders;
}

namespace {

TStartPaths FindSettings(const TStartEnv& env, const fs::path& program,
                         const std::string& programName) {
    const std::string settingsName = programName + ".ini";
    std::string document;
    if (!env.Argument.empty()) {
        const fs::path arg = Absolute(env.Argument, env.CurrentDir);
        fs::path folder;
        if (IsFile(arg)) {
            if (arg.filename() == settingsName) return SettingsAt(arg, {});
            document = arg.string();
            folder = arg.parent_path();
        } else if (IsFolder(arg)) {
            folder = arg;
        }
        if (!folder.empty() && IsFile(folder / settingsName))
            return SettingsAt(folder / settingsName, document);
    }

    if (!env.CurrentDir.empty()) {
        const fs::path here = fs::path(env.CurrentDir).lexically_normal() / settingsName;
        if (IsFile(here)) return SettingsAt(here, document);
    }

    const auto& writable = env.Writable ? env.Writable : DefaultWritable;
    const fs::path programFolder = program.parent_path();
    if (!programFolder.empty() &&
        KeepsFilesBesideProgram(programFolder.string(), writable(programFolder.string())))
        return SettingsAt(programFolder / settingsName, document);
    if (!env.ConfigHome.empty())
        return SettingsAt(fs::path(env.ConfigHome).lexically_normal() / "rekna" / settingsName,
                          document);
    // Nowhere to keep settings but the current folder.
    return SettingsAt(fs::path(env.CurrentDir.empty() ? "." : env.CurrentDir).lexically_normal() /
                          settingsName,
                      document);
}

}  // namespace

TStartPaths FindStartPaths(const TStartEnv& env) {
    const fs::path program =
        env.ProgramPath.empty() ? fs::path() : Absolute(env.ProgramPath, env.CurrentDir);
    std::string programName = program.filename().string();
    if (programName.empty()) programName = kFallbackProgram;

    TStartPaths found = FindSettings(env, program, programName);
    found.ProgramName = programName;
    return found;
}

}  // namespace rekna
