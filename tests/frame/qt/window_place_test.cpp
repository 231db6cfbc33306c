// Window places: kept places that come back where they were, places brought onto a screen.
#include "frame/qt/window_place.h"

#include <gtest/gtest.h>

#include <QWidget>

namespace rekna {
namespace {

// A window manager's frame: 1 pixel borders and a 20-pixel title bar.
const QMargins kFrame(1, 20, 1, 1);

TEST(WindowPlaceTest, AKeptPlaceComesBackWhereItWasAtEveryStart) {
    // Each start moves the frame to the kept corner; the window manager puts the client inside
    // the frame; the exit keeps the place again. Nothing moves, however often.
    TWindowPlace kept{200, 135, 853, 533};
    const TWindowPlace first = kept;
    for (int start = 0; start < 3; ++start) {
        const QRect frame = FrameOf(kept, kFrame);
        const QRect client = frame.marginsRemoved(kFrame);
        EXPECT_EQ(frame.topLeft(), QPoint(200, 135));
        EXPECT_EQ(client.size(), QSize(853, 533));
        kept = PlaceOf(frame, client);
    }
    EXPECT_EQ(kept, first);
}

TEST(WindowPlaceTest, PlacesOnNoScreenAreBroughtOntoOne) {
    const QList<QRect> one{QRect(0, 0, 1280, 800)};
    // Two screens side by side; the right one is shorter.
    const QList<QRect> two{QRect(0, 0, 1280, 800), QRect(1280, 0, 1024, 600)};
    struct TCase {
        const char* Name;
        QList<QRect> Screens;
        QRect Frame;
        QRect Expected;
    };
    const TCase cases[] = {
        {"on screen stays", one, {100, 100, 400, 300}, {100, 100, 400, 300}},
        {"title bar above the top", one, {100, -20, 400, 300}, {100, 0, 400, 300}},
        {"left of the screen", one, {-500, 100, 400, 300}, {0, 100, 400, 300}},
        {"below the bottom", one, {100, 700, 400, 300}, {100, 500, 400, 300}},
        {"far away on a screen that is gone", one, {5000, 3000, 400, 300}, {880, 500, 400, 300}},
        {"larger than the screen", one, {-10, -10, 2000, 1000}, {0, 0, 1280, 800}},
        {"mostly on the second screen", two, {1200, 100, 400, 300}, {1280, 100, 400, 300}},
        {"below the shorter screen", two, {1400, 700, 400, 300}, {1400, 300, 400, 300}},
        {"no screen known", {}, {-50, -50, 10, 10}, {-50, -50, 10, 10}},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(OnScreen(c.Frame, c.Screens), c.Expected) << c.Name;
}

TEST(WindowPlaceTest, AToolWindowOpensBesideTheMainWindowWhollyOnTheScreen) {
    const QList<QRect> screen{QRect(0, 0, 1280, 800)};
    struct TCase {
        const char* Name;
        QRect Main;
        QRect Expected;
    };
    const TCase cases[] = {
        {"right of it", {0, 0, 600, 500}, {608, 0, 500, 400}},
        {"left of it when the right has no room", {700, 100, 500, 500}, {192, 100, 500, 400}},
        {"below it", {100, 0, 1000, 300}, {100, 308, 500, 400}},
        {"above it", {100, 420, 1000, 380}, {100, 12, 500, 400}},
        {"over its right side on a full screen", {0, 0, 1280, 800}, {780, 0, 500, 400}},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(BesideFrame(QSize(500, 400), c.Main, screen), c.Expected) << c.Name;
    }
}

TEST(WindowPlaceTest, RestoringAWindowPutsItOnTheScreenAtItsKeptSize) {
    QWidget main;
    main.setGeometry(100, 100, 400, 300);
    QWidget tool(&main, Qt::Window);
    tool.resize(200, 150);
    const QRect area = ScreenAreas().value(0);
    ASSERT_FALSE(area.isEmpty());
    // Kept far off every screen: brought back, at its kept size.
    RestorePlace(tool, {-90000, 90000, 320, 240}, &main);
    EXPECT_EQ(tool.size(), QSize(320, 240));
    EXPECT_TRUE(area.contains(QRect(tool.pos(), tool.size())));
    // Nothing kept: beside the main window.
    QWidget fresh(&main, Qt::Window);
    fresh.resize(200, 150);
    RestorePlace(fresh, {}, &main);
    EXPECT_EQ(fresh.pos(), QPoint(main.frameGeometry().right() + 9, main.frameGeometry().top()));
}

}  // namespace
}  // namespace rekna
