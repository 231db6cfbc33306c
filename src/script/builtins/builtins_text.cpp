// Built-in text functions. Positions and lengths count characters: a double-byte character of
// the text is one.
#include <algorithm>
#include <functional>

#include "platform/cp932.h"
#include "platform/lcmap.h"
#include "script/builtins/builtins.h"
#include "script/runtime/raise.h"
#include "script/runtime/runtime.h"
#include "script/values/convert.h"
#include "script/values/operators.h"

namespace rekna {

namespace {

using TArgs = std::vector<TVariant>;

// Byte offsets of the characters of a text, with the text's size as the last entry.
std::vector<std::size_t> CharStarts(std::string_view s) {
    std::vector<std::size_t> starts;
    starts.reserve(s.size() + 1);
    for (std::size_t i = 0; i < s.size(); i += CharLength(s, i))
        starts.push_back(i);
    starts.push_back(s.size());
    return starts;
}

std::size_t CharCount(std::string_view s) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < s.size(); i += CharLength(s, i))
        ++n;
    return n;
}

// Characters [from, from + count) of the text, both clamped.
std::string CharSlice(std::string_view s, std::size_t from, std::size_t count) {
    const std::vector<std::size_t> starts = CharStarts(s);
    const std::size_t chars = starts.size() - 1;
    from = std::min(from, chars);
    count = std::min(count, chars - from);
    return std::string(s.substr(starts[from], starts[from + count] - starts[from]));
}

std::int32_t Count(const TVariant& v) {
    const std::int32_t n = ToLong(v);
    if (n < 0) Raise(seInvalidCall);
    return n;
}

bool TextCompare(const TArgs& a, std::size_t i) {
    if (!HasArg(a, i)) return false;
    const std::int32_t c = ToLong(a[i]);
    if (c < 0) Raise(seInvalidCall);
    return c == 1;
}

std::string Folded(std::string_view s, bool text) {
    return text ? LocaleLowerCase(s) : std::string(s);
}

// Finds a text at the character starts of another, in time about linear in their lengths, so
// that long texts with long keys cannot keep a script busy beyond the reach of a stop request.
class TFinder {
public:
    TFinder(std::string_view in, std::string_view what)
        : FIn(in), FWhat(what), FSearcher(what.begin(), what.end()), FStart(in.size() + 1) {
        for (std::size_t i = 0; i < in.size(); i += CharLength(in, i))
            FStart[i] = true;
        FStart[in.size()] = true;
    }

    // The byte offset of the first match at or after from, or npos. The key is not empty.
    [[nodiscard]] std::size_t Next(std::size_t from) const {
        while (from + FWhat.size() <= FIn.size()) {
            const auto it =
                std::search(FIn.begin() + static_cast<std::ptrdiff_t>(from), FIn.end(), FSearcher);
            if (it == FIn.end()) return std::string::npos;
            const auto at = static_cast<std::size_t>(it - FIn.begin());
            if (FStart[at]) return at;
            from = at + 1;
        }
        return std::string::npos;
    }

private:
    std::string_view FIn;
    std::string_view FWhat;
    std::boyer_moore_searcher<std::string_view::const_iterator> FSearcher;
    std::vector<bool> FStart;
};

// The character index of a byte offset that starts a character.
std::size_t CharIndex(const std::vector<std::size_t>& starts, std::size_t offset) {
    return static_cast<std::size_t>(std::lower_bound(starts.begin(), starts.end(), offset) -
                                    starts.begin());
}

// The first character position (0-based) at or after from where what occurs, or npos.
std::size_t FindChars(std::string_view in, std::string_view what, std::size_t from) {
    const std::vector<std::size_t> starts = CharStarts(in);
    const std::size_t chars = starts.size() - 1;
    if (from > chars) return std::string::npos;
    if (what.empty()) return from;
    const std::size_t at = TFinder(in, what).Next(starts[from]);
    return at == std::string::npos ? at : CharIndex(starts, at);
}

TVariant Len(TRuntime&, TArgs& a) {
    if (a[0].IsNull()) return a[0];
    return TVariant::Long(static_cast<std::int32_t>(CharCount(ToText(a[0]))));
}

TVariant Left(TRuntime&, TArgs& a) {
    if (a[0].IsNull()) return a[0];
    return TVariant::String(CharSlice(ToText(a[0]), 0, Count(a[1])));
}

