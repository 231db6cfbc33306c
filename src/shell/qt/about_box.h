// The About box: product name, version, what the program is, and the Qt it runs on.
#pragma once

#include <QString>

class QWidget;

namespace rekna {

// The lines the box shows.
[[nodiscard]] QString AboutText();
// A modal box over the parent.
void ShowAboutBox(QWidget* parent);

}  // namespace rekna
