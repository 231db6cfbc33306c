// The shared walk over a logical line and the choice of syntax by file type.
#include "editor/paint/char_classifier.h"

#include "editor/paint/classify_scan.h"
#include "editor/store/same_prefix.h"
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
      FCaret(caretOffset), FPairs(pairs), FOut(out), FKeepFrom(line.KeepFrom),
      FKeepTo(line.KeepTo) {
    FPairs.clear();
    FOut.Cells.clear();
    FOut.RowBegin.clear();
    FOut.CaretPair = kNoPair;
    FOut.PairOpen = FOut.PairClose = TCellPlace{};
    FOut.FirstRow = line.FirstRow;
    FOut.LastRow = line.FirstRow + static_cast<std::int32_t>(line.RowStart.size()) - 2;
    FOut.State = TLineState::lsNormal;
    if (!FText.empty()) {
        if (FText[0] == '#') FOut.State = TLineState::lsControl;
        if (FText[0] == '>') FOut.State = TLineState::lsStat;
    }
    FOut.Cells.reserve(std::min(FText.size(), FKeepTo) - std::min(FText.size(), FKeepFrom));
}

std::size_t TClassifyScan::RowEnd(std::size_t i) noexcept {
    std::size_t r = FRow;
    while (r + 2 < FRowStart.size() && i >= static_cast<std::size_t>(FRowStart[r + 1]))
        ++r;
    return static_cast<std::size_t>(FRowStart[r + 1]);
}

TCharCell* TClassifyScan::Emit(std::size_t i, std::uint8_t bytes, TCharKind kind) {
    while (FRow + 2 < FRowStart.size() && i >= static_cast<std::size_t>(FRowStart[FRow + 1]))
        ++FRow;
    if (i + bytes <= FKeepFrom || i >= FKeepTo) return nullptr;
    TCharCell& cell = FOut.Cells.emplace_back();
    cell.Row = FFirstRow + static_cast<std::int32_t>(FRow);
    cell.Pos = static_cast<std::int32_t>(i) - FRowStart[FRow] + 1;
    cell.Bytes = bytes;
    cell.Kind = kind;
    return &cell;
}

void TClassifyScan::Open(std::size_t i) {
    ++FDepth;
    FPairs.push_back(FNextPair++);
    FPairAt.push_back(i);
    if (TCharCell* cell = Emit(i, 1, TCharKind::ckKakko)) {
        cell->Depth = FDepth;
        cell->Pair = FPairs.back();
    }
}

void TClassifyScan::Close(std::size_t i) {
    if (FOut.CaretPair != kNoPair && OpenPair() == FOut.CaretPair) FCaretClose = i;
    if (TCharCell* cell = Emit(i, 1, TCharKind::ckKakko)) {
        cell->Depth = FDepth;
        cell->Pair = OpenPair();
    }
    if (FDepth > INT16_MIN) --FDepth;
    if (!FPairs.empty()) FPairs.pop_back();
    if (!FPairAt.empty()) FPairAt.pop_back();
}

