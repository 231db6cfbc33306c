// Shared pieces of the answer formatter: the text builder, decimal digits and the writers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "numbers/number_settings.h"

namespace rekna::format_detail {

// A text under construction. Answers are short, so they are built on the stack and only spill
// to the heap when a setting (long user format, wide fixed range) makes them long.
class TTextBuf {
public:
    TTextBuf() noexcept = default;
    TTextBuf(const TTextBuf&) = delete;
    TTextBuf& operator=(const TTextBuf&) = delete;

    void Add(char c) {
        if (FLen < kInline) {
            FInline[FLen++] = c;
            return;
        }
        Spill();
        FHeap.push_back(c);
        ++FLen;
    }
    void Add(std::string_view s) {
        if (FLen + s.size() <= kInline) {
            std::memcpy(FInline + FLen, s.data(), s.size());
            FLen += s.size();
            return;
        }
        Spill();
        FHeap.append(s);
        FLen += s.size();
    }
    void AddRepeat(char c, int count) {
        for (int i = 0; i < count; ++i)
            Add(c);
    }
    void Insert(std::size_t pos, char c) {
        Add(c);
        char* d = Data();
        std::memmove(d + pos + 1, d + pos, FLen - 1 - pos);
        d[pos] = c;
    }
    void Erase(std::size_t pos, std::size_t count) {
        char* d = Data();
        std::memmove(d + pos, d + pos + count, FLen - pos - count);
        Truncate(FLen - count);
    }
    void Truncate(std::size_t len) {
        FLen = len;
        if (FOnHeap) FHeap.resize(len);
    }
    [[nodiscard]] std::size_t Size() const noexcept { return FLen; }
    [[nodiscard]] bool Empty() const noexcept { return FLen == 0; }
    [[nodiscard]] char operator[](std::size_t i) const noexcept { return Data()[i]; }
    [[nodiscard]] char Back() const noexcept { return Data()[FLen - 1]; }
    [[nodiscard]] std::string_view View() const noexcept { return {Data(), FLen}; }
    [[nodiscard]] std::string Str() const { return std::string(View()); }

private:
    static constexpr std::size_t kInline = 120;

    [[nodiscard]] const char* Data() const noexcept { return FOnHeap ? FHeap.data() : FInline; }
    [[nodiscard]] char* Data() noexcept { return FOnHeap ? FHeap.data() : FInline; }
    void Spill() {
        if (FOnHeap) return;
        FHeap.assign(FInline, FLen);
        FOnHeap = true;
    }

    char FInline[kInline];
    std::size_t FLen = 0;
    bool FOnHeap = false;
    std::string FHeap;
};

// Appends a decimal integer.
void AddInt(TTextBuf& out, long long value);

// Decimal digits of a finite non-negative extended: value = D[0].D[1]D[2]... x 10^Exp. Count 0
// is the value zero. Digits past Count are zeros.
inline constexpr int kMaxDigits = 48;

struct TDigits {
    char D[kMaxDigits];
    int Count = 0;
    int Exp = 0;

    [[nodiscard]] bool IsZero() const noexcept { return Count == 0; }
    [[nodiscard]] char At(int i) const noexcept { return i >= 0 && i < Count ? D[i] : '0'; }
    void StripZeros() noexcept {
        while (Count > 0 && D[Count - 1] == '0')
            --Count;
    }
    // Makes the digit list exactly n long (padding with zeros, or for zero a row of zeros).
    void PadTo(int n) noexcept {
        if (n > kMaxDigits) n = kMaxDigits;
        while (Count < n)
            D[Count++] = '0';
    }
};

// The value rounded half away from zero to n significant digits (1..kMaxDigits), or truncated
// to them when round is false. The result has exactly n digits unless the value is zero.
// "." and n decimals of fixed digits; with hide0 trailing zeros and a bare point are dropped.
void AddDecimals(TTextBuf& out, const TDigits& d, int n, bool hide0);
[[nodiscard]] TDigits SigDigits(long double ax, int n, bool round = true) noexcept;

// The value rounded half away from zero at 10^-decimals (decimals may be negative). Beyond
// kMaxDigits significant digits the digits are zeros.
[[nodiscard]] TDigits FixedDigits(long double ax, int decimals) noexcept;

// Floor of log10 of a finite positive value, exact.
[[nodiscard]] int DecimalExponent(long double ax) noexcept;

// The Japanese and 60-base marks in CP932, converted once.
struct TMarks {
    std::string Day, Hour, Minute, Second;  // 日 時 分 秒
    std::string Degree, DegreeJ;            // ° 度
    std::string Prime, DoublePrime, Colon;  // ′ ″ ：
    std::string Kei, Cho, Oku, Man;         // 京 兆 億 万
};
[[nodiscard]] const TMarks& Marks();

// Inserts AnsColChar into the integer part that starts at text position start.
enum class TGroupKind : std::uint8_t { gkDecimal, gkBinary, gkHex };
void GroupDigits(TTextBuf& out, std::size_t start, int size, TGroupKind kind);

// The writers of one part; x may be any extended, NaN and infinities included.
void WriteReal(TTextBuf& out, long double x, TAnsFormat format, int length, bool hide0);
void WriteDecimal(TTextBuf& out, long double x, TAnsFormat format, int length, bool hide0);
void WriteGeneral(TTextBuf& out, long double x, int digits);
void WriteNon(TTextBuf& out, long double x);
void WriteBinary(TTextBuf& out, long double x, bool complement, bool hide0);
void WriteHex(TTextBuf& out, long double x, bool hide0);
void WriteN60(TTextBuf& out, long double x, int length, bool hide0);
void WriteJpn(TTextBuf& out, long double x, int length, bool hide0);
void WriteFactors(TTextBuf& out, long double x);
void WriteUsr(TTextBuf& out, long double x, std::string_view format);

// Non-finite values in the decimal formats: "Err" for NaN, "INF" or "-INF".
bool WriteNonFinite(TTextBuf& out, long double x);

}  // namespace rekna::format_detail
