// Helpers of the editor widget tests: a shown memo and pixel checks on its canvas.
#pragma once

#include "editor/qt/umemo.h"
#include "platform/cp932.h"
#include "platform/qt/qt_color.h"

#include <QApplication>
#include <QImage>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>
#include <string_view>

namespace rekna::test {

inline std::string J(std::string_view utf8) {
    return Utf8ToCp932(utf8);
}

// Sum of the channel differences.
inline int Distance(QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
           std::abs(qBlue(a) - qBlue(b));
}

// The colour most pixels of the rectangle have: the cell's background.
inline QRgb Background(const QImage& img, const QRect& r) {
    std::map<QRgb, int> counts;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            ++counts[img.pixel(x, y) | 0xFF000000u];
    QRgb best = 0;
    int n = -1;
    for (const auto& [c, k] : counts) {
        if (k > n) {
            best = c;
            n = k;
        }
    }
    return best;
}

// The pixel farthest from the background: the colour a glyph was drawn in (its fully covered
// pixels carry exactly that colour).
inline QRgb Ink(const QImage& img, const QRect& r) {
    const QRgb back = Background(img, r);
    QRgb ink = back;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            const QRgb c = img.pixel(x, y) | 0xFF000000u;
            if (Distance(c, back) > Distance(ink, back)) ink = c;
        }
    }
    return ink;
}

// The bounding box of the pixels that differ from the background.
inline QRect InkBounds(const QImage& img, const QRect& r) {
    const QRgb back = Background(img, r);
    QRect box;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (Distance(img.pixel(x, y), back) > 60) box |= QRect(x, y, 1, 1);
    return box;
}

// The number of pixels that differ from the background.
inline int InkCount(const QImage& img, const QRect& r) {
    const QRgb back = Background(img, r);
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (Distance(img.pixel(x, y), back) > 60) ++n;
    return n;
}

// A memo of a fixed size, shown, holding the given UTF-8 lines.
class TMemoView {
public:
    explicit TMemoView(std::string_view utf8 = "", QSize size = QSize(480, 240)) {
        Memo.resize(size);
        Memo.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&Memo));
        if (!utf8.empty()) Load(utf8);
    }

    void Load(std::string_view utf8) {
        const bool loaded = Memo.LoadBytes(J(utf8), false);
        EXPECT_TRUE(loaded);
    }

    // The cell of a row and column (width columns), as tall as the text.
    [[nodiscard]] QRect Cell(std::int32_t row, std::int32_t col, std::int32_t width = 1) const {
        return QRect(Memo.ColumnX(col), Memo.RowY(row), width * Memo.ColPitch(), Memo.CellHeight());
    }
    [[nodiscard]] const QImage& Image() const { return Memo.Canvas(); }
    [[nodiscard]] QRgb Rgb(TColor c) const { return ToQRgb(c, Memo.palette()) | 0xFF000000u; }
    [[nodiscard]] QRgb InkAt(std::int32_t row, std::int32_t col, std::int32_t width = 1) const {
        return Ink(Image(), Cell(row, col, width));
    }
    [[nodiscard]] QRgb BackAt(std::int32_t row, std::int32_t col) const {
        return Background(Image(), Cell(row, col));
    }

    // Gives the memo the keyboard focus (or takes it away).
    void Focus(bool on) {
        if (on) {
            Memo.activateWindow();
            Memo.setFocus();
            EXPECT_TRUE(QTest::qWaitForWindowActive(&Memo));
        } else {
            Memo.clearFocus();
        }
        QApplication::processEvents();
    }

    TUMemo Memo;
};

// Near enough to count as drawn in that colour (antialiased edges lie between).
#define EXPECT_INK(actual, expected)                                                               \
    EXPECT_LE(::rekna::test::Distance((actual), (expected)), 90)                                   \
        << std::hex << "ink " << (actual) << " expected " << (expected)

}  // namespace rekna::test
