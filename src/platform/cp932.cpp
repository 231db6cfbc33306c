// Conversions between CP932 bytes and UTF-8, and the well-formedness tests of both.
#include "platform/cp932.h"

#include "platform/cp932_table.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <mutex>
#include <unordered_map>

namespace rekna {
namespace {

// Result of reading one UTF-8 sequence: Length bytes long; CodePoint is valid only when Valid.
// An ill-formed sequence is the longest prefix that could still have started a valid one (at
// least one byte), so that a truncated character costs one replacement, not one per byte.
struct TUtf8Step {
    char32_t CodePoint;
    int Length;
    bool Valid;
};

[[nodiscard]] inline bool IsContinuation(unsigned char c) noexcept {
    return (c & 0xC0) == 0x80;
}

// Reads the sequence at p (p < end) whose first byte is not ASCII.
[[nodiscard]] TUtf8Step ReadUtf8(const unsigned char* p, const unsigned char* end) noexcept {
    const unsigned char c = p[0];
    int length;
    char32_t cp;
    unsigned char low = 0x80;   // range of the second byte, narrowed against overlong forms,
    unsigned char high = 0xBF;  // surrogates and code points above U+10FFFF
    if (c >= 0xC2 && c <= 0xDF) {
        length = 2;
        cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
        length = 3;
        cp = c & 0x0F;
        if (c == 0xE0) low = 0xA0;
        if (c == 0xED) high = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4;
        cp = c & 0x07;
        if (c == 0xF0) low = 0x90;
        if (c == 0xF4) high = 0x8F;
    } else {
        return {0, 1, false};
    }
    const std::ptrdiff_t available = end - p;
    if (available < 2 || p[1] < low || p[1] > high) return {0, 1, false};
    cp = (cp << 6) | (p[1] & 0x3F);
    for (int i = 2; i < length; ++i) {
        if (i >= available || !IsContinuation(p[i])) return {0, i, false};
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    return {cp, length, true};
}

// Writes a code point as UTF-8; returns the position behind it.
inline char* PutUtf8(char* out, char32_t cp) noexcept {
    if (cp < 0x80) {
        *out++ = static_cast<char>(cp);
    } else if (cp < 0x800) {
        *out++ = static_cast<char>(0xC0 | (cp >> 6));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp >= 0x10000) {
        *out++ = static_cast<char>(0xF0 | (cp >> 18));
        *out++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        *out++ = static_cast<char>(0xE0 | (cp >> 12));
        *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    }
    return out;
}

inline char* PutRawByte(char* out, unsigned char b) noexcept {
    return PutUtf8(out, kRawByteBase + b);
}

// The bytes the decoder ever carries as U+F700 + byte: every non-ASCII byte, and the ASCII bytes
// that can be the trail byte of an unmapped pair. Only these convert back.
[[nodiscard]] constexpr bool IsCarriedRawByte(unsigned int b) noexcept {
    return b >= 0x80 || IsTrailByte(static_cast<unsigned char>(b));
}

// Unicode (BMP) to CP932 code: 0 for none, a single byte as 0x00XX, a pair as lead << 8 | trail.
// Built once from the decoding table; 128 KiB of static storage, filled on first use.
class TCp932Encoder {
public:
    TCp932Encoder() noexcept {
        for (int b = 0x80; b < 0x100; ++b) {
            const std::uint16_t cp = kCp932SingleByte[b];
            if (cp != kCp932NoSingleMapping) FCode[cp] = static_cast<std::uint16_t>(b);
        }
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            if (!IsLeadByte(static_cast<unsigned char>(lead))) continue;
            for (int trail = 0x40; trail <= 0xFC; ++trail) {
                if (!IsTrailByte(static_cast<unsigned char>(trail))) continue;
                const std::uint16_t cp = Cp932DecodePair(static_cast<unsigned char>(lead),
                                                         static_cast<unsigned char>(trail));
                if (cp != 0 && FCode[cp] == 0)
                    FCode[cp] = static_cast<std::uint16_t>(lead << 8 | trail);
            }
        }
        for (std::size_t i = 0; i < kCp932PreferredCodeCount; ++i) {
            const std::uint16_t code = kCp932PreferredCodes[i];
            FCode[Cp932DecodePair(code >> 8, code & 0xFF)] = code;
        }
    }

    // Code for a non-ASCII code point below U+10000, 0 when the table has none.
    [[nodiscard]] std::uint16_t Code(char32_t cp) const noexcept { return FCode[cp]; }

private:
    std::uint16_t FCode[0x10000] = {};
};

[[nodiscard]] const TCp932Encoder& Encoder() {
    static const TCp932Encoder encoder;
    return encoder;
}

[[nodiscard]] std::uint16_t OneWayCode(char32_t cp) noexcept {
    const TCp932OneWay* first = kCp932OneWay;
    const TCp932OneWay* last = kCp932OneWay + kCp932OneWayCount;
    const TCp932OneWay* it = std::lower_bound(
        first, last, cp, [](const TCp932OneWay& e, char32_t v) { return e.CodePoint < v; });
    return (it != last && it->CodePoint == cp) ? it->Code : 0;
}

// Characters that CP932 lacks, carried as codes of its user-defined area (lead bytes 0xF0..0xF9),
// handed out from 0xF9FC downwards on first sight and kept for the life of the process. Codes
// that CP932 text brought itself are reserved and keep their standard meaning (U+E000..).
class TUserArea {
public:
    static constexpr std::size_t kCodes = 10 * 188;

