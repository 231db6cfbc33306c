// TToolHost: what the tool windows (graph, print preview, find, templates, options, hot keys)
// use of the main window, so that they never depend on the main window itself.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>

class QAction;
class QMainWindow;

namespace rekna {

class TVtFrameCalc;
struct TMainSettings;

// The texts the tool windows keep in the settings file (PreView.*, Template.*, ...), by key.
using TKeptSettings = std::map<std::string, std::string, std::less<>>;

class TToolHost {
public:
    TToolHost() = default;
    TToolHost(const TToolHost&) = delete;
    TToolHost& operator=(const TToolHost&) = delete;
    virtual ~TToolHost() = default;

    // The main window: the parent of the tool windows, its geometry, status bar and events.
    [[nodiscard]] virtual QMainWindow& Window() noexcept = 0;
    [[nodiscard]] virtual TVtFrameCalc* VtFrameCalc1() const noexcept = 0;
    // A main-window action ("ActionFileExit"), or a frame action of that name; null when none.
    [[nodiscard]] virtual QAction* Action(std::string_view name) const = 0;
    // The main window's settings; the window writes them at the exit.
    [[nodiscard]] virtual TMainSettings& Settings() noexcept = 0;
    // Read by the main window's start, written with its settings file.
    [[nodiscard]] virtual TKeptSettings& KeptSettings() noexcept = 0;
    // The folder of the settings file, and the memo backup's file (its ".kgd" sits beside it).
    [[nodiscard]] virtual std::string SettingsFolder() const = 0;
    [[nodiscard]] virtual std::string BackupFile() const = 0;
    // Called before a backup file beside the memo backup (the graph data's) is written at the
    // exit: the old one goes to the trash as the memo's old backup does.
    virtual void RecycleOldBackup(const std::string& /*path*/) {}
};

}  // namespace rekna
