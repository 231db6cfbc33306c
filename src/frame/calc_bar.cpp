// The calc bar's texts, the selection summary and the log pane's listings.
#include "frame/calc_bar.h"

#include <cmath>

#include "editor/commands/past_string_list.h"
#include "engine/vt_calc.h"
#include "frame/calc_options.h"
#include "numbers/calc_error.h"
#include "numbers/format.h"
#include "platform/cp932.h"

namespace rekna {

namespace {

struct TBarTexts {
    std::string Rows = SysText("行");
    std::string Chars = SysText("文字");
    std::string Columns = SysText("桁");
    std::string UserFunc = SysText("ユーザー定義関数");
    std::string LinesTotal = SysText("行合計");
    std::string LinesCalc = SysText("行計算");
    std::string Average = SysText("平均");
    std::string Deviation = SysText("標準偏差");
    std::string Count = SysText("計算行数");
    std::string Total = SysText("合計");
    std::string Minimum = SysText("最小");
    std::string Maximum = SysText("最大");
    std::string WideGap = SysText("　　 ＝ ");
    std::string Equals = SysText(" ＝ ");
    std::string StepEquals = SysText("＝ ");
    std::string Population = SysText("  [母集団]");
    std::string DefHeader = SysText("--初期設定ファイル--");
};

const TBarTexts& Texts() {
    static const TBarTexts texts;
    return texts;
}

std::string Num(long long n) {
    return std::to_string(n);
}

}  // namespace

TAnsFormat CalcBarAnsFormat(int calcBarFormat) noexcept {
    switch (calcBarFormat) {
    case 1: return TAnsFormat::afNon;
    case 2: return TAnsFormat::afN2;
    case 3: return TAnsFormat::afN2C;
    case 4: return TAnsFormat::afN10A;
    case 5: return TAnsFormat::afN16;
    default: return NumberSettings.AnsFormat;
    }
}

std::string CalcBarAnswer(int calcBarFormat, std::string_view answer, const TCplx& value) {
    if (calcBarFormat == 0 || answer.empty() || answer.front() == '[' || answer.front() == '#')
        return std::string(answer);
    const TCalcErr saved = CalcErr;
    std::string text = FormatListValue(value, CalcBarAnsFormat(calcBarFormat), false);
    CalcErr = saved;
    return text;
}

std::string ShownFormula(std::string_view formula) {
    if (formula.size() <= kShownFormulaBytes) return std::string(formula);
    std::size_t end = 0;
    while (end < kShownFormulaBytes)
        end += CharLength(formula, end);
    if (end > kShownFormulaBytes) end -= 2;
    std::string out(formula.substr(0, end));
    out += SysText("…");
    return out;
}

std::string CaretBarText(const std::string& formula, const std::string& answer) {
    if (formula.empty()) return {};
    if (answer.empty()) return formula + " = Err";
    if (formula.find(Texts().UserFunc) != std::string::npos) return formula + " " + answer;
    return formula + " = " + answer;
}

std::string MemoHintPrefix(bool selection, int rowsOrSelected, int rows, int columnOrSelected,
                           int lengthOrChars) {
    const TBarTexts& t = Texts();
    std::string out = "[";
    out += Num(rowsOrSelected);
    out += '/';
    out += Num(rows);
    out += t.Rows;
    out += ':';
    out += Num(columnOrSelected);
    out += '/';
    out += Num(lengthOrChars);
    out += selection ? t.Chars : t.Columns;
    out += "] ";
    return out;
}

std::string AnswerHintPrefix(int caretRow) {
    std::string out = "[";
    out += Num(caretRow + 1);
    out += Texts().Rows;
    out += "] ";
    return out;
}

std::string HintText(std::string_view barText) {
    std::string out;
    for (const char c : barText) {
        if (c == '\t') {
            out += "  ";
        } else {
            out += c;
        }
    }
    return out;
}

TSelectionSummary SummarizeSelection(TVtCalc& calc, const TCalcOptions& options, int calcBarFormat,
                                     std::string_view text) {
    const TBarTexts& t = Texts();
    TSelectionSummary s;
    std::vector<std::string> lines;
    {
        std::size_t pos = 0;
        std::string_view line;
        while (NextTextLine(text, pos, line))
            lines.emplace_back(line);
    }
    if (lines.size() <= 1) {
        const bool oldLog = calc.LogEnable;
        calc.LogEnable = true;
        calc.CalcLine(lines.empty() ? std::string_view() : std::string_view(lines[0]), false, false,
                      false);
        calc.LogEnable = oldLog;
        s.Log = calc.LogText();
        s.Formula = ShownFormula(calc.Data());
        const std::string answer = calc.AnswerText();
        s.LabelAnswer = CalcBarAnswer(calcBarFormat, answer, calc.LastResult());
        s.BarText = CaretBarText(s.Formula, answer);
        return s;
    }

    long long n = 0;
    TFrac sumRe, sumIm, sumRe2, sumIm2;
    TCplx minimum, maximum;
    ClearFpErrors();
    for (const std::string& line : lines) {
        if (!options.IsCalcLine(line)) continue;
        if (!calc.CalcLine(line, true, true, false)) continue;
        const TCplx v = calc.LastResult();
        s.Log += calc.Data() + "\t" + t.StepEquals + calc.AnswerText() + "\r\n";
        sumRe = sumRe + v.Re;
        sumIm = sumIm + v.Im;
        sumRe2 = sumRe2 + Square(v.Re);
        sumIm2 = sumIm2 + Square(v.Im);
        if (n == 0 || v.Re.Value() < minimum.Re.Value()) minimum = v;
        if (n == 0 || v.Re.Value() > maximum.Re.Value()) maximum = v;
        ++n;
        const TCalcErr fp = FpErrors();
        if (fp != TCalcErr::ceNone) {
            const TCalcErr shown =
                fp == TCalcErr::ceDivZero || fp == TCalcErr::ceOverflow ? fp : TCalcErr::ceMath;
            s.BarText = Num(n) + t.LinesCalc + "= [" + CalcErrMessage(shown) + "]";
            s.LabelAnswer = s.BarText;
            return s;
        }
    }
    const TCplx total(sumRe, sumIm);
    const std::string totalText = FormatAnswer(total);
    s.BarText = Num(n) + t.LinesTotal + "= " + totalText;
    s.LabelAnswer = CalcBarAnswer(calcBarFormat, totalText, total);
    if (n > 1) {
        const long double count = static_cast<long double>(n);
        const TCplx average = total / TCplx(count);
        const long double re = sumRe.Value(), im = sumIm.Value();
        const long double spread =
            (sumRe2.Value() - re * re / count) + (sumIm2.Value() - im * im / count);
        const TCplx deviation(std::sqrt(std::fabs(spread) / count));
        const std::string averageText = FormatAnswer(average);
        const std::string deviationText = FormatAnswer(deviation);
        if (FpErrors() != TCalcErr::ceNone) {
            s.BarText = Num(n) + t.LinesCalc + "= [" + CalcErrMessage(TCalcErr::ceOverflow) + "]";
            s.LabelAnswer = s.BarText;
            return s;
        }
        s.BarText +=
            " " + t.Average + "= " + averageText + " " + t.Deviation + "= " + deviationText;
        s.Log += "  " + t.Count + t.Equals + Num(n) + "\r\n";
        s.Log += "  " + t.Total + t.WideGap + totalText + "\r\n";
        s.Log += "  " + t.Minimum + t.WideGap + FormatAnswer(minimum) + "\r\n";
        s.Log += "  " + t.Maximum + t.WideGap + FormatAnswer(maximum) + "\r\n";
        s.Log += "  " + t.Average + t.WideGap + averageText + "\r\n";
        s.Log += "  " + t.Deviation + t.Equals + deviationText + t.Population + "\r\n";
        s.LabelAnswer = CalcBarAnswer(calcBarFormat, totalText, total) + "\t" +
                        CalcBarAnswer(calcBarFormat, averageText, average) + "\t" +
                        CalcBarAnswer(calcBarFormat, deviationText, deviation);
    }
    return s;
}

std::vector<std::string> LogPaneLines(TLogContent content, const std::string& log,
                                      const TVtCalc& calc, const std::string& defText) {
    std::vector<std::string> lines;
    const auto split = [&lines](std::string_view text) {
        std::size_t pos = 0;
        std::string_view line;
        while (NextTextLine(text, pos, line))
            lines.emplace_back(line);
    };
    switch (content) {
    case TLogContent::lcVariables:
        for (int i = 0; i < calc.VarCount(); ++i)
            lines.push_back(calc.VarLine(i));
        break;
    case TLogContent::lcUserFuncs:
        for (int i = 0; i < calc.FuncCount(); ++i) {
            const std::string def = calc.FuncLine(i);
            const std::size_t eq = def.find('=', 1);
            if (eq == std::string::npos) continue;
            lines.push_back(def.substr(0, eq) + "\t" + Texts().StepEquals + def.substr(eq + 1));
        }
        if (lines.empty()) lines.emplace_back();
        break;
    case TLogContent::lcDefFile:
        // Without a definitions file the pane shows the caret line's log.
        if (defText.empty()) {
            split(log);
        } else {
            lines.push_back(Texts().DefHeader);
            split(defText);
        }
        break;
    default: split(log); break;
    }
    return lines;
}

}  // namespace rekna
