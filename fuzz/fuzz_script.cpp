// Fuzz target: arbitrary text run by the script interpreter as statements (first byte even) or
// evaluated as an expression (odd), with small limits and a stop request after a number of
// polls, so that every input ends in a value or an error quickly. Classes, With, Eval and
// Execute, RegExp and the dictionary are all within reach (see the seeds); after each input the
// interpreter is reset, and what the scripts held must all be given back.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "script/runtime/script_interpreter.h"

using namespace rekna;

namespace {

// A host object with one property that takes an index and one method.
class TFuzzObject : public TScriptObject {
public:
    int MemberId(std::string_view name) const override {
        if (name.size() == 1 && (name[0] | 0x20) == 'v') return 0;
        if (name.size() == 1 && (name[0] | 0x20) == 'm') return 1;
        return -1;
    }
    void Forget() { FValue = TVariant(); }

    TInvokeResult Invoke(int id, std::uint8_t flags, std::vector<TVariant>& args,
                         TVariant& result) override {
        if (id == 0 && (flags & ifPropertyPut) != 0) {
            if (args.empty()) return {seArgCount, {}, false};
            FValue = args.back();
            return {};
        }
        if (id == 0) {
            result = FValue;
            return {};
        }
        if (args.size() > 2) return {seArgCount, {}, false};
        result = TVariant::Long(static_cast<std::int32_t>(args.size()));
        return {args.size() == 2 ? 5 : 0, {}, args.size() == 1 && args[0].IsNull()};
    }

private:
    TVariant FValue;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static TRef<TFuzzObject> object = MakeRef<TFuzzObject>();
    static TScriptInterpreter* script = [] {
        auto* s = new TScriptInterpreter();
        s->Limits.MaxTextBytes = 1 << 14;
        s->Limits.MaxArrayItems = 1 << 10;
        s->Limits.MaxCallDepth = 200;
        s->PollInterval = 64;
        s->AddObject("o", TRef<TScriptObject>(object));
        return s;
    }();
    static const std::size_t baseline = script->MemoryInUse();
    static int polls = 0;
    if (size < 1) return 0;
    polls = 0;
    script->OnPoll = [] {
        if (++polls > 200) script->RequestStop();
    };
    script->Reset();
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    bool ok = false;
    if ((data[0] & 1) == 0) {
        ok = script->Execute(text);
    } else {
        TVariant v;
        ok = script->Evaluate(text, v);
        if (ok) (void)ScriptValueText(v);
    }
    const TScriptError& e = script->LastError();
    if (ok == e.Failed()) std::abort();
    if (!ok && (e.Line < 0 || e.Column < 0 || e.Description.empty())) std::abort();
    // Everything the input made is given back once nothing holds it.
    object->Forget();
    script->Reset();
    if (script->MemoryInUse() != baseline) std::abort();
    return 0;
}
