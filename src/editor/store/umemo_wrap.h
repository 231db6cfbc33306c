// TUMemoWrap: the editor control's word-wrap mode and widths, applied to its line store.
#pragma once

#include <cstdint>
#include <functional>

namespace rekna {

class TUMemoStrings;

enum class TWordWrapType : std::uint8_t { wtNone, wtCount, wtRight, wtPaper };

// The control owns one beside its store. Every re-wrap it makes fires OnChangeWordWrap.
class TUMemoWrap {
public:
    static constexpr std::int32_t kMinWidth = 10;
    static constexpr std::int32_t kMaxWidth = 1024;

    explicit TUMemoWrap(TUMemoStrings& strings) noexcept : FStrings(strings) {}

    [[nodiscard]] TWordWrapType WordWrap() const noexcept { return FWordWrap; }
    // A new mode re-wraps at its column (wtNone: no wrapping).
    void SetWordWrap(TWordWrapType mode);

    [[nodiscard]] std::int32_t WordWrapWidth() const noexcept { return FWordWrapWidth; }
    // Values <= 0 are ignored, others clamped to 10..1024; re-wraps in wtCount mode.
    void SetWordWrapWidth(std::int32_t width);

    [[nodiscard]] std::int32_t WordWrapPaper() const noexcept { return FWordWrapPaper; }
    // As WordWrapWidth; re-wraps in wtPaper mode.
    void SetWordWrapPaper(std::int32_t width);

    // Switches the store's line-breaking rules; while wrapping, the text is re-wrapped at the
    // current mode's own column.
    void SetBanBreak(bool on);

    // The number of columns that fit in the text area, a partly visible one included; the
    // control sets it on every resize, which re-wraps in wtRight mode.
    void SetTextAreaColumns(std::int32_t columns);
    [[nodiscard]] std::int32_t TextAreaColumns() const noexcept { return FTextAreaColumns; }
    // The wrap width of wtRight: the text area less room for hanging punctuation (3 columns with
    // BanBreak, else 1), at least max(10, TabStops + 2).
    [[nodiscard]] std::int32_t RightEdgeWidth() const noexcept;

    // An undo restored a wrap width without re-wrapping: count mode at that width, or off for 0.
    void AdoptRestoredWidth(std::int32_t columns);

    std::function<void()> OnChangeWordWrap;

private:
    [[nodiscard]] std::int32_t ModeColumns() const noexcept;
    void Apply();

    TUMemoStrings& FStrings;
    TWordWrapType FWordWrap = TWordWrapType::wtNone;
    std::int32_t FWordWrapWidth = 60;
    std::int32_t FWordWrapPaper = 100;
    std::int32_t FTextAreaColumns = 80;
};

}  // namespace rekna