    // The code of slot i, counted from the top.
    [[nodiscard]] static constexpr std::uint16_t CodeOf(std::size_t i) noexcept {
        const auto lead = static_cast<std::uint16_t>(0xF9 - i / 188);
        const std::size_t t = 187 - i % 188;
        const auto trail = static_cast<std::uint16_t>(t < 63 ? 0x40 + t : 0x80 + (t - 63));
        return static_cast<std::uint16_t>(lead << 8 | trail);
    }
    [[nodiscard]] static constexpr std::size_t SlotOf(unsigned char lead,
                                                      unsigned char trail) noexcept {
        const std::size_t t = trail < 0x80 ? trail - 0x40u : trail - 0x80u + 63;
        return static_cast<std::size_t>(0xF9 - lead) * 188 + (187 - t);
    }
    [[nodiscard]] static constexpr bool InArea(unsigned char lead) noexcept {
        return lead >= 0xF0 && lead <= 0xF9;
    }

    // The code carrying cp, handed out now when it has none; 0 when the area is full.
    std::uint16_t Carry(char32_t cp) {
        const std::lock_guard lock(FMutex);
        return CarryLocked(cp);
    }
    // The code for cp, a character of the area's standard range (U+E000..) whose own code is
    // given: that code, kept from now on for cp alone, unless a carried character holds it
    // already; then cp is carried under another code, so that neither changes its meaning.
    std::uint16_t Standard(char32_t cp, std::uint16_t code) {
        const std::lock_guard lock(FMutex);
        if (const auto it = FCodes.find(cp); it != FCodes.end()) return it->second;
        const std::size_t slot = SlotOf(code >> 8, code & 0xFF);
        if (FChars[slot] == 0) {
            FReserved[slot] = true;
            return code;
        }
        return CarryLocked(cp);
    }
    // The carried character of a code of the area, 0 when it carries none.
    [[nodiscard]] char32_t Carried(unsigned char lead, unsigned char trail) {
        const std::lock_guard lock(FMutex);
        return FChars[SlotOf(lead, trail)];
    }
    void Reserve(unsigned char lead, unsigned char trail) {
        const std::lock_guard lock(FMutex);
        const std::size_t slot = SlotOf(lead, trail);
        if (FChars[slot] == 0) FReserved[slot] = true;
    }

private:
    std::uint16_t CarryLocked(char32_t cp) {
        if (const auto it = FCodes.find(cp); it != FCodes.end()) return it->second;
        while (FNext < kCodes && (FChars[FNext] != 0 || FReserved[FNext]))
            ++FNext;
        if (FNext >= kCodes) return 0;
        FChars[FNext] = cp;
        const std::uint16_t code = CodeOf(FNext++);
        FCodes.emplace(cp, code);
        return code;
    }

    std::mutex FMutex;
    std::unordered_map<char32_t, std::uint16_t> FCodes;
    std::array<char32_t, kCodes> FChars{};
    std::array<bool, kCodes> FReserved{};
    std::size_t FNext = 0;
};

[[nodiscard]] TUserArea& UserArea() {
    static TUserArea area;
    return area;
}

// Calls visit(lead, trail) for every double-byte character of the user-defined area in text.
template <typename TVisit> void ForEachUserAreaPair(std::string_view text, TVisit visit) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* const end = p + text.size();
    while (p < end) {
        if (IsLeadByte(*p) && p + 1 < end && IsTrailByte(p[1])) {
            if (TUserArea::InArea(*p) && visit(p[0], p[1])) return;
            p += 2;
        } else {
            ++p;
        }
    }
}

}  // namespace

void ReserveUserAreaCodes(std::string_view cp932) {
    ForEachUserAreaPair(cp932, [](unsigned char lead, unsigned char trail) {
        UserArea().Reserve(lead, trail);
        return false;
    });
}

bool HoldsCarriedCharacters(std::string_view cp932) {
    bool found = false;
    ForEachUserAreaPair(cp932, [&found](unsigned char lead, unsigned char trail) {
        found = UserArea().Carried(lead, trail) != 0;
        return found;
    });
    return found;
}

