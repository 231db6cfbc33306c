// The find window hung on the main window's menu actions.
#pragma once

namespace rekna {

class TToolHost;
class TFormFind;

// Connects "検索/置換(&F)...", "下方検索(&D)" and "上方検索(&U)" to the window, which is made on
// first use; the main window's exit keeps its search texts.
void InstallFindParts(TToolHost& form);

// The window of the main window, made when it does not exist yet.
TFormFind& FindWindowOf(TToolHost& form);

}  // namespace rekna
