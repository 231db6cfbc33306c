// Script text as UTF-16 units, and its Unicode case mapping.
#include "script/values/text_units.h"

#include <algorithm>
#include <clocale>
#include <cwctype>
#include <locale.h>

#include "platform/cp932.h"

namespace rekna {

namespace {

// Only codes of the user-defined area can carry characters beyond the Basic Multilingual Plane
// (or characters with case that CP932 lacks, such as "ä").
[[nodiscard]] bool MayBeCarried(unsigned char lead) noexcept {
    return lead >= 0xF0 && lead <= 0xF9;
}

char32_t DecodeUtf8(std::string_view u) noexcept {
    if (u.empty()) return 0;
    const auto* b = reinterpret_cast<const unsigned char*>(u.data());
    if (b[0] < 0x80) return b[0];
    if (b[0] >= 0xF0 && u.size() >= 4) {
        return ((b[0] & 0x07u) << 18) | ((b[1] & 0x3Fu) << 12) | ((b[2] & 0x3Fu) << 6) |
               (b[3] & 0x3Fu);
    }
    if (b[0] >= 0xE0 && u.size() >= 3) {
        return ((b[0] & 0x0Fu) << 12) | ((b[1] & 0x3Fu) << 6) | (b[2] & 0x3Fu);
    }
    if (b[0] >= 0xC0 && u.size() >= 2) return ((b[0] & 0x1Fu) << 6) | (b[1] & 0x3Fu);
    return 0xFFFD;
}

std::string EncodeUtf8(char32_t c) {
    std::string out;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

// Unicode's simple case mapping from the C library's built-in UTF-8 locale, with the common
// alphabets by rule where that locale is missing.
class TCaseMap {
public:
    TCaseMap() : FLocale(newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr))) {}

    char32_t Lower(char32_t c) const noexcept {
        if (FLocale) return static_cast<char32_t>(towlower_l(static_cast<wint_t>(c), FLocale));
        return ByRule(c, false);
    }
    char32_t Upper(char32_t c) const noexcept {
        if (FLocale) return static_cast<char32_t>(towupper_l(static_cast<wint_t>(c), FLocale));
        return ByRule(c, true);
    }

private:
    static char32_t ByRule(char32_t c, bool upper) noexcept {
        struct TRange {
            char32_t Upper, Lower, Count;
        };
        static constexpr TRange kRanges[] = {
            {0xC0, 0xE0, 23},   {0xD8, 0xF8, 7},    {0x391, 0x3B1, 17},   {0x3A3, 0x3C3, 9},
            {0x410, 0x430, 32}, {0x400, 0x450, 16}, {0xFF21, 0xFF41, 26},
        };
        for (const TRange& r : kRanges) {
            if (upper && c >= r.Lower && c < r.Lower + r.Count) return c - r.Lower + r.Upper;
            if (!upper && c >= r.Upper && c < r.Upper + r.Count) return c - r.Upper + r.Lower;
        }
        if (c >= 0x100 && c < 0x178) return upper ? (c & ~1u) : (c | 1u);
        return c;
    }

    locale_t FLocale;
};

const TCaseMap& CaseMap() {
    static const TCaseMap map;
    return map;
}

std::string MapCase(std::string_view s, bool upper, bool keepLength = false) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            out += static_cast<char>(upper                    ? (c >= 'a' && c <= 'z' ? c - 32 : c)
                                     : (c >= 'A' && c <= 'Z') ? c + 32
                                                              : c);
            ++i;
            continue;
        }
        const std::size_t n = CharLength(s, i);
        if (n == 1) {  // half-width katakana and raw bytes have no case
            out += s[i];
            ++i;
            continue;
        }
        const char32_t cp = CodePointAt(s, i);
        const char32_t mapped = upper ? CaseMap().Upper(cp) : CaseMap().Lower(cp);
        if (mapped == cp || (mapped >= 0xF700 && mapped <= 0xF7FF)) {
            out.append(s.substr(i, n));
        } else {
            const std::string c = CharOfCodePoint(mapped);
            out += keepLength && c.size() != n ? std::string(s.substr(i, n)) : c;
        }
        i += n;
    }
    return out;
}

}  // namespace

