// The Err object and the procedure reference of GetRef.
#include "script/objects/err_object.h"

#include "script/runtime/runtime.h"
#include "script/values/convert.h"

namespace rekna {

namespace {

enum TErrMember : int {
    emNumber,
    emDescription,
    emSource,
    emHelpFile,
    emHelpContext,
    emClear,
    emRaise
};

class TErrObject final : public TScriptObject {
public:
    explicit TErrObject(TRuntime& rt) : FRt(rt) {}

    int MemberId(std::string_view name) const override {
        static constexpr std::string_view kNames[] = {
            "number", "description", "source", "helpfile", "helpcontext", "clear", "raise"};
        return FindMemberName(name, kNames);
    }

    TInvokeResult Invoke(int id, std::uint8_t flags, std::vector<TVariant>& args,
                         TVariant& result) override {
        const bool put = (flags & ifPropertyPut) != 0;
        if (id <= emHelpContext) {
            if (put) {
                if (args.size() != 1) return {seArgCount, {}, false};
                switch (id) {
                case emNumber: FRt.ErrNumber = ToLong(args[0]); break;
                case emDescription: FRt.ErrDescription = ToText(args[0]); break;
                case emSource: FRt.ErrSource = ToText(args[0]); break;
                case emHelpFile: FRt.ErrHelpFile = ToText(args[0]); break;
                default: FRt.ErrHelpContext = ToLong(args[0]); break;
                }
                return {};
            }
            if (!args.empty()) return {seArgCount, {}, false};
            switch (id) {
            case emNumber: result = TVariant::Long(FRt.ErrNumber); break;
            case emDescription: result = TVariant::String(FRt.ErrDescription); break;
            case emSource: result = TVariant::String(FRt.ErrSource); break;
            case emHelpFile: result = TVariant::String(FRt.ErrHelpFile); break;
            default: result = TVariant::Long(FRt.ErrHelpContext); break;
            }
            return {};
        }
        if (put) return {seNoMember, {}, false};
        if (id == emClear) {
            if (!args.empty()) return {seArgCount, {}, false};
            FRt.ClearErr();
            return {};
        }
        // Raise number[, source[, description[, helpfile[, helpcontext]]]]: any number but 0.
        if (args.empty() || args.size() > 5) return {seArgCount, {}, false};
        const std::int32_t number = ToLong(args[0]);
        if (number == 0) return {seInvalidCall, {}, false};
        const auto given = [&](std::size_t i) { return args.size() > i && !args[i].IsEmpty(); };
        FRt.RaisedBySource = given(1);
        FRt.RaisedSource = given(1) ? ToText(args[1]) : std::string();
        FRt.ErrHelpFile = given(3) ? ToText(args[3]) : std::string();
        FRt.ErrHelpContext = given(4) ? ToLong(args[4]) : 0;
        std::string text = given(2) ? ToText(args[2]) : ScriptErrorText(number);
        return {number, std::move(text), false};
    }

    std::string TypeName() const override { return "ErrObject"; }
    bool HasDefault() const override { return true; }
    const void* MemberKey() const noexcept override {
        static const char key = 0;
        return &key;
    }

private:
    TRuntime& FRt;
};

class TProcRef final : public TScriptObject {
public:
    TProcRef(std::shared_ptr<const TProgram> program, TProc& proc, TRuntimeLink* link)
        : FProgram(std::move(program)), FProc(proc), FLink(link) {}

    int MemberId(std::string_view) const override { return -1; }
    TInvokeResult Invoke(int id, std::uint8_t flags, std::vector<TVariant>& args,
                         TVariant& result) override {
        if (id != kDefaultMember || (flags & ifMethod) == 0) return {seNoMember, {}, false};
        TRuntime* rt = FLink->Runtime;
        if (!rt || !rt->Running) return {seNoAction, {}, false};
        result = rt->CallProcValues(FProc, args, nullptr);
        return {};
    }
    std::string TypeName() const override { return "Object"; }
    bool HasDefault() const override { return true; }

private:
    std::shared_ptr<const TProgram> FProgram;  // keeps the procedure alive
    TProc& FProc;
    TRef<TRuntimeLink> FLink;
};

}  // namespace

TRef<TScriptObject> MakeErrObject(TRuntime& rt) {
    return TRef<TScriptObject>(new TErrObject(rt));
}

TRef<TScriptObject> MakeProcRef(std::shared_ptr<const TProgram> program, TProc& proc,
                                TRuntime& rt) {
    return TRef<TScriptObject>(new TProcRef(std::move(program), proc, rt.Link()));
}

}  // namespace rekna
