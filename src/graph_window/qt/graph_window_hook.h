// The main window's graph commands, files and settings connected to the graph window.
#pragma once

#include <string>

namespace rekna {

class TFormGraph;
class TFormMemo;

// グラフを表示, グラフ更新, #グラフ設定挿入 and #グラフ設定実行, the graph window's settings
// keys and its backup at the exit. The window is created on first use.
void InstallGraphWindow(TFormMemo& form);
// The window, or null before its first use.
[[nodiscard]] TFormGraph* GraphWindow(TFormMemo& form);
// Creates the window when needed (loading the remembered data file) and shows it.
TFormGraph& ShowGraphWindow(TFormMemo& form);

// File pairing for the main window. A memo was opened: its ".kgd" companion is loaded into an
// open window, or remembered for the window's first opening.
void GraphMemoOpened(TFormMemo& form, const std::string& memoPath);
// A ".kgd" file was opened: the window is shown, the file loaded and drawn. False when the file
// could not be read.
bool GraphOpenData(TFormMemo& form, const std::string& kgdPath);
// Saving under a ".kgd" name: the window (shown when needed) writes its data. False when it
// could not be written.
bool GraphSaveData(TFormMemo& form, const std::string& kgdPath);
// Whether the memo holds lines the graph uses (the memo formula list is not empty).
[[nodiscard]] bool MemoHasGraphFormulas(TFormMemo& form);

}  // namespace rekna
