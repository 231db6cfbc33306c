// The log hint: tokens of a log line and the rules that describe them.
#include "frame/log_hint.h"

#include "engine/user_func.h"
#include "engine/vt_calc.h"
#include "frame/frame_actions.h"
#include "frame/insert_actions.h"
#include "numbers/calc_error.h"
#include "numbers/format.h"
#include "numbers/literal.h"
#include "platform/cp932.h"

namespace rekna {

namespace {

// "･" (half-width middle dot) is one byte: the log's mark of an implicit multiplication.
constexpr char kDot = static_cast<char>(0xA5);

bool IsBoundary(char c) noexcept {
    return c == kDot ||
           std::string_view(" \t\"(){}+-*/^~\\!<>`@='").find(c) != std::string_view::npos;
}

bool IsOperatorChar(char c) noexcept {
    return c == kDot || std::string_view("\",+-*/^~\\!<>`@='").find(c) != std::string_view::npos;
}

bool IsDigitStart(char c) noexcept {
    return (c >= '0' && c <= '9') || c == '.';
}

// The insert captions of one category family, without accelerators, as shown and lower-cased.
struct TCaption {
    std::string Shown;
    std::string Lower;
};

const std::vector<TCaption>& Captions(std::string_view family) {
    struct TFamilies {
        std::vector<TCaption> Constants, Functions, Controls, Operators;
    };
    static const TFamilies families = [] {
        TFamilies f;
        for (const TInsertAction& a : InsertActions()) {
            TCaption c;
            c.Shown = SysText(StripAccelerator(a.Caption));
            c.Lower = LowerName(c.Shown);
            // Categories are compared by their start: 定数 holds 定数統計, 関数 every function
            // group.
            if (a.Category.starts_with("定数")) {
                f.Constants.push_back(std::move(c));
            } else if (a.Category.starts_with("関数")) {
                f.Functions.push_back(std::move(c));
            } else if (a.Category == "制御") {
                f.Controls.push_back(std::move(c));
            } else if (a.Category == "演算子") {
                f.Operators.push_back(std::move(c));
            }
        }
        return f;
    }();
    if (family == "constants") return families.Constants;
    if (family == "functions") return families.Functions;
    if (family == "controls") return families.Controls;
    return families.Operators;
}

std::string RemoveAll(std::string text, std::string_view what) {
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at))
        text.erase(at, what.size());
    return text;
}

std::string WithoutBars(const std::string& caption) {
    return RemoveAll(RemoveAll(caption, ", | "), ",|");
}

bool FollowedBy(std::string_view text, std::size_t at, std::string_view chars) noexcept {
    return at < text.size() && chars.find(text[at]) != std::string_view::npos;
}

std::string ValueText(std::string token) {
    const TCalcErr saved = CalcErr;
    const TCplx value = ReadLiteral(token);
    std::string text = FormatListValue(value, TAnsFormat::afNon, false);
    CalcErr = saved;
    return text;
}

std::optional<std::string> Operator(std::string_view token) {
    if (token.front() == kDot) return SysText("演算子()の前後の 省略乗算");
    const std::string spaced = std::string(token) + " ";
    const std::string inner = " " + spaced;
    for (const TCaption& c : Captions("operators")) {
        if (c.Lower.starts_with(spaced) ||
            (token != "," && c.Lower.find(inner, 1) != std::string::npos))
            return SysText("[演算子] ") + WithoutBars(c.Shown);
    }
    return std::nullopt;
}

std::optional<std::string> Call(const TVtCalc& calc, std::string_view token,
                                std::span<const TUserFuncMenuItem> menu) {
    std::string_view name = token.substr(0, token.size() - 1);
    if (!name.empty() && name.front() == '#') name.remove_prefix(1);
    if (name.empty()) return std::nullopt;
    const std::string lower = LowerName(name);
    const std::string userFunc = SysText("[ユーザー定義関数] ");
    if (const std::string def = calc.FuncLineByName(lower); !def.empty()) return userFunc + def;
    for (const TUserFuncMenuItem& item : menu) {
        const std::string caption = LowerName(item.Caption);
        if (caption.starts_with(lower) && FollowedBy(caption, lower.size(), "( ,;") &&
            !item.Hint.empty())
            return userFunc + item.Hint.substr(1);
    }
    for (const TCaption& c : Captions("constants")) {
        if (c.Lower.starts_with(lower) && FollowedBy(c.Lower, lower.size(), " ,;")) {
            std::string text = SysText("[定数] ") + c.Shown;
            if (const std::string value = calc.ConstValueText(lower); !value.empty())
                text += " = " + value;
            return text;
        }
    }
    for (const TCaption& c : Captions("functions")) {
        for (std::size_t at = c.Lower.find(lower); at != std::string::npos;
             at = c.Lower.find(lower, at + 1)) {
            const bool starts = at == 0 || FollowedBy(c.Lower, at - 1, " ,:");
            if (starts && FollowedBy(c.Lower, at + lower.size(), " ,:"))
                return SysText("[関数] ") + c.Shown;
        }
    }
    return std::nullopt;
}

