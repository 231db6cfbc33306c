// RegExp on PCRE2: Pattern, Global, IgnoreCase, Multiline, Test, Execute and Replace, with the
// collections of its results. Texts go to PCRE2 as UTF-8; positions and lengths count UTF-16
// units, as the language's are.
#include "script/objects/regexp.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <memory>

#include "platform/cp932.h"
#include "script/runtime/raise.h"
#include "script/values/convert.h"

namespace rekna {

namespace {

// UTF-16 units in a stretch of UTF-8: one per character, two for a character beyond U+FFFF.
std::size_t Units(std::string_view utf8) noexcept {
    std::size_t n = 0;
    for (const char ch : utf8) {
        const auto c = static_cast<unsigned char>(ch);
        if ((c & 0xC0) != 0x80) n += c >= 0xF0 ? 2 : 1;
    }
    return n;
}

TInvokeResult BadCount() {
    return {seArgCount, {}, false};
}

// Matches and SubMatches: Count, Item (their default) and For Each; a group of a match that took
// no part is Empty.
class TItems final : public TScriptObject {
public:
    TItems(std::vector<TVariant> items, const char* typeName)
        : FItems(std::move(items)), FTypeName(typeName) {
        Account(sizeof(TItems) + FItems.size() * sizeof(TVariant));
    }
    int MemberId(std::string_view name) const override {
        if (SameMemberName(name, "item")) return kDefaultMember;
        if (SameMemberName(name, "count")) return 1;
        return -1;
    }
    TInvokeResult Invoke(int id, std::uint8_t flags, std::vector<TVariant>& args,
                         TVariant& result) override {
        if ((flags & (ifPropertyPut | ifPropertyPutRef)) != 0) return {seNoMember, {}, false};
        if (id == 1) {
            if (!args.empty()) return BadCount();
            result = TVariant::Long(static_cast<std::int32_t>(FItems.size()));
            return {};
        }
        if (args.size() != 1) return BadCount();
        const std::int32_t i = ToLong(args[0]);
        if (i < 0 || static_cast<std::size_t>(i) >= FItems.size()) {
            return {seInvalidCall, {}, false};
        }
        result = FItems[static_cast<std::size_t>(i)];
        return {};
    }
    std::string TypeName() const override { return FTypeName; }
    bool HasDefault() const override { return true; }
    bool Enumerate(std::vector<TVariant>& items) override {
        items = FItems;
        return true;
    }
    const void* MemberKey() const noexcept override {
        static const char key = 0;
        return &key;
    }

private:
    std::vector<TVariant> FItems;
    const char* FTypeName;
};

// Match: Value (its default), FirstIndex, Length, SubMatches.
class TMatch final : public TScriptObject {
public:
    TMatch(std::string value, std::int32_t first, std::int32_t length, std::vector<TVariant> subs)
        : FValue(std::move(value)), FFirst(first), FLength(length),
          FSubs(new TItems(std::move(subs), "SubMatches")) {
        Account(sizeof(TMatch) + FValue.capacity());
    }
    int MemberId(std::string_view name) const override {
        static constexpr std::string_view kNames[] = {"value", "firstindex", "length",
                                                      "submatches"};
        return FindMemberName(name, kNames);
    }
    TInvokeResult Invoke(int id, std::uint8_t flags, std::vector<TVariant>& args,
                         TVariant& result) override {
        if ((flags & (ifPropertyPut | ifPropertyPutRef)) != 0) return {seNoMember, {}, false};
        if (!args.empty()) return BadCount();
        switch (id) {
        case 0: result = TVariant::String(FValue); break;
        case 1: result = TVariant::Long(FFirst); break;
        case 2: result = TVariant::Long(FLength); break;
        default: result = TVariant::Object(FSubs.Get()); break;
        }
        return {};
    }
    std::string TypeName() const override { return "Match"; }
    bool HasDefault() const override { return true; }
    const void* MemberKey() const noexcept override {
        static const char key = 0;
        return &key;
    }

private:
    std::string FValue;
    std::int32_t FFirst, FLength;
    TRef<TScriptObject> FSubs;
};

enum TRegExpMember : int {
    rmPattern,
    rmGlobal,
    rmIgnoreCase,
    rmMultiline,
    rmTest,
    rmExecute,
    rmReplace
};

struct TCodeFree {
    void operator()(pcre2_code* c) const noexcept { pcre2_code_free(c); }
};
struct TMatchDataFree {
    void operator()(pcre2_match_data* m) const noexcept { pcre2_match_data_free(m); }
};
struct TMatchContextFree {
    void operator()(pcre2_match_context* m) const noexcept { pcre2_match_context_free(m); }
};
struct TCompileContextFree {
    void operator()(pcre2_compile_context* c) const noexcept { pcre2_compile_context_free(c); }
};

// One match found: the byte offsets of the whole match and of each group (-1: no part).
struct TFound {
    std::vector<std::ptrdiff_t> Offsets;  // pairs: start, end
};

class TRegExp final : public TScriptObject {
public:
    TRegExp() { Account(sizeof(TRegExp)); }

