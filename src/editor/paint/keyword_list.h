// TKeyWordList: a sorted list of words for the painter's identifier look-ups, and the fixed lists.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace rekna {

// Words are ASCII. A case-insensitive list finds a word in any letter case. A word given twice is
// kept once.
class TKeyWordList {
public:
    TKeyWordList() = default;
    TKeyWordList(std::span<const std::string_view> words, bool caseSensitive);

    // Replaces the content.
    void Assign(std::span<const std::string_view> words, bool caseSensitive);

    // Adds words as Assign of the old and the new words together would. The new words are
    // sorted in at the next look-up, so that thousands of single additions in a row (every
    // function of a definitions file) cost one sort, not one each.
    void Add(std::span<const std::string_view> words);

    [[nodiscard]] bool Contains(std::string_view word) const;
    [[nodiscard]] std::int32_t Count() const {
        Settle();
        return static_cast<std::int32_t>(FWords.size());
    }
    // The words as given, in the list's sort order.
    [[nodiscard]] const std::vector<std::string>& Words() const {
        Settle();
        return FWords;
    }
    [[nodiscard]] bool CaseSensitive() const noexcept { return FCaseSensitive; }

private:
    using TEntry = std::pair<std::string, std::string>;  // key, word
    void Settle() const {
        if (!FPending.empty()) MergePending();
    }
    void MergePending() const;
    [[nodiscard]] TEntry EntryOf(std::string_view word) const;

    mutable std::vector<std::string> FWords;
    mutable std::vector<std::string> FKeys;  // the words lowered when case-insensitive, sorted
    mutable std::vector<TEntry> FPending;    // added, not yet sorted in
    bool FCaseSensitive = false;
};

// The fixed tables the lists are built from.
[[nodiscard]] std::span<const std::string_view> CalcFunctionNames() noexcept;
[[nodiscard]] std::span<const std::string_view> VBScriptReservedNames() noexcept;
[[nodiscard]] std::span<const std::string_view> VBScriptKeyWordNames() noexcept;
[[nodiscard]] std::span<const std::string_view> JScriptReservedNames() noexcept;
[[nodiscard]] std::span<const std::string_view> JScriptKeyWordNames() noexcept;

// The script languages' lists never change and are shared by every control; the calculation
// function list belongs to each control, which can rebuild it.
[[nodiscard]] const TKeyWordList& VBScriptReserved();
[[nodiscard]] const TKeyWordList& VBScriptKeyWords();
[[nodiscard]] const TKeyWordList& JScriptReserved();
[[nodiscard]] const TKeyWordList& JScriptKeyWords();

}  // namespace rekna
