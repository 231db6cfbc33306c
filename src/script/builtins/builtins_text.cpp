// Built-in text functions. Positions and lengths count UTF-16 units, as the language does: a
// character of the memo is one unit, one beyond the Basic Multilingual Plane (an emoji) two.
#include <algorithm>
#include <functional>

#include "platform/cp932.h"
#include "script/builtins/builtins.h"
#include "script/runtime/raise.h"
#include "script/runtime/runtime.h"
#include "script/values/convert.h"
#include "script/values/operators.h"
#include "script/values/text_units.h"

namespace rekna {

namespace {

using TArgs = std::vector<TVariant>;

bool TextCompare(const TArgs& a, std::size_t i) {
    if (!HasArg(a, i)) return false;
    const std::int32_t c = ToLong(a[i]);
    if (c < 0) Raise(seInvalidCall);
    return c == 1;
}

std::string Folded(std::string_view s, bool text) {
    return text ? ScriptFoldCase(s) : std::string(s);
}

// The text of an argument, and whether it is known to be ASCII (each unit one byte).
struct TText {
    std::string Text;
    bool Ascii;
};

TText TextOf(const TVariant& v) {
    if (v.IsString()) return {v.Str(), v.IsAsciiText()};
    std::string t = ToText(v);
    const bool ascii = std::all_of(t.begin(), t.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    return {std::move(t), ascii};
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

TVariant Len(TRuntime&, TArgs& a) {
    if (a[0].IsNull()) return a[0];
    const TText t = TextOf(a[0]);
    return TVariant::Long(static_cast<std::int32_t>(t.Ascii ? t.Text.size() : UnitCount(t.Text)));
}

TVariant Left(TRuntime&, TArgs& a) {
    if (a[0].IsNull()) return a[0];
    const TText t = TextOf(a[0]);
    const TUnitIndex units(t.Text, t.Ascii);
    return TVariant::String(std::string(units.Slice(t.Text, 0, Count(a[1]))));
}

TVariant Right(TRuntime&, TArgs& a) {
    if (a[0].IsNull()) return a[0];
    const TText t = TextOf(a[0]);
    const TUnitIndex units(t.Text, t.Ascii);
    const std::size_t n = Count(a[1]);
    const std::size_t all = units.Units();
    return TVariant::String(std::string(units.Slice(t.Text, all > n ? all - n : 0, n)));
}

TVariant Mid(TRuntime&, TArgs& a) {
    if (a[0].IsNull()) return a[0];
    const std::int32_t start = ToLong(a[1]);
    if (start < 1) Raise(seInvalidCall);
    const std::size_t count = HasArg(a, 2) ? Count(a[2]) : std::string::npos;
    const TText t = TextOf(a[0]);
    const TUnitIndex units(t.Text, t.Ascii);
    return TVariant::String(
        std::string(units.Slice(t.Text, static_cast<std::size_t>(start) - 1, count)));
}

TVariant InStr(TRuntime&, TArgs& a) {
    std::int32_t start = 1;
    const std::size_t first = StartArg(a, start);
    if (a[first].IsNull() || a[first + 1].IsNull()) return TVariant::Null();
    const bool text = TextCompare(a, first + 2);
    const TText inText = TextOf(a[first]);
    const std::string in = Folded(inText.Text, text);
    const std::string what = Folded(TextOf(a[first + 1]).Text, text);
    const TUnitIndex units(in, inText.Ascii && !text);
    if (static_cast<std::size_t>(start) > units.Units()) return TVariant::Long(0);
    if (what.empty()) return TVariant::Long(start);
    const std::size_t at =
        TFinder(in, what).Next(units.StartOffset(static_cast<std::size_t>(start) - 1));
    return TVariant::Long(
        at == std::string::npos ? 0 : static_cast<std::int32_t>(units.UnitOf(at) + 1));
}

TVariant InStrRev(TRuntime&, TArgs& a) {
    if (a[0].IsNull() || a[1].IsNull()) return TVariant::Null();
    const bool text = TextCompare(a, 3);
    const TText inText = TextOf(a[0]);
    const std::string in = Folded(inText.Text, text);
    const std::string what = Folded(TextOf(a[1]).Text, text);
    const std::int32_t start = HasArg(a, 2) ? ToLong(a[2]) : -1;
    if (start == 0 || start < -1) Raise(seInvalidCall);
    const TUnitIndex units(in, inText.Ascii && !text);
    const std::size_t all = units.Units();
    const std::size_t last = start == -1 ? all : std::min<std::size_t>(start, all);
    if (what.empty()) return TVariant::Long(start == -1 ? static_cast<std::int32_t>(all) : start);
    const std::size_t end = units.EndOffset(last);
    const TFinder finder(in, what);
    std::size_t found = std::string::npos;
    for (std::size_t at = finder.Next(0); at != std::string::npos && at + what.size() <= end;
         at = finder.Next(at + 1)) {
        found = at;
    }
    return TVariant::Long(
        found == std::string::npos ? 0 : static_cast<std::int32_t>(units.UnitOf(found) + 1));
}

TVariant Replace(TRuntime& rt, TArgs& a) {
    if (a[0].IsNull() || a[1].IsNull() || a[2].IsNull()) return TVariant::Null();
    const TText whole = TextOf(a[0]);
    const std::string what = ToText(a[1]);
    const std::string with = ToText(a[2]);
    const std::int32_t start = HasArg(a, 3) ? ToLong(a[3]) : 1;
    if (start < 1) Raise(seInvalidCall);
    std::int32_t count = HasArg(a, 4) ? ToLong(a[4]) : -1;
    if (count < -1) Raise(seInvalidCall);
    const bool text = TextCompare(a, 5);
    const TUnitIndex units(whole.Text, whole.Ascii);
    const std::string in(
        units.Slice(whole.Text, static_cast<std::size_t>(start) - 1, std::string::npos));
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
    TScriptArray arr;
    arr.Upper = {static_cast<std::int32_t>(parts.size()) - 1};
    arr.Items = std::move(parts);
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

// Filter: the texts of a list that hold (or, include False, lack) a value.
TVariant Filter(TRuntime&, TArgs& a) {
    if (!a[0].IsArray()) Raise(seTypeMismatch);
    const TScriptArray& arr = a[0].Arr();
    if (arr.Upper.size() != 1) Raise(seSubscript);
    if (a[1].IsNull()) Raise(seInvalidNull);
    const bool include = !HasArg(a, 2) || ToBool(a[2]);
    const bool text = TextCompare(a, 3);
    const std::string key = Folded(ToText(a[1]), text);
    std::vector<TVariant> kept;
    for (const TVariant& item : arr.Items) {
        const std::string s = ToText(item);
        const bool holds =
            key.empty() || TFinder(Folded(s, text), key).Next(0) != std::string::npos;
        if (holds == include) kept.push_back(TVariant::String(s));
    }
    TScriptArray out;
    out.Upper = {static_cast<std::int32_t>(kept.size()) - 1};
    out.Items = std::move(kept);
    return TVariant::Array(std::move(out));
}

TVariant StrComp(TRuntime&, TArgs& a) {
    if (a[0].IsNull() || a[1].IsNull()) return TVariant::Null();
    const bool text = TextCompare(a, 2);
    const std::string x = ToText(a[0]), y = ToText(a[1]);
    const int c = text ? CompareTextNoCase(x, y) : CompareUnits(x, y);
    return TVariant::Integer(static_cast<std::int16_t>(c));
}

// Chr: a single byte, or a double-byte code whose high byte is a lead byte.
std::string CodeChar(std::int32_t code) {
    if (code < -32768 || code > 65535) Raise(seInvalidCall);
    if (code < 0) code += 65536;
    if (code <= 255) return std::string(1, static_cast<char>(code));
    if (!IsLeadByte(static_cast<unsigned char>(code >> 8))) Raise(seInvalidCall);
    return std::string{static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
}

// ChrW: a UTF-16 unit; half of a surrogate pair is no character the memo can hold.
std::string UnicodeChar(std::int32_t code) {
    if (code < -32768 || code > 65535) Raise(seInvalidCall);
    if (code < 0) code += 65536;
    if (code >= 0xD800 && code <= 0xDFFF) Raise(seInvalidCall);
    return CharOfCodePoint(static_cast<char32_t>(code));
}

TVariant Chr(TRuntime&, TArgs& a) {
    return TVariant::String(CodeChar(ToLong(a[0])));
}
TVariant ChrW(TRuntime&, TArgs& a) {
    return TVariant::String(UnicodeChar(ToLong(a[0])));
}

// Asc: the code page's code of the first character ("?" for a character it lacks).
TVariant Asc(TRuntime&, TArgs& a) {
    const std::string s = ToText(a[0]);
    if (s.empty()) Raise(seInvalidCall);
    const auto b0 = static_cast<unsigned char>(s[0]);
    if (CharLength(s, 0) == 1) return TVariant::Integer(b0);
    if (b0 >= 0xF0 && b0 <= 0xF9) {
        const char32_t cp = CodePointAt(s, 0);
        if (cp < 0xE000 || cp > 0xF8FF) return TVariant::Integer('?');
    }
    const int code = (b0 << 8) | static_cast<unsigned char>(s[1]);
    return TVariant::Integer(static_cast<std::int16_t>(code - 65536));
}

TVariant AscW(TRuntime&, TArgs& a) {
    const std::string s = ToText(a[0]);
    if (s.empty()) Raise(seInvalidCall);
    return TVariant::Integer(static_cast<std::int16_t>(FirstUnit(s)));
}

TVariant LCase(TRuntime&, TArgs& a) {
    if (a[0].IsNull()) return a[0];
    return TVariant::String(ScriptLowerCase(ToText(a[0])));
}

TVariant UCase(TRuntime&, TArgs& a) {
    if (a[0].IsNull()) return a[0];
    return TVariant::String(ScriptUpperCase(ToText(a[0])));
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
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < s.size(); i += CharLength(s, i))
        starts.push_back(i);
    starts.push_back(s.size());
    std::string out;
    out.reserve(s.size());
    for (std::size_t c = starts.size() - 1; c-- > 0;)
        out.append(s, starts[c], starts[c + 1] - starts[c]);
    return TVariant::String(std::move(out));
}

constexpr TBuiltin kText[] = {
    {"asc", 1, 1, Asc},           {"ascw", 1, 1, AscW},       {"chr", 1, 1, Chr},
    {"chrw", 1, 1, ChrW},         {"filter", 2, 4, Filter},   {"instr", 2, 4, InStr},
    {"instrrev", 2, 4, InStrRev}, {"join", 1, 2, Join},       {"lcase", 1, 1, LCase},
    {"left", 2, 2, Left},         {"len", 1, 1, Len},         {"ltrim", 1, 1, LTrim},
    {"mid", 2, 3, Mid},           {"replace", 3, 6, Replace}, {"right", 2, 2, Right},
    {"rtrim", 1, 1, RTrim},       {"space", 1, 1, Space},     {"split", 1, 4, Split},
    {"strcomp", 2, 3, StrComp},   {"string", 2, 2, String},   {"strreverse", 1, 1, StrReverse},
    {"trim", 1, 1, Trim},         {"ucase", 1, 1, UCase},
};

}  // namespace

std::span<const TBuiltin> TextBuiltins() {
    return kText;
}

}  // namespace rekna
