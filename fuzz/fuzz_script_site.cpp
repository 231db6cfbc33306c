// Fuzz target: arbitrary text as a memo's script line through the host: the rewriting of the
// memo's notations, the object Rekna over a real engine, and the answers. Esc is pressed after
// a number of passes, so every input ends quickly.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "engine/vt_calc.h"
#include "script/host/script_rewrite.h"
#include "script/host/script_site.h"
#include "script/runtime/script_interpreter.h"

using namespace rekna;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static int passes = 0;
    static TVtCalc* calc = [] {
        auto* c = new TVtCalc();
        TScriptDesk desk;
        desk.EscDown = [] { return ++passes > 200; };
        TpsvActiveScriptSite& site = InstallScriptHost(*c, desk);
        site.Interpreter().Limits.MaxTextBytes = 1 << 14;
        site.Interpreter().Limits.MaxArrayItems = 1 << 10;
        site.Interpreter().Limits.MaxCallDepth = 200;
        site.Interpreter().PollInterval = 64;
        c->SetScriptEnabled(true);
        return c;
    }();
    if (size < 1) return 0;
    passes = 0;
    calc->ResetHost();
    // Scripts may create memo variables; now and then the engine starts afresh.
    static unsigned runs = 0;
    if (runs++ % 256 == 0) {
        calc->Clear();
        calc->CalcLine("a=2", true, true, true);
    }
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    // The rewriting keeps every byte outside the notations it replaces.
    const std::string line = RewriteScriptLine(text, 1 + data[0] % 7);
    if (line.size() > text.size() * 40 + 64) std::abort();
    const bool ok = (data[0] & 1) == 0 ? calc->ExecuteBlock(text, data[0] % 5)
                                       : calc->EvaluateExpression(text, data[0] % 5);
    if (ok && calc->LastScriptError().Raised) std::abort();
    return 0;
}
