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
            FOut.CaretPair = OpenPair();
        }
    }
    // The caret at the very end of the line.
    void NoteCaretAtEnd(bool inComment) noexcept {
        if (!inComment && FCaret == static_cast<std::int64_t>(FText.size()))
            FOut.CaretPair = OpenPair();
    }

    void Emit(std::size_t i, std::uint8_t bytes, TCharKind kind);
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

    // Fills RowBegin once every cell is emitted.
    void Finish();

private:
    [[nodiscard]] std::int32_t OpenPair() const noexcept {
        return FPairs.empty() ? kNoPair : FPairs.back();
    }

    std::string_view FText;
    const std::vector<std::int32_t>& FRowStart;
    std::int32_t FFirstRow;
    const TCharSet* FDependence;
    std::int64_t FCaret;
    std::vector<std::int32_t>& FPairs;
    TClassifiedLine& FOut;
    std::size_t FRow = 0;  // index of the row of the last emitted cell
    std::int16_t FDepth = 0;
    std::int32_t FNextPair = 0;
};

[[nodiscard]] constexpr bool IsWordByte(unsigned char c) noexcept {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

// The syntaxes, each over the whole line.
void ClassifyMemo(TClassifyScan& scan, const TKeyWordList* functions, bool answerPane);
void ClassifyVBScript(TClassifyScan& scan);
void ClassifyJScript(TClassifyScan& scan);
void ClassifyMail(TClassifyScan& scan);
void ClassifyPlain(TClassifyScan& scan);

}  // namespace rekna
