// The control keyword table: one row per bit drives parsing and the log.
#include "engine/control_keywords.h"

#include <array>

namespace rekna {

namespace {

// Keyword text of each bit; bits 0 and 20 are written "#", bit 21 is not written.
constexpr std::array<const char*, kControlBitCount> kKeywords = {
    "#",    "#Eng", "#Exp", "#Fix", "#Non", "#N2", "#N2C", "#N16", "#N10", "#Jpn", "#N60",
    "#Tim", "#Fac", "#%",   "#dB",  "#Usr", "#@",  "#i",   "#j",   "#End", "#",    "",
};

struct TShortForm {
    const char* Text;
    int Bit;
};
constexpr TShortForm kShortForms[] = {{"$", cbN16}, {"&", cbN2}, {"&c", cbN2C}};

// The keywords are ASCII: only ASCII letters fold.
constexpr char LowerAscii(char c) noexcept {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
}

bool EqualNoCase(std::string_view a, std::string_view b) noexcept {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    }
    return true;
}

std::string_view Trim(std::string_view s) noexcept {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ')
        s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ')
        s.remove_suffix(1);
    return s;
}

}  // namespace

const std::string& ControlKeywordText(int bit) noexcept {
    static const std::array<std::string, kControlBitCount> texts = [] {
        std::array<std::string, kControlBitCount> t;
        for (int i = 0; i < kControlBitCount; ++i)
            t[i] = kKeywords[i];
        return t;
    }();
    return texts[static_cast<std::size_t>(bit) < texts.size() ? bit : cbData];
}

int FindControlKeyword(std::string_view text) noexcept {
    text = Trim(text);
    if (text.empty()) return -1;
    for (int bit = cbEng; bit <= cbEnd; ++bit) {
        if (EqualNoCase(text, std::string_view(kKeywords[bit]).substr(1))) return bit;
    }
    for (const auto& s : kShortForms) {
        if (EqualNoCase(text, s.Text)) return s.Bit;
    }
    return -1;
}

std::string ControlMaskText(TControlMask mask) {
    std::string out;
    for (int bit = 0; bit < kControlBitCount; ++bit) {
        if (mask & ControlBit(bit)) out += kKeywords[bit];
    }
    return out;
}

}  // namespace rekna
