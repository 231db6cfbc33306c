// TClassifyScan: the walk over one logical line that every syntax's classifier shares.
#pragma once

#include "editor/paint/char_classifier.h"
#include "editor/store/wrap.h"
#include "platform/cp932.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace rekna {

class TKeyWordList;

// Walks the joined rows left to right. Characters never cross a row end: a lead byte at the end
// of a row is a character of its own.
class TClassifyScan {
public:
    TClassifyScan(const TLineText& line, const TCharSet* dependence, std::int64_t caretOffset,
                  std::vector<std::int32_t>& pairs, TClassifiedLine& out);

    [[nodiscard]] std::size_t Size() const noexcept { return FText.size(); }
    [[nodiscard]] unsigned char At(std::size_t i) const noexcept {
        return static_cast<unsigned char>(FText[i]);
    }
    // The byte after i, or 0 past the end of the line.
    [[nodiscard]] unsigned char Next(std::size_t i) const noexcept {
        return i + 1 < FText.size() ? At(i + 1) : 0;
    }
    [[nodiscard]] std::string_view Text() const noexcept { return FText; }
    // The end offset of the row that holds offset i (i at or after the current cell).
    [[nodiscard]] std::size_t RowEnd(std::size_t i) noexcept;
    // 2 for a lead byte whose second byte is on the same row, else 1.
    [[nodiscard]] std::uint8_t CharBytes(std::size_t i) noexcept {
        return (IsLeadByte(FText[i]) && i + 1 < RowEnd(i)) ? 2 : 1;
    }
    // CR directly followed by LF on the same row.
    [[nodiscard]] bool IsCrLf(std::size_t i) noexcept {
        return FText[i] == '\r' && i + 1 < RowEnd(i) && FText[i + 1] == '\n';
    }

    // Records the innermost open pair when the caret lies in [i, i + bytes) outside a comment.
    void NoteCaret(std::size_t i, std::size_t bytes, bool inComment) noexcept {
        if (!inComment && FCaret >= static_cast<std::int64_t>(i) &&
            FCaret < static_cast<std::int64_t>(i + bytes)) {
            NoteCaretPair();
        }
    }
    // The caret at the very end of the line.
    void NoteCaretAtEnd(bool inComment) noexcept {
        if (!inComment && FCaret == static_cast<std::int64_t>(FText.size())) NoteCaretPair();
    }
    // A label colon at i: every character before it that was label text is a comment now.
    void NoteLabel(std::size_t i) noexcept { FLabelEnd = i; }

    // The cell of the character at i, or null when the line does not keep it.
    TCharCell* Emit(std::size_t i, std::uint8_t bytes, TCharKind kind);
    // An opening bracket: one level deeper, in a new pair.
    void Open(std::size_t i);
    // A closing bracket: in the innermost open pair, if any, at its depth; then one level out.
    void Close(std::size_t i);

    // A double-byte character: dependence characters and the full-width space keep their kinds in
    // comments and strings; inside a comment anything else is comment, "＝" is ckJEq, else ckNorm.
    [[nodiscard]] TCharKind DoubleKind(std::size_t i, bool inComment) const noexcept;
    [[nodiscard]] bool IsDependence(std::size_t i) const noexcept {
        return FDependence != nullptr && FDependence->Contains(FText.data() + i, 2);
    }

    // Letters, digits and '_' from i on: the end of the run.
    [[nodiscard]] std::size_t WordEnd(std::size_t i) const noexcept;
    // Emits every byte of [i, end) as kind.
    void EmitRun(std::size_t i, std::size_t end, TCharKind kind);
    // What an ordinary single byte is: ckNorm on control and statistics lines, else ckChar.
    [[nodiscard]] TCharKind PlainKind() const noexcept {
        return FOut.State == TLineState::lsNormal ? TCharKind::ckChar : TCharKind::ckNorm;
    }

    [[nodiscard]] std::vector<TCharCell>& Cells() noexcept { return FOut.Cells; }

    // Fills RowBegin and the places of the caret pair once every cell is emitted.
    void Finish();

    // Goes on from a state taken on the same text before; the walk starts at its Offset.
    void Resume(const TScanState& state);
    [[nodiscard]] std::size_t Start() const noexcept { return FStart; }
    // Adds the state at character start i to the checkpoints when i is far enough past the last.
    void Save(std::size_t i, bool semi, bool bracketed) {
        if (FSaved != nullptr && i >= FNextSave) SaveState(i, semi, bracketed);
    }
    // Where Save keeps its states (none when null), step bytes apart.
    void SaveInto(std::vector<TScanState>* states, std::size_t step) noexcept;

private:
    static constexpr std::size_t kNowhere = SIZE_MAX;

    [[nodiscard]] std::int32_t OpenPair() const noexcept {
        return FPairs.empty() ? kNoPair : FPairs.back();
    }
    void NoteCaretPair() noexcept {
        FOut.CaretPair = OpenPair();
        FCaretOpen = FPairAt.empty() ? kNowhere : FPairAt.back();
    }
    [[nodiscard]] TCellPlace PlaceOf(std::size_t i) const noexcept;
    void SaveState(std::size_t i, bool semi, bool bracketed);

    std::string_view FText;
    const std::vector<std::int32_t>& FRowStart;
    std::int32_t FFirstRow;
    const TCharSet* FDependence;
    std::int64_t FCaret;
    std::vector<std::int32_t>& FPairs;
    TClassifiedLine& FOut;
    std::size_t FKeepFrom;
    std::size_t FKeepTo;
    std::size_t FRow = 0;  // index of the row of the last emitted cell
    std::int16_t FDepth = 0;
    std::int32_t FNextPair = 0;
    std::vector<std::size_t> FPairAt;   // where each open pair's bracket stands
    std::size_t FCaretOpen = kNowhere;  // the brackets of the caret pair
    std::size_t FCaretClose = kNowhere;
    std::size_t FLabelEnd = 0;  // brackets before the last label colon are comment
    std::size_t FStart = 0;
    std::vector<TScanState>* FSaved = nullptr;
    std::size_t FNextSave = 0;
    std::size_t FSaveStep = 0;
};

// A state with more open brackets than this is not kept.
inline constexpr std::size_t kMaxSavedPairs = 256;

[[nodiscard]] constexpr bool IsWordByte(unsigned char c) noexcept {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

// The syntaxes, each over the whole line.
// The memo syntax goes on from a state when one is given.
void ClassifyMemo(TClassifyScan& scan, const TKeyWordList* functions, bool answerPane,
                  const TScanState* from = nullptr);
void ClassifyVBScript(TClassifyScan& scan);
void ClassifyJScript(TClassifyScan& scan);
void ClassifyMail(TClassifyScan& scan);
void ClassifyPlain(TClassifyScan& scan);

}  // namespace rekna
