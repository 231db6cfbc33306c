// TTextCollator: the locale's order of sorted text, which the desktop program installs.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace rekna {

// The locale's collation, ignoring case: symbols, digits, letters, kana (full-width and
// half-width, hiragana and katakana together) and then kanji, as a Japanese desktop sorts. The
// texts are prepared once and then compared by index, so that a sort does not convert a line at
// every comparison.
class TTextCollator {
public:
    virtual ~TTextCollator() = default;
    // CP932 texts; replaces what was prepared before.
    virtual void Prepare(const std::vector<std::string>& texts) = 0;
    // Negative, zero or positive as prepared text i sorts before, with or after text j.
    [[nodiscard]] virtual int Compare(std::size_t i, std::size_t j) const = 0;
};

// The collator the sorts use, for the whole process; null (the default, as in rekna-calc and the
// core tests) sorts by the texts folded to lower case by the locale mapping, then by bytes.
void SetTextCollator(std::unique_ptr<TTextCollator> collator);
[[nodiscard]] bool HasTextCollator() noexcept;

// The order in which the texts sort: stable, with texts the collator takes for equal ordered
// by the folded comparison and then by bytes, so that the result never depends on the sort.
[[nodiscard]] std::vector<std::size_t> CollatedOrder(const std::vector<std::string>& texts,
                                                     bool descending);

}  // namespace rekna
