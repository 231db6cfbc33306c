// TCharClassifier: sorts every character of a logical line into a TCharKind by the pane's syntax.
#pragma once

#include "editor/paint/char_kind.h"
#include "editor/selection/umemo_selection.h"

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
};

// The whole logical line is classified at once, so comment, string and bracket state carry across
// its soft breaks. Classification depends on the text, the file type, DependenceChar and the
// calculation function list; the caret only decides which bracket pair encloses it.
class TCharClassifier {
public:
    TFileType FileType = TFileType::ftRekna;
    const TCharSet* Dependence = nullptr;     // DependenceChar; none when null
    const TKeyWordList* Functions = nullptr;  // calculation functions; none when null

    // The logical line that holds row (clamped to the store); caret gives the caret pair when it
    // lies on the line.
    void Classify(const TUMemoStrings& strings, std::int32_t row, TSelPoint caret,
                  TClassifiedLine& out) const;

    // The same on a line given as text. caretOffset is the caret's byte offset in line.Text, or
    // negative when the caret is elsewhere.
    void ClassifyText(const TLineText& line, std::int64_t caretOffset, TClassifiedLine& out) const;

private:
    mutable std::string FJoined;  // scratch: the rows joined
    mutable TLineText FLine;
    mutable std::vector<std::int32_t> FPairs;  // scratch: the open bracket pairs
};

}  // namespace rekna
