// The find window and the template window hung on the main window's menu actions.
#pragma once

#include <string>

namespace rekna {

class TFormMemo;
class TFormFind;
class TFormTemplate;

// Connects "検索/置換(&F)...", "下方検索(&D)", "上方検索(&U)" and "テンプレート(&T)..." to the
// windows, which are made on first use; the main window's exit saves the templates.
void InstallFindParts(TFormMemo& form);

// The window of the main window, made when it does not exist yet.
TFormFind& FindWindowOf(TFormMemo& form);
TFormTemplate& TemplateWindowOf(TFormMemo& form);

// Where the template file lives: beside the program when its folder is writable, else in the
// settings folder.
[[nodiscard]] std::string TemplateFileOf(const TFormMemo& form);

}  // namespace rekna
