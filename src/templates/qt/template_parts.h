// The template window hung on the main window's menu action.
#pragma once

#include <string>

namespace rekna {

class TToolHost;
class TFormTemplate;

// Connects "テンプレート(&T)..." to the window, which is made on first use; the main window's
// exit saves the templates.
void InstallTemplateParts(TToolHost& form);

// The window of the main window, made when it does not exist yet.
TFormTemplate& TemplateWindowOf(TToolHost& form);

// Where the template file lives: beside the program when its folder is writable, else in the
// settings folder.
[[nodiscard]] std::string TemplateFileOf(const TToolHost& form);

}  // namespace rekna
