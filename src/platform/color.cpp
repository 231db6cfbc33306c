// Colour names and the "$00BBGGRR" text form of TColor.
#include "platform/color.h"

#include <cstdio>

namespace rekna {
namespace {

struct TColorName {
    TColor Value;
    std::string_view Name;
};

// The first entry of a value is the name ColorToString writes; the aliases follow it.
constexpr TColorName kColorNames[] = {
    {clBlack, "clBlack"},
    {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},
    {clOlive, "clOlive"},
    {clNavy, "clNavy"},
    {clPurple, "clPurple"},
    {clTeal, "clTeal"},
    {clGray, "clGray"},
    {clGray, "clDkGray"},
    {clSilver, "clSilver"},
    {clSilver, "clLtGray"},
    {clRed, "clRed"},
    {clLime, "clLime"},
    {clYellow, "clYellow"},
    {clBlue, "clBlue"},
    {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},
    {clWhite, "clWhite"},
    {clMoneyGreen, "clMoneyGreen"},
    {clSkyBlue, "clSkyBlue"},
    {clCream, "clCream"},
    {clMedGray, "clMedGray"},
    {clNone, "clNone"},
    {clDefault, "clDefault"},
    {clScrollBar, "clScrollBar"},
    {clBackground, "clBackground"},
    {clActiveCaption, "clActiveCaption"},
    {clInactiveCaption, "clInactiveCaption"},
    {clMenu, "clMenu"},
    {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"},
    {clMenuText, "clMenuText"},
    {clWindowText, "clWindowText"},
    {clCaptionText, "clCaptionText"},
    {clActiveBorder, "clActiveBorder"},
    {clInactiveBorder, "clInactiveBorder"},
    {clAppWorkSpace, "clAppWorkSpace"},
    {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"},
    {clBtnFace, "clBtnFace"},
    {clBtnShadow, "clBtnShadow"},
    {clGrayText, "clGrayText"},
    {clBtnText, "clBtnText"},
    {clInactiveCaptionText, "clInactiveCaptionText"},
    {clBtnHighlight, "clBtnHighlight"},
    {cl3DDkShadow, "cl3DDkShadow"},
    {cl3DLight, "cl3DLight"},
    {clInfoText, "clInfoText"},
    {clInfoBk, "clInfoBk"},
    {clHotLight, "clHotLight"},
    {clGradientActiveCaption, "clGradientActiveCaption"},
    {clGradientInactiveCaption, "clGradientInactiveCaption"},
    {clMenuHighlight, "clMenuHighlight"},
    {clMenuBar, "clMenuBar"},
};

[[nodiscard]] bool SameName(std::string_view a, std::string_view b) noexcept {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i];
        char y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

[[nodiscard]] int HexDigit(char c) noexcept {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::string ColorToString(TColor c) {
    for (const TColorName& n : kColorNames) {
        if (n.Value == c) return std::string(n.Name);
    }
    char buf[12];
    std::snprintf(buf, sizeof buf, "$%08X", static_cast<unsigned>(c));
    return buf;
}

std::optional<TColor> StringToColor(std::string_view text) {
    for (const TColorName& n : kColorNames) {
        if (SameName(n.Name, text)) return n.Value;
    }
    if (text.empty()) return std::nullopt;
    if (text[0] == '$') {
        if (text.size() < 2 || text.size() > 9) return std::nullopt;
        TColor v = 0;
        for (const char ch : text.substr(1)) {
            const int d = HexDigit(ch);
            if (d < 0) return std::nullopt;
            v = v << 4 | static_cast<TColor>(d);
        }
        return v;
    }
    std::size_t i = 0;
    const bool negative = text[0] == '-';
    if (negative || text[0] == '+') i = 1;
    if (i == text.size()) return std::nullopt;
    std::int64_t v = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        v = v * 10 + (text[i] - '0');
        if (v > 0xFFFFFFFFLL) return std::nullopt;
    }
    if (negative) {
        if (v > 0x80000000LL) return std::nullopt;
        v = -v;
    } else if (v > 0x7FFFFFFFLL) {
        return std::nullopt;
    }
    return static_cast<TColor>(static_cast<std::uint32_t>(static_cast<std::int32_t>(v)));
}

}  // namespace rekna
