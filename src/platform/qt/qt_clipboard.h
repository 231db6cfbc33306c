// TQtClipboard: the editor's clipboard on the desktop's clipboard, converting CP932 at the edge.
#pragma once

#include "platform/clipboard.h"

namespace rekna {

// Plain text only, going out with LF line ends. Characters CP932 lacks come in carried in its
// user-defined area.
class TQtClipboard final : public TClipboard {
public:
    [[nodiscard]] std::optional<std::string> GetText() const override;
    void SetText(std::string_view cp932) override;
};

}  // namespace rekna
