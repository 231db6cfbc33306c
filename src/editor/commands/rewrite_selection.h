// RewriteSelection: the common frame of the commands that rewrite the selected text of the
// editor as one edit group, one undo step and one change notification.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace rekna {

class TUMemoEditor;
class TUMemoStrings;

// Which text a command takes.
enum class TRewriteRows : std::uint8_t {
    rrAsSelected,      // the selection as it is (stream, box or rows)
    rrLines,           // the logical lines the selection touches
    rrLinesUnlessBox,  // those lines, but a box stays a box
};

// What a transform may need to know about the editor.
struct TRewriteContext {
    bool Box = false;
    std::int32_t TabStops = 8;
    std::int32_t WrapColumns = 0;  // 0: the memo does not wrap
    std::int32_t MaxWidth = 0;     // the widest row of the document
};

struct TRewriteOptions {
    TRewriteRows Rows = TRewriteRows::rrAsSelected;
    // Pasted lines are not indented while the command runs.
    bool AutoIndentOff = false;
    // Without a selection the caret's logical line is taken.
    bool CaretLineIfNone = false;
    // Nothing is recorded when the text comes back unchanged.
    bool OnlyWhenChanged = false;
    // A result gets CR LF behind it when the selected text ended with a line end.
    bool EndFix = false;
    // The result ends up selected; otherwise the caret goes to its first row.
    bool SelectResult = true;
};

using TRewrite = std::function<std::string(std::string_view, const TRewriteContext&)>;

// False (and nothing happens) on a read-only or empty editor, without a selection (unless
// CaretLineIfNone), or when OnlyWhenChanged finds nothing to change.
bool RewriteSelection(TUMemoEditor& editor, const TRewrite& transform,
                      const TRewriteOptions& options = {});
// A transform of the text alone.
bool RewriteSelection(TUMemoEditor& editor, std::string (*transform)(std::string_view),
                      const TRewriteOptions& options = {});

// Makes the selection a line selection of the logical lines it touches (a stream ending at the
// start of a row leaves that row out).
void SelectLogicalLines(TUMemoStrings& strings);

// Switches AutoIndent off for its lifetime.
class TAutoIndentOff {
public:
    TAutoIndentOff(TUMemoStrings& strings, bool active);
    TAutoIndentOff(const TAutoIndentOff&) = delete;
    TAutoIndentOff& operator=(const TAutoIndentOff&) = delete;
    ~TAutoIndentOff();

private:
    TUMemoStrings& FStrings;
    bool FActive;
    bool FWas;
};

// Switches the input conversions of pasted text (DoubleKana, DoubleDiv, DoubleMul) off for its
// lifetime: a command's result goes back exactly as it was made.
class TInputConversionsOff {
public:
    explicit TInputConversionsOff(TUMemoStrings& strings);
    TInputConversionsOff(const TInputConversionsOff&) = delete;
    TInputConversionsOff& operator=(const TInputConversionsOff&) = delete;
    ~TInputConversionsOff();

private:
    TUMemoStrings& FStrings;
    bool FKana, FDiv, FMul;
};

}  // namespace rekna
