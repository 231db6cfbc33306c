// Texts from scripts read as numbers of the calculation.
#pragma once

#include <optional>
#include <string_view>

#include "numbers/cplx.h"
#include "script/values/variant.h"

namespace rekna {

// The whole text (blanks around it allowed, an optional sign) read as one literal of the
// calculation; none when it is not one. The calculation's error state is left as it was.
[[nodiscard]] std::optional<TCplx> ReadScriptNumber(std::string_view text);

// A script's number as the text it travels into the calculation in: the shortest decimal that
// reads back to the same double ("0.1", not 0.1000000000000000055...), whole numbers as they
// are, True as -1. Empty for a value that is no number.
[[nodiscard]] std::string ScriptNumberText(const TVariant& v);

}  // namespace rekna
