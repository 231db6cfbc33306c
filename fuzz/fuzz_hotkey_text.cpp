// Fuzz target: arbitrary text fetched from another program's editor, rewritten by the hot key
// with a real engine; the first byte chooses the options.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "engine/vt_calc.h"
#include "hotkey/hotkey_replace.h"

using namespace rekna;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static TVtCalc* calc = new TVtCalc();
    if (size < 1) return 0;
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    TReplacementOptions o;
    o.Spreadsheet = (data[0] & 1) != 0;
    o.HalfEquals = (data[0] & 2) != 0;
    o.Replace = (data[0] & 4) != 0;
    o.Calculate = (data[0] & 8) == 0;
    o.ShowErrors = (data[0] & 16) != 0;
    o.ShowControl = (data[0] & 32) != 0;
    const TCellCalculator calculate = [](const std::string& cell) {
        calc->CalcLine(cell.substr(0, 4096), false, false, true);
        return std::pair{calc->Data(), calc->AnswerText()};
    };
    const std::string out = ComputeReplacement(text, o, calculate);
    if (out.size() > text.size() * 64 + 4096) std::abort();
    (void)CutWrittenResult(out);
    return 0;
}
