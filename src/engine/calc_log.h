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
// A log taken in its stored form is split into lines only when they are asked for.
class TCalcLog {
public:
    // The log holds that one line, or nothing.
    void Reset(const std::string* firstLine);
    // Appends "＝ " + step unless it repeats the last line (compared trimmed).
    void AddStep(std::string_view step);
    // Takes the lines of a log in its stored form.
    void AssignStored(std::string_view stored);

    [[nodiscard]] const TStringListEx& Lines() const;
    [[nodiscard]] std::string Text() const { return Lines().Text(); }
    [[nodiscard]] const std::string& StoredText() const;

private:
    void SplitStored() const;

    mutable TStringListEx FLines;
    mutable std::string FStored;
    mutable bool FLinesValid = true;
    mutable bool FStoredValid = false;
};

// What rendering reads beside the items: variable names and error marks, function names.
struct TRenderScope {
    const TVariList& Vars;
    const TUserFuncList& Funcs;
};

// The texts of a list's items from start on, as one text; with item 0 a control item its
// keywords follow after a space. Literals keep their text when asWritten is set.
[[nodiscard]] std::string RenderList(const TCalcList& list, std::size_t start, bool asWritten,
                                     const TRenderScope& scope);

// One step of an evaluation: the stacks in source order, then the items still to read.
[[nodiscard]] std::string RenderStep(const TEvaluator& eval, const TRenderScope& scope);

}  // namespace rekna
