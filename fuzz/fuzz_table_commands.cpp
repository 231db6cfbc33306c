// Fuzz target: the table model and the text rewrites on arbitrary bytes, checking that every
// grid is rectangular, that rewrites which only move characters keep the byte count, and that
// exchanging rows and columns twice gives back the cells.
#include "editor/commands/table_model.h"
#include "editor/commands/text_transforms.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

using namespace rekna;

void Check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "fuzz_table_commands: %s\n", what);
        std::abort();
    }
}

bool Rectangular(const TTableGrid& grid) {
    for (const auto& row : grid)
        if (row.size() != grid.front().size()) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 4096) return 0;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const bool trim : {false, true}) {
        TTableGrid grid = ParseTable(text, trim);
        Check(!grid.empty() && Rectangular(grid), "grid not rectangular");
        const TTableGrid back = Transpose(Transpose(grid));
        Check(grid.front().empty() || back == grid, "transposed twice differs");
        for (const auto mode : {TTableAlign::taLeft, TTableAlign::taRight, TTableAlign::taCenter}) {
            TTableGrid padded = grid;
            AlignColumns(padded, mode);
            Check(Rectangular(padded), "padded grid not rectangular");
            for (const std::string_view sep : {kTabSeparator, kFullSpaceSeparator, kBarSeparator})
                (void)BuildTable(padded, sep, true);
        }
        TTableGrid decimal = grid;
        AlignDecimal(decimal);
        Check(Rectangular(decimal), "decimal grid not rectangular");
    }
    (void)TransposeText(text, true);
    (void)SpacesToOneSpace(text);
    (void)SpaceRunsToTab(text, false);
    Check(ReverseDigitsText(text).size() == size, "ReverseDigits changed the length");
    Check(ConvertBracketsText(text, 1).size() == size, "brackets changed the length");
    Check(SwapText(SwapText(text, "\r\n", "\t"), "\r\n", "\t") == text ||
              text.find('\r') != std::string_view::npos,
          "a swap twice differs");
    (void)CapitalizeWords(text);
    (void)TabifySpaces(text, 8);
    (void)ExpandTabs(text, 8);
    (void)SortRowsText(text, true);
    (void)AlignEqualsText(text, true);
    (void)AlignCommentsText(text, false, 4);
    (void)AlignLinesText(text, 2, 40, false, 8);
    return 0;
}
