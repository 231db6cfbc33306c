// Fuzz target: arbitrary lines run as a sheet three times, with a line replaced before the last
// run, once with the line cache and once without; every answer, formula, value, log and error
// code must agree, and the answer a cached line shares must hold exactly what the line left.
// Then the same lines as a memo in the run procedure, edited a few times: runs that calculate
// only what changed (in slices) must leave every row, answer, log, variable and user function as
// runs of every row without the cache do. Lines naming the random numbers or the clock are left
// out: they differ between any two runs.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "editor/store/umemo_strings.h"
#include "engine/statistics.h"
#include "engine/vt_calc.h"
#include "frame/calc_options.h"
#include "frame/run_procedure.h"
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

// One frame with its own copy of the process-wide state.
struct TFrame {
    explicit TFrame(bool changed) {
        Calc.UseLineCache = changed;
        Run.Incremental = changed;
        Run.Sliced = changed;
        Memo.SetCplxEnable(true);
        ApplyFrameDesign(Calc);
        Options.ApplyToEngine(Calc);
        Leave();
    }
    void Enter() {
        NumberSettings = Settings;
        Statistics = Stats;
    }
    void Leave() {
        Settings = NumberSettings;
        Stats = Statistics;
    }
    // A run to its end, and all it leaves that can be seen.
    std::string RunAll() {
        Enter();
        Run.CalcRows(true, false, TCalcRangeKind::rkAll);
        while (Run.Pending())
            Run.Continue();
        std::string out;
        for (int r = 0; r < Memo.GetCount(); ++r) {
            out.append(Memo.Note(r)).append("\t").append(Memo.Result(r)).append("\t");
            out.append(Bits(Memo.Value(r))).append("\t").append(Memo.Log(r)).append("\t");
            out.append(Answers.Get(r)).append("\n");
        }
        out += Run.Captured().Log + "\n";
        for (int i = 0; i < Calc.VarCount(); ++i) {
            const TVarItem item = Calc.VarItem(i);
            out += item.Name + "=" + Bits(item.Value) + std::to_string(item.Flags) + "\n";
        }
        for (int i = 0; i < Calc.FuncCount(); ++i)
            out += Calc.FuncLine(i) + "\n";
        if (!Run.CheckIndex().empty()) std::abort();
        Leave();
        return out;
    }
    TNumberSettings Settings;
    TStatistics Stats;
    TUMemoStrings Memo, Answers;
    TVtCalc Calc;
    TCalcOptions Options;
    TRunProcedure Run{Memo, Answers, Calc, Options};
};

void Differ(const std::string& a, const std::string& b) {
    // Where they part, as bytes: the records hold values' raw bits.
    const auto at = static_cast<std::size_t>(
        std::mismatch(a.begin(), a.end(), b.begin(), b.end()).first - a.begin());
    const std::size_t from = at < 60 ? 0 : at - 60;
    for (const std::string* dump : {&a, &b}) {
        const std::string part = dump->substr(from, 160);
        std::fwrite(part.data(), 1, part.size(), stderr);
        std::fputs("\n----\n", stderr);
    }
    std::abort();
}

// The memo edited as the input's bytes say: a line put, a line inserted or one deleted.
void Edit(TUMemoStrings& memo, const std::vector<std::string>& lines, std::uint8_t what,
          std::uint8_t where) {
    if (lines.empty()) return;
    const std::string& line = lines[what % lines.size()];
    const int rows = memo.GetCount();
    const int row = rows == 0 ? 0 : where % rows;
    switch (what % 3) {
    case 0:
        if (rows > 0) {
            memo.SetLine(row, line);
            break;
        }
        [[fallthrough]];
    case 1: memo.Insert(rows == 0 ? 0 : memo.FirstRowOfLine(row), line); break;
    default:
        if (rows > 1) memo.Delete(row);
        break;
    }
}

void Sheets(const std::vector<std::string>& lines, const std::uint8_t* edits, std::size_t n,
            bool wrap, int slice) {
    // Made once: a memory clear and a new text start each input afresh.
    static TFrame& changed = *new TFrame(true);
    static TFrame& full = *new TFrame(false);
    changed.Run.SliceRows = slice;
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    for (TFrame* f : {&changed, &full}) {
        f->Settings = TNumberSettings();
        f->Stats = TStatistics();
        f->Enter();
        f->Calc.Clear();
        f->Options.ApplyToEngine(f->Calc);
        f->Memo.SetWrapColumns(wrap ? 9 : 0);
        f->Memo.LoadBytes(text, false);
        f->Leave();
    }
    for (std::size_t k = 0;; k += 2) {
        const std::string a = changed.RunAll();
        const std::string b = full.RunAll();
        if (a != b) Differ(a, b);
        if (k + 1 >= n) break;
        for (TFrame* f : {&changed, &full}) {
            f->Enter();
            Edit(f->Memo, lines, edits[k], edits[k + 1]);
            f->Leave();
        }
    }
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
    if (cached != fresh) Differ(cached, fresh);
    // The edits: the first bytes of the input, a pair for each (at most four).
    Statistics = TStatistics();
    NumberSettings = TNumberSettings();
    Sheets(lines, data + 2, std::min<std::size_t>(8, size - 2), (data[0] & 2) != 0,
           1 + ((data[0] >> 2) & 7));
    Statistics = saved;
    NumberSettings = TNumberSettings();
    return 0;
}
