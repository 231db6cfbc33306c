// Texts from scripts read as numbers of the calculation.
#include "script/host/script_number.h"

#include <string>

#include "numbers/calc_error.h"
#include "numbers/literal.h"
#include "script/values/convert.h"

namespace rekna {

std::optional<TCplx> ReadScriptNumber(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || text.front() == '-' || text.front() == '+') return std::nullopt;
    const TCalcErr saved = CalcErr;
    std::string literal(text);
    std::size_t consumed = 0;
    const TCplx value = ReadLiteral(literal, &consumed);
    const bool ok = consumed == text.size() && !CalcFailed();
    CalcErr = saved;
    if (!ok) return std::nullopt;
    return negative ? -value : value;
}

}  // namespace rekna

namespace rekna {

std::string ScriptNumberText(const TVariant& v) {
    switch (v.Type()) {
    case TVarType::vtEmpty: return "0";
    case TVarType::vtBoolean:
    case TVarType::vtInteger:
    case TVarType::vtLong:
    case TVarType::vtByte: return std::to_string(v.WholeValue());
    case TVarType::vtSingle: return ShortestText(static_cast<float>(v.RealValue()));
    case TVarType::vtDouble:
    case TVarType::vtDate: return ShortestText(v.RealValue());
    case TVarType::vtCurrency: return CurrencyText(v.CurrencyValue());
    default: return {};
    }
}

}  // namespace rekna
