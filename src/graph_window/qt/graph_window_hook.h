// The main window's graph commands, files and settings connected to the graph window.
#pragma once

#include <string>

namespace rekna {

class TFormGraph;
class TToolHost;

// グラフを表示, グラフ更新, #グラフ設定挿入 and #グラフ設定実行, the graph window's settings
// keys and its backup at the exit. The window is created on first use.
void InstallGraphWindow(TToolHost& form);
// The window, or null before its first use.
[[nodiscard]] TFormGraph* GraphWindow(TToolHost& form);
// Creates the window when needed (loading the remembered data file) and shows it.
TFormGraph& ShowGraphWindow(TToolHost& form);

// File pairing for the main window. A memo was opened: its ".kgd" companion is loaded into an
// open window, or remembered for the window's first opening.
void GraphMemoOpened(TToolHost& form, const std::string& memoPath);
// A ".kgd" file was opened: the window is shown, the file loaded and drawn. False when the file
// could not be read.
bool GraphOpenData(TToolHost& form, const std::string& kgdPath);
// Saving under a ".kgd" name: the window (shown when needed) writes its data. False when it
// could not be written, or when the file there is not graph data and the user keeps it.
bool GraphSaveData(TToolHost& form, const std::string& kgdPath);
// The memo was saved under memoPath (or the exit keeps a named memo): the graph data goes to the
// ".kgd" beside it whenever the window holds settings of the user's or that file exists. A file
// there that is not graph data is replaced only when the user agrees (never without mayAsk).
// False when the graph data could not be written (reported when mayAsk).
bool GraphSaveBeside(TToolHost& form, const std::string& memoPath, bool mayAsk);

}  // namespace rekna
