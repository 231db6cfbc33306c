// TCompletionList: what the completion popup offers for the word before the caret, and the
// acceptance that puts the chosen entry in place of the word around the caret.
#pragma once

#include "editor/paint/char_kind.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace rekna {

class TUMemoEditor;
class TUMemoStrings;

// Word characters of completion: ASCII digits and letters and every byte above 94, so "_", "`",
// "{", "|", "}", "~" and all double-byte characters belong to words.
[[nodiscard]] constexpr bool IsCompletionWordByte(unsigned char c) noexcept {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c > 94;
}

// Byte offsets [Start, End) of a word in a line of CP932 text.
struct TNameSpan {
    std::size_t Start = 0;
    std::size_t End = 0;
    friend bool operator==(const TNameSpan&, const TNameSpan&) = default;
};

// The word that ends at caret (a byte offset on a character boundary): empty when the character
// before the caret is no word character. Characters are read from the start of the line, so the
// second byte of a double-byte character is never taken for a character of its own.
[[nodiscard]] TNameSpan WordBeforeCaret(std::string_view line, std::size_t caret) noexcept;
// The word characters on both sides of the caret.
[[nodiscard]] TNameSpan WordAroundCaret(std::string_view line, std::size_t caret) noexcept;

// The caret's logical line and the caret's byte offset in it.
struct TCaretLine {
    std::string Text;
    std::size_t Caret = 0;
};
[[nodiscard]] TCaretLine CaretLine(const TUMemoStrings& strings);

// Which names a pane offers: the calculation functions, or a script language's words.
enum class TCompletionSource : std::uint8_t { csCalc, csVBScript, csJScript };
// A memo offers the functions, except on its VBScript lines ("#>" and "#?").
[[nodiscard]] TCompletionSource CompletionSourceFor(TFileType type, std::string_view line) noexcept;

class TCompletionList {
public:
    // Every entry of the lists that begins with word, compared without regard to letter case
    // (an empty word takes them all), sorted alphabetically without regard to case; an entry
    // given twice is kept once. One entry is preselected; otherwise the entry equal to the word
    // (ignoring case), or none.
    void Fill(std::initializer_list<std::span<const std::string>> lists, std::string_view word);
    void Clear() noexcept;

    [[nodiscard]] const std::vector<std::string>& Entries() const noexcept { return FEntries; }
    // -1 when none is selected.
    [[nodiscard]] int Selected() const noexcept { return FSelected; }
    void Select(int index) noexcept;
    // Moves the selection by delta entries, stopping at either end; without a selection the
    // first entry is selected.
    void MoveSelection(int delta) noexcept;
    // The selected entry, or empty.
    [[nodiscard]] std::string_view SelectedEntry() const noexcept;

    // |font height| × (n + 4) / 2 pixels, n the byte length of the longest entry but at least 5.
    [[nodiscard]] int Width(int fontHeight) const noexcept;

private:
    std::vector<std::string> FEntries;
    int FSelected = -1;
};

// Fills the list for the caret of the editor's store from the source that its file type and
// the caret line choose.
void FillForCaret(TCompletionList& list, const TUMemoStrings& strings, TFileType type,
                  std::span<const std::string> calcNames);

// As one batch update (one undo step): the whole word around the caret is selected and, unless it
// already equals entry, replaced by it; when it equals entry the selection is dropped. An empty
// entry or a read-only editor changes nothing. True when the text changed.
bool AcceptCompletion(TUMemoEditor& editor, std::string_view entry);

}  // namespace rekna
