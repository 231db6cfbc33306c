// Writing a line's answer into the memo text, and taking it out.
#include "frame/answer_writer.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "engine/compiler.h"
#include "numbers/calc_error.h"
#include "numbers/literal.h"
#include "platform/cp932.h"

namespace rekna {

namespace {

const std::string& Marker() {
    static const std::string marker = SysText("＝");
    return marker;
}

// The value part of a stored answer: without blanks and cut before the first Tab, where a
// statistics answer carries its data note.
[[nodiscard]] std::string_view AnswerValue(std::string_view answer) noexcept {
    const std::string_view a = TrimBlanks(answer);
    return TrimBlanks(a.substr(0, FindAscii(a, '\t')));
}

// The text between the first "[" of the tail and the next "]"; empty when a "]" comes first or
// the bracket is not closed.
[[nodiscard]] std::string_view KeptComment(std::string_view tail) noexcept {
    const std::size_t open = FindAscii(tail, '[');
    const std::size_t stray = FindAscii(tail, ']');
    if (open == std::string_view::npos || (stray != std::string_view::npos && stray < open))
        return {};
    const std::size_t close = FindAscii(tail, ']', open + 1);
    if (close == std::string_view::npos) return {};
    return tail.substr(open + 1, close - open - 1);
}

[[nodiscard]] bool IsErrorText(std::string_view text) {
    for (int code = 1; code < kCalcErrCount; ++code) {
        if (text == CalcErrMessage(static_cast<TCalcErr>(code))) return true;
    }
    return false;
}

}  // namespace

std::string_view TrimBlanks(std::string_view s) noexcept {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

std::size_t AnswerMarker(std::string_view line) noexcept {
    bool inside = false;
    for (std::size_t i = 0; i < line.size(); i += CharLength(line, i)) {
        if (!inside && IsAnswerMarkerAt(line, i)) return i;
        if (line[i] == '[') inside = true;
        if (line[i] == ']') inside = false;
    }
    return std::string_view::npos;
}

std::string WriteAnswer(std::string_view line, std::string_view formula, std::string_view answer,
                        bool showErrors, bool showControl) {
    std::string_view a = AnswerValue(answer);
    if (!a.empty() && a.front() == '#') {
        a = showControl ? TrimBlanks(formula) : std::string_view();
    } else if (!a.empty() && a.front() == '[' && !showErrors) {
        a = "Err";
    }
    const std::size_t p = AnswerMarker(line);
    std::string head(line.substr(0, p));
    const std::string_view tail =
        p == std::string_view::npos ? std::string_view() : line.substr(p + Marker().size());
    if (!head.empty() && !tail.empty() && (head.back() == ' ' || head.back() == '\t'))
        head.pop_back();
    if (!a.empty()) {
        head += ' ';
        head += Marker();
        head += ' ';
        head += a;
        const std::string_view comment = KeptComment(tail);
        if (!comment.empty() && !IsErrorText(comment)) {
            head += " [";
            head += comment;
            head += ']';
        }
    }
    return head;
}

std::optional<long double> ResultKey(std::string_view answer) {
    const std::string_view a = AnswerValue(answer);
    if (a.empty() || a.front() == '[' || a.front() == '#') return std::nullopt;
    std::string text(a);
    std::size_t consumed = 0;
    const TCalcErr before = CalcErr;
    const TCplx value = ReadLiteral(text, &consumed);
    const bool read = consumed > 0 && !CalcFailed();
    CalcErr = before;
    if (!read) return std::nullopt;
    const long double key = ReValue(value);
    if (std::isnan(key)) return std::nullopt;
    return key;
}

std::vector<std::size_t> OrderByKey(const std::vector<std::optional<long double>>& keys,
                                    bool ascending) {
    std::vector<std::size_t> order(keys.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        if (!keys[a] || !keys[b]) return keys[a].has_value() && !keys[b].has_value();
        return ascending ? *keys[a] < *keys[b] : *keys[a] > *keys[b];
    });
    return order;
}

std::string CopiedAnswer(std::string_view label, bool formulaShown) {
    std::string_view t = label;
    if (formulaShown) {
        const std::size_t eq = FindAscii(t, '=');
        if (eq != std::string_view::npos) t = TrimBlanks(t.substr(eq + 1));
    }
    std::string out;
    for (const char c : t) {
        if (c == '\t') {
            out += "\r\n";
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace rekna
