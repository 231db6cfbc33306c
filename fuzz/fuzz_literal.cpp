// Fuzzes the literal reader: bounds, fraction invariants and the canonical text read back.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "numbers/calc_error.h"
#include "numbers/literal.h"
#include "numbers/number_settings.h"

namespace {

using namespace rekna;

void Check(bool ok) {
    if (!ok) std::abort();
}

// With fraction calculation on every part is normalised (Den in [1, 2)); off, Den is 1.
void CheckPart(const TFrac& f, bool fractional) {
    Check(std::isfinite(f.Num) && std::isfinite(f.Den));
    if (fractional)
        Check(f.Den >= 1.0L && f.Den < 2.0L && (f.Num != 0.0L || f.Den == 1.0L));
    else
        Check(f.Den == 1.0L);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    // Two bytes choose the switches and units; the rest is the literal text.
    const std::uint8_t s0 = data[0];
    const std::uint8_t s1 = data[1];
    TNumberSettings& set = NumberSettings;
    set.InpEng = (s0 & 1) == 0;
    set.InpEngStrict = (s0 & 2) != 0;
    set.InpPercent = (s0 & 4) == 0;
    set.InpN10 = (s0 & 8) == 0;
    set.InpN60 = (s0 & 16) == 0;
    set.InpDb = (s0 & 32) == 0;
    set.Fractional = (s0 & 64) == 0;
    set.ImagChar = (s0 & 128) != 0 ? 'j' : 'i';
    set.TimUnit = static_cast<TTimUnit>(s1 & 3);
    set.DbUnit = static_cast<TdBUnit>((s1 >> 2) & 3);

    const std::string input(reinterpret_cast<const char*>(data + 2), size - 2);
    std::string text = input;
    std::size_t used = 0;
    ClearFpErrors();
    const TCplx value = ReadLiteral(text, &used);
    Check(used <= input.size());
    // The reader reports its own failures; it never leaves a flag that the engine would
    // take for a failed calculation.
    Check(FpErrors() == TCalcErr::ceNone);
    if (CalcErr != TCalcErr::ceNone) {
        Check(CalcErr == TCalcErr::ceInputRange && value.IsZero());
        Check(text == input.substr(0, used));
        return 0;
    }
    CheckPart(value.Re, set.Fractional);
    CheckPart(value.Im, set.Fractional);
    Check(value.Re.IsZero() || value.Im.IsZero());

    // The canonical text is read whole, to the same value and the same text.
    std::string again = text;
    std::size_t againUsed = 0;
    const TCplx value2 = ReadLiteral(again, &againUsed);
    Check(CalcErr == TCalcErr::ceNone);
    Check(againUsed == text.size());
    Check(value2 == value);
    Check(again == text);
    return 0;
}
