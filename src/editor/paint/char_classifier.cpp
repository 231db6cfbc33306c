// The shared walk over a logical line and the choice of syntax by file type.
#include "editor/paint/char_classifier.h"

#include "editor/paint/classify_scan.h"
#include "editor/store/umemo_strings.h"

#include <algorithm>

namespace rekna {
namespace {

constexpr std::uint16_t kFullWidthSpace = 0x8140;
constexpr std::uint16_t kFullWidthEquals = 0x8181;

// The answer of a script line in the answer pane: everything but the marks is string-coloured.
void ColourScriptAnswer(std::vector<TCharCell>& cells) {
    for (TCharCell& c : cells) {
        if (!IsMarkKind(c.Kind)) c.Kind = TCharKind::ckString;
    }
}

}  // namespace

// --- TClassifyScan ----------------------------------------------------------------------------

TClassifyScan::TClassifyScan(const TLineText& line, const TCharSet* dependence,
                             std::int64_t caretOffset, std::vector<std::int32_t>& pairs,
                             TClassifiedLine& out)
    : FText(line.Text), FRowStart(line.RowStart), FFirstRow(line.FirstRow), FDependence(dependence),
      FCaret(caretOffset), FPairs(pairs), FOut(out) {
    FPairs.clear();
    FOut.Cells.clear();
    FOut.RowBegin.clear();
    FOut.CaretPair = kNoPair;
    FOut.FirstRow = line.FirstRow;
    FOut.LastRow = line.FirstRow + static_cast<std::int32_t>(line.RowStart.size()) - 2;
    FOut.State = TLineState::lsNormal;
    if (!FText.empty()) {
        if (FText[0] == '#') FOut.State = TLineState::lsControl;
        if (FText[0] == '>') FOut.State = TLineState::lsStat;
    }
    FOut.Cells.reserve(FText.size());
}

std::size_t TClassifyScan::RowEnd(std::size_t i) noexcept {
    std::size_t r = FRow;
    while (r + 2 < FRowStart.size() && i >= static_cast<std::size_t>(FRowStart[r + 1]))
        ++r;
    return static_cast<std::size_t>(FRowStart[r + 1]);
}

void TClassifyScan::Emit(std::size_t i, std::uint8_t bytes, TCharKind kind) {
    while (FRow + 2 < FRowStart.size() && i >= static_cast<std::size_t>(FRowStart[FRow + 1]))
        ++FRow;
    TCharCell cell;
    cell.Row = FFirstRow + static_cast<std::int32_t>(FRow);
    cell.Pos = static_cast<std::int32_t>(i) - FRowStart[FRow] + 1;
    cell.Bytes = bytes;
    cell.Kind = kind;
    FOut.Cells.push_back(cell);
}

void TClassifyScan::Open(std::size_t i) {
    ++FDepth;
    FPairs.push_back(FNextPair++);
    Emit(i, 1, TCharKind::ckKakko);
    FOut.Cells.back().Depth = FDepth;
    FOut.Cells.back().Pair = FPairs.back();
}

void TClassifyScan::Close(std::size_t i) {
    Emit(i, 1, TCharKind::ckKakko);
    FOut.Cells.back().Depth = FDepth;
    FOut.Cells.back().Pair = OpenPair();
    if (FDepth > INT16_MIN) --FDepth;
    if (!FPairs.empty()) FPairs.pop_back();
}

TCharKind TClassifyScan::DoubleKind(std::size_t i, bool inComment) const noexcept {
    if (IsDependence(i)) return TCharKind::ckDependence;
    const auto code = static_cast<std::uint16_t>(At(i) << 8 | At(i + 1));
    if (code == kFullWidthSpace) return TCharKind::ckJSpace;
    if (inComment) return TCharKind::ckComment;
    if (code == kFullWidthEquals) return TCharKind::ckJEq;
    return TCharKind::ckNorm;
}

std::size_t TClassifyScan::WordEnd(std::size_t i) const noexcept {
    while (i < FText.size() && IsWordByte(At(i)))
        ++i;
    return i;
}

void TClassifyScan::EmitRun(std::size_t i, std::size_t end, TCharKind kind) {
    for (; i < end; ++i)
        Emit(i, 1, kind);
}

void TClassifyScan::Finish() {
    const std::size_t rows = FRowStart.size() - 1;
    FOut.RowBegin.assign(rows + 1, static_cast<std::int32_t>(FOut.Cells.size()));
    // Cells are in row order; every row starts where the first cell of a later row is found.
    std::size_t r = 0;
    for (std::size_t k = 0; k < FOut.Cells.size(); ++k) {
        const auto row = static_cast<std::size_t>(FOut.Cells[k].Row - FFirstRow);
        while (r <= row)
            FOut.RowBegin[r++] = static_cast<std::int32_t>(k);
    }
}

// --- Plain text --------------------------------------------------------------------------------

void ClassifyPlain(TClassifyScan& s) {
    for (std::size_t i = 0; i < s.Size();) {
        const unsigned char c = s.At(i);
        const std::uint8_t bytes = s.CharBytes(i);
        if (bytes == 2) {
            s.NoteCaret(i, 2, false);
            TCharKind kind = s.DoubleKind(i, false);
            if (kind == TCharKind::ckJEq) kind = TCharKind::ckNorm;
            s.Emit(i, 2, kind);
            i += 2;
            continue;
        }
        if (s.IsCrLf(i)) {
            s.NoteCaret(i, 2, false);
            s.Emit(i, 2, TCharKind::ckCrLf);
            i += 2;
            continue;
        }
        s.NoteCaret(i, 1, false);
        if (c == '\t') {
            s.Emit(i, 1, TCharKind::ckTab);
        } else if (c == '(' || c == '{') {
            s.Open(i);
        } else if (c == ')' || c == '}') {
            s.Close(i);
        } else if (c >= 0x80) {
            s.Emit(i, 1, TCharKind::ckDependence);
        } else {
            s.Emit(i, 1, TCharKind::ckChar);
        }
        ++i;
    }
    s.NoteCaretAtEnd(false);
}

// --- TCharClassifier ---------------------------------------------------------------------------

void TCharClassifier::Classify(const TUMemoStrings& strings, std::int32_t row, TSelPoint caret,
                               TClassifiedLine& out) const {
    const std::int32_t count = strings.GetCount();
    if (count == 0) {
        out = TClassifiedLine{};
        out.RowBegin.assign(1, 0);
        return;
    }
    row = std::clamp(row, 0, count - 1);
    const std::int32_t first = strings.FirstRowOfLine(row);
    const std::int32_t last = strings.LastRowOfLine(row);
    FJoined.clear();
    FLine.RowStart.clear();
    for (std::int32_t r = first; r <= last; ++r) {
        FLine.RowStart.push_back(static_cast<std::int32_t>(FJoined.size()));
        FJoined += strings.Get(r);
    }
    FLine.RowStart.push_back(static_cast<std::int32_t>(FJoined.size()));
    FLine.Text = FJoined;
    FLine.FirstRow = first;
    FLine.AnswerVB = FileType == TFileType::ftAns && strings.Result(first) == "VB";
    std::int64_t caretOffset = -1;
    if (caret.Y >= first && caret.Y <= last) {
        const std::int32_t len = static_cast<std::int32_t>(strings.Get(caret.Y).size());
        caretOffset = FLine.RowStart[static_cast<std::size_t>(caret.Y - first)] +
                      std::clamp(caret.X, 1, len + 1) - 1;
    }
    ClassifyText(FLine, caretOffset, out);
}

void TCharClassifier::ClassifyText(const TLineText& line, std::int64_t caretOffset,
                                   TClassifiedLine& out) const {
    TClassifyScan scan(line, Dependence, caretOffset, FPairs, out);
    const std::string_view t = line.Text;
    const bool scriptLine = t.size() >= 2 && t[0] == '#' && (t[1] == '>' || t[1] == '?');
    switch (FileType) {
    case TFileType::ftRekna:
    case TFileType::ftLog:
        if (scriptLine) {
            ClassifyVBScript(scan);
        } else {
            ClassifyMemo(scan, Functions, false);
        }
        break;
    case TFileType::ftAns:
        ClassifyMemo(scan, Functions, true);
        if (line.AnswerVB && !(t.size() > 0 && (t[0] == '#' || t[0] == '>' || t[0] == '[')))
            ColourScriptAnswer(out.Cells);
        break;
    case TFileType::ftVBScript: ClassifyVBScript(scan); break;
    case TFileType::ftJScript: ClassifyJScript(scan); break;
    case TFileType::ftMail: ClassifyMail(scan); break;
    case TFileType::ftNone:
    case TFileType::ftText:
        out.State = TLineState::lsNormal;
        ClassifyPlain(scan);
        break;
    }
    scan.Finish();
}

}  // namespace rekna
