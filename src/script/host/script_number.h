// Texts from scripts read as numbers of the calculation.
#pragma once

#include <optional>
#include <string_view>

#include "numbers/cplx.h"

namespace rekna {

// The whole text (blanks around it allowed, an optional sign) read as one literal of the
// calculation; none when it is not one. The calculation's error state is left as it was.
[[nodiscard]] std::optional<TCplx> ReadScriptNumber(std::string_view text);

}  // namespace rekna
