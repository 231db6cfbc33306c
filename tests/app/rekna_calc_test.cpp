// Tests of the batch calculator as a program: arguments, encodings, exit status, output.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/cp932.h"
#include "support/golden.h"

namespace {

struct TRun {
    std::string Out;
    int Status = -1;
};

// Runs rekna-calc with the arguments (already quoted for the shell) and optional input.
TRun RunCalc(const std::string& args, const std::string& input = {}) {
    const auto dir = std::filesystem::temp_directory_path();
    const auto in = dir / ("rekna_calc_in_" + std::to_string(::getpid()));
    {
        std::ofstream f(in, std::ios::binary);
        f << input;
    }
    // Tests never read the settings of whoever runs them, unless they name a file.
    const std::string settings =
        args.find("--settings") == std::string::npos ? "--no-settings " : "";
    const std::string command = std::string("'") + REKNA_CALC_PATH + "' " + settings + args +
                                " < '" + in.string() + "' 2>&1";
    TRun run;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        run.Out.append(buffer, n);
    const int status = ::pclose(pipe);
    run.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::filesystem::remove(in);
    return run;
}

std::vector<std::string> OutputLines(const std::string& out) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < out.size()) {
        const std::size_t end = out.find('\n', start);
        lines.push_back(out.substr(start, end - start));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return lines;
}

TEST(ReknaCalcTest, GoldenMemosGiveTheirAnswerColumns) {
    for (const auto& memo : rekna::test::ReadGoldens()) {
        std::string args = "--answers";
        if (memo.ShowErrors) args += " --errors";
        if (memo.ShowControl) args += " --control";
        for (const std::string& kv : memo.Settings)
            args += " --set '" + kv + "'";
        const TRun run =
            RunCalc(args + " '" + rekna::test::TestDataDir() + "/golden/" + memo.Name + "'");
        ASSERT_EQ(run.Status, 0) << memo.Name << ": " << run.Out;
        const auto lines = OutputLines(run.Out);
        ASSERT_EQ(lines.size(), memo.Lines.size()) << memo.Name;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            EXPECT_EQ(lines[i], memo.Expected[i]) << memo.Name << ":" << i + 1;
        }
    }
}

TEST(ReknaCalcTest, LinesWithAnswersAndExpressionArguments) {
    TRun run = RunCalc("-e '1+2' -e 'x=4' -e 'x*x' -e '; note' -e ''");
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Out, "1+2\t3\nx=4\t4\nx*x\t16\n; note\t\n\t\n");
    run = RunCalc("-", "1/0\r\n#foo\r2^10\n");
    EXPECT_EQ(run.Out, "1/0\t\n#foo\t\n2^10\t1024\n");
    run = RunCalc("--errors --control --answers -", "1/0\n#foo\n");
    EXPECT_EQ(run.Out, "[0による割算]\n#foo\n");
    run = RunCalc("--answers");  // no file: standard input, here empty
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Out, "");
}

TEST(ReknaCalcTest, EncodingsInAndOut) {
    const std::string cp932 = rekna::SysText("1億23万 ;億と万\r\n2時間30分\r\n");
    TRun run = RunCalc("-", cp932);  // not valid UTF-8: read as CP932
    EXPECT_EQ(run.Out, "1億23万 ;億と万\t100230000\n2時間30分\t9000\n");
    run = RunCalc("-", "1億23万\n");  // UTF-8
    EXPECT_EQ(run.Out, "1億23万\t100230000\n");
    run = RunCalc("--encoding=cp932 -", cp932);
    EXPECT_EQ(run.Out, rekna::SysText("1億23万 ;億と万\t100230000\n2時間30分\t9000\n"));
    // A byte-order mark and characters that CP932 lacks, as the window reads them.
    run = RunCalc("-", "\xEF\xBB\xBF"
                       "1+1 ; € µ 😀\n2*3\n");
    EXPECT_EQ(run.Out, "1+1 ; € µ 😀\t2\n2*3\t6\n");
    run = RunCalc("--encoding=utf-8 -e '１＋２' -e '3万'");
    EXPECT_EQ(run.Out, "１＋２\t\n3万\t30000\n");
}

TEST(ReknaCalcTest, BadArgumentsAndMissingFilesFail) {
    TRun run = RunCalc("/nonexistent/memo.txt");
    EXPECT_EQ(run.Status, 2);
    EXPECT_NE(run.Out.find("cannot open /nonexistent/memo.txt"), std::string::npos);
    // Each refusal names what it refuses.
    const struct {
        const char* Args;
        const char* Says;
    } refused[] = {
        {"-e 1 --frobnicate", "unknown option '--frobnicate'"},
        {"--size 720x480 -e 1", "--size goes with --plot"},
        {"--plot", "--plot needs a value"},
        {"--plot out.svg -e 1", "-e, --answers, --log, --write and --delete-answers do not go"},
    };
    for (const auto& r : refused) {
        run = RunCalc(r.Args);
        EXPECT_EQ(run.Status, 2) << r.Args;
        EXPECT_NE(run.Out.find(r.Says), std::string::npos) << r.Args << ": " << run.Out;
    }
    run = RunCalc("--encoding=latin1 -");
    EXPECT_EQ(run.Status, 2);
    run = RunCalc("-e");
    EXPECT_EQ(run.Status, 2);
    run = RunCalc("a.txt b.txt");
    EXPECT_EQ(run.Status, 2);
    run = RunCalc("--help");
    EXPECT_EQ(run.Status, 0);
    EXPECT_NE(run.Out.find("usage: rekna-calc"), std::string::npos);
    // A folder is no memo.
    run = RunCalc("'" + std::filesystem::temp_directory_path().string() + "'");
    EXPECT_EQ(run.Status, 2);
    EXPECT_NE(run.Out.find("is a folder"), std::string::npos) << run.Out;
    run = RunCalc("--set Hide0 -e 1");
    EXPECT_EQ(run.Status, 2);
    // A memo with calculation errors is no failure.
    run = RunCalc("-e '1/0'");
    EXPECT_EQ(run.Status, 0);
}

