// Fuzz target: every operator on values decoded from the input, under every switch setting.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "numbers/calc_error.h"
#include "numbers/cplx.h"
#include "numbers/number_settings.h"

namespace {

using namespace rekna;

class TReader {
public:
    TReader(const std::uint8_t* data, std::size_t size) : FData(data), FSize(size) {}
    bool Empty() const { return FPos >= FSize; }
    std::uint8_t Byte() { return FPos < FSize ? FData[FPos++] : 0; }
    long double Raw() {
        unsigned char bytes[16] = {};
        for (int i = 0; i < 10; ++i)
            bytes[i] = Byte();
        long double x;
        std::memcpy(&x, bytes, sizeof x);
        return x;
    }
    std::int32_t Int() {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i)
            v = (v << 8) | Byte();
        return static_cast<std::int32_t>(v);
    }
    TFrac Frac() {
        switch (Byte() % 4) {
        case 0: return TFrac(Raw());
        case 1: return TFrac(static_cast<long double>(Int()), static_cast<long double>(Int()));
        case 2: return TFrac(Raw(), Raw());
        default: return TFrac(static_cast<long double>(static_cast<std::int8_t>(Byte())));
        }
    }
    TCplx Value() {
        const std::uint8_t kind = Byte();
        if (kind == 0xFF) return TCplx::Blank();
        if (kind == 0xFE) return TCplx::ErrorMark();
        TCplx v(Frac());
        if (kind & 1) v.Im = Frac();
        return v;
    }

private:
    const std::uint8_t* FData;
    std::size_t FSize;
    std::size_t FPos = 0;
};

void CheckPart(const TFrac& f) {
    if (!std::isfinite(f.Num) || !std::isfinite(f.Den) || f.Num == 0.0L) return;
    if (NumberSettings.Fractional ? !(f.Den >= 1.0L && f.Den < 2.0L) : f.Den != 1.0L) std::abort();
}

void Check(const TCplx& v) {
    CheckPart(v.Re);
    CheckPart(v.Im);
    if (static_cast<int>(CalcErr) >= kCalcErrCount) std::abort();
}

using TOp = TCplx (*)(const TCplx&, const TCplx&);

TCplx Add(const TCplx& x, const TCplx& y) {
    return x + y;
}
TCplx Sub(const TCplx& x, const TCplx& y) {
    return x - y;
}
TCplx Mul(const TCplx& x, const TCplx& y) {
    return x * y;
}
TCplx Div(const TCplx& x, const TCplx& y) {
    return x / y;
}

constexpr TOp kOps[] = {Add,       Sub,          Mul,       Div,     Power,   Parallel, RmsSum,
                        Remainder, IntQuotient,  Minimum,   Maximum, Gcd,     Polar,    Greater,
                        Less,      GreaterEqual, LessEqual, Equal,   NotEqual};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TReader in(data, size);
    const std::uint8_t switches = in.Byte();
    NumberSettings.Fractional = (switches & 1) == 0;
    NumberSettings.RoundFuzz = (switches & 2) == 0;
    NumberSettings.AngleUnit = (switches & 4) ? TAngleUnit::auDeg : TAngleUnit::auRad;
    while (!in.Empty()) {
        const TCplx x = in.Value();
        const TCplx y = in.Value();
        for (TOp op : kOps) {
            CalcErr = TCalcErr::ceNone;
            const TCplx r = op(x, y);
            Check(r);
            Check(CutTinyError(r));
        }
        Check(CplxExp(x));
        Check(CplxLn(x));
        Check(-x);
    }
    NumberSettings = TNumberSettings();
    CalcErr = TCalcErr::ceNone;
    return 0;
}
