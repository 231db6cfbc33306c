// Window places: kept, brought onto a screen, and beside the main window.
#include "frame/qt/window_place.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace rekna {

namespace {

// Pixels between a tool window and the window it stands beside.
constexpr int kGap = 8;
// Kept sizes beyond these are no window's; kept corners beyond this are no screen's.
constexpr int kMinSize = 50;
constexpr int kMaxSize = 20000;
constexpr int kMaxCorner = 1000000;

long long AreaOf(const QRect& r) noexcept {
    return r.isEmpty() ? 0 : static_cast<long long>(r.width()) * r.height();
}

// How far a rectangle lies from an area: 0 when they meet.
long long DistanceOf(const QRect& r, const QRect& area) noexcept {
    const long long dx = std::max({0, area.left() - r.right(), r.left() - area.right()});
    const long long dy = std::max({0, area.top() - r.bottom(), r.top() - area.bottom()});
    return dx * dx + dy * dy;
}

bool WhollyOnOne(const QRect& r, const QList<QRect>& screens) {
    return std::any_of(screens.begin(), screens.end(),
                       [&r](const QRect& area) { return area.contains(r); });
}

}  // namespace

TWindowPlace PlaceOf(const QRect& frame, const QRect& client) noexcept {
    return {frame.left(), frame.top(), client.width(), client.height()};
}

QRect FrameOf(const TWindowPlace& place, const QMargins& frameMargins) noexcept {
    return QRect(place.Left, place.Top, place.Width, place.Height)
        .marginsAdded(frameMargins)
        .translated(frameMargins.left(), frameMargins.top());
}

QRect OnScreen(const QRect& frame, const QList<QRect>& screens) {
    if (screens.isEmpty()) return frame;
    const QRect* best = &screens.front();
    long long bestShown = -1;
    long long bestDistance = std::numeric_limits<long long>::max();
    for (const QRect& area : screens) {
        const long long shown = AreaOf(area.intersected(frame));
        const long long distance = DistanceOf(frame, area);
        if (shown > bestShown || (shown == 0 && bestShown == 0 && distance < bestDistance)) {
            best = &area;
            bestShown = shown;
            bestDistance = distance;
        }
    }
    const QRect& area = *best;
    const int w = std::min(frame.width(), area.width());
    const int h = std::min(frame.height(), area.height());
    const int x = std::clamp(frame.left(), area.left(), area.left() + area.width() - w);
    const int y = std::clamp(frame.top(), area.top(), area.top() + area.height() - h);
    return {x, y, w, h};
}

QRect FirstOnScreen(std::initializer_list<QRect> candidates, const QRect& fallback,
                    const QList<QRect>& screens) {
    for (const QRect& r : candidates)
        if (WhollyOnOne(r, screens)) return r;
    return OnScreen(fallback, screens);
}

QRect BesideFrame(const QSize& size, const QRect& other, const QList<QRect>& screens) {
    const int w = size.width();
    const int h = size.height();
    const QRect right(other.right() + 1 + kGap, other.top(), w, h);
    // Where no side has room, it stays as far right as the screen lets it, so that the memo's
    // formulas on the left stay in sight.
    return FirstOnScreen({right, QRect(other.left() - kGap - w, other.top(), w, h),
                          QRect(other.left(), other.bottom() + 1 + kGap, w, h),
                          QRect(other.left(), other.top() - kGap - h, w, h)},
                         right, screens);
}

QList<QRect> ScreenAreas() {
    QList<QRect> areas;
    for (const QScreen* s : QGuiApplication::screens())
        areas.push_back(s->availableGeometry());
    return areas;
}

QMargins FrameMarginsOf(const QWidget& window, const QWidget* beside) {
    for (const QWidget* w : {&window, beside}) {
        if (w == nullptr || !w->isVisible() || w->windowHandle() == nullptr) continue;
        const QMargins m = w->windowHandle()->frameMargins();
        if (!m.isNull()) return m;
    }
    return {};
}

TWindowPlace PlaceOf(const QWidget& window) {
    return PlaceOf(window.frameGeometry(), window.geometry());
}

void RestorePlace(QWidget& window, const TKeptPlace& kept, const QWidget* beside) {
    QSize size = window.size();
    const auto fits = [](const std::optional<int>& v) {
        return v && *v >= kMinSize && *v <= kMaxSize;
    };
    if (fits(kept.Width) && fits(kept.Height))
        size = QSize(*kept.Width, *kept.Height).expandedTo(window.minimumSize());
    const QMargins m = FrameMarginsOf(window, beside);
    const QList<QRect> screens = ScreenAreas();
    const auto corner = [](const std::optional<int>& v) { return v && std::abs(*v) <= kMaxCorner; };
    QRect frame;
    if (corner(kept.Left) && corner(kept.Top)) {
        frame = FrameOf({*kept.Left, *kept.Top, size.width(), size.height()}, m);
    } else if (beside != nullptr) {
        frame = BesideFrame(size.grownBy(m), beside->frameGeometry(), screens);
    } else {
        frame = QRect(window.pos(), size.grownBy(m));
    }
    frame = OnScreen(frame, screens);
    window.resize(frame.size().shrunkBy(m));
    // A window's position is its frame's: the window manager puts the frame's corner there.
    window.move(frame.topLeft());
}

}  // namespace rekna
