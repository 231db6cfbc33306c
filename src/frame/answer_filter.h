// FilterAnswer and PaneAnswer: what the answer pane shows of a line's answer.
#pragma once

#include <string>
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

// The answer on its one row of the pane: a line break (CR LF, CR or LF, as a script's answer may
// hold) shows as "↓". The answer itself when it has none, otherwise buffer.
[[nodiscard]] inline std::string_view PaneAnswer(std::string_view answer, std::string& buffer) {
    bool breaks = false;
    for (const char c : answer)
        breaks = breaks || c == '\r' || c == '\n';
    if (!breaks) return answer;
    buffer.clear();
    for (std::size_t i = 0; i < answer.size(); ++i) {
        if (answer[i] == '\r' || answer[i] == '\n') {
            buffer += "\x81\xAB";  // ↓
            if (answer[i] == '\r' && i + 1 < answer.size() && answer[i + 1] == '\n') ++i;
        } else {
            buffer += answer[i];
        }
    }
    return buffer;
}

}  // namespace rekna