std::string Cp932ToUtf8(std::string_view cp932) {
    const auto* p = reinterpret_cast<const unsigned char*>(cp932.data());
    const auto* const end = p + cp932.size();

    // An ASCII byte gives one byte; any other byte at most three, except that an unmapped pair
    // with an ASCII trail byte gives six for its two bytes. Both bounds hold; take the smaller.
    const std::size_t high =
        static_cast<std::size_t>(std::count_if(p, end, [](unsigned char c) { return c >= 0x80; }));
    const std::size_t n = cp932.size();
    std::string out(n + std::min(2 * n, 4 * high), '\0');
    char* o = out.data();

    while (p < end) {
        const unsigned char c = *p;
        if (c < 0x80) {
            *o++ = static_cast<char>(c);
            ++p;
        } else if (IsLeadByte(c)) {
            if (p + 1 < end && IsTrailByte(p[1])) {
                const char32_t carried = TUserArea::InArea(c) ? UserArea().Carried(c, p[1]) : 0;
                const std::uint16_t cp = Cp932DecodePair(c, p[1]);
                if (carried != 0) {
                    o = PutUtf8(o, carried);
                } else if (cp != 0) {
                    o = PutUtf8(o, cp);
                } else {
                    o = PutRawByte(o, c);
                    o = PutRawByte(o, p[1]);
                }
                p += 2;
            } else {
                o = PutRawByte(o, c);
                ++p;
            }
        } else {
            const std::uint16_t cp = kCp932SingleByte[c];
            o = cp != kCp932NoSingleMapping ? PutUtf8(o, cp) : PutRawByte(o, c);
            ++p;
        }
    }
    out.resize(static_cast<std::size_t>(o - out.data()));
    return out;
}

std::string Utf8ToCp932(std::string_view utf8, bool* lossless) {
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    const auto* const end = p + utf8.size();
    const TCp932Encoder* encoder = nullptr;  // looked up only once non-ASCII text appears
    bool exact = true;

    // No UTF-8 sequence gives more bytes than it has, nor does a replaced ill-formed one.
    std::string out(utf8.size(), '\0');
    char* o = out.data();

    while (p < end) {
        if (*p < 0x80) {
            *o++ = static_cast<char>(*p++);
            continue;
        }
        const TUtf8Step step = ReadUtf8(p, end);
        p += step.Length;
        if (!step.Valid) {
            *o++ = '?';
            exact = false;
            continue;
        }
        const char32_t cp = step.CodePoint;
        if (cp >= kRawByteBase && cp <= kRawByteBase + 0xFF &&
            IsCarriedRawByte(cp - kRawByteBase)) {
            *o++ = static_cast<char>(cp - kRawByteBase);
            continue;
        }
        std::uint16_t code = 0;
        if (cp < 0x10000) {
            if (encoder == nullptr) encoder = &Encoder();
            code = encoder->Code(cp);
            // A character of the area's own range keeps a code that nothing else holds.
            if (code > 0xFF && TUserArea::InArea(static_cast<unsigned char>(code >> 8)))
                code = UserArea().Standard(cp, code);
        }
        // Anything else is carried in the user-defined area while it has room, the look-alikes
        // of JIS-based tables too, so that the text comes back as it was.
        if (code == 0 && !(cp >= kRawByteBase && cp <= kRawByteBase + 0xFF))
            code = UserArea().Carry(cp);
        if (code == 0 && cp < 0x10000) {
            code = OneWayCode(cp);
            if (code != 0) exact = false;
        }
        if (code == 0) {
            *o++ = '?';
            exact = false;
        } else if (code > 0xFF) {
            *o++ = static_cast<char>(code >> 8);
            *o++ = static_cast<char>(code & 0xFF);
        } else {
            *o++ = static_cast<char>(code);
        }
    }
    out.resize(static_cast<std::size_t>(o - out.data()));
    if (!exact && lossless != nullptr) *lossless = false;
    return out;
}

bool IsValidUtf8(std::string_view text) noexcept {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* const end = p + text.size();
    while (p < end) {
        if (*p < 0x80) {
            ++p;
            continue;
        }
        const TUtf8Step step = ReadUtf8(p, end);
        if (!step.Valid) return false;
        p += step.Length;
    }
    return true;
}

bool IsValidCp932(std::string_view text) noexcept {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* const end = p + text.size();
    while (p < end) {
        const unsigned char c = *p;
        if (c < 0x80) {
            ++p;
        } else if (IsLeadByte(c)) {
            if (p + 1 >= end || !IsTrailByte(p[1]) || Cp932DecodePair(c, p[1]) == 0) return false;
            p += 2;
        } else {
            if (kCp932SingleByte[c] == kCp932NoSingleMapping) return false;
            ++p;
        }
    }
    return true;
}

}  // namespace rekna
