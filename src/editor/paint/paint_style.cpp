// The painter's defaults, its property tables and the colour rules of the character kinds.
#include "editor/paint/paint_style.h"

#include "editor/store/row_cells.h"
#include "platform/cp932.h"

#include <unordered_map>

namespace rekna {
namespace {

// The order the settings list them in.
constexpr std::string_view kDependenceText =
    "㈲㊥㈹㊤㊧㈱㊦㊨㍼㍽㍾㍻㌻㍊㌫㌣㌦㌍㍗㍑㌶㌃㌧㌘㍍㌢㌔㍉℡№㎜㎎㎡㎞㏍㎏㎝㏄⑳⑲⑱⑰⑯⑮⑭⑬⑫⑪Ⅹ⑩Ⅸ⑨Ⅷ⑧Ⅶ⑦Ⅵ⑥"
    "Ⅴ⑤Ⅳ④Ⅲ③Ⅱ②Ⅰ①⊿⊥≡≒∵∮∫∪∩∠∟√∑〟〝";

constexpr std::uint8_t kVendorRow = 0x87;

constexpr TColorProperty kColorProperties[] = {
    {"Color", &TPaintStyle::Color},
    {"ColorBack", &TPaintStyle::ColorBack},
    {"ColorText", &TPaintStyle::ColorText},
    {"ColorControl", &TPaintStyle::ColorControl},
    {"ColorStat", &TPaintStyle::ColorStat},
    {"ColorComment", &TPaintStyle::ColorComment},
    {"ColorString", &TPaintStyle::ColorString},
    {"ColorKeyWord", &TPaintStyle::ColorKeyWord},
    {"ColorReserved", &TPaintStyle::ColorReserved},
    {"ColorDependence", &TPaintStyle::ColorDependence},
    {"ColorDEq", &TPaintStyle::ColorDEq},
    {"ColorDSpace", &TPaintStyle::ColorDSpace},
    {"ColorTab", &TPaintStyle::ColorTab},
    {"ColorCrLf", &TPaintStyle::ColorCrLf},
    {"ColorEof", &TPaintStyle::ColorEof},
    {"ColorKakko", &TPaintStyle::ColorKakko},
    {"ColorKakko0", &TPaintStyle::ColorKakko0},
    {"ColorKakko1", &TPaintStyle::ColorKakko1},
    {"ColorKakko2", &TPaintStyle::ColorKakko2},
    {"ColorKakko3", &TPaintStyle::ColorKakko3},
    {"ColorKakko4", &TPaintStyle::ColorKakko4},
    {"ColorFind", &TPaintStyle::ColorFind},
    {"ColorFDelimiter", &TPaintStyle::ColorFDelimiter},
    {"ColorUnderLine", &TPaintStyle::ColorUnderLine},
    {"ColorSelText", &TPaintStyle::ColorSelText},
    {"ColorSelCr", &TPaintStyle::ColorSelCr},
    {"ColorSelBrush", &TPaintStyle::ColorSelBrush},
    {"ColorSelBrushInactive", &TPaintStyle::ColorSelBrushInactive},
};

constexpr TSwitchProperty kSwitchProperties[] = {
    {"BoldReserved", &TPaintStyle::BoldReserved},
    {"KakkoHeight", &TPaintStyle::KakkoHeight},
    {"ColorOn", &TPaintStyle::ColorOn},
    {"ColorCharOn", &TPaintStyle::ColorCharOn},
    {"ShowMark", &TPaintStyle::ShowMark},
    {"ShowTab", &TPaintStyle::ShowTab},
    {"ShowJSpace", &TPaintStyle::ShowJSpace},
    {"ShowCr", &TPaintStyle::ShowCr},
    {"ShowEof", &TPaintStyle::ShowEof},
    {"ShowKakko", &TPaintStyle::ShowKakko},
    {"ShowUnderLine", &TPaintStyle::ShowUnderLine},
    {"HideSelection", &TPaintStyle::HideSelection},
};

// The number of bytes of the UTF-8 character that starts with byte c.
[[nodiscard]] std::size_t Utf8Length(unsigned char c) noexcept {
    if (c < 0x80) return 1;
    if (c >= 0xF0) return 4;
    if (c >= 0xE0) return 3;
    return 2;
}

}  // namespace

const std::string& DefaultDependenceChars() {
    // Row 0x87 repeats some mathematical signs of the standard rows, and the encoder writes those
    // under their standard codes; so each character is looked up in the vendor row itself.
    static const std::string chars = [] {
        std::unordered_map<std::string, std::string> row;
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            const std::string code{static_cast<char>(kVendorRow), static_cast<char>(trail)};
            row.emplace(Cp932ToUtf8(code), code);
        }
        std::string out;
        for (std::size_t i = 0; i < kDependenceText.size();) {
            const std::size_t n = Utf8Length(static_cast<unsigned char>(kDependenceText[i]));
            const auto it = row.find(std::string(kDependenceText.substr(i, n)));
            if (it != row.end()) out += it->second;
            i += n;
        }
        return out;
    }();
    return chars;
}

