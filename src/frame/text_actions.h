// The frame's table and text actions (テーブル, 変換, 入替, 整形, 括弧) as data, and running
// one by name against the memo through what the frame lends them.
#pragma once

#include "editor/commands/table_model.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace rekna {

class TClipboard;
class TUMemoEditor;
struct TCalcOptions;

struct TTextAction {
    std::string_view Name;      // "ActionTableTab"
    std::string_view Category;  // UTF-8: "テーブル", ...
    std::string_view Caption;   // UTF-8, "&" before the accelerator
    std::string_view Hint;      // UTF-8; empty: the caption without its accelerator
    std::string_view Shortcut;  // portable key text, or empty
    bool Radio = false;         // one of the four column alignments
    bool Break = false;         // a separator stands before it in its menu
};

[[nodiscard]] std::span<const TTextAction> TextActions();
[[nodiscard]] std::span<const std::string_view> TextActionCategories();
[[nodiscard]] const TTextAction* FindTextAction(std::string_view name);
// The title of a category's menu (UTF-8): "入替" is "行(&R)".
[[nodiscard]] std::string_view TextCategoryCaption(std::string_view category);
// The commands that work on whole rows and need a selection over two rows or more: the
// line-break commands, the row sorts, reversing and the deletion of repeated rows.
[[nodiscard]] bool NeedsRowsSelected(std::string_view name);

// What the frame lends the commands.
class TTextCommandHost {
public:
    virtual ~TTextCommandHost() = default;
    virtual TUMemoEditor& Memo() = 0;
    [[nodiscard]] virtual bool MemoFocused() const = 0;
    // The pane with the focus, or null.
    virtual TUMemoEditor* FocusedEditor() = 0;
    virtual TClipboard& Clipboard() = 0;
    virtual TCalcOptions& Options() = 0;
    // An input box (UTF-8 texts); nothing when cancelled.
    virtual std::optional<std::string> AskText(std::string_view caption, std::string_view prompt,
                                               std::string_view text) = 0;
    // The engine's answer text for one table cell.
    virtual std::string CalcCell(std::string_view cell) = 0;
    // Asked before each cell of 計算結果で置換 with the cells done and to do: shows progress,
    // lets the window paint and sees Esc; false stops the command with the work done kept.
    virtual bool KeepCalculating(std::size_t /*done*/, std::size_t /*total*/) { return true; }
    // The answer pane emptied (after commands that change the number of lines without a run).
    virtual void ClearAnswers() = 0;
    // The column "行末を空白で埋める..." may fill to: the wrap width, or 1000.
    [[nodiscard]] virtual std::int32_t FillColumnLimit() const = 0;
};

// The padding prompt's answer read: with a selection one count, else "rows , count" (a lone
// number is the row count and the count is 1). Nothing for a non-integer or a value below 1;
// rows are cut to 10000 and the count to maxCount.
struct TPadAnswer {
    std::int32_t Rows = 0;
    std::int32_t Count = 0;
};
[[nodiscard]] std::optional<TPadAnswer> ParsePadAnswer(std::string_view text, bool selection,
                                                       std::int32_t maxCount);

// The column alignment chosen last, which the conversions and the exchange pad by.
struct TTextCommandState {
    TTableAlign Mode = TTableAlign::taLeft;
};

// Runs the action of that name; false when it is not one of them or changed nothing.
bool RunTextAction(std::string_view name, TTextCommandHost& host, TTextCommandState& state);

}  // namespace rekna
