// The dispatch interface through which scripts reach objects that the host hands in by name.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "script/values/variant.h"

namespace rekna {

// How a member is reached; a call in an expression asks for a method or a property get at once.
enum TInvokeFlag : std::uint8_t {
    ifMethod = 1,
    ifPropertyGet = 2,
    ifPropertyPut = 4,
    ifPropertyPutRef = 8,
};

// The outcome of a member call: Number 0 is success, otherwise a script error number (438 for
// an unknown member, 450 for a wrong argument count, ...). A fatal error ends the script even
// under On Error Resume Next (a stop requested by the user, for example).
struct TInvokeResult {
    int Number = 0;
    std::string Description;  // empty: the standard text of Number
    bool Fatal = false;

    [[nodiscard]] bool Ok() const noexcept { return Number == 0; }
};

// An object seen by scripts. Member names are matched without regard to case.
class TScriptObject {
public:
    virtual ~TScriptObject() = default;

    // The member's identifier, or -1 when the object has no member of that name.
    [[nodiscard]] virtual int MemberId(std::string_view name) const = 0;

    // Calls member id with the arguments in script order; a property put receives the new value
    // as the last argument. The result is left Empty when the member gives none.
    virtual TInvokeResult Invoke(int id, std::uint8_t flags, std::vector<TVariant>& args,
                                 TVariant& result) = 0;

    // The name TypeName reports.
    [[nodiscard]] virtual std::string TypeName() const { return "Object"; }
};

}  // namespace rekna
