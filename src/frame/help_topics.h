// The nine help topics on the calculation language and the editor: action, caption and text.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace rekna {

struct THelpTopic {
    std::string_view Action;   // "ActionHelpValue"
    std::string_view Caption;  // UTF-8, "&" before the accelerator
    // UTF-8, one entry per line, written as the message box text: "&&" stands for one "&".
    std::span<const std::string_view> Lines;

    // The text as the reader sees it, in CP932: the lines joined by CR LF, every "&&" as one
    // "&" (our help window draws plain text, so nothing is taken as an accelerator).
    [[nodiscard]] std::string Text() const;
};

// The topics in menu order.
[[nodiscard]] std::span<const THelpTopic> HelpTopics() noexcept;
// The topic of that action, or null.
[[nodiscard]] const THelpTopic* FindHelpTopic(std::string_view action) noexcept;

}  // namespace rekna
