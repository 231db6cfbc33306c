// The frame's answer-writing commands: Ctrl+Enter, Shift+Ctrl+Enter and their all-lines forms.
#include "frame/frame_calc_core.h"

#include <optional>

#include "editor/store/umemo_strings.h"
#include "engine/vt_calc.h"
#include "frame/answer_writer.h"
#include "platform/cp932.h"

namespace rekna {

void TFrameCalcCore::WriteLinesAs(int first, std::size_t count,
                                  const std::function<std::string(const std::string&)>& rewrite,
                                  bool keepResults) {
    if (FMemo.GetCount() == 0) return;
    // Written answers change no result: the memo change then needs no recalculation, and each
    // line keeps the result the run stored on it. Reset after the group below has ended.
    struct TKeeping {
        bool& Flag;
        ~TKeeping() { Flag = false; }
    } keeping{FKeepingResults};
    FKeepingResults = keepResults;
    // One edit group (one undo step) for all the lines, opened only when one changes. Lines are
    // looked up anew after each write: it re-wraps the line and moves the rows after it.
    std::optional<TEditGroup> group;
    int row = FMemo.FirstRowOfLine(std::clamp(first, 0, FMemo.GetCount() - 1));
    for (std::size_t i = 0; i < count && row < FMemo.GetCount(); ++i) {
        const std::string line = FMemo.GetLine(row);
        const std::string written = rewrite(line);
        if (written != line) {
            if (!group) group.emplace(FMemo, true);
            const int stored = FMemo.LastRowOfLine(row);
            const TLineAnswerRef kept = FMemo.Answer(stored);
            FMemo.SetLine(row, written);
            if (keepResults) FMemo.SetAnswer(FMemo.LastRowOfLine(row), kept);
        }
        row = FMemo.LastRowOfLine(row) + 1;
    }
    group.reset();
    if (keepResults) FRun.SyncAnswerRows();
}

void TFrameCalcCore::WriteLines(
    int first, int last,
    const std::function<std::pair<std::string, std::string>(const std::string&)>& answer,
    bool keepResults) {
    if (FMemo.GetCount() == 0) return;
    first = FMemo.FirstRowOfLine(std::clamp(first, 0, FMemo.GetCount() - 1));
    std::size_t lines = 0;
    for (int row = first; row <= std::min(last, FMemo.GetCount() - 1);
         row = FMemo.LastRowOfLine(row) + 1)
        ++lines;
    WriteLinesAs(
        first, lines,
        [&](const std::string& line) {
            const auto [formula, text] = answer(line);
            return WriteAnswer(line, formula, text, FOptions.ShowErrors, FOptions.ShowControl);
        },
        keepResults);
}

void TFrameCalcCore::RecalculateAfterWriting() {
    // With auto-calculation the memo change has run it already.
    if (!FOptions.CalcAuto) RunRows(true, false, TCalcRangeKind::rkAll, TRunCommand::rcRun);
}

void TFrameCalcCore::WriteAnswers() {
    if (FRun.Running() || FMemo.GetCount() == 0) return;
    // Answers are written from a finished run, and the engine calculates from where it ended.
    FRun.Finish();
    const TUMemoSelection& sel = FMemo.Selection();
    if (!sel.HasSelection(FMemo)) {
        // The run stores every row's result; the caret line's is written.
        RunRows(true, false, TCalcRangeKind::rkAll, TRunCommand::rcRun);
        FRun.Finish();
        const int caret = FRun.CaretRow();
        const std::string formula(FMemo.Note(caret));
        const std::string answer(FMemo.Result(caret));
        // The run above was the one calculation of the command.
        WriteLines(
            caret, caret,
            [&](const std::string&) {
                return std::pair{formula, answer};
            },
            true);
        return;
    }
    const std::string text = FMemo.GetSelText(false);
    const bool inPlace =
        sel.Mode == TSelMode::smBox ||
        (sel.Mode == TSelMode::smStream && text.find_first_of("\r\n") == std::string::npos);
    if (inPlace) {
        // Each selected piece is replaced by its result; a piece without one keeps its text.
        std::string out;
        std::size_t pos = 0;
        while (pos <= text.size()) {
            std::size_t end = text.find_first_of("\r\n", pos);
            if (end == std::string::npos) end = text.size();
            const std::string piece = text.substr(pos, end - pos);
            std::string result = piece;
            if (!TrimBlanks(piece).empty()) {
                FCalc.CalcLine(piece, true, true, true);
                const std::string_view answer = TrimBlanks(FCalc.AnswerText());
                if (!answer.empty()) result = std::string(answer);
            }
            out += result;
            if (end >= text.size()) break;
            const std::size_t next = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
            out += "\r\n";
            pos = next;
        }
        const bool box = sel.Mode == TSelMode::smBox;
        {
            const TEditGroup group(FMemo, true);
            FMemo.DeleteSelection();
            FMemo.PasteText(out, false, box);
        }
        RecalculateAfterWriting();
        return;
    }
    // Whole lines: each line's own answer, the stored results untouched. A selection that ends
    // at the start of a row does not take that row.
    const int first = sel.Start().Y;
    const int last = sel.End().X <= 1 && sel.End().Y > first ? sel.End().Y - 1 : sel.End().Y;
    WriteLines(first, last, [this](const std::string& line) {
        const std::string_view trimmed = TrimBlanks(line);
        if (trimmed.empty() || !FOptions.IsCalcLine(trimmed))
            return std::pair<std::string, std::string>{};
        FCalc.CalcLine(trimmed, true, true, true);
        return std::pair{FCalc.Data(), FCalc.AnswerText()};
    });
    RecalculateAfterWriting();
}

void TFrameCalcCore::DeleteAnswers() {
    if (FRun.Running() || FMemo.GetCount() == 0) return;
    FRun.Finish();
    const TUMemoSelection& sel = FMemo.Selection();
    const bool selected = sel.HasSelection(FMemo);
    const int first = selected ? sel.Start().Y : sel.Caret.Y;
    int last = selected ? sel.End().Y : sel.Caret.Y;
    if (selected && sel.Mode != TSelMode::smBox && sel.End().X <= 1 && last > first) --last;
    WriteLines(first, last,
               [](const std::string&) { return std::pair<std::string, std::string>{}; });
    RecalculateAfterWriting();
}

void TFrameCalcCore::WriteAllAnswers() {
    if (FRun.Running() || FMemo.GetCount() == 0) return;
    RunRows(true, false, TCalcRangeKind::rkAll, TRunCommand::rcRun);
    FRun.Finish();
    // The results of every line first: writing re-wraps lines and moves the rows they sit on.
    std::vector<std::pair<std::string, std::string>> results;
    for (int row = 0; row < FMemo.GetCount(); row = FMemo.LastRowOfLine(row) + 1) {
        const int end = FMemo.LastRowOfLine(row);
        results.emplace_back(FMemo.Note(end), FMemo.Result(end));
    }
    const int top = FMemo.TopRow();
    std::size_t i = 0;
    WriteLines(
        0, FMemo.GetCount() - 1,
        [&](const std::string&) {
            return i < results.size() ? results[i++] : std::pair<std::string, std::string>{};
        },
        true);
    FMemo.SetTopRow(std::min(top, std::max(0, FMemo.GetCount() - 1)));
}

void TFrameCalcCore::DeleteAllAnswers() {
    if (FRun.Running() || FMemo.GetCount() == 0) return;
    FRun.Finish();
    const int top = FMemo.TopRow();
    WriteLines(0, FMemo.GetCount() - 1,
               [](const std::string&) { return std::pair<std::string, std::string>{}; });
    FMemo.SetTopRow(std::min(top, std::max(0, FMemo.GetCount() - 1)));
    RecalculateAfterWriting();
}

void TFrameCalcCore::SortByResult(bool ascending) {
    if (FRun.Running() || FMemo.GetCount() == 0) return;
    FRun.Finish();
    const TUMemoSelection& sel = FMemo.Selection();
    if (!sel.HasSelection(FMemo)) return;
    const int first = FMemo.FirstRowOfLine(sel.Start().Y);
    int last = sel.End().Y;
    if (sel.Mode != TSelMode::smBox && sel.End().X <= 1 && last > sel.Start().Y) --last;
    // The selected lines, whole, with the answers stored on their last rows.
    std::vector<std::string> lines;
    std::vector<std::optional<long double>> keys;
    for (int row = first; row <= std::min(last, FMemo.GetCount() - 1);
         row = FMemo.LastRowOfLine(row) + 1) {
        lines.push_back(FMemo.GetLine(row));
        keys.push_back(ResultKey(FMemo.Result(FMemo.LastRowOfLine(row))));
    }
    const std::vector<std::size_t> order = OrderByKey(keys, ascending);
    std::size_t i = 0;
    WriteLinesAs(first, lines.size(), [&](const std::string&) { return lines[order[i++]]; });
    RecalculateAfterWriting();
}

}  // namespace rekna