    int MemberId(std::string_view name) const override {
        static constexpr std::string_view kNames[] = {
            "pattern", "global", "ignorecase", "multiline", "test", "execute", "replace"};
        return FindMemberName(name, kNames);
    }

    TInvokeResult Invoke(int id, std::uint8_t flags, std::vector<TVariant>& args,
                         TVariant& result) override {
        const bool put = (flags & ifPropertyPut) != 0;
        if (id <= rmMultiline) {
            if (put) {
                if (args.size() != 1) return BadCount();
                if (id == rmPattern) {
                    FPattern = ToText(args[0]);
                    Account(sizeof(TRegExp) + FPattern.capacity());
                } else {
                    (id == rmGlobal       ? FGlobal
                     : id == rmIgnoreCase ? FIgnoreCase
                                          : FMultiline) = ToBool(args[0]);
                }
                FCode.reset();
                return {};
            }
            if (!args.empty()) return BadCount();
            if (id == rmPattern) {
                result = TVariant::String(FPattern);
            } else {
                result = TVariant::Boolean(id == rmGlobal       ? FGlobal
                                           : id == rmIgnoreCase ? FIgnoreCase
                                                                : FMultiline);
            }
            return {};
        }
        if (put || (flags & ifPropertyPutRef) != 0) return {seNoMember, {}, false};
        if (id == rmTest || id == rmExecute) {
            if (args.size() != 1) return BadCount();
            const std::string subject = Cp932ToUtf8(ToText(args[0]));
            if (id == rmTest) {
                TFound found;
                result = TVariant::Boolean(Find(subject, 0, 0, found));
                return {};
            }
            result = Execute(subject);
            return {};
        }
        if (id == rmReplace) {
            if (args.size() != 2) return BadCount();
            result = TVariant::String(Replace(Cp932ToUtf8(ToText(args[0])), args[1]));
            return {};
        }
        return {seNoMember, {}, false};
    }

    std::string TypeName() const override { return "IRegExp2"; }
    const void* MemberKey() const noexcept override {
        static const char key = 0;
        return &key;
    }

private:
    void Compile() {
        if (FCode) return;
        const std::string pattern = Cp932ToUtf8(FPattern);
        std::unique_ptr<pcre2_compile_context, TCompileContextFree> context(
            pcre2_compile_context_create(nullptr));
        if (!context) Raise(seOutOfMemory);
        pcre2_set_newline(context.get(), PCRE2_NEWLINE_ANYCRLF);
        std::uint32_t options = PCRE2_UTF | PCRE2_ALT_BSUX | PCRE2_ALLOW_EMPTY_CLASS;
        if (FIgnoreCase) options |= PCRE2_CASELESS;
        options |= FMultiline ? PCRE2_MULTILINE : PCRE2_DOLLAR_ENDONLY;
        int error = 0;
        PCRE2_SIZE where = 0;
        FCode.reset(pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(),
                                  options, &error, &where, context.get()));
        if (!FCode) {
            switch (error) {
            case PCRE2_ERROR_QUANTIFIER_INVALID: Raise(5018);
            case PCRE2_ERROR_MISSING_SQUARE_BRACKET: Raise(5019);
            case PCRE2_ERROR_MISSING_CLOSING_PARENTHESIS: Raise(5020);
            case PCRE2_ERROR_CLASS_RANGE_ORDER: Raise(5021);
            default: Raise(seRegExpSyntax);
            }
        }
        FData.reset(pcre2_match_data_create_from_pattern(FCode.get(), nullptr));
        FContext.reset(pcre2_match_context_create(nullptr));
        if (!FData || !FContext) Raise(seOutOfMemory);
        pcre2_set_match_limit(FContext.get(), kRegExpMatchLimit);
        pcre2_set_depth_limit(FContext.get(), kRegExpDepthLimit);
        pcre2_set_heap_limit(FContext.get(), kRegExpHeapLimitKiB);
    }

