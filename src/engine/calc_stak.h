// TCalcStak: an evaluation stack of items that reuses its slots.
#pragma once

#include "engine/calc_item.h"

namespace rekna {

class TCalcStak {
public:
    TCalcStak() { FItems.resize(10); }

    void Push(const TCalcItem& item) {
        if (FCount == FItems.size()) FItems.emplace_back();
        FItems[FCount++] = item;
    }
    void Push(TCalcItem&& item) {
        if (FCount == FItems.size()) FItems.emplace_back();
        FItems[FCount++] = std::move(item);
    }
    // Popping an empty stack gives a value item holding 0.
    TCalcItem Pop() {
        if (FCount == 0) return MakeValue(TCplx());
        return std::move(FItems[--FCount]);
    }
    void Drop() noexcept {
        if (FCount > 0) --FCount;
    }
    [[nodiscard]] TCalcItem& Top() noexcept { return FItems[FCount > 0 ? FCount - 1 : 0]; }
    [[nodiscard]] const TCalcItem& Top() const noexcept {
        return FItems[FCount > 0 ? FCount - 1 : 0];
    }
    // Entry i counted from the bottom.
    [[nodiscard]] TCalcItem& At(std::size_t i) noexcept { return FItems[i]; }
    [[nodiscard]] const TCalcItem& At(std::size_t i) const noexcept { return FItems[i]; }
    // Overwrites the top entry's value and makes it a value item.
    void SetTop(const TCplx& value) {
        if (FCount == 0) {
            Push(MakeValue(value));
            return;
        }
        TCalcItem& top = FItems[FCount - 1];
        top.Kind = TItemKind::mVal;
        top.Value = value;
        top.Text.clear();
        top.Tag = 0;
    }
    [[nodiscard]] std::size_t Count() const noexcept { return FCount; }
    [[nodiscard]] bool Empty() const noexcept { return FCount == 0; }
    void Clear() noexcept { FCount = 0; }

private:
    TCalcList FItems;
    std::size_t FCount = 0;
};

}  // namespace rekna
