// Fuzz target of the answer formatter: raw extended values, every format and length, random
// settings and user format strings. It must not crash, throw or change the value.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "numbers/calc_error.h"
#include "numbers/cplx.h"
#include "numbers/format.h"
#include "numbers/number_settings.h"

namespace {

using namespace rekna;

class TReader {
public:
    TReader(const std::uint8_t* data, std::size_t size) : FData(data), FSize(size) {}

    std::uint8_t Byte() {
        if (FSize == 0) return 0;
        --FSize;
        return *FData++;
    }
    bool Bool() { return (Byte() & 1) != 0; }
    int Signed() { return static_cast<std::int8_t>(Byte()); }

    // Any 80-bit pattern: NaNs, infinities, denormals, unnormals and pseudo-denormals too.
    long double Ext() {
        switch (Byte() % 8) {
        case 0: return 0.0L;
        case 1: return 1.0L;
        case 2: return static_cast<long double>(Signed()) / 7;
        default: break;
        }
        unsigned char bytes[sizeof(long double)] = {};
        for (int i = 0; i < 10; ++i)
            bytes[i] = Byte();
        long double x;
        std::memcpy(&x, bytes, sizeof x);
        return x;
    }

    std::string Rest() {
        std::string s(reinterpret_cast<const char*>(FData), FSize < 48 ? FSize : 48);
        FSize = 0;
        return s;
    }

private:
    const std::uint8_t* FData;
    std::size_t FSize;
};

bool SameBits(const TCplx& a, const TCplx& b) {
    return std::memcmp(&a.Re.Num, &b.Re.Num, 10) == 0 &&
           std::memcmp(&a.Re.Den, &b.Re.Den, 10) == 0 &&
           std::memcmp(&a.Im.Num, &b.Im.Num, 10) == 0 && std::memcmp(&a.Im.Den, &b.Im.Den, 10) == 0;
}

void Check(bool ok) {
    if (!ok) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TReader in(data, size);
    TNumberSettings& st = NumberSettings;
    st = TNumberSettings();
    CalcErr = TCalcErr::ceNone;

    const int kFormats = static_cast<int>(TAnsFormat::afUsr) + 1;
    const auto format = static_cast<TAnsFormat>(in.Byte() % (kFormats + 1));
    st.AnsFormat = format;
    st.AnsFormat60 = static_cast<TAnsFormat60>(in.Byte() % 5);
    st.CplxFormat = in.Bool() ? TCplxFormat::cPolar : TCplxFormat::cReIm;
    st.AngleUnit = in.Bool() ? TAngleUnit::auDeg : TAngleUnit::auRad;
    st.DbUnit = static_cast<TdBUnit>(in.Byte() % 5);
    st.TimUnit = static_cast<TTimUnit>(in.Byte() % 5);
    st.ImagChar = in.Bool() ? 'j' : 'i';
    st.AnsLength = static_cast<int>(in.Byte() % 41) - 20;
    st.AnsHide0 = in.Bool();
    st.AnsEng0 = in.Bool();
    st.AnsEng1 = in.Bool();
    st.AnsN2Exp = in.Bool();
    st.AnsN16Exp = in.Bool();
    st.LogN16 = in.Bool();
    st.LogFrac = in.Bool();
    st.AnsExpMin = in.Signed();
    st.AnsExpMax = in.Signed();
    st.AnsFixMin = in.Signed();
    st.AnsFixMax = in.Signed();
    const std::uint8_t colChar = in.Byte();
    st.AnsColChar = colChar % 4 == 0 ? '\b' : static_cast<char>(colChar);
    st.AnsColNon = in.Byte() % 10;
    st.AnsColExp = in.Byte() % 10;
    st.AnsColFix = in.Byte() % 10;
    st.AnsColN2 = in.Byte() % 10;
    st.AnsColN16 = in.Byte() % 10;
    const bool hideZeroReal = in.Bool();

    TCplx value;
    switch (in.Byte() % 4) {
    case 0: value = TCplx::Blank(); break;
    case 1: value = TCplx::ErrorMark(); break;
    case 2: value = TCplx(in.Ext(), in.Ext()); break;
    default: {
        const long double reNum = in.Ext();
        const long double reDen = in.Ext();
        const long double imNum = in.Ext();
        const long double imDen = in.Ext();
        value = TCplx(TFrac::Raw(reNum, reDen), TFrac::Raw(imNum, imDen));
        break;
    }
    }
    const long double part = value.Re.Num;
    st.UsrFormat = in.Rest();
    const std::string usr = st.UsrFormat;
    const TCplx copy = value;

    const std::string answer = FormatAnswer(value);
    const std::string listed = FormatListValue(value, format, hideZeroReal);
    const std::string logged = FormatLogValue(value);
    if (value.IsBlank()) Check(answer.empty() && listed.empty() && logged.empty());
    if (value.IsErrorMark()) Check(answer == "Err" && listed == "Err" && logged == "Err");
    for (int f = 0; f <= kFormats; ++f)
        (void)FormatReal(part, static_cast<TAnsFormat>(f), st.AnsLength, st.AnsHide0);
    for (int length = -20; length <= 20; ++length)
        (void)FormatReal(part, format, length, st.AnsHide0);

    Check(SameBits(copy, value));
    Check(st.UsrFormat == usr && st.AnsFormat == format);
    return 0;
}
