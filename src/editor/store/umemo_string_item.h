// TUMemoStringItem: one display row of the editor's line store with the host's data for it.
#pragma once

#include "numbers/line_answer.h"

#include <cstdint>
#include <string>

namespace rekna {

// Repaint mark of a row; the painter clears it once it has painted the whole row.
enum class TRowMark : std::uint8_t { rmNone = 0, rmInserted = 1, rmModified = 2 };

struct TUMemoStringItem {
    std::string Text;  // the row's bytes, without line ends
    // The host's data for the row, never shown: for a memo line its rendered formula (Note),
    // answer (Result), value and packed log; in the answer pane a type tag ("VB") as Result.
    TLineAnswerRef Answer;
    std::int32_t Width = 0;  // RowWidth(Text), kept current on every text change
    // The first HangLength bytes of Text are a copy of the logical line's hanging indent, put
    // there by wrapping; they are not part of the line's text. 0 on the first row of a line.
    std::uint16_t HangLength = 0;
    TRowMark RowMark = TRowMark::rmInserted;
    std::uint8_t Continued : 1 = 0;   // 1: soft break after this row
    std::uint8_t ResultMark : 2 = 1;  // 1 for a new row, 2 after Result changed
    // Made while CplxEnable was on: the row has a value (zero until one is set).
    std::uint8_t HasValue : 1 = 0;
    // The Tab summary: 1 when Text holds a Tab byte, kept current with Text; the column walks
    // over a row without one need not look for it.
    std::uint8_t Tabs : 1 = 0;
};

static_assert(sizeof(TUMemoStringItem) <= 48, "a memo of millions of rows keeps each one small");

}  // namespace rekna
