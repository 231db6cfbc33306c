// A template's text put into the memo as whole lines: at the caret line, or at the end.
#pragma once

#include <string_view>

namespace rekna {

class TUMemoEditor;

// The lines go in above the caret's line, or below it when the caret stands behind the line's
// end; the caret stays with its text and the view where it is. One undo step; nothing for an
// empty text or a read-only memo. A line break at the end of text adds no empty line.
void InsertTemplateLines(TUMemoEditor& memo, std::string_view text);
// The lines go in after the memo's last line (into it, when the memo is one empty line); the
// caret moves to the last line, column 1, without a selection. One undo step.
void AppendTemplateLines(TUMemoEditor& memo, std::string_view text);

}  // namespace rekna
