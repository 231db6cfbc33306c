// Where the files of a start live: the settings file, its folder and a document named on the
// command line.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace rekna {

struct TStartPaths {
    // Full path of the settings file to read and write.
    std::string SettingsFile;
    // Its folder, ending in "/": the definitions file and the backup live here.
    std::string SettingsFolder;
    // A document named on the command line, else empty.
    std::string Document;
    // The program's own file name ("rekna", or what it was renamed to): settings files are named
    // after it.
    std::string ProgramName = "rekna";
    // The backup slot of this instance: the first running instance keeps "BackUp.txt", others
    // write "BackUp2.txt" and so on (see backup_slots.h).
    int BackupSlot = 1;
    [[nodiscard]] std::string DefinitionsFile() const;
    [[nodiscard]] std::string BackupFile() const;
    // Beside the backup: the name of the document whose text it holds, when it had one.
    [[nodiscard]] std::string BackupNameFile() const;
};

// Everything the decision takes from outside, so that it can be faked.
struct TStartEnv {
    // The program's own path, e.g. /usr/local/bin/rekna.
    std::string ProgramPath;
    // The first command-line argument, or empty.
    std::string Argument;
    std::string CurrentDir;
    // $XDG_CONFIG_HOME or ~/.config, resolved by the caller.
    std::string ConfigHome;
    // Whether files can be created in a folder; empty means access(W_OK).
    std::function<bool(const std::string& folder)> Writable;
};

// The user's configuration folder: $XDG_CONFIG_HOME when it is an absolute path, else
// ~/.config (the home folder from $HOME, or the user database); empty when neither is known.
[[nodiscard]] std::string ConfigHomeFolder();
// The user's state folder: $XDG_STATE_HOME when it is an absolute path, else ~/.local/state.
[[nodiscard]] std::string StateHomeFolder();

// Where the end of a session, which cannot wait for the user, keeps the memo when the backup
// beside the settings file (failed) cannot be written: configHome/rekna/, then stateHome/rekna/,
// under the failed file's name (an instance's own slot); an unknown folder and the file that
// failed are left out.
[[nodiscard]] std::vector<std::string> FallbackBackupFiles(const std::string& failed,
                                                           const std::string& configHome,
                                                           const std::string& stateHome);

// The settings file is named after the program ("rekna.ini"). An argument naming an existing
// other file makes it the document and its folder the next place to look; an argument naming a
// settings file picks it; a folder (the argument's, or the document's) that holds the settings
// name picks that file. Otherwise the current folder's settings file when it exists, else the
// one beside the program, or under ConfigHome/rekna/ when the program's folder is not
// writable or is a system folder (/usr/bin: an installed program). Nothing is created.
[[nodiscard]] TStartPaths FindStartPaths(const TStartEnv& env);

// The folders whose backups a start offers when no running instance owns them: the settings
// folder, then the session end's fallback folders (each ending in "/").
[[nodiscard]] std::vector<std::string> BackupFolders(const std::string& settingsFolder,
                                                     const std::string& configHome,
                                                     const std::string& stateHome);

}  // namespace rekna