    // The first match at or after start (byte offset), with PCRE2's match options.
    bool Find(const std::string& subject, std::size_t start, std::uint32_t options, TFound& found) {
        Compile();
        const int rc = pcre2_match(FCode.get(), reinterpret_cast<PCRE2_SPTR>(subject.data()),
                                   subject.size(), start, options, FData.get(), FContext.get());
        if (rc == PCRE2_ERROR_NOMATCH) return false;
        if (rc == PCRE2_ERROR_MATCHLIMIT || rc == PCRE2_ERROR_DEPTHLIMIT ||
            rc == PCRE2_ERROR_HEAPLIMIT || rc == PCRE2_ERROR_NOMEMORY) {
            Raise(seOutOfStack, ScriptErrorNaming(seOutOfStack, "RegExp"));
        }
        if (rc < 0) Raise(seInvalidCall);
        const std::uint32_t pairs = pcre2_get_ovector_count(FData.get());
        const PCRE2_SIZE* ov = pcre2_get_ovector_pointer(FData.get());
        found.Offsets.assign(pairs * 2, -1);
        for (std::uint32_t i = 0; i < pairs * 2; ++i) {
            if (ov[i] != PCRE2_UNSET) found.Offsets[i] = static_cast<std::ptrdiff_t>(ov[i]);
        }
        return true;
    }

    // Every match (only the first unless Global), each after the one before; after an empty
    // match the search tries a non-empty one at the same place, then moves on a character.
    template <class TEach> void Scan(const std::string& subject, TEach each) {
        std::size_t start = 0;
        std::uint32_t options = 0;
        TFound found;
        while (start <= subject.size()) {
            if (!Find(subject, start, options, found)) {
                if (options == 0) return;
                options = 0;
                ++start;
                while (start < subject.size() &&
                       (static_cast<unsigned char>(subject[start]) & 0xC0) == 0x80)
                    ++start;
                continue;
            }
            each(found);
            if (!FGlobal) return;
            const auto b = static_cast<std::size_t>(found.Offsets[0]);
            start = static_cast<std::size_t>(found.Offsets[1]);
            options = b == start ? PCRE2_NOTEMPTY_ATSTART | PCRE2_ANCHORED : 0;
        }
    }

    std::string Piece(const std::string& subject, const TFound& f, std::size_t group) const {
        const std::ptrdiff_t b = f.Offsets[group * 2], e = f.Offsets[group * 2 + 1];
        if (b < 0 || e < b) return {};
        return subject.substr(static_cast<std::size_t>(b), static_cast<std::size_t>(e - b));
    }

    TVariant Execute(const std::string& subject) {
        std::vector<TVariant> matches;
        std::size_t unitPos = 0, bytePos = 0;  // where the units were last counted
        Scan(subject, [&](const TFound& f) {
            const auto b = static_cast<std::size_t>(f.Offsets[0]);
            const auto e = static_cast<std::size_t>(f.Offsets[1]);
            unitPos += Units(std::string_view(subject).substr(bytePos, b - bytePos));
            bytePos = b;
            std::vector<TVariant> subs;
            for (std::size_t g = 1; g * 2 < f.Offsets.size(); ++g) {
                if (f.Offsets[g * 2] < 0) {
                    subs.emplace_back();
                } else {
                    subs.push_back(TVariant::String(Utf8ToCp932(Piece(subject, f, g))));
                }
            }
            const std::string value = subject.substr(b, e - b);
            matches.push_back(TVariant::Object(
                new TMatch(Utf8ToCp932(value), static_cast<std::int32_t>(unitPos),
                           static_cast<std::int32_t>(Units(value)), std::move(subs))));
        });
        return TVariant::Object(new TItems(std::move(matches), "MatchCollection"));
    }

