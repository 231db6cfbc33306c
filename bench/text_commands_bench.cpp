// Benchmarks of the table and text commands on a 100,000-line selection of a memo, each command
// timed alone (manual time) with the undo that restores the memo untimed.
#include <benchmark/benchmark.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "editor/commands/table_commands.h"
#include "editor/commands/text_commands.h"
#include "editor/commands/text_transforms.h"
#include "editor/umemo_editor.h"
#include "platform/cp932.h"

namespace rekna {
namespace {

constexpr std::int32_t kLines = 100000;

// Table rows of mixed single- and double-byte cells separated by Tabs and runs of spaces.
std::string MakeTable() {
    static const std::string name = SysText("部品");
    std::string text;
    text.reserve(static_cast<std::size_t>(kLines) * 40);
    for (std::int32_t i = 0; i < kLines; ++i) {
        text.append(name).append(std::to_string(i % 977)).append("\t");
        text.append(std::to_string(i % 1000)).append(".").append(std::to_string(i % 7));
        text.append("   x=").append(std::to_string(i % 13)).append("\t(a)\r\n");
    }
    return text;
}

void RunCommand(benchmark::State& state, const std::function<bool(TUMemoEditor&)>& command,
                std::int32_t wrap) {
    auto editor = std::make_unique<TUMemoEditor>();
    TUMemoStrings& s = editor->Strings();
    s.SetWrapColumns(wrap);
    s.LoadBytes(MakeTable(), false);
    for (auto _ : state) {
        s.Selection().SelectRows(s, 0, s.GetCount() - 1);
        const auto start = std::chrono::steady_clock::now();
        const bool done = command(*editor);
        const auto stop = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(stop - start).count());
        if (!done) state.SkipWithError("the command changed nothing");
        editor->Undo();
    }
}

void Register() {
    const std::pair<const char*, std::function<bool(TUMemoEditor&)>> commands[] = {
        {"ToRuled",
         [](TUMemoEditor& e) { return ConvertTable(e, kBarSeparator, TTableAlign::taLeft); }},
        {"AlignDecimal", [](TUMemoEditor& e) { return AlignTable(e, TTableAlign::taDecimal); }},
        {"SpaceRunsToTab", [](TUMemoEditor& e) { return SpaceRunsToTab(e); }},
        {"ProperCase", [](TUMemoEditor& e) { return RewriteWith(e, &CapitalizeWords); }},
        {"TabsToSpaces", [](TUMemoEditor& e) { return TabsToSpaces(e); }},
        {"AlignEquals", [](TUMemoEditor& e) { return AlignEquals(e); }},
        {"SortRows", [](TUMemoEditor& e) { return SortRows(e, false); }},
        {"DuplicateRows", [](TUMemoEditor& e) { return DuplicateRows(e); }},
        {"ReverseDigits", [](TUMemoEditor& e) { return ReverseDigits(e); }},
        {"Brackets", [](TUMemoEditor& e) { return ConvertBrackets(e, 2); }},
        {"FillSpaces", [](TUMemoEditor& e) { return FillSpaces(e, 0, 60); }},
    };
    for (const auto& [name, command] : commands) {
        for (const std::int32_t wrap : {0, 20}) {
            const std::string label = std::string(name) + (wrap ? "/wrap20" : "/nowrap");
            benchmark::RegisterBenchmark(
                label.c_str(),
                [command, wrap](benchmark::State& st) { RunCommand(st, command, wrap); })
                ->UseManualTime()
                ->Unit(benchmark::kMillisecond)
                ->Iterations(3);
        }
    }
}

const int kRegistered = (Register(), 0);

}  // namespace
}  // namespace rekna
