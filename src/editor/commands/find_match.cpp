// Occurrences of the find text in a row of CP932 text.
#include "editor/commands/find_match.h"

#include "platform/cp932.h"
#include "platform/lcmap.h"

#include <algorithm>
#include <cstring>

namespace rekna {

namespace {
constexpr std::size_t kNone = std::string_view::npos;
}  // namespace

TFindMatcher::TFindMatcher(std::string_view findText, TSearchTypes options)
    : FMatchCase(options.Contains(TSearchType::stMatchCase)),
      FWord(options.Contains(TSearchType::stWord)) {
    FText = FMatchCase ? std::string(findText) : LocaleLowerCase(findText);
}

std::string_view TFindMatcher::Haystack(std::string_view row) const {
    if (FMatchCase) return row;
    // Locale lowering keeps every character's length, so positions carry over.
    FLowered = LocaleLowerCase(row);
    return FLowered;
}

std::size_t TFindMatcher::MatchAt(std::string_view row, std::string_view hay, std::size_t i,
                                  std::size_t prev) const {
    const std::size_t len = FText.size();
    if (i + len > row.size() || std::memcmp(hay.data() + i, FText.data(), len) != 0) return kNone;
    // The match must end on a character boundary of the row.
    std::size_t j = i;
    while (j < i + len)
        j += CharLength(row, j);
    if (j != i + len) return kNone;
    if (FWord) {
        if (prev != kNone &&
            !(i - prev == 1 && IsWordSeparator(static_cast<unsigned char>(row[prev]))))
            return kNone;
        if (j < row.size() &&
            !(CharLength(row, j) == 1 && IsWordSeparator(static_cast<unsigned char>(row[j]))))
            return kNone;
    }
    return j;
}

void TFindMatcher::Find(std::string_view row, std::vector<TByteRange>& out) const {
    out.clear();
    if (FText.empty() || row.size() < FText.size()) return;
    const std::string_view hay = Haystack(row);
    const std::size_t n = row.size();
    std::size_t prev = kNone;  // start of the character before i
    for (std::size_t i = 0; i + FText.size() <= n;) {
        const std::size_t j = MatchAt(row, hay, i, prev);
        if (j != kNone) {
            out.push_back({static_cast<std::int32_t>(i), static_cast<std::int32_t>(j)});
            // The character before the next candidate is the match's last one.
            std::size_t k = i;
            while (k + CharLength(row, k) < j)
                k += CharLength(row, k);
            prev = k;
            i = j;
            continue;
        }
        prev = i;
        i += CharLength(row, i);
    }
}

TByteRange TFindMatcher::FindFirst(std::string_view row, std::size_t from) const {
    if (FText.empty() || row.size() < FText.size()) return {-1, -1};
    const std::string_view hay = Haystack(row);
    std::size_t prev = kNone;
    for (std::size_t i = 0; i + FText.size() <= row.size(); i += CharLength(row, i)) {
        if (i >= from) {
            const std::size_t j = MatchAt(row, hay, i, prev);
            if (j != kNone) return {static_cast<std::int32_t>(i), static_cast<std::int32_t>(j)};
        }
        prev = i;
    }
    return {-1, -1};
}

TByteRange TFindMatcher::FindLast(std::string_view row, std::size_t from, std::size_t to) const {
    TByteRange found{-1, -1};
    if (FText.empty() || row.size() < FText.size()) return found;
    const std::string_view hay = Haystack(row);
    std::size_t prev = kNone;
    for (std::size_t i = 0; i + FText.size() <= std::min(row.size(), to); i += CharLength(row, i)) {
        if (i >= from) {
            const std::size_t j = MatchAt(row, hay, i, prev);
            if (j != kNone && j <= to)
                found = {static_cast<std::int32_t>(i), static_cast<std::int32_t>(j)};
        }
        prev = i;
    }
    return found;
}

}  // namespace rekna
