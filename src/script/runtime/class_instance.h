// TClassInstance: an object of a script class, with its fields; and the link through which
// instances reach the interpreter that made them while it lives.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "script/runtime/script_object.h"
#include "script/syntax/ast.h"

namespace rekna {

class TRuntime;

// Shared by the interpreter and the objects it made; Runtime is cleared when the interpreter
// goes, so an object that outlives it neither runs script code nor reaches freed state.
class TRuntimeLink : public TBox {
public:
    explicit TRuntimeLink(TRuntime* runtime) : Runtime(runtime) {}
    TRuntime* Runtime;
};

class TClassInstance final : public TScriptObject {
public:
    TClassInstance(std::shared_ptr<const TProgram> program, const TClassDef& def,
                   TRuntimeLink* link);

    [[nodiscard]] int MemberId(std::string_view name) const override;
    // Members are called by the interpreter itself (with ByRef arguments); from outside only
    // the fields can be read.
    TInvokeResult Invoke(int id, std::uint8_t flags, std::vector<TVariant>& args,
                         TVariant& result) override;
    [[nodiscard]] std::string TypeName() const override { return Def.Spelling; }
    [[nodiscard]] bool HasDefault() const override { return Def.Default >= 0; }
    [[nodiscard]] TClassInstance* AsInstance() noexcept override { return this; }
    void BreakCycles() noexcept override {
        std::vector<TVariant> fields(Fields.size());
        fields.swap(Fields);
    }

    const TClassDef& Def;
    std::vector<TVariant> Fields;
    // The next instance waiting for its Class_Terminate.
    TClassInstance* NextDying = nullptr;
    bool Terminated = false;

protected:
    void LastRelease() noexcept override;

private:
    std::shared_ptr<const TProgram> FProgram;  // keeps the class and its methods alive
    TRef<TRuntimeLink> FLink;
};

}  // namespace rekna
