// FilterAnswer: what the answer pane shows of a line's answer.
#pragma once

#include <string_view>

namespace rekna {

// A control line's echo (beginning "#") shows only with showControl, an error (beginning "[")
// only with showErrors; every other answer as it is.
[[nodiscard]] inline std::string_view FilterAnswer(std::string_view answer, bool showErrors,
                                                   bool showControl) noexcept {
    if (!answer.empty() && answer.front() == '#' && !showControl) return {};
    if (!answer.empty() && answer.front() == '[' && !showErrors) return {};
    return answer;
}

}  // namespace rekna
