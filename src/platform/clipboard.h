// TClipboard: the plain-text clipboard as the editor sees it, in CP932; and one kept in memory.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace rekna {

// The widget implements it with the platform's clipboard, converting at that boundary.
class TClipboard {
public:
    TClipboard() = default;
    TClipboard(const TClipboard&) = delete;
    TClipboard& operator=(const TClipboard&) = delete;
    virtual ~TClipboard() = default;

    // The text on the clipboard; nothing when it offers no plain text.
    [[nodiscard]] virtual std::optional<std::string> GetText() const = 0;
    virtual void SetText(std::string_view cp932) = 0;
};

// A clipboard of its own, for tests and for programs without a desktop.
class TMemoryClipboard final : public TClipboard {
public:
    [[nodiscard]] std::optional<std::string> GetText() const override { return FText; }
    void SetText(std::string_view cp932) override { FText = std::string(cp932); }
    // Empties it: it then offers no text.
    void Clear() noexcept { FText.reset(); }

private:
    std::optional<std::string> FText;
};

}  // namespace rekna