std::string Bracketed(std::string_view token) {
    const std::size_t close = FindAscii(token, ']');
    const std::string text(
        token.substr(0, close == std::string_view::npos ? token.size() : close + 1));
    const std::string inner =
        text.size() >= 2 && EndsWithAscii(text, ']') ? text.substr(1, text.size() - 2) : "";
    if (inner == CalcErrMessage(TCalcErr::ceControl) ||
        inner == CalcErrMessage(TCalcErr::ceUserFunc))
        return text;
    for (int code = 1; code < kCalcErrCount; ++code) {
        if (!inner.empty() && inner == CalcErrMessage(static_cast<TCalcErr>(code)))
            return SysText("[エラー] ") + text;
    }
    return SysText("[エラー] ") + "?";
}

}  // namespace

std::string LogTokenAt(std::string_view line, std::size_t index) {
    // Character starts, so that a double-byte character is never split.
    std::vector<std::size_t> starts;
    for (std::size_t p = 0; p < line.size(); p += CharLength(line, p))
        starts.push_back(p);
    if (starts.empty() || index >= line.size()) return {};
    std::size_t k = 0;
    while (k + 1 < starts.size() && starts[k + 1] <= index)
        ++k;
    const auto at = [&](std::size_t i) {
        return line.substr(starts[i], CharLength(line, starts[i]));
    };
    const auto single = [&](std::size_t i) { return at(i).size() == 1 ? at(i).front() : '\0'; };
    const std::size_t n = starts.size();
    const char c = single(k);

    // A sign belongs to a number it starts, unless a name or a bracket stands before it.
    const bool signStart = (c == '-' || c == '+') && k + 1 < n && IsDigitStart(single(k + 1)) &&
                           (k == 0 || (IsBoundary(single(k - 1)) && single(k - 1) != ')'));
    std::size_t first = k, last = k;
    if (c != '\0' && IsBoundary(c) && !signStart) {
        if (c == ' ' || c == '\t') return {};
        if (IsOperatorChar(c)) {
            if (k + 1 < n && IsOperatorChar(single(k + 1)) && single(k + 1) != ',') {
                last = k + 1;
            } else if (c != ',' && k > 0 && IsOperatorChar(single(k - 1)) && single(k - 1) != '"') {
                first = k - 1;
            }
        }
        return std::string(
            line.substr(starts[first], starts[last] + at(last).size() - starts[first]));
    }
    if (signStart) {
        last = k + 1;
    } else {
        while (first > 0 && single(first) != '#' && !IsBoundary(single(first - 1)))
            --first;
    }
    for (;;) {
        while (last + 1 < n && !IsBoundary(single(last + 1)))
            ++last;
        // An exponent's sign inside a number: 1.5E-3, $1.8P+4.
        const char end = single(last);
        const char lead =
            single(first) == '-' || single(first) == '+' ? single(first + 1) : single(first);
        const bool number = IsDigitStart(lead) || lead == '$' || lead == '&';
        if (number && (end == 'E' || end == 'e' || end == 'P' || end == 'p') && last + 2 < n &&
            (single(last + 1) == '-' || single(last + 1) == '+') && !IsBoundary(single(last + 2))) {
            last += 2;
            continue;
        }
        break;
    }
    // A sign before a number starts it, unless a name or a closing bracket stands before it.
    if (IsDigitStart(single(first)) && first > 0 &&
        (single(first - 1) == '-' || single(first - 1) == '+') &&
        (first == 1 || (IsBoundary(single(first - 2)) && single(first - 2) != ')')))
        --first;
    if (last + 1 < n && single(last + 1) == '(') ++last;
    return std::string(line.substr(starts[first], starts[last] + at(last).size() - starts[first]));
}

