// TMemoFont: the editor's font on its fixed grid of cells, and the glyph of every character.
#pragma once

#include <QFont>
#include <QHash>
#include <QRawFont>

#include <array>
#include <cstdint>
#include <vector>

namespace rekna {

// Brackets can be drawn in three sizes by their depth.
enum class TGlyphSize : std::uint8_t { gsNormal, gsSmall, gsLarge };

// A glyph of one of the faces; Face 0 is the chosen font, the others its fallbacks.
struct TGlyph {
    quint32 Index = 0;
    std::uint8_t Face = 0;
    bool Found = false;
};

class TMemoFont {
public:
    // The fonts every memo falls back to: half-width glyphs at half the full width.
    static constexpr const char* kPrimaryFamily = "IPAGothic";
    static constexpr const char* kFallbackFamily = "Noto Sans Mono CJK JP";
    static constexpr int kDefaultPointSize = 11;

    TMemoFont();

    // An odd pixel height becomes even by adding 1. The cell height is the height of "あ" in the
    // font (its ascent and descent), the half-width cell width its integer half.
    void Set(const QFont& font, qreal dpiY);
    [[nodiscard]] const QFont& Font() const noexcept { return FFont; }
    [[nodiscard]] int PixelSize() const noexcept { return FPixelSize; }
    [[nodiscard]] int CellHeight() const noexcept { return FCellHeight; }
    [[nodiscard]] int CellWidth() const noexcept { return FCellWidth; }
    // The baseline's distance from the top of the cell for glyphs of that size.
    [[nodiscard]] int Ascent(TGlyphSize size) const noexcept {
        return FAscent[static_cast<std::size_t>(size)];
    }

    [[nodiscard]] TGlyph Glyph(char32_t ch) const;
    [[nodiscard]] const QRawFont& Raw(std::uint8_t face, TGlyphSize size) const noexcept {
        return FRaw[face][static_cast<std::size_t>(size)];
    }
    [[nodiscard]] std::size_t FaceCount() const noexcept { return FFaces; }

private:
    static constexpr std::size_t kMaxFaces = 3;

    QFont FFont;
    int FPixelSize = 16;
    int FCellHeight = 16;
    int FCellWidth = 8;
    std::array<int, 3> FAscent{};
    std::array<std::array<QRawFont, 3>, kMaxFaces> FRaw;
    std::size_t FFaces = 0;
    mutable std::array<TGlyph, 128> FAscii{};
    mutable std::array<bool, 128> FAsciiKnown{};
    mutable QHash<char32_t, TGlyph> FCache;
};

}  // namespace rekna
