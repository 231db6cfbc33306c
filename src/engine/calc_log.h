// The calculation log and the rendering of compiled lines and evaluation steps.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/calc_item.h"

namespace rekna {

class TVariList;
class TUserFuncList;
class TEvaluator;

// A list of lines with a stored form: every line followed by the character of code 8.
class TStringListEx {
public:
    std::vector<std::string> Lines;

    [[nodiscard]] std::string StoredText() const;
    // The lines, each followed by CR LF.
    [[nodiscard]] std::string Text() const;
};

// The log of one line: the formula, then "＝ " + step for every step that differs from the last.
// A log taken in its stored or packed form is split into lines only when they are asked for.
//
// Every step of an evaluation shows the whole expression as it stands, so the log of a line of
// n items would hold about n lines of n items each. It is bounded instead: a line longer than
// kLineLimit bytes is cut and ends in "…", and once the evaluation steps of one line have taken
// kStepBudget bytes the remaining steps are left out, which a line "＝ …(途中省略)" says; the
// answer still follows. Logs of lines of ordinary length stay far below both bounds.
class TCalcLog {
public:
    static constexpr std::size_t kLineLimit = 2000;
    static constexpr std::size_t kStepBudget = 64000;

    // The log holds that one line (cut to kLineLimit), or nothing.
    void Reset(const std::string_view* firstLine);
    // Appends a line as it is (cut to kLineLimit).
    void AddLine(std::string_view line);
    // Appends "＝ " + step unless it repeats the last line (compared trimmed).
    void AddStep(std::string_view step);
    // An evaluation step: added as AddStep does and charged to the step budget.
    void AddEvaluationStep(std::string_view step);
    // False once the step budget is spent: later evaluation steps need not be rendered.
    [[nodiscard]] bool WantsSteps() const noexcept { return FStepBytes < kStepBudget; }
    // Takes the lines of a log in its stored form.
    void AssignStored(std::string_view stored);
    // Takes a log in its packed form (log_pack.h), unpacked only when asked for.
    void AssignPacked(std::string_view packed);

    [[nodiscard]] const TStringListEx& Lines() const;
    [[nodiscard]] std::string Text() const { return Lines().Text(); }
    [[nodiscard]] const std::string& StoredText() const;
    [[nodiscard]] const std::string& PackedText() const;

private:
    void SplitStored() const;

    mutable TStringListEx FLines;
    std::size_t FStepBytes = 0;
    mutable std::string FStored;
    mutable bool FLinesValid = true;
    mutable bool FStoredValid = false;
    mutable std::string FPacked;
    mutable bool FPackedValid = false;
};

// What rendering reads beside the items: variable names and error marks, function names.
struct TRenderScope {
    const TVariList& Vars;
    const TUserFuncList& Funcs;
};

// The text cut to at most limit bytes (never inside a double-byte character) followed by "…",
// or the text itself when it is not longer; a '\b' in it (the stored form's line separator)
// becomes a space.
[[nodiscard]] std::string CutLogLine(std::string text, std::size_t limit = TCalcLog::kLineLimit);

// The texts of a list's items from start on, as one text; with item 0 a control item its
// keywords follow after a space. Literals keep their text when asWritten is set. A text longer
// than limit bytes is cut as CutLogLine does, after reading no more of the list than it shows.
[[nodiscard]] std::string RenderList(const TCalcList& list, std::size_t start, bool asWritten,
                                     const TRenderScope& scope,
                                     std::size_t limit = std::string::npos);

// One step of an evaluation: the stacks in source order, then the items still to read; cut
// at limit bytes as RenderList does.
[[nodiscard]] std::string RenderStep(const TEvaluator& eval, const TRenderScope& scope,
                                     std::size_t limit = TCalcLog::kLineLimit);

}  // namespace rekna
