// The binary, two's-complement binary and hexadecimal answer forms of the exact mantissa.
#include <bit>
#include <cmath>
#include <cstdint>

#include "numbers/calc_error.h"
#include "numbers/ext_bits.h"
#include "numbers/format_detail.h"

namespace rekna::format_detail {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

// x = M * 2^(B - 63) with the top bit of M set; zero is M = 0, B = 0.
struct TMant {
    std::uint64_t M;
    int B;
};

TMant MantissaOf(long double x) {
    const std::uint64_t m = ExtMantissa(x);
    if (m == 0 || x == 0) return {0, 0};
    const int lz = std::countl_zero(m);
    return {m << lz, ExtExponent(x) - lz};
}

// An infinity or NaN cannot be shown as digits: the text says so and the line is in error.
bool WriteNanInf(TTextBuf& out, long double x) {
    if (std::isnan(x)) {
        out.Add("[NaN]");
        SetCalcErr(TCalcErr::ceNothing);
        return true;
    }
    if (std::isinf(x)) {
        out.Add(x < 0 ? "[-Inf]" : "[Inf]");
        SetCalcErr(TCalcErr::ceOverflow);
        return true;
    }
    return false;
}

// The digits of value in the given bits per digit, width digits long; with hide0 leading
// zeros are dropped (one digit stays).
void AddRadixInt(TTextBuf& out, unsigned value, int bitsPerDigit, int width, bool hide0) {
    const unsigned mask = (1U << bitsPerDigit) - 1;
    bool started = !hide0;
    for (int i = width - 1; i >= 0; --i) {
        const unsigned digit = (value >> (i * bitsPerDigit)) & mask;
        if (digit != 0 || i == 0) started = true;
        if (started) out.Add(kHexDigits[digit]);
    }
}

}  // namespace

void WriteBinary(TTextBuf& out, long double x, bool complement, bool hide0) {
    if (WriteNanInf(out, x)) return;
    const TNumberSettings& st = NumberSettings;
    const std::size_t start = out.Size();
    const bool neg = x < 0;
    const TMant mt = MantissaOf(x);
    const bool twos = complement && neg;
    // The two's complement of the 64-bit mantissa keeps the point where it was; the sign
    // digit in front then carries the weight -2^(B+1).
    const std::uint64_t bits = twos ? 0 - mt.M : mt.M;
    const int b = mt.B;

    if (neg && !complement) out.Add('-');
    out.Add(complement ? "&c" : "&");
    const std::size_t digitsStart = out.Size();

    char bit[64];
    for (int i = 0; i < 64; ++i)
        bit[i] = ((bits >> (63 - i)) & 1) != 0 ? '1' : '0';
    int nb = 64;
    if (hide0)
        while (nb > 1 && bit[nb - 1] == '0')
            --nb;

    if (b >= 0 && b <= 63) {
        for (int i = 0; i <= b; ++i)
            out.Add(i < nb ? bit[i] : '0');
        if (nb > b + 1) {
            out.Add('.');
            for (int i = b + 1; i < nb; ++i)
                out.Add(bit[i]);
        }
    } else if (b >= -9 && b < 0) {
        // A negative two's complement fraction is sign-extended with ones, so that the
        // digits read back as the value (-0.75 is &c1.01, not &c10.01).
        const char lead = twos ? '1' : '0';
        out.Add(lead);
        out.Add('.');
        out.AddRepeat(lead, -b - 1);
        for (int i = 0; i < nb; ++i)
            out.Add(bit[i]);
    } else {
        out.Add(bit[0]);
        if (nb > 1) {
            out.Add('.');
            for (int i = 1; i < nb; ++i)
                out.Add(bit[i]);
        }
        out.Add('E');
        if (b < 0) out.Add('-');
        const int ab = b < 0 ? -b : b;
        if (st.AnsN2Exp) {
            out.Add('&');
            AddRadixInt(out, static_cast<unsigned>(ab), 1, 15, hide0);
        } else {
            AddInt(out, ab);
        }
    }
    if (complement) {
        const char want = neg ? '1' : '0';
        if (out[digitsStart] != want) out.Insert(digitsStart, want);
    }
    GroupDigits(out, start, st.AnsColN2, TGroupKind::gkBinary);
}

void WriteHex(TTextBuf& out, long double x, bool hide0) {
    if (WriteNanInf(out, x)) return;
    const TNumberSettings& st = NumberSettings;
    const std::size_t start = out.Size();
    if (x < 0) out.Add('-');
    out.Add('$');
    const TMant mt = MantissaOf(x);
    const int h = mt.B >> 2;  // floor(B / 4)
    const int r = mt.B - 4 * h;
    // The leading hexadecimal digit holds r + 1 bits; the rest of the mantissa follows in
    // sixteen digits, the last of them padded (and dropped when it is pure padding).
    char dig[17];
    dig[0] = kHexDigits[mt.M >> (63 - r)];
    const std::uint64_t rest = mt.M << (r + 1);
    for (int i = 0; i < 16; ++i)
        dig[1 + i] = kHexDigits[(rest >> (60 - 4 * i)) & 15];
    int nd = r == 3 ? 16 : 17;
    if (hide0)
        while (nd > 1 && dig[nd - 1] == '0')
            --nd;

    if (h >= 0 && h < 16) {
        for (int i = 0; i <= h; ++i)
            out.Add(i < nd ? dig[i] : '0');
        if (nd > h + 1) {
            out.Add('.');
            for (int i = h + 1; i < nd; ++i)
                out.Add(dig[i]);
        }
    } else if (h >= -9 && h < 0) {
        out.Add("0.");
        out.AddRepeat('0', -h - 1);
        for (int i = 0; i < nd; ++i)
            out.Add(dig[i]);
    } else {
        out.Add(dig[0]);
        if (nd > 1) {
            out.Add('.');
            for (int i = 1; i < nd; ++i)
                out.Add(dig[i]);
        }
        out.Add('P');
        if (h < 0) out.Add('-');
        const int ah = h < 0 ? -h : h;
        if (st.AnsN16Exp) {
            out.Add('$');
            AddRadixInt(out, static_cast<unsigned>(ah), 4, 4, hide0);
        } else {
            AddInt(out, ah);
        }
    }
    GroupDigits(out, start, st.AnsColN16, TGroupKind::gkHex);
}

}  // namespace rekna::format_detail
