// TBatchRun: the engine and the run procedure of rekna-calc, started as the window starts them.
#pragma once

#include <chrono>
#include <string>

#include "editor/store/umemo_strings.h"
#include "engine/vt_calc.h"
#include "frame/calc_options.h"
#include "frame/run_procedure.h"

namespace rekna {

class TMemorySettings;

// What the command line changes of the window's settings.
struct TBatchSetup {
    bool Errors = false;      // show errors as answers
    bool Control = false;     // show the echoes of control lines
    double ScriptLimit = 60;  // seconds a script line may run; 0: no limit
    std::string File;         // the memo's name as scripts read it (UTF-8), or empty
};

// The memo and answer panes without a display (no wrapping, so rows are lines), the engine with
// the settings and the definitions file, and the script host with its limit.
struct TBatchRun {
    TBatchRun(const TBatchSetup& setup, const TMemorySettings& store, std::string defText);
    TBatchRun(const TBatchRun&) = delete;
    TBatchRun& operator=(const TBatchRun&) = delete;

    TUMemoStrings Memo, Answers;
    TVtCalc Calc;
    TCalcOptions Options;
    TRunProcedure Run;
    // When the running script line began.
    std::chrono::steady_clock::time_point ScriptStart{};
    bool ScriptStopped = false;
};

}  // namespace rekna