char32_t CodePointAt(std::string_view s, std::size_t pos) {
    const auto c = static_cast<unsigned char>(s[pos]);
    if (c < 0x80) return c;
    return DecodeUtf8(Cp932ToUtf8(s.substr(pos, CharLength(s, pos))));
}

std::string CharOfCodePoint(char32_t cp) {
    return Utf8ToCp932(EncodeUtf8(cp));
}

std::size_t UnitCount(std::string_view s) {
    std::size_t units = 0;
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const std::size_t n = CharLength(s, i);
        units += n == 2 && MayBeCarried(c) && CodePointAt(s, i) > 0xFFFF ? 2 : 1;
        i += n;
    }
    return units;
}

TUnitIndex::TUnitIndex(std::string_view s, bool ascii) : FBytes(s.size()) {
    if (ascii) {
        FUnits = s.size();
        return;
    }
    bool identity = true;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (static_cast<unsigned char>(s[i]) >= 0x80) {
            identity = false;
            break;
        }
    }
    if (identity) {
        FUnits = s.size();
        return;
    }
    FIdentity = false;
    FStart.reserve(s.size() + 1);
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const std::size_t n = CharLength(s, i);
        FStart.push_back(static_cast<std::uint32_t>(i));
        if (n == 2 && MayBeCarried(c) && CodePointAt(s, i) > 0xFFFF) {
            FStart.push_back(static_cast<std::uint32_t>(i));
        }
        i += n;
    }
    FUnits = FStart.size();
    FStart.push_back(static_cast<std::uint32_t>(s.size()));
}

std::size_t TUnitIndex::EndOffset(std::size_t u) const noexcept {
    if (u >= FUnits) return FBytes;
    return FIdentity ? u : FStart[u];
}

std::size_t TUnitIndex::StartOffset(std::size_t u) const noexcept {
    if (u >= FUnits) return FBytes;
    if (FIdentity) return u;
    if (u > 0 && FStart[u] == FStart[u - 1]) return FStart[u + 1];
    return FStart[u];
}

std::size_t TUnitIndex::UnitOf(std::size_t offset) const noexcept {
    if (FIdentity) return std::min(offset, FUnits);
    return static_cast<std::size_t>(
        std::lower_bound(FStart.begin(), FStart.end() - 1, static_cast<std::uint32_t>(offset)) -
        FStart.begin());
}

std::string_view TUnitIndex::Slice(std::string_view text, std::size_t from,
                                   std::size_t count) const noexcept {
    from = std::min(from, FUnits);
    count = std::min(count, FUnits - from);
    const std::size_t b = StartOffset(from);
    const std::size_t e = std::max(b, EndOffset(from + count));
    return text.substr(b, e - b);
}

std::string ScriptLowerCase(std::string_view s) {
    return MapCase(s, false);
}

std::string ScriptUpperCase(std::string_view s) {
    return MapCase(s, true);
}

std::string ScriptFoldCase(std::string_view s) {
    return MapCase(s, false, true);
}

int CompareUnits(std::string_view a, std::string_view b) {
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        const auto x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[j]);
        if (x < 0x80 && y < 0x80) {
            if (x != y) return x < y ? -1 : 1;
            ++i, ++j;
            continue;
        }
        const std::size_t n = CharLength(a, i), m = CharLength(b, j);
        if (a.substr(i, n) != b.substr(j, m)) {
            char32_t p = CodePointAt(a, i), q = CodePointAt(b, j);
            // Surrogate pairs sort below U+E000 in UTF-16.
            if (p > 0xFFFF) p = 0xD800 + ((p - 0x10000) >> 10);
            if (q > 0xFFFF) q = 0xD800 + ((q - 0x10000) >> 10);
            if (p != q) return p < q ? -1 : 1;
            const int c = a.substr(i, n).compare(b.substr(j, m));
            if (c != 0) return c < 0 ? -1 : 1;
        }
        i += n, j += m;
    }
    if (i < a.size()) return 1;
    if (j < b.size()) return -1;
    return 0;
}

std::int32_t FirstUnit(std::string_view s) {
    const char32_t cp = CodePointAt(s, 0);
    std::uint32_t unit = cp;
    if (cp > 0xFFFF) unit = 0xD800 + ((cp - 0x10000) >> 10);
    return unit > 32767 ? static_cast<std::int32_t>(unit) - 65536 : static_cast<std::int32_t>(unit);
}

}  // namespace rekna
