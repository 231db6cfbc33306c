// The dispatch interface through which scripts reach objects: the host's named objects, the
// built-in objects (Err, RegExp, Dictionary, ...) and the instances of script classes.
#pragma once

#include <cstdint>
#include <span>
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

// The identifier of an object's default member (its value: Dictionary.Item, Match.Value, ...).
inline constexpr int kDefaultMember = 0;

// The outcome of a member call: Number 0 is success, otherwise a script error number (438 for
// an unknown member, 450 for a wrong argument count, ...). A fatal error ends the script even
// under On Error Resume Next (a stop requested by the user, for example).
struct TInvokeResult {
    int Number = 0;
    std::string Description;  // empty: the standard text of Number
    bool Fatal = false;

    [[nodiscard]] bool Ok() const noexcept { return Number == 0; }
};

class TClassInstance;

// An object seen by scripts. Member names are matched without regard to case. Objects are
// shared by TRef holders; a script value holding one is one of them.
class TScriptObject : public TBox {
public:
    // The member's identifier, or -1 when the object has no member of that name. The default
    // member, when there is one, has the identifier kDefaultMember.
    [[nodiscard]] virtual int MemberId(std::string_view name) const = 0;

    // Calls member id with the arguments in script order; a property put receives the new value
    // as the last argument. The result is left Empty when the member gives none.
    virtual TInvokeResult Invoke(int id, std::uint8_t flags, std::vector<TVariant>& args,
                                 TVariant& result) = 0;

    // A method called with no arguments and no result wanted (the Esc check of every loop
    // pass), without the lists Invoke takes: true when it succeeded, otherwise failure says why.
    // Out of line, so that callers do not carry this body as a guess at the target.
    virtual bool CallQuick(int id, TInvokeResult& failure);

    // The name TypeName reports.
    [[nodiscard]] virtual std::string TypeName() const { return "Object"; }

    // Whether kDefaultMember exists (a value can be read from the object itself).
    [[nodiscard]] virtual bool HasDefault() const { return false; }

    // The items For Each walks; false when the object is no collection.
    virtual bool Enumerate(std::vector<TVariant>& items) {
        (void)items;
        return false;
    }

    // An object whose member identifiers depend only on its kind gives one key for the kind, so
    // that a call site can keep the identifier it found; others give null.
    [[nodiscard]] virtual const void* MemberKey() const noexcept { return nullptr; }

    // The instance of a script class behind this object, if it is one.
    [[nodiscard]] virtual TClassInstance* AsInstance() noexcept { return nullptr; }

protected:
    ~TScriptObject() override = default;
};

// Matches a member name against a lower-case ASCII name without regard to case.
[[nodiscard]] inline bool SameMemberName(std::string_view name, std::string_view lower) noexcept {
    if (name.size() != lower.size()) return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        char c = name[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
        if (c != lower[i]) return false;
    }
    return true;
}

// The index of a member name in a table of lower-case names, or -1.
[[nodiscard]] inline int FindMemberName(std::string_view name,
                                        std::span<const std::string_view> lower) noexcept {
    for (std::size_t i = 0; i < lower.size(); ++i) {
        if (SameMemberName(name, lower[i])) return static_cast<int>(i);
    }
    return -1;
}

}  // namespace rekna