TCellPlace TClassifyScan::PlaceOf(std::size_t i) const noexcept {
    const auto next =
        std::upper_bound(FRowStart.begin(), FRowStart.end() - 1, static_cast<std::int32_t>(i));
    const auto r = static_cast<std::size_t>(next - FRowStart.begin()) - 1;
    return {FFirstRow + static_cast<std::int32_t>(r),
            static_cast<std::int32_t>(i) - FRowStart[r] + 1};
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

void TClassifyScan::Resume(const TScanState& state) {
    FStart = state.Offset;
    FRow = state.Row;
    FDepth = state.Depth;
    FNextPair = state.NextPair;
    FPairs = state.Pairs;
    FPairAt = state.PairAt;
    FLabelEnd = state.LabelEnd;
}

void TClassifyScan::SaveInto(std::vector<TScanState>* states, std::size_t step) noexcept {
    FSaved = states;
    FSaveStep = std::max<std::size_t>(step, 1);
    FNextSave =
        states == nullptr || states->empty() ? FSaveStep : states->back().Offset + FSaveStep;
}

void TClassifyScan::SaveState(std::size_t i, bool semi, bool bracketed) {
    FNextSave = i + FSaveStep;
    if (FPairs.size() > kMaxSavedPairs) return;
    // The row of i, which Emit has not reached yet when i starts a row.
    std::size_t row = FRow;
    while (row + 2 < FRowStart.size() && i >= static_cast<std::size_t>(FRowStart[row + 1]))
        ++row;
    FSaved->push_back({i, row, FDepth, FNextPair, FPairs, FPairAt, FLabelEnd, semi, bracketed});
}

void TClassifyScan::Finish() {
    // The pair's brackets as the cells show them: a label colon may have made the opening one a
    // comment.
    TCellPlace* place = &FOut.PairOpen;
    for (const std::size_t at : {FCaretOpen, FCaretClose}) {
        if (FOut.CaretPair == kNoPair || at == kNowhere || at < FLabelEnd) continue;
        *place = PlaceOf(at);
        place = &FOut.PairClose;
    }
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
                               TClassifiedLine& out, const TViewWindow* window) const {
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
    std::size_t size = 0;
    for (std::int32_t r = first; r <= last; ++r) {
        FLine.RowStart.push_back(static_cast<std::int32_t>(size));
        size += strings.Get(r).size();
    }
    FLine.RowStart.push_back(static_cast<std::int32_t>(size));
    if (first == last) {
        FLine.Text = strings.Get(first);
    } else {
        FJoined.reserve(size);
        for (std::int32_t r = first; r <= last; ++r)
            FJoined += strings.Get(r);
        FLine.Text = FJoined;
    }
    FLine.FirstRow = first;
    FLine.KeepFrom = 0;
    FLine.KeepTo = SIZE_MAX;
    const bool partial = window != nullptr && size > WholeLineBytes;
    if (partial) {
        // From the first shown character of the window's first row on the line to the last one
        // of its last row; wrapped rows are kept whole.
        const std::int32_t top = std::clamp(window->TopRow, first, last);
        const std::int32_t bottom = std::clamp(window->BottomRow, top, last);
        const auto at = [&](std::int32_t r) {
            return static_cast<std::size_t>(FLine.RowStart[static_cast<std::size_t>(r - first)]);
        };
        FLine.KeepFrom = at(top);
        FLine.KeepTo = at(bottom) + strings.Get(bottom).size();
        if (strings.WrapColumns() <= 0) {
            const std::string& bottomText = strings.Get(bottom);
            FLine.KeepFrom +=
                static_cast<std::size_t>(strings.RowCharAtColumn(top, window->LeftCol) - 1);
            const std::int32_t right =
                window->RightCol == INT32_MAX ? INT32_MAX - 1 : window->RightCol;
            const auto end =
                static_cast<std::size_t>(strings.RowCharAtColumn(bottom, right + 1) + 1);
            FLine.KeepTo = at(bottom) + std::min(end, bottomText.size());
        }
    }
    FLine.AnswerVB = FileType == TFileType::ftAns && strings.Result(first) == "VB";
    std::int64_t caretOffset = -1;
    if (caret.Y >= first && caret.Y <= last) {
        const std::int32_t len = static_cast<std::int32_t>(strings.Get(caret.Y).size());
        caretOffset = FLine.RowStart[static_cast<std::size_t>(caret.Y - first)] +
                      std::clamp(caret.X, 1, len + 1) - 1;
    }
    // What of the line the store says is still as the last walk saw it: every row up to the
    // first one that changed, and that one up to its change.
    FLine.Unchanged = SIZE_MAX;
    if (FKnownStamp.Serial != 0 && FKnownFirst == first) {
        FLine.Unchanged = size;
        for (std::int32_t r = first; r <= last; ++r) {
            const auto index = static_cast<std::size_t>(r - first);
            const std::optional<std::size_t> same = strings.SameSince(FKnownStamp, r);
            const auto at = static_cast<std::size_t>(FLine.RowStart[index]);
            if (!same) {
                FLine.Unchanged = SIZE_MAX;
                break;
            }
            if (index + 1 >= FKnownRows.size() || *same < strings.Get(r).size()) {
                FLine.Unchanged = at + (index + 1 >= FKnownRows.size() ? 0 : *same);
                break;
            }
        }
    }
    FCheckpointed = false;
    ClassifyText(FLine, caretOffset, out);
    if (FCheckpointed) {
        FKnownStamp = strings.EditStamp();
        FKnownFirst = first;
    }
    out.Partial = partial;
    out.Window = partial ? *window : TViewWindow{};
}

const TScanState* TCharClassifier::Checkpoint(const TLineText& line,
                                              std::int64_t caretOffset) const {
    const std::string_view text = line.Text;
    if (FKnownType != FileType) {
        FCheckpoints.clear();
        FKnownText.clear();
        FKnownType = FileType;
    }
    // A state at offset o holds while the bytes up to o + 1 and the row ends before them are the
    // same (a label colon looks at the byte after it, a lead byte at whether its row goes on).
    std::size_t same = line.Unchanged != SIZE_MAX
                           ? std::min({line.Unchanged, FKnownText.size(), text.size()})
                           : SamePrefixLength(FKnownText, text);
    // The kept text is the one this call leaves; Classify notes where it came from.
    FKnownStamp = {};
    FCheckpointed = true;
    const std::size_t rows = std::min(FKnownRows.size(), line.RowStart.size());
    for (std::size_t r = 0; r < rows; ++r) {
        if (FKnownRows[r] == line.RowStart[r]) continue;
        same = std::min<std::size_t>(
            same, static_cast<std::size_t>(std::min(FKnownRows[r], line.RowStart[r])));
        break;
    }
    while (!FCheckpoints.empty() && FCheckpoints.back().Offset + 2 > same)
        FCheckpoints.pop_back();
    FKnownText.replace(std::min(same, FKnownText.size()), std::string::npos, text.substr(same));
    FKnownRows = line.RowStart;

    std::size_t before = line.KeepFrom;
    if (caretOffset >= 0) before = std::min(before, static_cast<std::size_t>(caretOffset));
    const auto after = std::upper_bound(
        FCheckpoints.begin(), FCheckpoints.end(), before,
        [](std::size_t offset, const TScanState& state) { return offset < state.Offset; });
    return after == FCheckpoints.begin() ? nullptr : &*(after - 1);
}

void TCharClassifier::ClassifyText(const TLineText& line, std::int64_t caretOffset,
                                   TClassifiedLine& out) const {
    TClassifyScan scan(line, Dependence, caretOffset, FPairs, out);
    const std::string_view t = line.Text;
    const bool scriptLine = t.size() >= 2 && t[0] == '#' && (t[1] == '>' || t[1] == '?');
    // A long memo line goes on from a checkpoint and leaves new ones behind.
    const bool memo =
        FileType == TFileType::ftAns ||
        ((FileType == TFileType::ftRekna || FileType == TFileType::ftLog) && !scriptLine);
    const TScanState* from = nullptr;
    if (memo && t.size() > WholeLineBytes) {
        from = Checkpoint(line, caretOffset);
        scan.SaveInto(&FCheckpoints, CheckpointBytes);
    }
    switch (FileType) {
    case TFileType::ftRekna:
    case TFileType::ftLog:
        if (scriptLine) {
            ClassifyVBScript(scan);
        } else {
            ClassifyMemo(scan, Functions, false, from);
        }
        break;
    case TFileType::ftAns:
        ClassifyMemo(scan, Functions, true, from);
        if (line.AnswerVB && !(t.size() > 0 && (t[0] == '#' || t[0] == '>' || t[0] == '['))) {
            ColourScriptAnswer(out.Cells);
            scan.Finish();
            out.PairOpen = out.PairClose = TCellPlace{};
            return;
        }
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
