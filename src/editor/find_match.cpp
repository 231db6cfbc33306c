// Occurrences of the find text in a row of CP932 text.
#include "editor/find_match.h"

#include "platform/cp932.h"
#include "platform/lcmap.h"

#include <cstring>

namespace rekna {

TFindMatcher::TFindMatcher(std::string_view findText, TSearchTypes options)
    : FMatchCase(options.Contains(TSearchType::stMatchCase)),
      FWord(options.Contains(TSearchType::stWord)) {
    FText = FMatchCase ? std::string(findText) : LocaleLowerCase(findText);
}

void TFindMatcher::Find(std::string_view row, std::vector<TByteRange>& out) const {
    out.clear();
    if (FText.empty() || row.size() < FText.size()) return;
    std::string_view hay = row;
    if (!FMatchCase) {
        // Locale lowering keeps every character's length, so positions carry over.
        FLowered = LocaleLowerCase(row);
        hay = FLowered;
    }
    const std::size_t n = row.size();
    const std::size_t len = FText.size();
    std::size_t prevStart = 0;  // start of the character before i
    bool havePrev = false;
    for (std::size_t i = 0; i + len <= n;) {
        const std::size_t step = CharLength(row, i);
        if (std::memcmp(hay.data() + i, FText.data(), len) == 0) {
            // The match must end on a character boundary of the row.
            std::size_t j = i;
            while (j < i + len)
                j += CharLength(row, j);
            bool ok = j == i + len;
            if (ok && FWord) {
                if (havePrev) {
                    ok = i - prevStart == 1 &&
                         IsWordSeparator(static_cast<unsigned char>(row[prevStart]));
                }
                if (ok && j < n) {
                    ok = CharLength(row, j) == 1 &&
                         IsWordSeparator(static_cast<unsigned char>(row[j]));
                }
            }
            if (ok) {
                out.push_back({static_cast<std::int32_t>(i), static_cast<std::int32_t>(j)});
                // The character before the next candidate is the match's last one.
                std::size_t k = i;
                while (k + CharLength(row, k) < j)
                    k += CharLength(row, k);
                prevStart = k;
                havePrev = true;
                i = j;
                continue;
            }
        }
        prevStart = i;
        havePrev = true;
        i += step;
    }
}

}  // namespace rekna
