// The windows that hang off the main window's menus (print preview, graph, find, templates,
// options, hot keys): each connects its menu actions to the main window here.
#pragma once

namespace rekna {

class TFormMemo;

// Called once by the main window's constructor, after its actions and the frame exist and
// before the settings file is read.
void InstallWindowParts(TFormMemo& form);

}  // namespace rekna
