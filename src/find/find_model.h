// TFindModel: the find window without its widgets — the boxes' texts and histories, the case
// toggle, the caption, the text kept in the settings file, and the commands on the panes.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace rekna {

class TUMemoEditor;

enum class TFindDirection : std::uint8_t { fdDown, fdUp };

// The box that has the focus, for the caption.
enum class TFindBox : std::uint8_t { fbNone, fbJump, fbText, fbReplace };

// The panes the commands work on: the memo, and the answer pane, which finding and the jumps to
// the top and bottom use while it is the active control.
struct TFindPanes {
    TUMemoEditor* Memo = nullptr;
    TUMemoEditor* Answer = nullptr;
    bool AnswerActive = false;
    bool MemoActive = true;
};

// Puts text at the top of a history (newest first) unless an item equal to it, ignoring case, is
// there already; an empty text is not kept. Texts are CP932.
void AddToHistory(std::vector<std::string>& items, std::string_view text);

// The settings file's find-window text: the case toggle as "0" or "1", then the search text
// with "\" written "\\" and Tab, CR and LF written "\t", "\r", "\n", so that the text cannot
// break the file's key=value lines. A trail byte 0x5C of a double-byte character is not a "\".
[[nodiscard]] std::string EncodeFindSettings(bool matchCase, std::string_view text);
// The inverse; an empty value leaves both as they are, an unknown escape is kept as written.
void DecodeFindSettings(std::string_view value, bool& matchCase, std::string& text);

// The jump box's number: its first 100 characters read as an optionally signed decimal number
// (saturated far beyond any row count). Valid when it reads so and is not 0.
struct TJumpNumber {
    bool Valid = false;
    bool Relative = false;  // it begins with "+" or "-"
    std::int64_t Value = 0;
};
[[nodiscard]] TJumpNumber ReadJumpNumber(std::string_view text);
// The characters the jump box takes: digits, "+", "-" (and Backspace, which is not a character).
[[nodiscard]] bool JumpBoxAccepts(char32_t c) noexcept;

// The texts shown, in UTF-8.
[[nodiscard]] std::string CaseHint(bool matchCase);
// "下方検索|" + text + " カーソル位置から下方検索" and the like (short hint, "|", long hint); the
// text is CP932, empty for the plain hints.
[[nodiscard]] std::string FindActionHint(TFindDirection direction, std::string_view text);
[[nodiscard]] std::string ReplaceAllHint(bool inSelection);
[[nodiscard]] std::string FoundRowCaption(std::int64_t row);
[[nodiscard]] std::string NotFoundCaption();
[[nodiscard]] std::string ReplacedCaption(std::int64_t count);
// Replacing was asked while the answer or log pane was the active one.
[[nodiscard]] std::string MemoOnlyCaption();

class TFindModel {
public:
    // --- State. Texts are CP932.
    std::string JumpText;
    std::string SearchText;
    std::string ReplaceText;
    std::vector<std::string> JumpHistory;
    std::vector<std::string> TextHistory;
    std::vector<std::string> ReplaceHistory;

    [[nodiscard]] bool MatchCase() const noexcept { return FMatchCase; }
    void SetMatchCase(bool on) noexcept { FMatchCase = on; }
    void ToggleCase() noexcept { FMatchCase = !FMatchCase; }
    // The window's caption (UTF-8): the last result, or the focused box's name.
    [[nodiscard]] const std::string& Caption() const noexcept { return FCaption; }
    void ShowFocus(TFindBox box);

    // The settings text, and taking it back.
    [[nodiscard]] std::string SettingsText() const {
        return EncodeFindSettings(FMatchCase, SearchText);
    }
    void TakeSettingsText(std::string_view value) {
        DecodeFindSettings(value, FMatchCase, SearchText);
    }
    // The window opens with the memo's selection when it lies within one row.
    void TakeSelection(const TUMemoEditor& memo);

    // --- Commands. Each leaves its result in the caption.
    // The search text from the caret of the answer pane when it is active, else of the memo;
    // the match is selected and becomes the find highlight. True when found.
    bool Find(const TFindPanes& panes, TFindDirection direction);
    // Only while the memo is active (else the caption says so): a selection that holds the
    // search text is replaced (one undo step), then Find.
    void ReplaceAndFind(const TFindPanes& panes, TFindDirection direction);
    // Only while the memo is active and no Replace All runs: with a selection over two rows or
    // more, the occurrences inside it; otherwise every occurrence in the memo. One undo step.
    // poll is asked now and then with the count so far (the window lets Esc in there); the
    // command ends early when it returns true or RequestStop() was called. Returns the count.
    std::int64_t ReplaceAll(const TFindPanes& panes,
                            const std::function<bool(std::int64_t count)>& poll = {});
    [[nodiscard]] bool Replacing() const noexcept { return FReplacing; }
    // Replace All has its count in the caption; the memo is calculated again next.
    std::function<void()> OnReplaced;
    void RequestStop() noexcept { FStop = true; }
    // The jump box's row (relative with a sign) is selected in the memo; a text that is no
    // number other than 0 becomes "1".
    bool JumpToRow(const TFindPanes& panes);
    void JumpTop(const TFindPanes& panes);
    void JumpBottom(const TFindPanes& panes);

private:
    bool FMatchCase = true;
    bool FReplacing = false;
    bool FStop = false;
    std::string FCaption = "ジャンプ/検索/置換 :";
};

// The selection covers two rows or more, so Replace All works inside it.
[[nodiscard]] bool ReplacesInSelection(const TUMemoEditor& memo);

}  // namespace rekna