TVariant Right(TRuntime&, TArgs& a) {
    if (a[0].IsNull()) return a[0];
    const std::string s = ToText(a[0]);
    const std::size_t n = Count(a[1]);
    const std::size_t chars = CharCount(s);
    return TVariant::String(CharSlice(s, chars > n ? chars - n : 0, n));
}

TVariant Mid(TRuntime&, TArgs& a) {
    if (a[0].IsNull()) return a[0];
    const std::int32_t start = ToLong(a[1]);
    if (start < 1) Raise(seInvalidCall);
    const std::size_t count = HasArg(a, 2) ? Count(a[2]) : std::string::npos;
    return TVariant::String(CharSlice(ToText(a[0]), start - 1, count));
}

TVariant InStr(TRuntime&, TArgs& a) {
    std::size_t first = 0;
    std::int32_t start = 1;
    if (a.size() >= 3) {
        if (a[0].IsNull()) Raise(seInvalidNull);
        start = ToLong(a[0]);
        if (start < 1) Raise(seInvalidCall);
        first = 1;
    }
    if (a[first].IsNull() || a[first + 1].IsNull()) return TVariant::Null();
    const bool text = TextCompare(a, first + 2);
    const std::string in = Folded(ToText(a[first]), text);
    const std::string what = Folded(ToText(a[first + 1]), text);
    if (static_cast<std::size_t>(start) > CharCount(in)) return TVariant::Long(0);
    const std::size_t at = FindChars(in, what, start - 1);
    return TVariant::Long(at == std::string::npos ? 0 : static_cast<std::int32_t>(at + 1));
}

TVariant InStrRev(TRuntime&, TArgs& a) {
    if (a[0].IsNull() || a[1].IsNull()) return TVariant::Null();
    const bool text = TextCompare(a, 3);
    const std::string in = Folded(ToText(a[0]), text);
    const std::string what = Folded(ToText(a[1]), text);
    const std::int32_t start = HasArg(a, 2) ? ToLong(a[2]) : -1;
    if (start == 0 || start < -1) Raise(seInvalidCall);
    const std::vector<std::size_t> starts = CharStarts(in);
    const std::size_t chars = starts.size() - 1;
    const std::size_t last = start == -1 ? chars : std::min<std::size_t>(start, chars);
    if (what.empty()) return TVariant::Long(start == -1 ? static_cast<std::int32_t>(chars) : start);
    const TFinder finder(in, what);
    std::size_t found = std::string::npos;
    for (std::size_t at = finder.Next(0);
         at != std::string::npos && at + what.size() <= starts[last]; at = finder.Next(at + 1)) {
        found = at;
    }
    return TVariant::Long(
        found == std::string::npos ? 0 : static_cast<std::int32_t>(CharIndex(starts, found) + 1));
}

TVariant Replace(TRuntime& rt, TArgs& a) {
    if (a[0].IsNull() || a[1].IsNull() || a[2].IsNull()) return TVariant::Null();
    const std::string whole = ToText(a[0]);
    const std::string what = ToText(a[1]);
    const std::string with = ToText(a[2]);
    const std::int32_t start = HasArg(a, 3) ? ToLong(a[3]) : 1;
    if (start < 1) Raise(seInvalidCall);
    std::int32_t count = HasArg(a, 4) ? ToLong(a[4]) : -1;
    if (count < -1) Raise(seInvalidCall);
    const bool text = TextCompare(a, 5);
    const std::string in = CharSlice(whole, start - 1, std::string::npos);
    if (what.empty() || count == 0) return TVariant::String(in);
    const std::string folded = Folded(in, text);
    const std::string key = Folded(what, text);
    const TFinder finder(folded, key);
    std::string out;
    std::size_t i = 0;
    while (count != 0) {
        const std::size_t at = finder.Next(i);
        if (at == std::string::npos) break;
        out.append(in, i, at - i);
        out += with;
        rt.CheckText(out.size());
        i = at + key.size();
        if (count > 0) --count;
    }
    out.append(in, i, std::string::npos);
    rt.CheckText(out.size());
    return TVariant::String(std::move(out));
}