TColor TPaintStyle::KakkoColor(std::int32_t level) const noexcept {
    const std::int64_t k = -static_cast<std::int64_t>(level);
    switch (((k % 5) + 5) % 5) {
    case 0: return ColorKakko0;
    case 1: return ColorKakko1;
    case 2: return ColorKakko2;
    case 3: return ColorKakko3;
    default: return ColorKakko4;
    }
}

std::string TPaintStyle::Delimiters() const {
    std::string out;
    for (int c = 0; c < 256; ++c) {
        if (FDelimiters[static_cast<std::size_t>(c)]) out += static_cast<char>(c);
    }
    return out;
}

void TPaintStyle::SetDelimiters(std::string_view chars) {
    FDelimiters.reset();
    for (std::size_t i = 0; i < chars.size();) {
        const std::size_t n = CharLength(chars, i);
        if (n == 1) FDelimiters.set(static_cast<unsigned char>(chars[i]));
        i += n;
    }
}

TColor TPaintStyle::CharColor(std::int32_t index) const noexcept {
    if (index < 0 || index > 255) return clNone;
    return FCharColors[static_cast<std::size_t>(index)];
}

void TPaintStyle::SetCharColor(std::int32_t index, TColor color) noexcept {
    if (index < 0 || index > 255) return;
    FCharColors[static_cast<std::size_t>(index)] = color;
}

bool operator==(const TPaintStyle& a, const TPaintStyle& b) {
    for (const TColorProperty& p : kColorProperties) {
        if (a.*p.Field != b.*p.Field) return false;
    }
    for (const TSwitchProperty& p : kSwitchProperties) {
        if (a.*p.Field != b.*p.Field) return false;
    }
    return a.DependenceChar.Chars() == b.DependenceChar.Chars() && a.FDelimiters == b.FDelimiters &&
           a.FCharColors == b.FCharColors;
}

std::span<const TColorProperty> ColorProperties() noexcept {
    return kColorProperties;
}
std::span<const TSwitchProperty> SwitchProperties() noexcept {
    return kSwitchProperties;
}

TCellStyle CellStyle(const TPaintStyle& st, const TPaintCell& cell, TLineState state,
                     bool focused) noexcept {
    TCellStyle s;
    s.Back = st.Color;
    const bool on = st.ColorOn;
    if (on && cell.Bytes == 1 && st.IsDelimiter(cell.Byte)) s.Back = st.ColorFDelimiter;
    const auto syntax = [&](TColor c) { return on ? c : st.ColorText; };
    // A mark is visible only while its switch and the master switch are on.
    bool hidden = false;
    const auto mark = [&](bool show, TColor c) {
        hidden = !(st.ShowMark && show);
        return c;
    };
    switch (cell.Kind) {
    case TCharKind::ckNorm:
        s.Font = st.ColorText;
        if (on && state == TLineState::lsControl) s.Font = st.ColorControl;
        if (on && state == TLineState::lsStat) s.Font = st.ColorStat;
        break;
    case TCharKind::ckControl:
    case TCharKind::ckStat: s.Font = st.ColorText; break;
    case TCharKind::ckComment: s.Font = syntax(st.ColorComment); break;
    case TCharKind::ckDependence: s.Font = syntax(st.ColorDependence); break;
    case TCharKind::ckJSpace: s.Font = mark(st.ShowJSpace, st.ColorDSpace); break;
    case TCharKind::ckTab: s.Font = mark(st.ShowTab, st.ColorTab); break;
    case TCharKind::ckCrLf: s.Font = mark(st.ShowCr, st.ColorCrLf); break;
    case TCharKind::ckEof: s.Font = mark(st.ShowEof, st.ColorEof); break;
    case TCharKind::ckKakko:
        s.Font = syntax(st.KakkoColor(cell.Level));
        if (cell.CaretPair) {
            s.Back = st.ColorKakko;
            s.Bold = st.ShowKakko;
        }
        break;
    case TCharKind::ckJEq: s.Font = syntax(st.ColorDEq); break;
    case TCharKind::ckChar:
        s.Font = st.ColorText;
        if (on && st.ColorCharOn && cell.Bytes == 1 && st.CharColor(cell.Byte) != clNone)
            s.Font = st.CharColor(cell.Byte);
        break;
    case TCharKind::ckString: s.Font = syntax(st.ColorString); break;
    case TCharKind::ckKeyWord: s.Font = syntax(st.ColorKeyWord); break;
    case TCharKind::ckReserved:
        s.Font = syntax(st.ColorReserved);
        s.Bold = on && st.BoldReserved;
        break;
    case TCharKind::ckFind:
        s.Font = st.ColorText;
        s.Back = st.ColorFind;
        break;
    }
    if (cell.Selected) {
        if (cell.Kind == TCharKind::ckEof) {
            s.Font = st.ColorSelCr;
            s.Back = st.Color;
        } else {
            s.Back = focused ? st.ColorSelBrush : st.ColorSelBrushInactive;
            if (IsMarkKind(cell.Kind)) {
                s.Font = st.ColorSelCr;
            } else if (cell.Kind != TCharKind::ckDependence) {
                s.Font = st.ColorSelText;
            }
        }
    }
    if (hidden) s.Font = s.Back;
    return s;
}

}  // namespace rekna
