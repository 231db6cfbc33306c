// TCompiler: turns one line of the memo into a compiled list of items, repairing what it can.
#pragma once

#include <string>
#include <string_view>

#include "engine/calc_item.h"
#include "engine/stop_request.h"
#include "numbers/calc_error.h"

namespace rekna {

class TVariList;
class TUserFuncList;

// The engine's three expression switches.
struct TCompileSwitches {
    bool FullWidth = false;  // 全角計算式も計算: convert full-width formulas first
    bool WideMul = true;     // 全角×(掛け算)を使用
    bool WideDiv = true;     // 全角÷(割り算)を使用

    friend bool operator==(const TCompileSwitches&, const TCompileSwitches&) noexcept = default;
};

// Whether the "＝" that starts at line[i] is the marker of an answer written into the line.
// Answer writing puts " ＝ " and the answer behind the expression, so only a "＝" with a blank
// (space or Tab) before it and a space after it is one, or a "＝" with nothing but blanks after
// it; any other "＝" is the user's text ("合計＝1+2"), which is neither cut from the expression
// nor taken for an answer.
[[nodiscard]] bool IsAnswerMarkerAt(std::string_view line, std::size_t i) noexcept;

// The formula of a line: the optional full-width pre-conversion, then comment removal
// ("[...]" comments, ";" and a written answer's "＝" ending the expression, labels before
// ":"), trimmed.
[[nodiscard]] std::string FormulaText(std::string_view line, const TCompileSwitches& switches);
// The same formula as a view: of line itself where nothing is removed or converted, else of
// storage.
[[nodiscard]] std::string_view FormulaView(std::string_view line, const TCompileSwitches& switches,
                                           std::string& storage);

// The name that starts at text[pos]: letters, digits, "_", ".", Greek letters and "√"; empty
// when no name starts there. Not lower-cased.
[[nodiscard]] std::string_view ReadNameAt(std::string_view text, std::size_t pos) noexcept;

// The number of items the tokeniser makes of a formula, the mNop at the start included: a bound
// of the compiled list before the repairs. The count stops at the first item past limit: a
// formula known to be too long is not read to its end.
[[nodiscard]] std::size_t TokenCount(std::string_view formula,
                                     std::size_t limit = static_cast<std::size_t>(-1)) noexcept;

class TCompiler {
public:
    TCompiler(const TVariList& vars, const TUserFuncList& funcs) : FVars(vars), FFuncs(funcs) {}

    // Compiles a formula (the output of FormulaText) into list. Returns ceNone when something
    // calculable was found and ceNothing when nothing was; an unreadable literal is kept as
    // the value 0 with Tag 14. With keepTexts literals keep their canonical text. A line of
    // more than kMaxLineItems items, or one stopped by the stop request, gives ceMath and an
    // empty list. Every pass takes time in proportion to the line's length.
    TCalcErr Compile(std::string_view formula, TCompList& list, bool keepTexts);

    // Polled while a long line is classified (not owned).
    TStopRequest* Stop = nullptr;

    // Whether the last compiled line was a user-function definition (item 1 holds the
    // definition bit).
    [[nodiscard]] bool WasDefinition() const noexcept { return FDefinition; }

    // Whether the last line was refused for its number of items (not stopped): its answer is
    // that error whatever its names stand for.
    [[nodiscard]] bool WasTooLong() const noexcept { return FTooLong; }

private:
    void Tokenise(std::string_view formula, TCalcList& items) const;
    void ApplyControlKeywords(TCalcList& items) const;
    // False when the stop request stopped it.
    bool Classify(TCalcList& items, bool keepTexts) const;
    // Reads the literal of the raw token at r (from byte start) into item w, folding a minus
    // at w - 1 and joining a split exponent at r + 1, r + 2; moves w and r onto the items used.
    void ClassifyLiteral(TCalcList& items, std::size_t& w, std::size_t& r, std::size_t start,
                         bool keepTexts) const;
    void ClassifyName(TCalcList& items, std::size_t i, std::size_t start, int funcLimit,
                      bool definition) const;
    [[nodiscard]] TCalcItem AnsItem() const;
    // False when the repaired line would hold more than kMaxLineItems items.
    bool Repair(TCalcList& items, std::size_t start) const;
    void RepairOperators(TCalcList& items, std::size_t start) const;

    const TVariList& FVars;
    const TUserFuncList& FFuncs;
    bool FDefinition = false;
    bool FTooLong = false;
};

}  // namespace rekna
