// The order of sorted text: the installed collator, then the folded comparison and bytes.
#include "editor/commands/text_collation.h"

#include <algorithm>
#include <numeric>

#include "editor/commands/text_transforms.h"
#include "platform/lcmap.h"

namespace rekna {

namespace {

std::unique_ptr<TTextCollator>& Installed() {
    static std::unique_ptr<TTextCollator> collator;
    return collator;
}

}  // namespace

void SetTextCollator(std::unique_ptr<TTextCollator> collator) {
    Installed() = std::move(collator);
}

bool HasTextCollator() noexcept {
    return Installed() != nullptr;
}

std::vector<std::size_t> CollatedOrder(const std::vector<std::string>& texts, bool descending) {
    std::vector<std::string> folded;
    folded.reserve(texts.size());
    for (const std::string& t : texts)
        folded.push_back(LocaleLowerCase(t));
    TTextCollator* collator = Installed().get();
    if (collator) collator->Prepare(texts);
    std::vector<std::size_t> order(texts.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        int c = collator ? collator->Compare(a, b) : 0;
        if (c == 0) c = folded[a].compare(folded[b]);
        if (c == 0) c = texts[a].compare(texts[b]);
        return descending ? c > 0 : c < 0;
    });
    if (collator) collator->Prepare({});
    return order;
}

}  // namespace rekna