    // The replacement text with "$1".."$99", "$&", "$`", "$'" and "$$" filled in (UTF-8).
    std::string Expand(const std::string& with, const std::string& subject, const TFound& f) const {
        const std::size_t groups = f.Offsets.size() / 2 - 1;
        std::string out;
        for (std::size_t i = 0; i < with.size(); ++i) {
            const char c = with[i];
            if (c != '$' || i + 1 >= with.size()) {
                out += c;
                continue;
            }
            const char n = with[i + 1];
            if (n == '$') {
                out += '$';
                ++i;
            } else if (n == '&') {
                out += Piece(subject, f, 0);
                ++i;
            } else if (n == '`') {
                out += subject.substr(0, static_cast<std::size_t>(f.Offsets[0]));
                ++i;
            } else if (n == '\'') {
                out += subject.substr(static_cast<std::size_t>(f.Offsets[1]));
                ++i;
            } else if (n >= '0' && n <= '9') {
                std::size_t g = static_cast<std::size_t>(n - '0');
                std::size_t used = 1;
                if (i + 2 < with.size() && with[i + 2] >= '0' && with[i + 2] <= '9') {
                    const std::size_t two = g * 10 + static_cast<std::size_t>(with[i + 2] - '0');
                    if (two >= 1 && two <= groups) g = two, used = 2;
                }
                if (g >= 1 && g <= groups) {
                    out += Piece(subject, f, g);
                    i += used;
                } else {
                    out += c;
                }
            } else {
                out += c;
            }
        }
        return out;
    }

    std::string Replace(const std::string& subject, TVariant& with) {
        TRef<TScriptObject> function = with.IsObject() ? with.Obj() : TRef<TScriptObject>();
        const std::string text = function ? std::string() : Cp932ToUtf8(ToText(with));
        std::string out;
        std::size_t copied = 0, unitPos = 0, bytePos = 0;
        Scan(subject, [&](const TFound& f) {
            const auto b = static_cast<std::size_t>(f.Offsets[0]);
            out.append(subject, copied, b - copied);
            if (function) {
                // A function gets the match, its groups, its position and the whole text.
                unitPos += Units(std::string_view(subject).substr(bytePos, b - bytePos));
                bytePos = b;
                std::vector<TVariant> args;
                args.push_back(TVariant::String(Utf8ToCp932(Piece(subject, f, 0))));
                for (std::size_t g = 1; g * 2 < f.Offsets.size(); ++g)
                    args.push_back(TVariant::String(Utf8ToCp932(Piece(subject, f, g))));
                args.push_back(TVariant::Long(static_cast<std::int32_t>(unitPos)));
                args.push_back(TVariant::String(Utf8ToCp932(subject)));
                TVariant r;
                const TInvokeResult ir = function->Invoke(kDefaultMember, ifMethod, args, r);
                if (!ir.Ok()) Raise(ir.Number, ir.Description, ir.Fatal);
                out += Cp932ToUtf8(ToText(r));
            } else {
                out += Expand(text, subject, f);
            }
            copied = static_cast<std::size_t>(f.Offsets[1]);
        });
        out.append(subject, copied, std::string::npos);
        return Utf8ToCp932(out);
    }

    std::string FPattern;
    bool FGlobal = false, FIgnoreCase = false, FMultiline = false;
    std::unique_ptr<pcre2_code, TCodeFree> FCode;
    std::unique_ptr<pcre2_match_data, TMatchDataFree> FData;
    std::unique_ptr<pcre2_match_context, TMatchContextFree> FContext;
};

}  // namespace

TRef<TScriptObject> MakeRegExp() {
    return TRef<TScriptObject>(new TRegExp());
}

}  // namespace rekna
