// TUserFunc and TUserFuncList: the user-defined functions written as "#Name(a, b)=body" lines.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/calc_item.h"

namespace rekna {

struct TUserFunc {
    std::string Name;                 // lower-case
    std::vector<std::string> Params;  // lower-case parameter names
    // The compiled definition line: control item, "#", name, "(", parameters, ")", "=", then the
    // body wrapped in an added pair of brackets, its parameters replaced by mArg items.
    TCalcList Items;
    std::size_t BodyStart = 0;  // index of the body's opening bracket in Items
};

// Recognises the shape "#Name(p1, p2, ...)=body" on a freshly classified line (more than 7
// items, "#" at 1, a name at 2, "(" at 3, parameter names each followed by ", " or by the
// closing bracket at 5 or later, then "="); removes an implicit multiplication at item 3.
// Returns the index of the first body item, or 0 when the line is no definition ("#F()=1").
[[nodiscard]] std::size_t FindDefinitionShape(TCalcList& items);

// Lower-case form of a name: ASCII letters and full-width Greek capitals.
[[nodiscard]] std::string LowerName(std::string_view name);

class TUserFuncList {
public:
    // Number of the function, searched in definition order; -1 when there is none.
    [[nodiscard]] int Find(std::string_view lowerName) const noexcept;
    // The functions a definition of this name may see: those with a smaller number.
    [[nodiscard]] int VisibleLimit(std::string_view lowerName) const noexcept;
    [[nodiscard]] int Count() const noexcept { return static_cast<int>(FFuncs.size()); }
    [[nodiscard]] const TUserFunc* Get(int index) const noexcept;

    // Defines the function of a compiled definition line (repairs done, item 1 holding the
    // definition bit). Returns the function's number, -1 when the line has no definition
    // shape; *created tells whether it is new (a redefinition replaces the old one in place
    // and keeps its number).
    int Define(const TCalcList& line, bool* created = nullptr);

    // Changes with every definition that changed something (a new function, a different body, a
    // clear), to a value no list ever had before: compiled lines and cached line results stay
    // valid while it is unchanged.
    [[nodiscard]] std::uint64_t Shape() const noexcept { return FShape; }

    // The list as it stands can be put back later (the functions are shared, not copied).
    void SetUndoBase();
    // The list of the base again, with its shape.
    void UndoToBase();

    void Clear() noexcept;

private:
    [[nodiscard]] static std::uint64_t NewShape() noexcept;

    // Names are unique in the list, so that a number per name finds a function without a scan:
    // a definitions file of thousands of functions each calling the one before loads in linear
    // time.
    struct TNameHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view name) const noexcept {
            return std::hash<std::string_view>{}(name);
        }
    };
    std::vector<std::shared_ptr<const TUserFunc>> FFuncs;
    std::unordered_map<std::string, int, TNameHash, std::equal_to<>> FIndex;
    std::uint64_t FShape = NewShape();
    std::vector<std::shared_ptr<const TUserFunc>> FBase;
    std::uint64_t FBaseShape = 0;
};

}  // namespace rekna