TVariant Split(TRuntime& rt, TArgs& a) {
    if (a[0].IsNull()) Raise(seInvalidNull);
    const std::string in = ToText(a[0]);
    const std::string delim = HasArg(a, 1) ? ToText(a[1]) : std::string(" ");
    const std::int32_t limit = HasArg(a, 2) ? ToLong(a[2]) : -1;
    if (limit < -1) Raise(seInvalidCall);
    const bool text = TextCompare(a, 3);
    std::vector<TVariant> parts;
    if (!in.empty() && limit != 0) {
        if (delim.empty()) {
            parts.push_back(TVariant::String(in));
        } else {
            const std::string folded = Folded(in, text);
            const std::string key = Folded(delim, text);
            const TFinder finder(folded, key);
            std::size_t begin = 0;
            while (limit < 0 || static_cast<std::int32_t>(parts.size()) + 1 < limit) {
                const std::size_t at = finder.Next(begin);
                if (at == std::string::npos) break;
                parts.push_back(TVariant::String(in.substr(begin, at - begin)));
                rt.CheckItems(static_cast<double>(parts.size()) + 1);
                begin = at + key.size();
            }
            parts.push_back(TVariant::String(in.substr(begin)));
        }
    }
    auto arr = std::make_shared<TScriptArray>();
    arr->Upper = {static_cast<std::int32_t>(parts.size()) - 1};
    arr->Items = std::move(parts);
    return TVariant::Array(std::move(arr));
}

TVariant Join(TRuntime& rt, TArgs& a) {
    if (!a[0].IsArray()) Raise(seTypeMismatch);
    const TScriptArray& arr = a[0].Arr();
    if (arr.Upper.size() != 1) Raise(seSubscript);
    const std::string delim = HasArg(a, 1) ? ToText(a[1]) : std::string(" ");
    std::string out;
    for (std::size_t i = 0; i < arr.Items.size(); ++i) {
        if (i > 0) out += delim;
        out += ToText(arr.Items[i]);
        rt.CheckText(out.size());
    }
    return TVariant::String(std::move(out));
}

TVariant StrComp(TRuntime&, TArgs& a) {
    if (a[0].IsNull() || a[1].IsNull()) return TVariant::Null();
    const bool text = TextCompare(a, 2);
    const std::string x = ToText(a[0]), y = ToText(a[1]);
    const int c = text ? CompareTextNoCase(x, y) : x.compare(y);
    return TVariant::Integer(static_cast<std::int16_t>(c < 0 ? -1 : c > 0 ? 1 : 0));
}

