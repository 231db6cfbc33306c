// Fuzz target: arbitrary bytes through both conversions and both well-formedness tests.
#include "platform/cp932.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void Check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "fuzz_cp932: %s\n", what);
        std::abort();
    }
}

// What the round trip through UTF-8 must give: each valid pair re-coded one by one (a character
// with several codes comes back under one of them), every other byte unchanged.
std::string Canonical(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (rekna::IsLeadByte(bytes[i]) && i + 1 < bytes.size() &&
            rekna::IsTrailByte(bytes[i + 1])) {
            out += rekna::Utf8ToCp932(rekna::Cp932ToUtf8(bytes.substr(i, 2)));
            ++i;
        } else {
            out += bytes[i];
        }
    }
    return out;
}

// True when the UTF-8 holds a code point of U+F700..U+F7FF (EF 9C..9F xx).
bool HasRawEscape(std::string_view utf8) {
    for (std::size_t i = 0; i + 1 < utf8.size(); ++i) {
        const auto a = static_cast<unsigned char>(utf8[i]);
        const auto b = static_cast<unsigned char>(utf8[i + 1]);
        if (a == 0xEF && b >= 0x9C && b <= 0x9F) return true;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    const std::string utf8 = rekna::Cp932ToUtf8(bytes);
    Check(rekna::IsValidUtf8(utf8), "Cp932ToUtf8 gave ill-formed UTF-8");
    bool lossless = true;
    const std::string back = rekna::Utf8ToCp932(utf8, &lossless);
    Check(lossless, "the round trip lost a character");
    Check(back == Canonical(bytes), "the round trip changed the bytes");
    Check(rekna::Cp932ToUtf8(back) == utf8, "the round trip changed the text");

    // The same bytes read as UTF-8: never longer, lossless only when well-formed.
    lossless = true;
    const std::string direct = rekna::Utf8ToCp932(bytes, &lossless);
    Check(direct.size() <= bytes.size(), "Utf8ToCp932 grew the text");
    if (!rekna::IsValidUtf8(bytes)) Check(!lossless, "ill-formed UTF-8 called lossless");
    // Text taken in without loss reads back as itself: no code has changed its meaning.
    if (lossless && !HasRawEscape(bytes))
        Check(rekna::Cp932ToUtf8(direct) == bytes, "a code changed its meaning");
    Check(rekna::IsValidCp932(bytes) == !HasRawEscape(utf8),
          "IsValidCp932 disagrees with the bytes Cp932ToUtf8 had to carry");
    return 0;
}
