// The lookup of built-in functions by name, and the built-in constants.
#include "script/builtins/builtins.h"

#include <string>
#include <unordered_map>

#include "script/runtime/raise.h"
#include "script/values/convert.h"
#include "script/values/script_memory.h"

namespace rekna {

namespace {

std::vector<TConstant> MakeConstants() {
    auto L = [](std::int32_t v) { return TVariant::Long(v); };
    auto I = [](std::int16_t v) { return TVariant::Integer(v); };
    return {
        {"vbcrlf", TVariant::String("\r\n")},
        {"vbnewline", TVariant::String("\r\n")},
        {"vbcr", TVariant::String("\r")},
        {"vblf", TVariant::String("\n")},
        {"vbtab", TVariant::String("\t")},
        {"vbformfeed", TVariant::String("\f")},
        {"vbverticaltab", TVariant::String("\v")},
        {"vbnullstring", TVariant::String("")},
        {"vbnullchar", TVariant::String(std::string(1, '\0'))},
        {"vbok", L(1)},
        {"vbcancel", L(2)},
        {"vbabort", L(3)},
        {"vbretry", L(4)},
        {"vbignore", L(5)},
        {"vbyes", L(6)},
        {"vbno", L(7)},
        {"vbokonly", L(0)},
        {"vbokcancel", L(1)},
        {"vbabortretryignore", L(2)},
        {"vbyesnocancel", L(3)},
        {"vbyesno", L(4)},
        {"vbretrycancel", L(5)},
        {"vbcritical", L(16)},
        {"vbquestion", L(32)},
        {"vbexclamation", L(48)},
        {"vbinformation", L(64)},
        {"vbdefaultbutton1", L(0)},
        {"vbdefaultbutton2", L(256)},
        {"vbdefaultbutton3", L(512)},
        {"vbdefaultbutton4", L(768)},
        {"vbapplicationmodal", L(0)},
        {"vbsystemmodal", L(4096)},
        {"vbtrue", I(-1)},
        {"vbfalse", I(0)},
        {"vbusedefault", I(-2)},
        {"vbbinarycompare", L(0)},
        {"vbtextcompare", L(1)},
        {"vbempty", L(0)},
        {"vbnull", L(1)},
        {"vbinteger", L(2)},
        {"vblong", L(3)},
        {"vbsingle", L(4)},
        {"vbdouble", L(5)},
        {"vbcurrency", L(6)},
        {"vbdate", L(7)},
        {"vbstring", L(8)},
        {"vbobject", L(9)},
        {"vberror", L(10)},
        {"vbboolean", L(11)},
        {"vbvariant", L(12)},
        {"vbdataobject", L(13)},
        {"vbbyte", L(17)},
        {"vbarray", L(8192)},
        {"vbusesystemdayofweek", L(0)},
        {"vbusesystem", L(0)},
        {"vbfirstjan1", L(1)},
        {"vbfirstfourdays", L(2)},
        {"vbfirstfullweek", L(3)},
        {"vbgeneraldate", L(0)},
        {"vblongdate", L(1)},
        {"vbshortdate", L(2)},
        {"vblongtime", L(3)},
        {"vbshorttime", L(4)},
        {"vbdecimal", L(14)},
        {"vbmsgboxhelpbutton", L(16384)},
        {"vbmsgboxsetforeground", L(65536)},
        {"vbmsgboxright", L(524288)},
        {"vbmsgboxrtlreading", L(1048576)},
        {"vbsunday", L(1)},
        {"vbmonday", L(2)},
        {"vbtuesday", L(3)},
        {"vbwednesday", L(4)},
        {"vbthursday", L(5)},
        {"vbfriday", L(6)},
        {"vbsaturday", L(7)},
        {"vbblack", L(0)},
        {"vbred", L(0xFF)},
        {"vbgreen", L(0xFF00)},
        {"vbyellow", L(0xFFFF)},
        {"vbblue", L(0xFF0000)},
        {"vbmagenta", L(0xFF00FF)},
        {"vbcyan", L(0xFFFF00)},
        {"vbwhite", L(0xFFFFFF)},
        {"vbobjecterror", L(static_cast<std::int32_t>(0x80040000u))},
    };
}

const std::vector<TConstant>& Constants() {
    // The table lives for the whole process: its texts are charged to no run's account.
    static const std::vector<TConstant> constants = [] {
        const TScriptMemoryScope none(nullptr);
        return MakeConstants();
    }();
    return constants;
}

struct TTables {
    std::vector<const TBuiltin*> Builtins;
    std::unordered_map<std::string, int> BuiltinIndex;
    std::unordered_map<std::string, int> ConstantIndex;
};

const TTables& Tables() {
    static const TTables tables = [] {
        TTables t;
        for (auto group : {MathBuiltins(), TextBuiltins(), BytesBuiltins(), ConvertBuiltins(),
                           FormatBuiltins(), TimeBuiltins(), ScriptBuiltins()}) {
            for (const TBuiltin& b : group) {
                t.BuiltinIndex.emplace(b.Name, static_cast<int>(t.Builtins.size()));
                t.Builtins.push_back(&b);
            }
        }
        const std::vector<TConstant>& c = Constants();
        for (std::size_t i = 0; i < c.size(); ++i) {
            t.ConstantIndex.emplace(c[i].Name, static_cast<int>(i));
        }
        return t;
    }();
    return tables;
}

}  // namespace

int FindBuiltin(std::string_view lower) {
    const auto& index = Tables().BuiltinIndex;
    const auto it = index.find(std::string(lower));
    return it == index.end() ? -1 : it->second;
}

const TBuiltin& BuiltinAt(int index) {
    return *Tables().Builtins[static_cast<std::size_t>(index)];
}

int FindScriptConstant(std::string_view lower) {
    const auto& index = Tables().ConstantIndex;
    const auto it = index.find(std::string(lower));
    return it == index.end() ? -1 : it->second;
}

const TVariant& ConstantAt(int index) {
    return Constants()[static_cast<std::size_t>(index)].Value;
}

std::size_t StartArg(const std::vector<TVariant>& args, std::int32_t& start) {
    if (args.size() < 3) return 0;
    if (args[0].IsNull()) Raise(seInvalidNull);
    if (HasArg(args, 0)) start = ToLong(args[0]);
    if (start < 1) Raise(seInvalidCall);
    return 1;
}

const TVariant& NotNull(const TVariant& v) {
    if (v.IsNull()) Raise(seInvalidNull);
    return v;
}

std::int32_t Count(const TVariant& v) {
    const std::int32_t n = ToLong(v);
    if (n < 0) Raise(seInvalidCall);
    return n;
}

std::vector<const char*> BuiltinNames() {
    std::vector<const char*> names;
    for (const TBuiltin* b : Tables().Builtins)
        names.push_back(b->Name);
    return names;
}

std::vector<const char*> ScriptConstantNames() {
    std::vector<const char*> names;
    for (const TConstant& c : Constants())
        names.push_back(c.Name);
    return names;
}

}  // namespace rekna
