// The text commands of the editor over its selection: conversions, line trimming and alignment,
// row sorting, reversing, duplicating and thinning, bracket exchange and the space padding.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace rekna {

class TUMemoEditor;

// Every command is one undo step and false when it changed nothing. Commands over lines take
// the logical lines the selection touches; a piece inside one line stays inside that line.
bool RewriteWith(TUMemoEditor& editor, std::string (*transform)(std::string_view));
bool TrimLines(TUMemoEditor& editor, bool left, bool right);
bool AppendToLines(TUMemoEditor& editor, std::string_view text);
// 0 left, 1 right, 2 centre: within the wrap width, else the widest row; a box stays a box.
bool AlignLines(TUMemoEditor& editor, int mode);
bool AlignEquals(TUMemoEditor& editor);
bool AlignComments(TUMemoEditor& editor);
bool ReplaceInSelection(TUMemoEditor& editor, std::string_view a, std::string_view b);
bool SwapInSelection(TUMemoEditor& editor, std::string_view a, std::string_view b);
// Without a selection the caret's line.
bool ConvertBrackets(TUMemoEditor& editor, int kind);
bool ReverseCharacters(TUMemoEditor& editor);
bool ReverseDigits(TUMemoEditor& editor);
bool ReverseRows(TUMemoEditor& editor);
bool SortRows(TUMemoEditor& editor, bool descending);
// Without a selection the caret's line; the doubled lines end up selected.
bool DuplicateRows(TUMemoEditor& editor);
// Without a selection the caret's line; the caret goes to the first row of what is left.
bool DeleteBlankRows(TUMemoEditor& editor);
bool DeleteRepeatedRows(TUMemoEditor& editor);
bool TabsToSpaces(TUMemoEditor& editor);
bool SpacesToTabs(TUMemoEditor& editor);
bool FullSpaceToSpaces(TUMemoEditor& editor);
bool SpacesToFullSpace(TUMemoEditor& editor);

// The limits of the padding prompts.
inline constexpr std::int32_t kMaxPadRows = 10000;
inline constexpr std::int32_t kMaxPadSpaces = 1000;
// With a selection: spaces appended to its lines. Without: to `rows` lines from the caret's,
// adding lines where the document ends.
bool AddSpaces(TUMemoEditor& editor, std::int32_t rows, std::int32_t spaces);
// As AddSpaces, each line filled with spaces up to the display column (Tabs expanded).
bool FillSpaces(TUMemoEditor& editor, std::int32_t rows, std::int32_t column);
// The blank lines at the end of the document go; it ends in exactly one empty line.
bool DeleteTrailingBlankRows(TUMemoEditor& editor);
// As DeleteTrailingBlankRows down to the caret's line, and every line from there loses its
// trailing blanks.
bool DeleteTrailingSpaces(TUMemoEditor& editor);

}  // namespace rekna
