// Runs that calculate only what changed against runs of every row: random edits of generated memos
// give the same rows, logs, variables and functions, also when runs go on in slices and edits
// come in between; and each kind of change reaches the rows it should and no others.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "engine/log_pack.h"
#include "platform/cp932.h"
#include "run_setup.h"
#include "support/number_guard.h"

namespace rekna {
namespace {

using test::Dump;
using test::TSetup;

// Lines that read and write one another: chains of variables, forward references, user
// functions calling user functions, Ans chains, directives, errors, statistics.
const std::vector<std::string> kLines = {
    "a=3",       "b=a*2", "c=b+a", "a+b+c",     "a=7",     "fwd*2",         "fwd=5",
    "Ans*2",     "Ans+1", "#N16",  "1/3 #N2",   "x #Fix",  "#G(t)=t+k",     "#H(t)=G(t)*2",
    "#G(t)=t-k", "H(1)",  "G(2)",  "k=10",      "k=20",    "1/0",           "e1=1/0",
    "e1+1",      "u1+1",  "u1=4",  "zL(1u)",    "F=1k",    "Data()",        ">10",
    ">20",       "End()", "Ave()", "; comment", "",        "2+3 ;sum",      "q=q+1",
    "#foo",      "ans=7", "-5+1",  "sin(30)",   "3+4i #@", "Ｂ＝Ａ＋１",    "d=c*c",
    "d+a",       "b=b+1", "#End",  "$FF+&101",  "c",       "1E2500*1E2500",
};

// Without statistics mode, in which every line is calculated in every run.
const std::vector<std::string> kSteadyLines = [] {
    std::vector<std::string> lines;
    for (const std::string& l : kLines)
        if (l != "Data()") lines.push_back(l);
    return lines;
}();

bool gSteady = false;

std::string RandomLine(std::mt19937& rng) {
    const auto& lines = gSteady ? kSteadyLines : kLines;
    return SysText(lines[rng() % lines.size()]);
}

// One edit of many kinds: a line replaced, inserted, deleted or with a digit changed, a run of
// lines pasted or a stretch of rows removed.
void Edit(std::mt19937& rng, TUMemoStrings& memo) {
    const int kind = static_cast<int>(rng() % 8);
    if (memo.GetCount() == 0 || kind == 6) {
        std::string text;
        for (int n = 1 + static_cast<int>(rng() % 4); n > 0; --n)
            text += RandomLine(rng) + "\r\n";
        const int row = memo.GetCount() == 0 ? 0 : static_cast<int>(rng() % memo.GetCount());
        const TEditGroup group(memo, false);
        if (memo.GetCount() == 0) memo.Add("");
        memo.Selection().Clear();
        memo.Selection().Caret = {1, memo.FirstRowOfLine(row)};
        memo.PasteText(text, false, false);
        return;
    }
    const int row = static_cast<int>(rng() % memo.GetCount());
    if (kind == 7 && memo.GetCount() > 3) {
        const int from = memo.FirstRowOfLine(row);
        const int to = std::min(memo.GetCount() - 1, from + 1 + static_cast<int>(rng() % 3));
        const TEditGroup group(memo, false);
        memo.Selection().Mode = TSelMode::smStream;
        memo.Selection().Anchor = {1, from};
        memo.Selection().Caret = {1, memo.FirstRowOfLine(to)};
        memo.DeleteSelection();
        memo.Selection().Clear();
        return;
    }
    std::mt19937 digits(rng());
    test::Edit(digits, memo, kind % 4, row, RandomLine(rng));
}

// The incremental frame (with the cache) and the reference (every row, no cache) go through the
// same memo and edits.
struct TPair {
    explicit TPair(int wrap) {
        for (TSetup* s : {&Changed, &Full}) {
            s->Enter();
            s->Memo.SetWrapColumns(wrap);
            s->Leave();
        }
    }
    template <typename TDo> void Both(TDo&& act) {
        for (TSetup* s : {&Changed, &Full}) {
            s->Enter();
            act(*s);
            s->Leave();
        }
    }
    void Load(std::mt19937& rng, int lines) {
        std::string text;
        for (int i = 0; i < lines; ++i)
            text += RandomLine(rng) + "\r\n";
        Both([&](TSetup& s) { s.Memo.LoadBytes(text, false); });
    }
    // The same edits on both memos.
    void Edits(unsigned seed, int count) {
        Both([&](TSetup& s) {
            std::mt19937 rng(seed);
            for (int i = 0; i < count; ++i) {
                const TEditGroup group(s.Memo, false);
                Edit(rng, s.Memo);
            }
            const int caret =
                s.Memo.GetCount() == 0 ? 0 : static_cast<int>(seed % s.Memo.GetCount());
            s.Memo.Selection().Clear();
            s.Memo.Selection().Caret = {1, caret};
        });
    }
    // The first line where the dumps of the two frames part.
    void Compare(const std::string& where) {
        std::string dumps[2];
        int k = 0;
        Both([&](TSetup& s) { dumps[k++] = Dump(s); });
        std::size_t a = 0, b = 0;
        while (a < dumps[0].size() || b < dumps[1].size()) {
            const std::size_t ea = std::min(dumps[0].find('\n', a), dumps[0].size());
            const std::size_t eb = std::min(dumps[1].find('\n', b), dumps[1].size());
            ASSERT_EQ(Cp932ToUtf8(dumps[0].substr(a, ea - a)),
                      Cp932ToUtf8(dumps[1].substr(b, eb - b)))
                << where;
            a = ea + 1;
            b = eb + 1;
        }
        ASSERT_EQ(Changed.Run.CheckIndex(), "") << where;
    }
    TSetup Changed{true};
    TSetup Full{false};
};

// Random edits of random memos; steady: without statistics mode. Returns the rows the two frames
// calculated.
std::pair<std::uint64_t, std::uint64_t> RandomRuns(bool steady, int lines, int steps) {
    test::TNumberGuard guard;
    const TStatistics saved = Statistics;
    gSteady = steady;
    std::uint64_t rowsChanged = 0, rowsFull = 0;
    for (unsigned seed = 1; seed <= 8; ++seed) {
        std::mt19937 rng(seed);
        TPair pair(seed % 3 == 0 ? 10 : 0);
        pair.Load(rng, lines);
        for (int step = 0; step < steps; ++step) {
            if (step > 0) pair.Edits(seed * 1000 + static_cast<unsigned>(step), 1 + step % 3);
            const bool hold = steady || rng() % 6 != 0;
            pair.Both([&](TSetup& s) {
                s.Options.LogPolicy = hold ? TLogPolicy::lpHold : TLogPolicy::lpNone;
                s.Run.CalcRows(true, false, TCalcRangeKind::rkAll);
            });
            pair.Compare("seed " + std::to_string(seed) + " step " + std::to_string(step));
        }
        rowsChanged += pair.Changed.Run.RowsCalculated();
        rowsFull += pair.Full.Run.RowsCalculated();
    }
    gSteady = false;
    Statistics = saved;
    return {rowsChanged, rowsFull};
}

TEST(RunChangedTest, RandomEditsGiveWhatRunsOfEveryRowGive) {
    RandomRuns(false, 60, 80);
}

TEST(RunChangedTest, MostRowsKeepTheirAnswersWithoutBeingCalculated) {
    const auto [changed, full] = RandomRuns(true, 300, 30);
    EXPECT_LT(changed * 4, full);
}

TEST(RunChangedTest, RunsInSlicesWithEditsBetweenThemEndAsRunsOfEveryRow) {
    test::TNumberGuard guard;
    const TStatistics saved = Statistics;
    for (unsigned seed = 1; seed <= 8; ++seed) {
        std::mt19937 rng(seed + 100);
        TPair pair(seed % 2 == 0 ? 12 : 0);
        TRunProcedure& run = pair.Changed.Run;
        run.Sliced = true;
        run.SliceRows = 1 + static_cast<int>(seed % 4);
        pair.Load(rng, 50);
        // Every run the sliced frame ends is one run of every row for the reference, over the
        // same text; edits that come while a run is under way join it.
        const auto act = [&](const auto& step) {
            pair.Changed.Enter();
            step();
            const bool underWay = run.PendingFrom() >= 0;
            EXPECT_EQ(run.CheckIndex(), "");
            pair.Changed.Leave();
            if (underWay) return;
            pair.Full.Enter();
            pair.Full.Run.CalcRows(true, false, TCalcRangeKind::rkAll);
            pair.Full.Leave();
        };
        for (int step = 0; step < 40; ++step) {
            const std::string where =
                "seed " + std::to_string(seed) + " step " + std::to_string(step);
            for (int batch = static_cast<int>(rng() % 3); batch >= 0; --batch) {
                const unsigned editSeed = rng();
                pair.Both([&](TSetup& s) {
                    std::mt19937 edits(editSeed);
                    const TEditGroup group(s.Memo, false);
                    Edit(edits, s.Memo);
                    s.Memo.Selection().Clear();
                    s.Memo.Selection().Caret = {1, s.Memo.GetCount() / 2};
                });
                const int continues = static_cast<int>(rng() % 3);
                const bool esc = rng() % 5 == 0;
                act([&] {
                    run.CalcRows(true, false, TCalcRangeKind::rkAll);
                    for (int n = continues; n > 0 && run.Pending(); --n)
                        run.Continue();
                    // Esc now and then: the next run goes on from there.
                    if (esc) run.Stop();
                });
            }
            act([&] {
                run.CalcRows(true, false, TCalcRangeKind::rkAll);
                while (run.Pending())
                    run.Continue();
            });
            EXPECT_EQ(run.PendingFrom(), -1) << where;
            pair.Compare(where);
        }
    }
    Statistics = saved;
}

// A frame over a memo of the given lines, with a run done; a run tells the rows it calculated.
class RunChangedRowsTest : public ::testing::Test {
protected:
    using TRows = std::vector<int>;
    RunChangedRowsTest() {
        S.Enter();
        S.Run.OnRowLog = [this](int row, const std::string&) { FRows.push_back(row); };
    }
    ~RunChangedRowsTest() override {
        S.Leave();
        Statistics = Saved;
    }
    void Load(const std::vector<std::string>& lines) {
        std::string text;
        for (const auto& l : lines)
            text += SysText(l) + "\r\n";
        S.Memo.LoadBytes(text, false);
        Run();
    }
    TRows Run() {
        FRows.clear();
        S.Run.CalcRows(true, false, TCalcRangeKind::rkAll);
        return FRows;
    }
    TRows Put(int row, const std::string& text) {
        S.Memo.SetLine(row, SysText(text));
        return Run();
    }
    std::string Answer(int row) const { return Cp932ToUtf8(S.Memo.Result(row)); }

