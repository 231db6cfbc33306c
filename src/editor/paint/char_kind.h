// Character kinds of the painter, the file types that decide them, and a classified logical line.
#pragma once

#include <cstdint>
#include <vector>

namespace rekna {

// What a character is for colouring; the painter turns each kind into colours.
enum class TCharKind : std::uint8_t {
    ckNorm,
    ckControl,
    ckComment,
    ckStat,
    ckDependence,
    ckJSpace,
    ckTab,
    ckCrLf,
    ckEof,
    ckKakko,
    ckJEq,
    ckChar,
    ckString,
    ckKeyWord,
    ckReserved,
    ckFind,
};

// The marks: drawn as symbols of their own and shown or hidden by their switches.
[[nodiscard]] constexpr bool IsMarkKind(TCharKind k) noexcept {
    return k == TCharKind::ckJSpace || k == TCharKind::ckTab || k == TCharKind::ckCrLf ||
           k == TCharKind::ckEof;
}

// The syntax a pane is coloured by: the calculation memo, the log and the answer pane, the two
// script languages, mail text, and plain text.
enum class TFileType : std::uint8_t {
    ftRekna,
    ftLog,
    ftAns,
    ftVBScript,
    ftJScript,
    ftMail,
    ftNone,
    ftText,
};

// Set by the first character of a logical line; it colours the line's ckNorm characters.
enum class TLineState : std::uint8_t { lsNormal, lsControl, lsStat };

// No bracket pair.
inline constexpr std::int32_t kNoPair = -1;

// One classified character of a logical line.
struct TCharCell {
    std::int32_t Row = 0;    // the store row it lies on
    std::int32_t Pos = 1;    // its first byte, 1-based in the row's text
    std::uint8_t Bytes = 1;  // 1, or 2 for a double-byte character and for CR LF
    TCharKind Kind = TCharKind::ckChar;
    std::int16_t Depth = 0;       // brackets: the nesting depth they open or close
    std::int32_t Pair = kNoPair;  // brackets: the pair they belong to

    friend bool operator==(const TCharCell&, const TCharCell&) = default;
};

// Every character of one logical line in text order, with what the whole line decides.
struct TClassifiedLine {
    std::int32_t FirstRow = 0;
    std::int32_t LastRow = -1;
    TLineState State = TLineState::lsNormal;
    std::vector<TCharCell> Cells;
    // Cells[RowBegin[r - FirstRow]] is the first cell of row r; one more entry closes the last.
    std::vector<std::int32_t> RowBegin;
    // The innermost bracket pair that encloses the caret, or kNoPair.
    std::int32_t CaretPair = kNoPair;

    [[nodiscard]] bool Holds(std::int32_t row) const noexcept {
        return row >= FirstRow && row <= LastRow;
    }
};

}  // namespace rekna