// --plot writes only over pictures it drew, never over its input, and says why it refuses.
TEST(ReknaCalcTest, PlotWritesOnlyOverItsOwnPictures) {
    const auto dir =
        std::filesystem::temp_directory_path() / ("rekna_plot_test_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const auto write = [&dir](const char* name, const std::string& text) {
        std::ofstream(dir / name, std::ios::binary) << text;
    };
    const std::string memo = "a=2\n#Graph.Calc.Y[4]=ON\ta*X\n";
    write("m.txt", memo);
    write("g.txt", memo);
    write("g.kgd", memo);  // a memo saved under the graph data's name
    write("other.svg", "<?xml version=\"1.0\"?>\n<svg/>\n");
    const auto read = [&dir](const char* name) {
        std::ifstream in(dir / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };
    const struct {
        const char* Args;
        int Status;
        const char* Says;
    } cases[] = {
        {"--plot m.txt", 2, "m.txt is not a picture that rekna-calc drew"},
        {"--plot other.svg m.txt", 2, "other.svg is not a picture"},
        {"--plot g.kgd g.txt", 2, "g.kgd is the plot's own input"},
        {"--plot out.svg nope.txt", 2, "nope.txt"},
        {"--plot out.svg --size 720x480x3 m.txt", 2, "each from 100 to 10000"},
        {"--plot out.svg --size 99x480 m.txt", 2, "each from 100 to 10000"},
        {"--plot out.svg m.txt", 0, ""},
        {"--plot out.svg --size 100x10000 g.txt", 0, "g.kgd is not graph data; drawn without it"},
    };
    for (const auto& c : cases) {
        const std::string command = "cd '" + dir.string() + "' && '" + REKNA_CALC_PATH + "' " +
                                    c.Args + " < /dev/null 2>&1";
        FILE* pipe = ::popen(command.c_str(), "r");
        ASSERT_NE(pipe, nullptr);
        std::string out;
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            out.append(buffer, n);
        const int status = ::pclose(pipe);
        EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, c.Status) << c.Args << ": " << out;
        EXPECT_NE(out.find(c.Says), std::string::npos) << c.Args << ": " << out;
    }
    // The definitions beside the settings file count, as in the window; options in any order.
    write("rekna.ini", rekna::SysText("Rekna.初期設定ファイル\r\nHide0=1\r\n"));
    write("ReknaDef.txt", "#Sq(x)=x*x\n");
    write("s.txt", "#Graph.Calc.Y[4]=ON\tSq(X)\n");
    write("d.txt", "#Sq(x)=x*x\n#Graph.Calc.Y[4]=ON\tSq(X)\n");
    for (const char* args :
         {"--no-settings --plot none.svg s.txt", "s.txt --plot defs.svg --settings rekna.ini",
          "--plot inline.svg --set Hide0=1 --no-settings d.txt"}) {
        const std::string command =
            "cd '" + dir.string() + "' && '" + REKNA_CALC_PATH + "' " + args + " < /dev/null 2>&1";
        EXPECT_EQ(std::system(command.c_str()), 0) << args;
    }
    EXPECT_EQ(read("defs.svg"), read("inline.svg"));
    EXPECT_NE(read("defs.svg"), read("none.svg"));
    EXPECT_EQ(read("m.txt"), memo);
    EXPECT_EQ(read("g.kgd"), memo);
    EXPECT_EQ(read("other.svg").size(), 29u);
    EXPECT_NE(read("out.svg").find("height=\"10000\""), std::string::npos);
    std::filesystem::remove_all(dir);
}

