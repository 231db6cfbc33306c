// Fuzz target: arbitrary lines run as a sheet three times, with a line replaced before the last
// run, once with the line cache and once without; every answer, formula, value, log and error
// code must agree, and the answer a cached line shares must hold exactly what the line left.
// Lines naming the random numbers or the clock are left out: they differ between any two runs.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "engine/statistics.h"
#include "engine/vt_calc.h"
#include "numbers/calc_error.h"
#include "numbers/packed_value.h"

using namespace rekna;

namespace {

// The value's bits, as the packed form keeps them.
std::string Bits(const TCplx& v) {
    unsigned char packed[kPackedValueMax];
    return std::string(reinterpret_cast<const char*>(packed), PackValue(v, packed));
}

bool Unsteady(std::string_view line) {
    std::string lower(line);
    for (char& c : lower)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    return lower.find("rand") != std::string::npos || lower.find("time") != std::string::npos;
}

std::string Sheet(bool cached, bool log, std::vector<std::string> lines, std::size_t edit) {
    static TVtCalc* engines[2] = {new TVtCalc(), new TVtCalc()};
    TVtCalc& calc = *engines[cached ? 0 : 1];
    calc.Clear();
    calc.UseLineCache = cached;
    calc.LogEnable = log;
    Statistics = TStatistics();
    NumberSettings = TNumberSettings();
    CalcErr = TCalcErr::ceNone;
    std::string out;
    for (int round = 0; round < 3; ++round) {
        if (round == 2 && lines.size() > 1)
            lines[edit % lines.size()] = lines[(edit / 7) % lines.size()];
        calc.ResetDisplay();
        for (const std::string& line : lines) {
            calc.CalcLineCached(line);
            const TLineAnswerRef& shared = calc.CachedAnswer();
            if (shared && (shared.Note() != calc.Data() || shared.Result() != calc.AnswerText() ||
                           Bits(shared.Value()) != Bits(calc.LastResult()) ||
                           (log && shared.Log() != calc.LogPackedText())))
                std::abort();
            out += calc.Data() + '\t' + calc.AnswerText() + '\t' + Bits(calc.LastResult()) + '\t' +
                   std::to_string(static_cast<int>(CalcErr)) + '\t' +
                   (log ? calc.LogText() : std::string()) + '\n';
        }
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2 || size > 4096) return 0;
    const bool log = (data[0] & 1) != 0;
    const std::size_t edit = data[1];
    std::vector<std::string> lines;
    std::string_view text(reinterpret_cast<const char*>(data + 2), size - 2);
    while (!text.empty() && lines.size() < 64) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        if (!Unsteady(line)) lines.emplace_back(line);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    const TStatistics saved = Statistics;
    const std::string cached = Sheet(true, log, lines, edit);
    const std::string fresh = Sheet(false, log, lines, edit);
    if (cached != fresh) {
        // Where they part, as bytes: the records hold values' raw bits.
        const auto at = static_cast<std::size_t>(
            std::mismatch(cached.begin(), cached.end(), fresh.begin(), fresh.end()).first -
            cached.begin());
        const std::size_t from = at < 60 ? 0 : at - 60;
        for (const std::string* dump : {&cached, &fresh}) {
            const std::string part = dump->substr(from, 160);
            std::fwrite(part.data(), 1, part.size(), stderr);
            std::fputs("\n----\n", stderr);
        }
        std::abort();
    }
    Statistics = saved;
    NumberSettings = TNumberSettings();
    return 0;
}