    test::TNumberGuard Guard;
    TStatistics Saved = Statistics;
    TSetup S{true};
    TRows FRows;
};

// An assignment counts as reading its variable too: after a run that changed a variable (or
// made it), the next run calculates the lines that assign it once more, up to the one that
// leaves it as it was.
TEST_F(RunChangedRowsTest, AnEditReachesTheRowsThatReadWhatItChanged) {
    std::vector<std::string> lines = {"r=1", "s=2"};
    for (int i = 0; i < 60; ++i)
        lines.push_back(i % 6 == 0 ? "r*10" : i % 6 == 3 ? "s+1" : std::to_string(i) + "*3");
    Load(lines);
    EXPECT_EQ(Run(), (TRows{0, 1}));  // r and s were made by the last run
    EXPECT_EQ(Run(), TRows{});
    // A line nobody reads: that line alone.
    EXPECT_EQ(Put(21, "7*3"), TRows{21});
    EXPECT_EQ(Answer(21), "21");
    // A variable: the line and the ten that read it.
    EXPECT_EQ(Put(0, "r=4"), (TRows{0, 2, 8, 14, 20, 26, 32, 38, 44, 50, 56}));
    EXPECT_EQ(Answer(2), "40");
    EXPECT_EQ(Answer(5), "3");
    EXPECT_EQ(Run(), TRows{0});
    // Assigned again further down: the readers below it, then those above it only.
    S.Memo.Insert(32, "r=100");
    EXPECT_EQ(Run(), (TRows{32, 33, 39, 45, 51, 57}));
    EXPECT_EQ(Answer(33), "1000");
    EXPECT_EQ(Put(0, "r=5"), (TRows{0, 2, 8, 14, 20, 26, 32}));
    EXPECT_EQ(Answer(2), "50");
    EXPECT_EQ(Answer(33), "1000");
    // The assignment gone: the readers below it read the one above again.
    S.Memo.Delete(32);
    EXPECT_EQ(Run(), (TRows{32, 38, 44, 50, 56}));
    EXPECT_EQ(Answer(32), "50");
    EXPECT_EQ(Run(), TRows{0});
    EXPECT_EQ(Run(), TRows{});
}

TEST_F(RunChangedRowsTest, LinesGoneAtTheEndLeaveTheVariablesAsTheLinesAboveWroteThem) {
    Load({"a=1", "7", "a=5"});
    Run();
    S.Memo.Delete(2);
    EXPECT_EQ(Run(), TRows{});
    TFrac re, im;
    S.Calc.GetVar("a", re, im);
    EXPECT_EQ(re.Value(), 1.0L);
    S.Calc.GetVar("ans", re, im);
    EXPECT_EQ(re.Value(), 7.0L);
}

TEST_F(RunChangedRowsTest, AUserFunctionReachesItsCallersThroughOtherFunctions) {
    Load({"#G(t)=t*2", "#H(t)=G(t)+1", "H(1)", "G(5)", "2+2", "m=3", "m*2"});
    EXPECT_EQ(Answer(2), "3");
    Run();
    // The definitions are looked at in every run; the callers of G, H(1) through H, follow.
    const TRows rows = Put(0, "#G(t)=t*3");
    EXPECT_EQ(TRows(rows.begin(), rows.begin() + 4), (TRows{0, 1, 2, 3}));
    EXPECT_EQ(std::count(rows.begin(), rows.end(), 4), 0);
    EXPECT_EQ(std::count(rows.begin(), rows.end(), 6), 0);
    EXPECT_EQ(Answer(2), "4");
    EXPECT_EQ(Answer(3), "15");
    EXPECT_EQ(Answer(4), "4");
    Run();
    EXPECT_EQ(Run(), (TRows{0, 1}));
}

TEST_F(RunChangedRowsTest, RandomNumbersAreDrawnInEveryRunAndReachTheirReaders) {
    Load({"r=Rand(1000000000)", "r+1", "5+5", "r*0"});
    std::vector<std::string> seen;
    for (int run = 0; run < 4; ++run) {
        EXPECT_EQ(Run(), (TRows{0, 1, 3})) << run;
        seen.push_back(Answer(1));
    }
    EXPECT_FALSE(seen[0] == seen[1] && seen[1] == seen[2] && seen[2] == seen[3]);
}

TEST_F(RunChangedRowsTest, MemoryClearAndOptionsCalculateEveryRow) {
    Load({"a=2", "a*3", "; note", "4"});
    const TRows all = {0, 1, 2, 3};
    Run();
    EXPECT_EQ(Run(), TRows{});
    S.Calc.Clear();
    EXPECT_EQ(Run(), all);
    EXPECT_EQ(Answer(1), "6");
    Run();
    S.Options.ShowErrors = !S.Options.ShowErrors;
    EXPECT_EQ(Run(), all);
    EXPECT_EQ(Run(), TRows{});
}

TEST_F(RunChangedRowsTest, VariablesChangedBetweenRunsReachTheirReaders) {
    Load({"w*2", "v=w+1", "3+3"});
    Run();
    S.Calc.SetVar("w", TFrac(5.0L), TFrac(), vfAssigned, true);
    EXPECT_EQ(Run(), (TRows{0, 1}));
    EXPECT_EQ(Answer(0), "10");
    EXPECT_EQ(Answer(1), "6");
}

// A script language whose every block adds one to the variable n and answers with it.
class TCountingScript : public TScriptHost {
public:
    explicit TCountingScript(TVtCalc& calc) : FCalc(calc) {}
    TScriptOutcome ExecuteBlock(std::string_view, int, bool) override {
        TFrac re, im;
        FCalc.GetVar("n", re, im);
        FCalc.SetVar("n", TFrac(re.Value() + 1), TFrac(), vfAssigned, true);
        TScriptOutcome o;
        o.Ok = true;
        o.Data = "[VBScript]";
        o.Answer = std::to_string(static_cast<int>(re.Value() + 1));
        return o;
    }
    TScriptOutcome EvaluateExpression(std::string_view text, int line, bool log) override {
        return ExecuteBlock(text, line, log);
    }
    void ResetHost() override {}
    bool Running() const override { return false; }

private:
    TVtCalc& FCalc;
};

TEST_F(RunChangedRowsTest, ScriptsRunInEveryRunAndWhatTheyWriteReachesItsReaders) {
    S.Calc.SetScriptHost(std::make_unique<TCountingScript>(S.Calc));
    S.Calc.SetScriptEnabled(true);
    Load({"n=0", "#> n = n + 1", "n*10", "2+2", "#? n"});
    EXPECT_EQ(Answer(2), "10");
    EXPECT_EQ(Answer(4), "2");
    Run();
    EXPECT_EQ(Run(), (TRows{1, 4}));
    EXPECT_EQ(Answer(2), "10");
    EXPECT_EQ(Answer(4), "2");
    // The script now writes 5: its reader follows.
    EXPECT_EQ(Put(0, "n=4"), (TRows{0, 1, 2, 4}));
    EXPECT_EQ(Answer(2), "50");
    EXPECT_EQ(Answer(4), "6");
}

// A script language whose blocks ask the user when they say "Box" and read the variable a when
// they say "Var"; it keeps every block it ran.
class TAskingScript : public TScriptHost {
public:
    TAskingScript(TVtCalc& calc, std::vector<std::string>& ran) : FCalc(calc), FRan(ran) {}
    TScriptOutcome ExecuteBlock(std::string_view text, int, bool) override {
        FRan.emplace_back(text);
        TFrac re, im;
        if (text.find("Var") != std::string_view::npos) FCalc.GetVar("a", re, im);
        if (text.find("Box") != std::string_view::npos) FCalc.NoteScriptAsked();
        TScriptOutcome o;
        o.Ok = true;
        o.Data = "[VBScript]";
        return o;
    }
    TScriptOutcome EvaluateExpression(std::string_view text, int line, bool log) override {
        return ExecuteBlock(text, line, log);
    }
    void ResetHost() override {}
    bool Running() const override { return false; }

private:
    TVtCalc& FCalc;
    std::vector<std::string>& FRan;
};

// A block that asks the user runs again only when one of its lines, what it read or a script
// line before it changed; then it runs whole.
TEST_F(RunChangedRowsTest, ScriptsThatAskRunOnlyWhenTheirTextOrWhatTheyReadChanged) {
    std::vector<std::string> ran;
    S.Calc.SetScriptHost(std::make_unique<TAskingScript>(S.Calc, ran));
    S.Calc.SetScriptEnabled(true);
    const std::string block = " x = Var\r\n Box x";
    Load({"a=1", "b=2", "#> x = Var", "#> Box x", "c=3", "#> Box"});
    Run();  // the variables the first run made are assigned once more
    EXPECT_EQ(ran, (std::vector<std::string>{block, " Box"})) << "the first run asks once";
    const struct {
        int Row;
        const char* Text;
        TRows Rows;
        std::vector<std::string> Ran;
    } edits[] = {
        {1, "b=5", {1}, {}},
        {4, "c=4", {4}, {}},
        {0, "a=2", {0, 2, 3}, {block}},
        // The block runs whole, and the script's state after it may differ.
        {3, "#> Box x ", {2, 3, 5}, {block, " Box"}},
        {5, "#> Box 2", {5}, {" Box 2"}},
    };
    for (const auto& e : edits) {
        SCOPED_TRACE(e.Text);
        ran.clear();
        EXPECT_EQ(Put(e.Row, e.Text), e.Rows);
        Run();
        EXPECT_EQ(ran, e.Ran);
    }
}

TEST_F(RunChangedRowsTest, SlicesShowWhichRowsAreNotYetCurrentAndEscStopsThem) {
    std::vector<std::string> lines;
    for (int i = 0; i < 40; ++i)
        lines.push_back("a" + std::to_string(i) + "=" + std::to_string(i));
    S.Run.Sliced = true;
    S.Run.SliceRows = 5;
    Load(lines);
    EXPECT_TRUE(S.Run.Pending());
    EXPECT_EQ(S.Run.PendingFrom(), 5);
    S.Run.Continue();
    EXPECT_EQ(S.Run.PendingFrom(), 10);
    S.Run.EscPressed = true;
    S.Run.Continue();
    EXPECT_FALSE(S.Run.Pending());
    EXPECT_EQ(S.Run.PendingFrom(), 10);
    EXPECT_EQ(Answer(12), "");
    // The next run goes on where the last one stopped; finishing does the rest at once.
    S.Run.CalcRows(true, false, TCalcRangeKind::rkAll);
    EXPECT_EQ(S.Run.PendingFrom(), 15);
    S.Run.Finish();
    EXPECT_EQ(S.Run.PendingFrom(), -1);
    EXPECT_EQ(Answer(39), "39");
}

// A long line is calculated in a slice of its own, after the edit that changed it is shown.
TEST_F(RunChangedRowsTest, ALongLineIsCalculatedInTheNextSlice) {
    std::string sum = "1";
    while (sum.size() <= TRunProcedure::kLongLineBytes)
        sum += "+1";
    const std::string count = std::to_string(sum.size() / 2 + 1);
    S.Run.Sliced = true;
    S.Run.EditFirst = true;
    Load({"a=1", sum, "a+1"});
    EXPECT_EQ(S.Run.PendingFrom(), 1);
    S.Run.Continue();
    EXPECT_FALSE(S.Run.Pending());
    EXPECT_EQ(Answer(1), count);
    EXPECT_EQ(Answer(2), "2");
    const TRows ran = Put(1, sum + "+1");
    EXPECT_EQ(std::count(ran.begin(), ran.end(), 1), 0);
    EXPECT_TRUE(S.Run.Pending());
    S.Run.Continue();
    EXPECT_EQ(Answer(1), std::to_string(sum.size() / 2 + 2));
    // Runs no edit began, and finishing, calculate it at once.
    S.Run.EditFirst = false;
    Put(1, sum + "+1+1");
    EXPECT_EQ(Answer(1), std::to_string(sum.size() / 2 + 3));
    S.Run.EditFirst = true;
    Put(1, sum);
    S.Run.Finish();
    EXPECT_EQ(Answer(1), count);
}

}  // namespace
}  // namespace rekna
