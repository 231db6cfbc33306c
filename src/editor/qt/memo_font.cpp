// The editor font's cell sizes and glyph look-ups with fallback faces.
#include "editor/qt/memo_font.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace rekna {
namespace {

// Sizes of the bracket glyphs: 2 pixels shorter and 2 pixels taller than the text.
constexpr int kSizeStep = 2;

}  // namespace

TMemoFont::TMemoFont() {
    QFont font(QString::fromLatin1(kPrimaryFamily));
    font.setPointSize(kDefaultPointSize);
    Set(font, 96);
}

void TMemoFont::Set(const QFont& font, qreal dpiY) {
    FFont = font;
    int px = font.pixelSize();
    if (px <= 0) px = static_cast<int>(std::lround(font.pointSizeF() * dpiY / 72.0));
    px = std::max(px, 2);
    if (px % 2 != 0) ++px;
    FPixelSize = px;
    FFont.setPixelSize(px);
    FFont.setStyleStrategy(QFont::PreferDefault);
    QStringList families{font.family()};
    for (const char* f : {kPrimaryFamily, kFallbackFamily}) {
        if (!families.contains(QString::fromLatin1(f))) families << QString::fromLatin1(f);
    }
    FFont.setFamilies(families);

    const QFontMetrics metrics(FFont);
    FCellHeight = std::max(metrics.height(), 2);
    FCellWidth = std::max(FCellHeight / 2, 1);

    FFaces = 0;
    for (const QString& family : families) {
        if (FFaces == kMaxFaces) break;
        QFont face(family);
        face.setPixelSize(px);
        QRawFont raw = QRawFont::fromFont(face);
        if (!raw.isValid()) continue;
        // A family that is not installed resolves to some other font: skip faces already held.
        bool seen = false;
        for (std::size_t k = 0; k < FFaces; ++k)
            seen = seen || FRaw[k][0].familyName() == raw.familyName();
        if (seen) continue;
        FRaw[FFaces][0] = raw;
        for (const TGlyphSize size : {TGlyphSize::gsSmall, TGlyphSize::gsLarge}) {
            const int step = size == TGlyphSize::gsSmall ? -kSizeStep : kSizeStep;
            QRawFont sized = raw;
            sized.setPixelSize(std::max(px + step, 1));
            FRaw[FFaces][static_cast<std::size_t>(size)] = sized;
        }
        ++FFaces;
    }
    const QRawFont& primary = FRaw[0][0];
    FAscent[0] = FFaces > 0 ? static_cast<int>(std::lround(primary.ascent())) : metrics.ascent();
    for (const TGlyphSize size : {TGlyphSize::gsSmall, TGlyphSize::gsLarge}) {
        const auto i = static_cast<std::size_t>(size);
        FAscent[i] = FFaces > 0 ? static_cast<int>(std::lround(FRaw[0][i].ascent())) : FAscent[0];
    }
    FAsciiKnown.fill(false);
    FCache.clear();
}

TGlyph TMemoFont::Glyph(char32_t ch) const {
    if (ch < 128 && FAsciiKnown[ch]) return FAscii[ch];
    if (ch >= 128) {
        const auto it = FCache.constFind(ch);
        if (it != FCache.constEnd()) return *it;
    }
    TGlyph g;
    for (std::size_t face = 0; face < FFaces && !g.Found; ++face) {
        const QRawFont& raw = FRaw[face][0];
        if (!raw.supportsCharacter(ch)) continue;
        QChar units[2];
        int n = 0;
        if (ch > 0xFFFF) {
            units[n++] = QChar::highSurrogate(ch);
            units[n++] = QChar::lowSurrogate(ch);
        } else {
            units[n++] = QChar(static_cast<char16_t>(ch));
        }
        quint32 index[2] = {0, 0};
        int count = 2;
        if (raw.glyphIndexesForChars(units, n, index, &count) && count >= 1 && index[0] != 0) {
            g = {index[0], static_cast<std::uint8_t>(face), true};
        }
    }
    if (ch < 128) {
        FAscii[ch] = g;
        FAsciiKnown[ch] = true;
    } else {
        FCache.insert(ch, g);
    }
    return g;
}

}  // namespace rekna
