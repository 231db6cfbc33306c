// Fuzz target: arbitrary lines through the engine, several per input, with the switches and
// settings chosen by the first bytes; every line ends in a value or an error code, and a log
// stays within its bounds and comes back whole from its packed form; the line's own bytes
// survive packing, and read as a packed log they unpack without reading out of range. With the
// top bit of the first byte each line is repeated to some 20,000 bytes first, so that a pass
// taking time in the square of a line's length shows as a timeout.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "engine/log_pack.h"
#include "engine/vt_calc.h"
#include "numbers/calc_error.h"

using namespace rekna;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static TVtCalc* calc = new TVtCalc();
    if (size < 2) return 0;
    const std::uint8_t a = data[0], b = data[1];
    calc->Clear();
    NumberSettings.Fractional = (a & 1) == 0;
    NumberSettings.RoundFuzz = (a & 2) == 0;
    NumberSettings.AngleUnit = (a & 4) ? TAngleUnit::auDeg : TAngleUnit::auRad;
    calc->Switches.FullWidth = (a & 8) != 0;
    calc->LogEnable = (a & 16) != 0;
    calc->SetAnsFormat(static_cast<TAnsFormat>(b % 14));
    const bool commit = (a & 32) == 0;
    std::string_view text(reinterpret_cast<const char*>(data + 2), size - 2);
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string line(text.substr(0, end));
        if ((a & 128) && !line.empty()) {
            const std::string piece = line;
            while (line.size() < 20'000)
                line += piece;
        }
        const bool ok = calc->CalcLine(line, commit, true, (a & 64) != 0);
        if (ok == CalcFailed() && calc->Compiled().size() > 1) std::abort();
        if (static_cast<int>(CalcErr) >= kCalcErrCount) std::abort();
        if (calc->LogStoredText().size() > TCalcLog::kStepBudget + 8 * TCalcLog::kLineLimit)
            std::abort();
        (void)calc->LogText();
        if (UnpackLog(calc->LogPackedText()) != calc->LogStoredText()) std::abort();
        if (UnpackLog(PackLog(line)) != line) std::abort();
        (void)UnpackLog(line);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    calc->LogEnable = false;
    calc->Switches = TCompileSwitches();
    NumberSettings = TNumberSettings();
    return 0;
}
