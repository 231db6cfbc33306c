// Input boxes wide enough for their titles, and the room a title needs in its title bar.
#pragma once

#include <QString>

#include <optional>

class QWidget;

namespace rekna {

// The width a window needs so that the window manager shows its whole title: the text in the
// title bar's bold face, with room for the icon and the buttons beside it.
[[nodiscard]] int TitleRoom(const QString& title);
// Makes a dialog at least as wide as its title needs (never wider than the screen).
void FitTitle(QWidget& dialog);
// An input box of one line; nothing when cancelled.
[[nodiscard]] std::optional<QString> AskText(QWidget* parent, const QString& title,
                                             const QString& label, const QString& text);

}  // namespace rekna