std::optional<std::string> DescribeLogToken(const TVtCalc& calc, std::string_view token,
                                            std::span<const TUserFuncMenuItem> menu,
                                            std::span<const std::string> args) {
    if (token.empty()) return std::string();
    if (token.back() == '(') return Call(calc, token, menu).value_or(std::string());
    const std::string lower = LowerName(token);
    if (token.front() == '#') {
        for (const TCaption& c : Captions("controls")) {
            if (c.Lower.starts_with(lower)) return SysText("[制御コード] ") + WithoutBars(c.Shown);
        }
    }
    if ((token.size() == 1 && IsOperatorChar(token[0])) ||
        (token.size() == 2 && IsOperatorChar(token[1]) && token[1] != ','))
        return Operator(token);
    for (const char* word : {"合計", "行計算", "偏差", "平均"}) {
        if (token.find(SysText(word)) != std::string_view::npos)
            return std::string(1, '[').append(token).append(1, ']');
    }
    if (token.starts_with("&C") || token.starts_with("&c"))
        return SysText("[2進補数] ") + std::string(token) + " = " + ValueText(std::string(token));
    if (token.front() == '&')
        return SysText("[2進数] ") + std::string(token) + " = " + ValueText(std::string(token));
    if (token.front() == '$')
        return SysText("[16進数] ") + std::string(token) + " = " + ValueText(std::string(token));
    if (IsDigitStart(token.front()) || token.front() == '-')
        return SysText("[数値] ") + std::string(token);
    if (token.front() == '[') return Bracketed(token);
    if (token.front() == ';') return SysText("[統計データ] ") + std::string(token.substr(1));
    for (const std::string& arg : args) {
        if (arg == lower) return SysText("[引数] = ") + std::string(token);
    }
    const std::string read = calc.ReadName(token, 1);
    if (!read.empty() && read == lower) {
        std::string text = SysText("[変数] ") + std::string(token);
        if (args.empty()) {
            if (const std::string value = calc.VarValueText(read); !value.empty())
                text += " = " + value;
        }
        return text;
    }
    if (token.size() > 1 && token.back() == '?') {
        const std::string_view name = token.substr(0, token.size() - 1);
        if (!read.empty() && read == LowerName(name))
            return SysText("[未定義変数] ") + std::string(name) + " ? = 0";
        if (name.size() > 1 && name.back() == '?' &&
            read == LowerName(name.substr(0, name.size() - 1)))
            return SysText("[エラー変数] ") + std::string(token) +
                   SysText(" = 計算エラーが代入されています");
    }
    return std::string();
}

std::vector<std::string> DefinitionParams(std::string_view line) {
    std::vector<std::string> params;
    if (line.empty() || line.front() != '#') return params;
    const std::size_t open = line.find('(');
    const std::size_t close = line.find(')', open);
    if (open == std::string_view::npos || close == std::string_view::npos ||
        line.find('=', close) == std::string_view::npos)
        return params;
    std::string_view list = line.substr(open + 1, close - open - 1);
    while (!list.empty()) {
        const std::size_t comma = list.find(',');
        std::string_view p = list.substr(0, comma);
        while (!p.empty() && p.front() == ' ')
            p.remove_prefix(1);
        while (!p.empty() && p.back() == ' ')
            p.remove_suffix(1);
        if (!p.empty()) params.push_back(LowerName(p));
        if (comma == std::string_view::npos) break;
        list.remove_prefix(comma + 1);
    }
    return params;
}

std::string LogHintText(const TVtCalc& calc, std::string_view line, long index,
                        std::span<const TUserFuncMenuItem> menu, std::string_view firstLine) {
    std::string tail(1, '|');
    tail += line;
    if (index < 0 || static_cast<std::size_t>(index) >= line.size()) return tail;
    const std::vector<std::string> args = DefinitionParams(firstLine);
    const std::optional<std::string> description =
        DescribeLogToken(calc, LogTokenAt(line, static_cast<std::size_t>(index)), menu, args);
    if (!description) return {};
    return *description + tail;
}

THintParts SplitHint(std::string_view hint) {
    const std::size_t bar = FindAscii(hint, '|');
    if (bar == std::string_view::npos) return {{}, std::string(hint)};
    return {std::string(hint.substr(0, bar)), std::string(hint.substr(bar + 1))};
}

}  // namespace rekna
