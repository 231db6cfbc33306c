// The table commands of the editor: separator conversion, column alignment, rows and columns
// exchanged (in place, or through the clipboard) and space compression, on the selection.
#pragma once

#include "editor/commands/table_model.h"

#include <string_view>

namespace rekna {

class TClipboard;
class TUMemoEditor;

// Each is one undo step, does nothing without a selection and leaves the result selected.
bool ConvertTable(TUMemoEditor& editor, std::string_view separator, TTableAlign mode);
// A Tab table comes back separated by "　".
bool AlignTable(TUMemoEditor& editor, TTableAlign mode);
bool ExchangeTable(TUMemoEditor& editor, TTableAlign mode);
// The selected table exchanged onto the clipboard; the text stays.
bool CopyExchanged(const TUMemoEditor& editor, TClipboard& clipboard);
// The clipboard's table exchanged and pasted at the caret.
bool PasteExchanged(TUMemoEditor& editor, const TClipboard& clipboard);
bool SpacesToTab(TUMemoEditor& editor);
bool SpacesToOneSpace(TUMemoEditor& editor);
bool SpaceRunsToTab(TUMemoEditor& editor);

}  // namespace rekna
