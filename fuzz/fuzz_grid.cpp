// Fuzz target: arbitrary text pasted and typed into settings-grid cells of every data type and
// mode; every cell's value is read and written back, and undoing every step must give back the
// starting cells exactly.
#include "grid/vt_grid.h"
#include "grid/vt_values.h"
#include "platform/cp932.h"

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
        std::fprintf(stderr, "fuzz_grid: %s\n", what);
        std::abort();
    }
}

std::string Dump(const TVtGrid& grid) {
    std::string out;
    for (int r = 0; r < grid.RowCount(); ++r) {
        for (int c = 0; c < grid.ColCount(); ++c)
            out += grid.Cells(c, r) + '\t';
        out += '\n';
    }
    return out;
}

// One column per data type as edit cells, then a list, a drop-down list, a combo box, a colour
// and a label column.
void Build(TVtGrid& grid) {
    const int types = kVtEditDataTypeCount;
    grid.SetColCount(types + 6);
    grid.SetRowCount(5);
    auto column = [&grid](int col, TVtCellMode mode, TVtEditDataType type, int precision) {
        TVtParam param;
        param.CellActions = grid.AddCellAction({mode, type, precision, false, {"A", "b", "1"}});
        grid.SetCellParam(col, 0, grid.AddParam(param));
    };
    for (int t = 0; t < types; ++t) {
        column(t + 1, TVtCellMode::cmEdit, static_cast<TVtEditDataType>(t), (t % 5) - 2);
    }
    column(types + 1, TVtCellMode::cmList, TVtEditDataType::dtString, 6);
    column(types + 2, TVtCellMode::cmListBox, TVtEditDataType::dtString, 6);
    column(types + 3, TVtCellMode::cmComboBox, TVtEditDataType::dtReal, 6);
    column(types + 4, TVtCellMode::cmColor, TVtEditDataType::dtColor, 6);
    column(types + 5, TVtCellMode::cmLabel, TVtEditDataType::dtString, 6);
    grid.VtOptions().ValuesNanEnablw = true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const std::string_view text(reinterpret_cast<const char*>(data) + 2, size - 2);
    TVtGrid grid;
    Build(grid);
    // Room for every step of the input: the oldest steps must not give way.
    grid.SetUndoCapacity(100000);
    const std::string start = Dump(grid);

    // Paste into a selection that the first bytes choose.
    const int left = 1 + data[0] % (grid.ColCount() - 1);
    const int top = 1 + (data[0] >> 4) % (grid.RowCount() - 1);
    grid.SetSelection({left, top, grid.ColCount() - 1, top + data[1] % 3}, {left, top});
    // Half of the inputs come as the desktop's clipboard hands text over: UTF-8, whose
    // characters that CP932 lacks are carried in its user-defined area.
    const std::string pasted = (data[1] & 16) != 0 ? Utf8ToCp932(text) : std::string(text);
    grid.PasteText(pasted, (data[1] & 8) != 0);

    // Type the text into each column's first data row, one character at a time.
    for (int c = 1; c < grid.ColCount(); ++c) {
        grid.FocusCell(c, 1, false);
        for (std::size_t i = 0; i < text.size() && i < 64; i += CharLength(text, i)) {
            const std::string_view ch = text.substr(i, CharLength(text, i));
            if (!grid.Editing()) {
                grid.KeyChar(ch);
            } else if (!grid.EditorChar(ch).empty()) {
                grid.SetEditText(grid.EditText() + grid.EditorChar(ch));
            }
            if (grid.ListOpen()) grid.CloseList(TVtListClose::lcEnter, data[1] % 4);
        }
        grid.CloseEditor((data[1] & 1) != 0);
    }

    // Every value reads and writes back without trouble.
    for (int r = 1; r < grid.RowCount(); ++r) {
        for (int c = 1; c < grid.ColCount(); ++c) {
            const double v = grid.Values(c, r);
            (void)FormatValue(v, static_cast<TVtEditDataType>((c - 1) % kVtEditDataTypeCount),
                              (c % 7) - 3, {});
            (void)ParseEngineering(grid.Cells(c, r));
        }
    }

    const std::string edited = Dump(grid);
    std::size_t steps = 0;
    while (grid.CanUndo()) {
        grid.Undo();
        ++steps;
    }
    Check(Dump(grid) == start, "undo did not give back the starting cells");
    for (std::size_t i = 0; i < steps; ++i)
        grid.Redo();
    Check(Dump(grid) == edited, "redo did not give back the edited cells");
    return 0;
}