TEST(ReknaCalcTest, TheSettingsAndDefinitionsOfTheWindow) {
    const auto dir = std::filesystem::temp_directory_path() /
                     ("rekna_calc_settings_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const auto write = [&dir](const char* name, const std::string& bytes) {
        std::ofstream f(dir / name, std::ios::binary);
        f << bytes;
    };
    const std::string ini = (dir / "rekna.ini").string();
    write("rekna.ini", rekna::SysText("Rekna.初期設定ファイル\r\nRadian=01\r\nHide0=0\r\n"));
    write("ReknaDef.txt", "#Sq(x)=x*x\r\n");
    write("garbage.ini", "nothing=here\r\n");
    struct {
        std::string Args;
        std::string Out;
        int Status;
    } const rows[] = {
        // A fresh installation: short answers; no definitions.
        {"--answers -e 'sin(90)' -e '2 #Eng' -e '5 #N2'", "0.893996663600557891\n 2 \n&101\n", 0},
        // The settings file and the definitions file beside it.
        {"--settings '" + ini + "' --answers -e 'sin(90)' -e 'Sq(3)' -e '2 #Eng'",
         "1\n9\n 2.0000 \n", 0},
        // Keys of the command line come last.
        {"--settings '" + ini + "' --set Radian=10 --answers -e 'sin(0)'", "0\n", 0},
        {"--set Hide0=0 --answers -e '0.05 #Eng'", " 50.000m\n", 0},
        {"--settings '" + (dir / "garbage.ini").string() + "' -e 1", "", 2},
        {"--settings '" + (dir / "none.ini").string() + "' -e 1", "", 2},
        {"--settings x --no-settings -e 1", "", 2},
    };
    for (const auto& r : rows) {
        const TRun run = RunCalc(r.Args);
        EXPECT_EQ(run.Status, r.Status) << r.Args << ": " << run.Out;
        if (r.Status == 0) {
            EXPECT_EQ(run.Out, r.Out) << r.Args;
        }
    }
    // Without --settings the file is found as the window finds it: beside the memo.
    write("m.txt", "sin(90)\r\nSq(4)\r\n");
    const std::string command =
        std::string("'") + REKNA_CALC_PATH + "' --answers '" + (dir / "m.txt").string() + "' 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    char buffer[256];
    const std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe);
    ::pclose(pipe);
    EXPECT_EQ(std::string(buffer, n), "1\n16\n");
    std::filesystem::remove_all(dir);
}

TEST(ReknaCalcTest, WritingAnswersInAndTakingThemOut) {
    using rekna::SysText;
    // A CP932 memo with CR LF: every byte outside the written answers stays as it was.
    const std::string sjis = SysText("1+2\r\n電圧=1.5 ＝ 9 [電池]\r\n; note\r\n1/0\r\n");
    const std::string written =
        SysText("1+2 ＝ 3\r\n電圧=1.5 ＝ 1.5 [電池]\r\n; note\r\n1/0 ＝ Err\r\n");
    TRun run = RunCalc("--write -", sjis);
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Out, written);
    run = RunCalc("--write --errors -", sjis);
    EXPECT_NE(run.Out.find(SysText("1/0 ＝ [0による割算]\r\n")), std::string::npos);
    // Taken out again, the memo calculates the same.
    run = RunCalc("--delete-answers -", written);
    EXPECT_EQ(run.Out, SysText("1+2\r\n電圧=1.5\r\n; note\r\n1/0\r\n"));
    EXPECT_EQ(RunCalc("--answers -", run.Out).Out, RunCalc("--answers -", sjis).Out);
    // UTF-8 with a byte-order mark and LF stays so; a last line without a line end stays so.
    run = RunCalc("--write -", "\xEF\xBB\xBF"
                               "x=2 ; €\nx*3");
    EXPECT_EQ(run.Out, "\xEF\xBB\xBF"
                       "x=2 ; € ＝ 2\nx*3 ＝ 6");
    run = RunCalc("--write -", "1+2\n");  // plain ASCII is UTF-8
    EXPECT_EQ(run.Out, "1+2 ＝ 3\n");
    run = RunCalc("- --set FileSJisDefault=1 --write", "1+2\n");  // unless Shift_JIS is the default
    EXPECT_EQ(run.Out, SysText("1+2 ＝ 3\n"));
    run = RunCalc("--write -e 2^10 -e 'a b'");
    EXPECT_EQ(run.Out, "2^10 ＝ 1024\na b ＝ Err\n");
    EXPECT_EQ(RunCalc("--write --delete-answers -").Status, 2);
}

TEST(ReknaCalcTest, TheScriptMemoryBudgetStopsTheRowThatAskedWellUnderAGibibyte) {
    // 100 arrays of 16,000,001 elements would want 25 GB; the default budget of 512 MiB ends
    // the row at the third, and the settings key lowers it to end at the first.
    const std::string memo =
        "#> Dim a(99) : For k = 0 To 99 : ReDim b(16000000) : a(k) = b : Next\n"
        "#? k\n";
    const std::string stopped = "\t[メモリが不足しています。]\n";
    const std::string line = memo.substr(0, memo.find('\n'));
    TRun run = RunCalc("--errors -", memo);
    EXPECT_EQ(run.Out, line + stopped + "#? k\t2\n");
    // The largest process waited for, here rekna-calc (kilobytes).
    rusage usage{};
    ASSERT_EQ(::getrusage(RUSAGE_CHILDREN, &usage), 0);
    EXPECT_LT(usage.ru_maxrss, 1024L * 1024) << "KiB resident at most";
    run = RunCalc("--errors --set ScriptMemory=64 -", memo);
    EXPECT_EQ(run.Out, line + stopped + "#? k\t0\n");
}

}  // namespace
