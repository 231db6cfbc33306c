// Where the main window and the tool windows stand: the place the settings file keeps, a place
// brought back onto a screen, and the first place of a tool window beside the main window.
#pragma once

#include <QList>
#include <QMargins>
#include <QRect>

#include <initializer_list>
#include <optional>

class QWidget;

namespace rekna {

// A window's place as the settings file keeps it: the top-left corner of the window's frame
// (title bar included) and the size of its client area. A window that moves its frame to that
// corner comes back exactly where it was, whatever the window manager's frame is like.
struct TWindowPlace {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    friend bool operator==(const TWindowPlace&, const TWindowPlace&) = default;
};

// --- Pure geometry (screen areas are the screens' available rectangles).

// The place to keep of a window whose frame and client area stand there.
[[nodiscard]] TWindowPlace PlaceOf(const QRect& frame, const QRect& client) noexcept;
// The frame a place stands for, with the frame's margins around the client area.
[[nodiscard]] QRect FrameOf(const TWindowPlace& place, const QMargins& frameMargins) noexcept;
// The rectangle moved (and cut to the screen's size) so that it lies wholly on the screen that
// shows most of it, or on the nearest screen when it is on none.
[[nodiscard]] QRect OnScreen(const QRect& frame, const QList<QRect>& screens);
// The first candidate that lies wholly on one screen; else the fallback brought onto a screen.
[[nodiscard]] QRect FirstOnScreen(std::initializer_list<QRect> candidates, const QRect& fallback,
                                  const QList<QRect>& screens);
// A frame of that size beside another window's frame: right of it, left of it, below it, above
// it, the first that fits on a screen; else at its right as far as the screen lets it.
[[nodiscard]] QRect BesideFrame(const QSize& size, const QRect& other, const QList<QRect>& screens);

// --- Qt windows.

// The available area of every screen.
[[nodiscard]] QList<QRect> ScreenAreas();
// The margins of the frame around a top-level window's client area: its own once shown under a
// window manager, else those of the window beside it (same window manager), else none.
[[nodiscard]] QMargins FrameMarginsOf(const QWidget& window, const QWidget* beside = nullptr);
// The place of a top-level window to keep.
[[nodiscard]] TWindowPlace PlaceOf(const QWidget& window);

// What the settings file holds of a window's place; a part may be missing.
struct TKeptPlace {
    std::optional<int> Left;
    std::optional<int> Top;
    std::optional<int> Width;
    std::optional<int> Height;
};
// Sizes and moves a top-level window before it is shown: the kept size when it is one a window
// can have, the kept corner when both numbers are there, else a place beside the other window
// (the main window); always wholly on a screen.
void RestorePlace(QWidget& window, const TKeptPlace& kept, const QWidget* beside);
}  // namespace rekna
