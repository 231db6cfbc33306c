// Frames for comparing runs: each with its own copy of the process-wide state, a dump of
// everything a run leaves that can be seen, and a pool of memo lines with random edits.
#pragma once

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "editor/store/umemo_strings.h"
#include "engine/statistics.h"
#include "engine/vt_calc.h"
#include "frame/calc_options.h"
#include "frame/run_procedure.h"

namespace rekna::test {

// One frame with its own copy of the process-wide state, swapped in while it works.
struct TSetup {
    explicit TSetup(bool cache) {
        Calc.UseLineCache = cache;
        // The plain frame calculates every row of every run: the reference.
        Run.Incremental = cache;
        Memo.SetCplxEnable(true);
        Enter();
        ApplyFrameDesign(Calc);
        Options.ApplyToEngine(Calc);
        Leave();
    }
    void Enter() {
        NumberSettings = Settings;
        Statistics = Stats;
        CalcErr = Err;
    }
    void Leave() {
        Settings = NumberSettings;
        Stats = Statistics;
        Err = CalcErr;
    }

    TNumberSettings Settings;
    TStatistics Stats;
    TCalcErr Err = TCalcErr::ceNone;
    TUMemoStrings Memo;
    TUMemoStrings Answers;
    TVtCalc Calc;
    TCalcOptions Options;
    TRunProcedure Run{Memo, Answers, Calc, Options};
};

inline std::string Bits(const TCplx& v) {
    std::string out(40, '\0');
    std::memcpy(out.data(), &v.Re.Num, 10);
    std::memcpy(out.data() + 10, &v.Re.Den, 10);
    std::memcpy(out.data() + 20, &v.Im.Num, 10);
    std::memcpy(out.data() + 30, &v.Im.Den, 10);
    return out;
}

// Everything a run leaves that can be seen: rows, their host data, the answer pane with its
// logs, the caret capture, the variables and the user functions (not the engine's scratch of the
// line it calculated last, which a run that passes lines over leaves elsewhere).
inline std::string Dump(TSetup& s) {
    std::string out;
    for (int r = 0; r < s.Memo.GetCount(); ++r) {
        out.append(std::to_string(r)).append("|").append(s.Memo.Note(r)).append("|");
        out.append(s.Memo.Result(r)).append("|").append(Bits(s.Memo.Value(r))).append("|");
        out.append(s.Answers.Get(r)).append("|").append(s.Memo.Log(r)).append("|");
        out.append(s.Answers.Result(r)).append("\n");
    }
    out += "capture|" + s.Run.Captured().Log + "|" + s.Run.Captured().Data + "|" +
           s.Run.Captured().Answer + "\n";
    for (int i = 0; i < s.Calc.VarCount(); ++i) {
        const TVarItem item = s.Calc.VarItem(i);
        out += item.Name + "=" + Bits(item.Value) + std::to_string(item.Flags) + "\n";
    }
    for (int i = 0; i < s.Calc.FuncCount(); ++i)
        out += s.Calc.FuncLine(i) + "\n";
    return out;
}

inline const std::vector<std::string> kPool = {
    "a=3",
    "b=a*2",
    "a+b",
    "Ans*2",
    "#N16",
    "255 #N2",
    "1/0",
    "e1=1/0",
    "e1+1",
    "#Sq(x)=x*x",
    "Sq(a)",
    "#G(t)=t+k",
    "k=10",
    "k=20",
    "G(2)",
    "k",
    "undefined1+1",
    "undefined1=4",
    "zL(1u)",
    "F=1k",
    "F=2k",
    "Data()",
    ">10",
    ">20",
    "End()",
    "Ave()",
    "Count()",
    "; comment",
    "",
    "x #Fix",
    "1/3",
    "Ans()+1",
    "#End",
    "2+3 ;note",
    "q=q+1",
    "sin(30)",
    "#foo",
    "#Sq(x)=x*x*x",
    "1E2500*1E2500",
    "ans=7",
    "-5+1",
    "3+4i #@",
    "c=a\"b",
    "$FF+&101",
    "10′30″",
    "Ａ＝１",
    "1+2+3+4+5+6+7+8+9+10+11+12+13+14+15+16+17+18+19+20",
};

// Applies one random edit to a memo: a line replaced, inserted or deleted, or a digit changed.
inline void Edit(std::mt19937& rng, TUMemoStrings& memo, int kind, int row,
                 const std::string& text) {
    if (memo.GetCount() == 0) {
        memo.Add(text);
        return;
    }
    row %= memo.GetCount();
    switch (kind) {
    case 0: memo.SetLine(row, text); break;
    case 1: memo.Insert(memo.FirstRowOfLine(row), text); break;
    case 2:
        if (memo.GetCount() > 1) memo.Delete(row);
        break;
    default: {
        std::string line = memo.GetLine(row);
        for (char& c : line) {
            if (c >= '0' && c <= '9') {
                c = static_cast<char>('0' + rng() % 10);
                break;
            }
        }
        memo.SetLine(row, line);
        break;
    }
    }
}

}  // namespace rekna::test
