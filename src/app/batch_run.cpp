// The batch run: the window's start-up of the engine, and the script host of rekna-calc.
#include "app/batch_run.h"

#include <filesystem>
#include <iostream>
#include <vector>

#include "frame/frame_settings.h"
#include "frame/main_settings.h"
#include "platform/cp932.h"
#include "script/host/script_site.h"
#include "shell/settings_file.h"

namespace rekna {

namespace {

// Script lines reach the memo's answers, a clipboard of the process's own and the memo's name; a
// script that runs past the limit is stopped as Esc stops it in the window.
TScriptDesk BatchDesk(TBatchRun& batch, const TBatchSetup& setup) {
    TScriptDesk desk;
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    desk.ExePath = ec ? std::string("./") : Utf8ToCp932(exe.parent_path().string() + "/");
    const std::string file = setup.File;
    desk.FileName = [file] { return Utf8ToCp932(file); };
    desk.GetAnswer = [&batch](int line) { return batch.Run.ScriptAnswer(line); };
    desk.SetAnswer = [&batch](int line, const std::string& text) {
        batch.Run.SetScriptAnswer(line, text);
    };
    desk.BeginRun = [&batch] {
        batch.ScriptStart = std::chrono::steady_clock::now();
        batch.ScriptStopped = false;
    };
    const double limit = setup.ScriptLimit;
    desk.EscDown = [&batch, limit] {
        if (limit <= 0) return false;
        const std::chrono::duration<double> ran =
            std::chrono::steady_clock::now() - batch.ScriptStart;
        if (ran.count() <= limit) return false;
        if (!batch.ScriptStopped)
            std::cerr << "rekna-calc: a script line ran longer than " << limit
                      << " s and was stopped\n";
        batch.ScriptStopped = true;
        return true;
    };
    return desk;
}

}  // namespace

TBatchRun::TBatchRun(const TBatchSetup& setup, const TMemorySettings& store, std::string defText)
    : Run(Memo, Answers, Calc, Options) {
    Memo.SetCplxEnable(true);
    Options = FreshInstallOptions();
    ApplyFrameDesign(Calc);
    TPaneStyles styles;
    ReadFrameSettings(store, Options, Calc, styles);
    if (setup.Errors) Options.ShowErrors = true;
    if (setup.Control) Options.ShowControl = true;
    Options.ApplyToEngine(Calc);
    TMainSettings main;
    ReadMainSettings(store, main);
    InstallScriptHost(Calc, BatchDesk(*this, setup)).SetMemoryBudget(main.ScriptMemory);
    Calc.SetScriptEnabled(Options.VbScript);
    if (!defText.empty()) {
        std::vector<TUserFuncMenuItem> menu;
        Run.RerunDefinitions(defText, menu);
    }
}

}  // namespace rekna
