// Built-ins on the bytes of UTF-16 text: LenB, LeftB, RightB, MidB, InStrB, AscB, ChrB; and
// Escape and Unescape.
#include <cstdio>

#include "platform/cp932.h"
#include "script/builtins/builtins.h"
#include "script/runtime/raise.h"
#include "script/runtime/runtime.h"
#include "script/values/convert.h"
#include "script/values/text_units.h"

namespace rekna {

namespace {

using TArgs = std::vector<TVariant>;

// Each unit is two bytes; a count of bytes that ends inside a unit ends before it, since the
// memo holds no half characters.
TVariant LenB(TRuntime&, TArgs& a) {
    if (a[0].IsNull()) return a[0];
    return TVariant::Long(static_cast<std::int32_t>(2 * UnitCount(ToText(a[0]))));
}

TVariant LeftB(TRuntime&, TArgs& a) {
    if (a[0].IsNull()) return a[0];
    const std::string s = ToText(a[0]);
    const TUnitIndex units(s, false);
    return TVariant::String(std::string(units.Slice(s, 0, Count(a[1]) / 2)));
}

TVariant RightB(TRuntime&, TArgs& a) {
    if (a[0].IsNull()) return a[0];
    const std::string s = ToText(a[0]);
    const TUnitIndex units(s, false);
    const std::size_t n = static_cast<std::size_t>(Count(a[1])) / 2;
    return TVariant::String(
        std::string(units.Slice(s, units.Units() > n ? units.Units() - n : 0, n)));
}

TVariant MidB(TRuntime&, TArgs& a) {
    if (a[0].IsNull()) return a[0];
    const std::int32_t start = ToLong(a[1]);
    if (start < 1) Raise(seInvalidCall);
    const std::string s = ToText(a[0]);
    const TUnitIndex units(s, false);
    const std::size_t count =
        HasArg(a, 2) ? static_cast<std::size_t>(Count(a[2])) / 2 : std::string::npos;
    return TVariant::String(
        std::string(units.Slice(s, static_cast<std::size_t>(start - 1) / 2, count)));
}

// InStrB: the byte position (from 1) of the first unit where the text is found.
TVariant InStrB(TRuntime& rt, TArgs& a) {
    std::int32_t start = 1;
    const std::size_t first = StartArg(a, start);
    if (a[first].IsNull() || a[first + 1].IsNull()) return TVariant::Null();
    TArgs args;
    args.push_back(TVariant::Long((start + 1) / 2));
    args.push_back(a[first]);
    args.push_back(a[first + 1]);
    if (HasArg(a, first + 2)) args.push_back(a[first + 2]);
    const int b = FindBuiltin("instr");
    const TVariant unit = BuiltinAt(b).Fn(rt, args);
    const std::int32_t u = unit.WholeValue();
    return TVariant::Long(u == 0 ? 0 : 2 * u - 1);
}

TVariant AscB(TRuntime&, TArgs& a) {
    const std::string s = ToText(a[0]);
    if (s.empty()) Raise(seInvalidCall);
    return TVariant::Integer(static_cast<std::int16_t>(FirstUnit(s) & 0xFF));
}

// ChrB: the character of a code 0..255 (a whole character: the memo holds no single bytes of
// UTF-16).
TVariant ChrB(TRuntime&, TArgs& a) {
    const std::int32_t code = ToLong(a[0]);
    if (code < 0 || code > 255) Raise(seInvalidCall);
    return TVariant::String(CharOfCodePoint(static_cast<char32_t>(code)));
}

bool Unreserved(unsigned c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '@' ||
           c == '*' || c == '_' || c == '+' || c == '-' || c == '.' || c == '/';
}

TVariant Escape(TRuntime& rt, TArgs& a) {
    if (a[0].IsNull()) return a[0];
    const std::string s = ToText(a[0]);
    std::string out;
    char buf[16];
    for (std::size_t i = 0; i < s.size(); i += CharLength(s, i)) {
        const char32_t cp = CodePointAt(s, i);
        if (cp < 0x80 && Unreserved(cp)) {
            out += static_cast<char>(cp);
        } else if (cp < 0x100) {
            std::snprintf(buf, sizeof buf, "%%%02X", static_cast<unsigned>(cp));
            out += buf;
        } else if (cp < 0x10000) {
            std::snprintf(buf, sizeof buf, "%%u%04X", static_cast<unsigned>(cp));
            out += buf;
        } else {
            const char32_t v = cp - 0x10000;
            std::snprintf(buf, sizeof buf, "%%u%04X%%u%04X",
                          static_cast<unsigned>(0xD800 + (v >> 10)),
                          static_cast<unsigned>(0xDC00 + (v & 0x3FF)));
            out += buf;
        }
        rt.CheckText(out.size());
    }
    return TVariant::String(std::move(out));
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The value of n hexadecimal digits at s[i], or -1.
long HexAt(std::string_view s, std::size_t i, std::size_t n) {
    if (i + n > s.size()) return -1;
    long v = 0;
    for (std::size_t k = 0; k < n; ++k) {
        const int d = HexDigit(s[i + k]);
        if (d < 0) return -1;
        v = v * 16 + d;
    }
    return v;
}

TVariant Unescape(TRuntime&, TArgs& a) {
    if (a[0].IsNull()) return a[0];
    const std::string s = ToText(a[0]);
    std::string out;
    for (std::size_t i = 0; i < s.size();) {
        if (s[i] == '%') {
            if (i + 1 < s.size() && s[i + 1] == 'u') {
                const long u = HexAt(s, i + 2, 4);
                if (u >= 0xD800 && u <= 0xDBFF && i + 12 <= s.size() && s[i + 6] == '%' &&
                    s[i + 7] == 'u') {
                    const long low = HexAt(s, i + 8, 4);
                    if (low >= 0xDC00 && low <= 0xDFFF) {
                        out += CharOfCodePoint(
                            static_cast<char32_t>(0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00)));
                        i += 12;
                        continue;
                    }
                }
                if (u >= 0 && (u < 0xD800 || u > 0xDFFF)) {
                    out += CharOfCodePoint(static_cast<char32_t>(u));
                    i += 6;
                    continue;
                }
            } else {
                const long b = HexAt(s, i + 1, 2);
                if (b >= 0) {
                    out += CharOfCodePoint(static_cast<char32_t>(b));
                    i += 3;
                    continue;
                }
            }
        }
        const std::size_t n = CharLength(s, i);
        out.append(s, i, n);
        i += n;
    }
    return TVariant::String(std::move(out));
}

constexpr TBuiltin kBytes[] = {
    {"lenb", 1, 1, LenB}, {"leftb", 2, 2, LeftB},   {"rightb", 2, 2, RightB},
    {"midb", 2, 3, MidB}, {"instrb", 2, 4, InStrB}, {"ascb", 1, 1, AscB},
    {"chrb", 1, 1, ChrB}, {"escape", 1, 1, Escape}, {"unescape", 1, 1, Unescape},
};

}  // namespace

std::span<const TBuiltin> BytesBuiltins() {
    return kBytes;
}

}  // namespace rekna