// Chr: a single byte, or a double-byte code whose high byte is a lead byte.
std::string CodeChar(std::int32_t code) {
    if (code < -32768 || code > 65535) Raise(seInvalidCall);
    if (code < 0) code += 65536;
    if (code <= 255) return std::string(1, static_cast<char>(code));
    if (!IsLeadByte(static_cast<unsigned char>(code >> 8))) Raise(seInvalidCall);
    return std::string{static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
}

std::string UnicodeChar(std::int32_t code) {
    if (code < -32768 || code > 65535) Raise(seInvalidCall);
    if (code < 0) code += 65536;
    if (code >= 0xD800 && code <= 0xDFFF) Raise(seInvalidCall);
    std::string utf8;
    if (code < 0x80) {
        utf8 += static_cast<char>(code);
    } else if (code < 0x800) {
        utf8 += static_cast<char>(0xC0 | (code >> 6));
        utf8 += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        utf8 += static_cast<char>(0xE0 | (code >> 12));
        utf8 += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        utf8 += static_cast<char>(0x80 | (code & 0x3F));
    }
    return Utf8ToCp932(utf8);
}

TVariant Chr(TRuntime&, TArgs& a) {
    return TVariant::String(CodeChar(ToLong(a[0])));
}
TVariant ChrW(TRuntime&, TArgs& a) {
    return TVariant::String(UnicodeChar(ToLong(a[0])));
}

TVariant Asc(TRuntime&, TArgs& a) {
    const std::string s = ToText(a[0]);
    if (s.empty()) Raise(seInvalidCall);
    const auto b0 = static_cast<unsigned char>(s[0]);
    if (CharLength(s, 0) == 1) return TVariant::Integer(b0);
    const int code = (b0 << 8) | static_cast<unsigned char>(s[1]);
    return TVariant::Integer(static_cast<std::int16_t>(code - 65536));
}

TVariant AscW(TRuntime&, TArgs& a) {
    const std::string s = ToText(a[0]);
    if (s.empty()) Raise(seInvalidCall);
    const std::string utf8 = Cp932ToUtf8(s.substr(0, CharLength(s, 0)));
    const auto* u = reinterpret_cast<const unsigned char*>(utf8.data());
    std::int32_t code = u[0];
    if (u[0] >= 0xF0 && utf8.size() >= 4) {
        code = ((u[0] & 0x07) << 18) | ((u[1] & 0x3F) << 12) | ((u[2] & 0x3F) << 6) | (u[3] & 0x3F);
    } else if (u[0] >= 0xE0 && utf8.size() >= 3) {
        code = ((u[0] & 0x0F) << 12) | ((u[1] & 0x3F) << 6) | (u[2] & 0x3F);
    } else if (u[0] >= 0xC0 && utf8.size() >= 2) {
        code = ((u[0] & 0x1F) << 6) | (u[1] & 0x3F);
    }
    if (code > 0xFFFF) code = 0xFFFD;
    return TVariant::Integer(static_cast<std::int16_t>(code > 32767 ? code - 65536 : code));
}

TVariant LCase(TRuntime&, TArgs& a) {
    if (a[0].IsNull()) return a[0];
    return TVariant::String(LocaleLowerCase(ToText(a[0])));
}

TVariant UCase(TRuntime&, TArgs& a) {
    if (a[0].IsNull()) return a[0];
    return TVariant::String(LocaleUpperCase(ToText(a[0])));
}

TVariant TrimSides(const TVariant& v, bool left, bool right) {
    if (v.IsNull()) return v;
    const std::string s = ToText(v);
    std::size_t b = 0, e = s.size();
    if (left) {
        while (b < e && s[b] == ' ')
            ++b;
    }
    if (right) {
        while (e > b && s[e - 1] == ' ')
            --e;
    }
    return TVariant::String(s.substr(b, e - b));
}

TVariant LTrim(TRuntime&, TArgs& a) {
    return TrimSides(a[0], true, false);
}
TVariant RTrim(TRuntime&, TArgs& a) {
    return TrimSides(a[0], false, true);
}
TVariant Trim(TRuntime&, TArgs& a) {
    return TrimSides(a[0], true, true);
}

TVariant Repeat(TRuntime& rt, std::size_t n, const std::string& unit) {
    rt.CheckText(n * unit.size());
    std::string out;
    out.reserve(n * unit.size());
    for (std::size_t i = 0; i < n; ++i)
        out += unit;
    return TVariant::String(std::move(out));
}

TVariant Space(TRuntime& rt, TArgs& a) {
    return Repeat(rt, Count(a[0]), " ");
}

TVariant String(TRuntime& rt, TArgs& a) {
    if (a[0].IsNull() || a[1].IsNull()) return TVariant::Null();
    const std::size_t n = Count(a[0]);
    std::string unit;
    if (a[1].IsString()) {
        const std::string& s = a[1].Str();
        if (s.empty()) Raise(seInvalidCall);
        unit = s.substr(0, CharLength(s, 0));
    } else {
        std::int32_t code = ToLong(a[1]);
        if (code < 0 || code > 255) code = ((code % 256) + 256) % 256;
        unit = CodeChar(code);
    }
    return Repeat(rt, n, unit);
}

TVariant StrReverse(TRuntime&, TArgs& a) {
    if (a[0].IsNull()) Raise(seInvalidNull);
    const std::string s = ToText(a[0]);
    std::string out;
    out.reserve(s.size());
    const std::vector<std::size_t> starts = CharStarts(s);
    for (std::size_t c = starts.size() - 1; c-- > 0;) {
        out.append(s, starts[c], starts[c + 1] - starts[c]);
    }
    return TVariant::String(std::move(out));
}

constexpr TBuiltin kText[] = {
    {"asc", 1, 1, Asc},         {"ascw", 1, 1, AscW},
    {"chr", 1, 1, Chr},         {"chrw", 1, 1, ChrW},
    {"instr", 2, 4, InStr},     {"instrrev", 2, 4, InStrRev},
    {"join", 1, 2, Join},       {"lcase", 1, 1, LCase},
    {"left", 2, 2, Left},       {"len", 1, 1, Len},
    {"ltrim", 1, 1, LTrim},     {"mid", 2, 3, Mid},
    {"replace", 3, 6, Replace}, {"right", 2, 2, Right},
    {"rtrim", 1, 1, RTrim},     {"space", 1, 1, Space},
    {"split", 1, 4, Split},     {"strcomp", 2, 3, StrComp},
    {"string", 2, 2, String},   {"strreverse", 1, 1, StrReverse},
    {"trim", 1, 1, Trim},       {"ucase", 1, 1, UCase},
};

}  // namespace

std::span<const TBuiltin> TextBuiltins() {
    return kText;
}

}  // namespace rekna
