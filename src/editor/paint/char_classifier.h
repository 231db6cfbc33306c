// TCharClassifier: sorts every character of a logical line into a TCharKind by the pane's syntax.
#pragma once

#include "editor/paint/char_kind.h"
#include "editor/selection/umemo_selection.h"
#include "editor/store/row_store.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace rekna {

class TCharSet;
class TKeyWordList;
class TUMemoStrings;

// The rows of one logical line as the classifier reads them.
struct TLineText {
    std::string_view Text;               // the rows' bytes joined, hanging-indent copies included
    std::vector<std::int32_t> RowStart;  // offset of every row in Text, and Text's size last
    std::int32_t FirstRow = 0;
    bool AnswerVB = false;  // ftAns: the line's first row carries the script-answer tag "VB"
    // Cells are kept for the characters that overlap [KeepFrom, KeepTo) of Text.
    std::size_t KeepFrom = 0;
    std::size_t KeepTo = SIZE_MAX;
    // Leading bytes of Text known to be what the classifier saw of this line when it last walked
    // it; SIZE_MAX when that is not known, and the texts are compared.
    std::size_t Unchanged = SIZE_MAX;
};

// Where a walk stood at a character start: a later walk over the same text up to there goes on
// from it. Semi and Bracketed are the memo syntax's comments.
struct TScanState {
    std::size_t Offset = 0;
    std::size_t Row = 0;
    std::int16_t Depth = 0;
    std::int32_t NextPair = 0;
    std::vector<std::int32_t> Pairs;
    std::vector<std::size_t> PairAt;
    std::size_t LabelEnd = 0;
    bool Semi = false;
    bool Bracketed = false;
};

// The whole logical line is classified at once, so comment, string and bracket state carry across
// its soft breaks. Classification depends on the text, the file type, DependenceChar and the
// calculation function list; the caret only decides which bracket pair encloses it.
class TCharClassifier {
public:
    TFileType FileType = TFileType::ftRekna;
    const TCharSet* Dependence = nullptr;     // DependenceChar; none when null
    const TKeyWordList* Functions = nullptr;  // calculation functions; none when null

    // A line longer than this keeps only the cells of a given window; a memo line longer than
    // this is walked from a checkpoint, which are CheckpointBytes apart.
    std::size_t WholeLineBytes = 65536;
    std::size_t CheckpointBytes = 8192;

    // The logical line that holds row (clamped to the store); caret gives the caret pair when it
    // lies on the line. With a window, a line longer than WholeLineBytes keeps only the cells of
    // the characters the window shows (all of its rows when the text is wrapped).
    void Classify(const TUMemoStrings& strings, std::int32_t row, TSelPoint caret,
                  TClassifiedLine& out, const TViewWindow* window = nullptr) const;

    // The same on a line given as text. caretOffset is the caret's byte offset in line.Text, or
    // negative when the caret is elsewhere.
    void ClassifyText(const TLineText& line, std::int64_t caretOffset, TClassifiedLine& out) const;

private:
    // The checkpoint to go on from for a long memo line: the last one that lies before what
    // must be emitted and the caret, on text that is still the same; null for none. Forgets the
    // checkpoints the text has changed under and notes the text as it is now.
    [[nodiscard]] const TScanState* Checkpoint(const TLineText& line,
                                               std::int64_t caretOffset) const;

    mutable std::string FJoined;  // scratch: the rows joined
    mutable TLineText FLine;
    mutable std::vector<std::int32_t> FPairs;  // scratch: the open bracket pairs
    // The memo syntax's walk over the last long line, at checkpoints, and the text and rows it
    // was taken on, so that a key at the end of a long line walks only from the last of them.
    mutable std::vector<TScanState> FCheckpoints;
    mutable std::string FKnownText;
    mutable std::vector<std::int32_t> FKnownRows;
    mutable TFileType FKnownType = TFileType::ftNone;
    // The store's stamp and the line's first row that the kept text was taken from (serial 0:
    // not known), so that the store tells what changed since instead of a compare.
    mutable TEditStamp FKnownStamp;
    mutable std::int32_t FKnownFirst = 0;
    mutable bool FCheckpointed = false;
};

}  // namespace rekna
