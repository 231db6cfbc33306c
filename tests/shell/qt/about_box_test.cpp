// Tests of the About box and of the desktop files: the box's lines, and the icon drawing.
#include "shell/qt/about_box.h"

#include <QApplication>
#include <QImage>
#include <QMessageBox>
#include <QPainter>
#include <QSvgRenderer>
#include <QTimer>

#include <gtest/gtest.h>

namespace rekna {
namespace {

TEST(AboutBoxTest, Lines) {
    const QStringList lines = AboutText().split(u'\n');
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], QStringLiteral("Rekna " REKNA_TEST_VERSION));
    EXPECT_FALSE(lines[1].isEmpty());
    EXPECT_EQ(lines[2], QStringLiteral("Qt ") + QString::fromLatin1(qVersion()));
}

TEST(AboutBoxTest, ShowsTheLinesOverItsParent) {
    QWidget parent;
    parent.show();
    QString shown;
    QString title;
    bool closed = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) return;
        shown = box->text();
        title = box->windowTitle();
        closed = true;
        box->accept();
    });
    ShowAboutBox(&parent);
    EXPECT_TRUE(closed);
    EXPECT_EQ(shown, AboutText());
    EXPECT_EQ(title, QString::fromUtf8("バージョン情報"));
}

TEST(DesktopIconTest, DrawsAtTheSizesOfTheDesktop) {
    QSvgRenderer icon(QStringLiteral(REKNA_DATA_DIR "/rekna.svg"));
    ASSERT_TRUE(icon.isValid());
    EXPECT_EQ(icon.viewBox().width(), icon.viewBox().height());
    for (const int size : {16, 48, 256}) {
        QImage image(size, size, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        icon.render(&painter);
        painter.end();
        int opaque = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                opaque += qAlpha(image.pixel(x, y)) > 200 ? 1 : 0;
        // A solid glyph that leaves a margin: it neither vanishes nor fills the square.
        EXPECT_GT(opaque, size * size / 4) << size;
        EXPECT_LT(opaque, size * size) << size;
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << size;
    }
}

}  // namespace
}  // namespace rekna
