// Character kinds of the painter, the file types that decide them, and a classified logical line.
#pragma once

#include <climits>
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

// A part of the view: rows TopRow..BottomRow, columns LeftCol..RightCol.
struct TViewWindow {
    std::int32_t TopRow = 0;
    std::int32_t BottomRow = INT32_MAX;
    std::int32_t LeftCol = 1;
    std::int32_t RightCol = INT32_MAX;

    friend bool operator==(const TViewWindow&, const TViewWindow&) = default;
};

// Where a character stands: its store row and 1-based byte position (Row < 0: nowhere).
struct TCellPlace {
    std::int32_t Row = -1;
    std::int32_t Pos = 0;

    friend bool operator==(const TCellPlace&, const TCellPlace&) = default;
};

// The characters of one logical line in text order, with what the whole line decides. A long
// line keeps only the cells of the characters in a window of the view (Partial).
struct TClassifiedLine {
    std::int32_t FirstRow = 0;
    std::int32_t LastRow = -1;
    TLineState State = TLineState::lsNormal;
    std::vector<TCharCell> Cells;
    // Cells[RowBegin[r - FirstRow]] is the first cell of row r; one more entry closes the last.
    std::vector<std::int32_t> RowBegin;
    // The innermost bracket pair that encloses the caret, or kNoPair, and where its brackets
    // stand, also outside the window: the first and the second of them that is still a bracket.
    std::int32_t CaretPair = kNoPair;
    TCellPlace PairOpen;
    TCellPlace PairClose;
    bool Partial = false;
    TViewWindow Window;  // with Partial: the cells kept

    [[nodiscard]] bool Holds(std::int32_t row) const noexcept {
        return row >= FirstRow && row <= LastRow;
    }
    // Whether the cells of row's columns from..to are all kept.
    [[nodiscard]] bool Covers(std::int32_t row, std::int32_t from, std::int32_t to) const noexcept {
        return Holds(row) && (!Partial || (row >= Window.TopRow && row <= Window.BottomRow &&
                                           from >= Window.LeftCol && to <= Window.RightCol));
    }
};

}  // namespace rekna
