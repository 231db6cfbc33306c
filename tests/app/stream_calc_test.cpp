// Tests of the streaming batch run: its answers and logs against the window's run over the golden
// memos, and the line source's reading of line ends across its buffer.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/batch_run.h"
#include "app/line_source.h"
#include "editor/commands/past_string_list.h"
#include "engineering_memo.h"
#include "platform/cp932.h"
#include "shell/settings_file.h"
#include "support/golden.h"

namespace rekna {
namespace {

std::string RunProgram(const std::string& command) {
    std::string out;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return out;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out.append(buffer, n);
    ::pclose(pipe);
    return out;
}

// One memo line of rekna-calc's output: its answer and its log lines (joined with CR LF, as the
// log pane holds them).
struct TPrinted {
    std::string Answer;
    std::string Log;
};

std::vector<TPrinted> ParseOutput(const std::string& out, const std::vector<std::string>& lines) {
    std::vector<TPrinted> printed;
    std::size_t pos = 0;
    std::string_view line;
    while (NextTextLine(out, pos, line)) {
        if (!line.empty() && line.front() == '\t' && !printed.empty()) {
            (printed.back().Log += line.substr(1)) += "\r\n";
            continue;
        }
        const std::size_t i = printed.size();
        const std::string head = (i < lines.size() ? lines[i] : std::string()) + "\t";
        printed.push_back({line.substr(0, head.size()) == head
                               ? std::string(line.substr(head.size()))
                               : "<" + std::string(line) + ">",
                           {}});
    }
    return printed;
}

// The window's run over the memo with the caret on one line: the answer pane and the log pane.
struct TWindowRun {
    std::vector<std::string> Answers;  // UTF-8
    std::string Log;                   // UTF-8
};

TWindowRun RunAsWindow(const test::TGoldenMemo& memo, int caret) {
    TMemorySettings store;
    for (const std::string& kv : memo.Settings) {
        const std::size_t eq = kv.find('=');
        store.Set(Utf8ToCp932(kv.substr(0, eq)), Utf8ToCp932(kv.substr(eq + 1)));
    }
    TBatchSetup setup;
    setup.Errors = memo.ShowErrors;
    setup.Control = memo.ShowControl;
    TBatchRun batch(setup, store, {});
    std::string text;
    for (const std::string& line : memo.Lines)
        (text += Utf8ToCp932(line)) += "\r\n";
    batch.Memo.LoadBytes(text, false);
    batch.Memo.Selection().Caret = {1, caret};
    TWindowRun run;
    batch.Run.OnShowLog = [&run](const std::string& log) { run.Log = Cp932ToUtf8(log); };
    batch.Run.CalcRows(true, false, TCalcRangeKind::rkAll);
    for (int row = 0; row < batch.Answers.GetCount(); ++row)
        run.Answers.push_back(Cp932ToUtf8(batch.Answers.Get(row)));
    return run;
}

TEST(StreamCalcTest, GoldenMemosPrintTheWindowsAnswersAndLogPanes) {
    for (const auto& memo : test::ReadGoldens()) {
        std::string args = "--no-settings --log";
        if (memo.ShowErrors) args += " --errors";
        if (memo.ShowControl) args += " --control";
        for (const std::string& kv : memo.Settings)
            args += " --set '" + kv + "'";
        const std::string file = test::TestDataDir() + "/golden/" + memo.Name;
        // From a file, and through a pipe, which is read twice from a copy.
        for (const std::string& command :
             {"'" + std::string(REKNA_CALC_PATH) + "' " + args + " '" + file + "'",
              "cat '" + file + "' | '" + std::string(REKNA_CALC_PATH) + "' " + args}) {
            const auto printed = ParseOutput(RunProgram(command), memo.Lines);
            ASSERT_EQ(printed.size(), memo.Lines.size()) << memo.Name;
            const TWindowRun whole = RunAsWindow(memo, 0);
            ASSERT_EQ(whole.Answers.size(), memo.Lines.size()) << memo.Name;
            for (std::size_t i = 0; i < printed.size(); ++i) {
                EXPECT_EQ(printed[i].Answer, whole.Answers[i]) << memo.Name << ":" << i + 1;
                EXPECT_EQ(printed[i].Log, RunAsWindow(memo, static_cast<int>(i)).Log)
                    << memo.Name << ":" << i + 1;
            }
        }
    }
}

// The long generated memos of the batch benchmarks: rekna-calc's answer column equals the answer
// pane of the window's run over the same lines, under the fresh settings and under settings that
// change how answers are formatted.
TEST(StreamCalcTest, GeneratedMemosAnswerAsTheWindowsRun) {
    struct TRow {
        const char* Name;
        std::string Text;
        std::vector<std::string> Settings;
        bool Errors;
    };
    const TRow rows[] = {
        {"calculating", bench::CalculatingMemoText(12000), {}, false},
        {"engineering", bench::EngineeringMemoText(12000), {}, true},
        {"variables", bench::VariableMemoText(6000), {}, false},
        {"independent", bench::IndependentMemoText(6000), {}, false},
        {"calculating, formats",
         bench::CalculatingMemoText(6000),
         {"Hide0=0", "Length=8", "Eng0=1", "ColNon=3", "ColFix=3"},
         true},
    };
    const auto path = std::filesystem::temp_directory_path() /
                      ("rekna_generated_memo_" + std::to_string(::getpid()) + ".txt");
    for (const TRow& row : rows) {
        {
            std::ofstream f(path, std::ios::binary);
            f << row.Text;
        }
        test::TGoldenMemo memo;
        memo.ShowErrors = row.Errors;
        memo.Settings = row.Settings;
        std::size_t pos = 0;
        std::string_view line;
        while (NextTextLine(row.Text, pos, line))
            memo.Lines.emplace_back(line);
        std::string command = "'" + std::string(REKNA_CALC_PATH) + "' --no-settings --answers";
        if (row.Errors) command += " --errors";
        for (const std::string& kv : row.Settings)
            command += " --set '" + kv + "'";
        command += " '" + path.string() + "'";
        const std::string out = RunProgram(command);
        std::vector<std::string> printed;
        pos = 0;
        while (NextTextLine(out, pos, line))
            printed.emplace_back(line);
        const TWindowRun whole = RunAsWindow(memo, 0);
        ASSERT_EQ(printed.size(), memo.Lines.size()) << row.Name;
        ASSERT_EQ(whole.Answers.size(), memo.Lines.size()) << row.Name;
        int differing = 0;
        for (std::size_t i = 0; i < printed.size() && differing < 10; ++i) {
            if (printed[i] == whole.Answers[i]) continue;
            ++differing;
            ADD_FAILURE() << row.Name << ":" << i + 1 << " " << memo.Lines[i] << ": printed "
                          << printed[i] << ", the window shows " << whole.Answers[i];
        }
    }
    std::filesystem::remove(path);
}

TEST(StreamCalcTest, LineEndsAcrossTheBuffer) {
    struct TRow {
        std::string Input;
        std::string Lines;  // each line followed by "|"
    };
    const TRow rows[] = {
        {"", ""},
        {"a", "a|"},
        {"a\n", "a|"},
        {"a\r\nb", "a|b|"},
        {"a\rb\r", "a|b|"},
        {"\r\n\r\n", "||"},
        {"\n\r", "||"},
        {"abcdefgh\r\nij\n\nk", "abcdefgh|ij||k|"},
        {"x\r\r\ny\n\rz", "x||y||z|"},
    };
    const auto path = std::filesystem::temp_directory_path() /
                      ("rekna_line_source_" + std::to_string(::getpid()));
    for (const TRow& row : rows) {
        {
            std::ofstream f(path, std::ios::binary);
            f << row.Input;
        }
        for (const std::size_t size : {2, 3, 5, 1024}) {
            TLineSource source(size);
            std::string error;
            ASSERT_TRUE(source.Open(path.string(), error)) << error;
            // Twice: the second time after Rewind.
            for (int pass = 0; pass < 2; ++pass) {
                std::string got;
                std::string_view line;
                while (source.Next(line))
                    (got += line) += "|";
                EXPECT_EQ(got, row.Lines) << row.Input << " buffer " << size << " pass " << pass;
                ASSERT_TRUE(source.Rewind());
            }
            std::string all;
            EXPECT_TRUE(source.ReadAll(all));
            EXPECT_EQ(all, row.Input);
        }
    }
    std::filesystem::remove(path);
}

}  // namespace
}  // namespace rekna
