// The insert commands' captions by category, in the order of the action list: the menu
// vocabulary of operators, functions, constants, units, directives and letters.
#pragma once

#include <span>
#include <string_view>

namespace rekna {

struct TInsertAction {
    std::string_view Category;  // UTF-8
    std::string_view Caption;   // UTF-8, "&" before the accelerator ("&&" for "&")
};

[[nodiscard]] std::span<const TInsertAction> InsertActions() noexcept;

}  // namespace rekna
