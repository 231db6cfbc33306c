// The control-level wrap modes: which column each mode wraps at, and when it re-wraps.
#include "editor/store/umemo_wrap.h"

#include "editor/store/umemo_strings.h"

#include <algorithm>

namespace rekna {

std::int32_t TUMemoWrap::RightEdgeWidth() const noexcept {
    const std::int32_t room = FStrings.BanBreak() ? 3 : 1;
    return std::max(FTextAreaColumns - room, std::max(kMinWidth, FStrings.TabStops() + 2));
}

std::int32_t TUMemoWrap::ModeColumns() const noexcept {
    switch (FWordWrap) {
    case TWordWrapType::wtCount: return FWordWrapWidth;
    case TWordWrapType::wtRight: return RightEdgeWidth();
    case TWordWrapType::wtPaper: return FWordWrapPaper;
    case TWordWrapType::wtNone: break;
    }
    return 0;
}

void TUMemoWrap::Apply() {
    FStrings.SetWrapColumns(ModeColumns());
    if (OnChangeWordWrap) OnChangeWordWrap();
}

void TUMemoWrap::SetWordWrap(TWordWrapType mode) {
    if (mode == FWordWrap) return;
    FWordWrap = mode;
    Apply();
}

void TUMemoWrap::SetWordWrapWidth(std::int32_t width) {
    if (width <= 0) return;
    FWordWrapWidth = std::clamp(width, kMinWidth, kMaxWidth);
    if (FWordWrap == TWordWrapType::wtCount) Apply();
}

void TUMemoWrap::SetWordWrapPaper(std::int32_t width) {
    if (width <= 0) return;
    FWordWrapPaper = std::clamp(width, kMinWidth, kMaxWidth);
    if (FWordWrap == TWordWrapType::wtPaper) Apply();
}

void TUMemoWrap::SetBanBreak(bool on) {
    if (on == FStrings.BanBreak()) return;
    FStrings.SetBanBreak(on);
    if (FWordWrap == TWordWrapType::wtNone) return;
    // The rules changed but the width may not have: re-wrap every line at the same width.
    const std::int32_t columns = ModeColumns();
    if (columns == FStrings.WrapColumns()) {
        FStrings.BeginEdit(true);
        for (std::int32_t row = 0; row < FStrings.GetCount();)
            row = FStrings.ReflowFrom(row) + 1;
        FStrings.EndEdit(true);
        if (OnChangeWordWrap) OnChangeWordWrap();
    } else {
        Apply();
    }
}

void TUMemoWrap::SetTextAreaColumns(std::int32_t columns) {
    FTextAreaColumns = std::max(columns, 0);
    if (FWordWrap == TWordWrapType::wtRight && RightEdgeWidth() != FStrings.WrapColumns()) Apply();
}

void TUMemoWrap::AdoptRestoredWidth(std::int32_t columns) {
    if (columns > 0) {
        FWordWrap = TWordWrapType::wtCount;
        FWordWrapWidth = columns;
    } else {
        FWordWrap = TWordWrapType::wtNone;
    }
    if (OnChangeWordWrap) OnChangeWordWrap();
}

}  // namespace rekna
