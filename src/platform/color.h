// TColor: a colour as the settings file keeps it, a plain 0x00BBGGRR value or a system colour.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace rekna {

// Plain colours hold blue, green and red in bits 16..23, 8..15 and 0..7. A system colour is
// 0xFF000000 plus its index and takes its value from the desktop's palette when painted.
using TColor = std::uint32_t;

inline constexpr TColor kSystemColorBase = 0xFF000000;

// The toolkit's named colours.
inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clOlive = 0x008080;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clPurple = 0x800080;
inline constexpr TColor clTeal = 0x808000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clFuchsia = 0xFF00FF;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clMoneyGreen = 0xC0DCC0;
inline constexpr TColor clSkyBlue = 0xF0CAA6;
inline constexpr TColor clCream = 0xF0FBFF;
inline constexpr TColor clMedGray = 0xA4A0A0;
// "No colour": also the unset entry of the per-byte colour table.
inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor clDefault = 0x20000000;

// System colours, by the desktop's colour indexes.
inline constexpr TColor clScrollBar = kSystemColorBase | 0;
inline constexpr TColor clBackground = kSystemColorBase | 1;
inline constexpr TColor clActiveCaption = kSystemColorBase | 2;
inline constexpr TColor clInactiveCaption = kSystemColorBase | 3;
inline constexpr TColor clMenu = kSystemColorBase | 4;
inline constexpr TColor clWindow = kSystemColorBase | 5;
inline constexpr TColor clWindowFrame = kSystemColorBase | 6;
inline constexpr TColor clMenuText = kSystemColorBase | 7;
inline constexpr TColor clWindowText = kSystemColorBase | 8;
inline constexpr TColor clCaptionText = kSystemColorBase | 9;
inline constexpr TColor clActiveBorder = kSystemColorBase | 10;
inline constexpr TColor clInactiveBorder = kSystemColorBase | 11;
inline constexpr TColor clAppWorkSpace = kSystemColorBase | 12;
inline constexpr TColor clHighlight = kSystemColorBase | 13;
inline constexpr TColor clHighlightText = kSystemColorBase | 14;
inline constexpr TColor clBtnFace = kSystemColorBase | 15;
inline constexpr TColor clBtnShadow = kSystemColorBase | 16;
inline constexpr TColor clGrayText = kSystemColorBase | 17;
inline constexpr TColor clBtnText = kSystemColorBase | 18;
inline constexpr TColor clInactiveCaptionText = kSystemColorBase | 19;
inline constexpr TColor clBtnHighlight = kSystemColorBase | 20;
inline constexpr TColor cl3DDkShadow = kSystemColorBase | 21;
inline constexpr TColor cl3DLight = kSystemColorBase | 22;
inline constexpr TColor clInfoText = kSystemColorBase | 23;
inline constexpr TColor clInfoBk = kSystemColorBase | 24;
inline constexpr TColor clHotLight = kSystemColorBase | 26;
inline constexpr TColor clGradientActiveCaption = kSystemColorBase | 27;
inline constexpr TColor clGradientInactiveCaption = kSystemColorBase | 28;
inline constexpr TColor clMenuHighlight = kSystemColorBase | 29;
inline constexpr TColor clMenuBar = kSystemColorBase | 30;

[[nodiscard]] constexpr bool IsSystemColor(TColor c) noexcept {
    return (c & 0xFF000000u) == kSystemColorBase;
}
[[nodiscard]] constexpr std::uint8_t SystemColorIndex(TColor c) noexcept {
    return static_cast<std::uint8_t>(c & 0xFFu);
}
[[nodiscard]] constexpr std::uint8_t ColorRed(TColor c) noexcept {
    return static_cast<std::uint8_t>(c & 0xFFu);
}
[[nodiscard]] constexpr std::uint8_t ColorGreen(TColor c) noexcept {
    return static_cast<std::uint8_t>((c >> 8) & 0xFFu);
}
[[nodiscard]] constexpr std::uint8_t ColorBlue(TColor c) noexcept {
    return static_cast<std::uint8_t>((c >> 16) & 0xFFu);
}
[[nodiscard]] constexpr TColor RgbColor(std::uint8_t r, std::uint8_t g, std::uint8_t b) noexcept {
    return TColor{r} | TColor{g} << 8 | TColor{b} << 16;
}

// The colour's name ("clWindowText") when it has one, otherwise "$" and eight upper-case
// hexadecimal digits ("$00BBGGRR").
[[nodiscard]] std::string ColorToString(TColor c);

// A colour name (any letter case), "$" with one to eight hexadecimal digits, or a decimal number
// (a negative one as the 32-bit pattern it stands for); nothing for any other text.
[[nodiscard]] std::optional<TColor> StringToColor(std::string_view text);

}  // namespace rekna
