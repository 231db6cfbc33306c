// TKeyWordList: a sorted list of words for the painter's identifier look-ups, and the fixed lists.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
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

    [[nodiscard]] bool Contains(std::string_view word) const noexcept;
    [[nodiscard]] std::int32_t Count() const noexcept {
        return static_cast<std::int32_t>(FWords.size());
    }
    // The words as given, in the list's sort order.
    [[nodiscard]] const std::vector<std::string>& Words() const noexcept { return FWords; }
    [[nodiscard]] bool CaseSensitive() const noexcept { return FCaseSensitive; }

private:
    std::vector<std::string> FWords;
    std::vector<std::string> FKeys;  // the words lowered when case-insensitive, sorted
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
