// TUMemoStringItem: one display row of the editor's line store with the host's data for it.
#pragma once

#include "numbers/cplx.h"

#include <cstdint>
#include <memory>
#include <string>

namespace rekna {

// Repaint mark of a row; the painter clears it once it has painted the whole row.
enum class TRowMark : std::uint8_t { rmNone = 0, rmInserted = 1, rmModified = 2 };

struct TUMemoStringItem {
    std::string Text;  // the row's bytes, without line ends
    // Host text per row, never shown: the formula of a memo line, the packed log of an answer
    // line.
    std::string Note;
    // Host text per row: the answer of a memo line; in the answer pane a type tag ("VB").
    std::string Result;
    // Present only for rows made while CplxEnable was on; the row owns it.
    std::unique_ptr<TCplx> Value;
    std::int32_t Width = 0;  // RowWidth(Text), kept current on every text change
    // The first HangLength bytes of Text are a copy of the logical line's hanging indent, put
    // there by wrapping; they are not part of the line's text. 0 on the first row of a line.
    std::uint16_t HangLength = 0;
    std::uint8_t Continued = 0;  // 1: soft break after this row
    TRowMark RowMark = TRowMark::rmInserted;
    std::uint8_t ResultMark = 1;  // 1 for a new row, 2 after Result changed
};

}  // namespace rekna
