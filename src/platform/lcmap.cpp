// Width mapping and locale casing of CP932 text, driven by tables built once from Unicode texts.
#include "platform/lcmap.h"

#include "platform/cp932.h"

#include <array>
#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

namespace rekna {
namespace {

// Each pair of texts lists the half-width characters and, in the same order, their full-width
// forms. They are written in Unicode so that every code comes from the one CP932 table.
constexpr std::string_view kAsciiHalf = " !\"#$%&'()*+,-./0123456789:;<=>?@"
                                        "ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_`"
                                        "abcdefghijklmnopqrstuvwxyz{|}~";
constexpr std::string_view kAsciiFull =
    "　！＂＃＄％＆＇（）＊＋，－．／０１２３４５６７８９：；＜＝＞？＠"
    "ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯＰＱＲＳＴＵＶＷＸＹＺ［＼］＾＿｀"
    "ａｂｃｄｅｆｇｈｉｊｋｌｍｎｏｐｑｒｓｔｕｖｗｘｙｚ｛｜｝～";
constexpr std::string_view kKanaHalf =
    "｡｢｣､･ｦｧｨｩｪｫｬｭｮｯｰｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾅﾆﾇﾈﾉﾊﾋﾌﾍﾎﾏﾐﾑﾒﾓﾔﾕﾖﾗﾘﾙﾚﾛﾜﾝﾞﾟ";
constexpr std::string_view kKanaFull =
    "。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノ"
    "ハヒフヘホマミムメモヤユヨラリルレロワン゛゜";
constexpr std::string_view kVoicedHalf = "ｳｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾊﾋﾌﾍﾎ";
constexpr std::string_view kVoicedFull = "ヴガギグゲゴザジズゼゾダヂヅデドバビブベボ";
constexpr std::string_view kSemiVoicedHalf = "ﾊﾋﾌﾍﾎ";
constexpr std::string_view kSemiVoicedFull = "パピプペポ";

constexpr unsigned char kVoicedMark = 0xDE;
constexpr unsigned char kSemiVoicedMark = 0xDF;

// Half-width result of a double-byte character: first byte in the low half, the optional second
// byte (a voiced mark) in the high half; 0 for no mapping.
using THalfPage = std::array<std::uint16_t, 256>;

struct TWidthTables {
    std::array<std::uint16_t, 256> Full{};        // single byte → full-width code
    std::array<std::uint16_t, 256> Voiced{};      // half-width letter + ﾞ → code
    std::array<std::uint16_t, 256> SemiVoiced{};  // half-width letter + ﾟ → code
    std::array<std::uint8_t, 256> PageOf{};       // lead byte → index into Pages + 1, 0 for none
    std::vector<THalfPage> Pages;
};

// Pairs up the single bytes of half with the double-byte codes of full, both given in UTF-8.
template <class Visit> void ZipTexts(std::string_view half, std::string_view full, Visit visit) {
    const std::string h = Utf8ToCp932(half);
    const std::string f = Utf8ToCp932(full);
    for (std::size_t i = 0; i < h.size() && 2 * i + 1 < f.size(); ++i) {
        visit(static_cast<unsigned char>(h[i]), WideCode(static_cast<unsigned char>(f[2 * i]),
                                                         static_cast<unsigned char>(f[2 * i + 1])));
    }
}

std::string CodeText(std::uint16_t code) {
    return std::string{static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
}

TWidthTables BuildTables() {
    TWidthTables t;
    // The half-width mapping is keyed by the Unicode character, so that every CP932 code of a
    // character (the IBM extension rows repeat some) maps alike.
    std::unordered_map<std::string, std::uint16_t> halfOf;
    auto single = [&](unsigned char h, std::uint16_t code) {
        t.Full[h] = code;
        halfOf.emplace(Cp932ToUtf8(CodeText(code)), h);
    };
    ZipTexts(kAsciiHalf, kAsciiFull, single);
    ZipTexts(kKanaHalf, kKanaFull, single);
    ZipTexts(kVoicedHalf, kVoicedFull, [&](unsigned char h, std::uint16_t code) {
        t.Voiced[h] = code;
        halfOf.emplace(Cp932ToUtf8(CodeText(code)), h | (kVoicedMark << 8));
    });
    ZipTexts(kSemiVoicedHalf, kSemiVoicedFull, [&](unsigned char h, std::uint16_t code) {
        t.SemiVoiced[h] = code;
        halfOf.emplace(Cp932ToUtf8(CodeText(code)), h | (kSemiVoicedMark << 8));
    });

    // Decode every double-byte code at once, one per line, and keep those with a half form.
    std::string all;
    std::vector<std::uint16_t> codes;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (!IsLeadByte(static_cast<unsigned char>(lead))) continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            if (!IsTrailByte(static_cast<unsigned char>(trail))) continue;
            codes.push_back(
                WideCode(static_cast<unsigned char>(lead), static_cast<unsigned char>(trail)));
            all += CodeText(codes.back());
            all += '\n';
        }
    }
    const std::string decoded = Cp932ToUtf8(all);
    std::size_t start = 0;
    for (const std::uint16_t code : codes) {
        const std::size_t end = decoded.find('\n', start);
        if (end == std::string::npos) break;
        const auto hit = halfOf.find(decoded.substr(start, end - start));
        start = end + 1;
        if (hit == halfOf.end()) continue;
        const unsigned lead = code >> 8;
        if (t.PageOf[lead] == 0) {
            t.Pages.emplace_back();
            t.Pages.back().fill(0);
            t.PageOf[lead] = static_cast<std::uint8_t>(t.Pages.size());
        }
        t.Pages[t.PageOf[lead] - 1][code & 0xFF] = hit->second;
    }
    return t;
}

const TWidthTables& Tables() {
    static const TWidthTables tables = BuildTables();
    return tables;
}

void AppendCode(std::string& out, std::uint16_t code) {
    out += static_cast<char>(code >> 8);
    out += static_cast<char>(code & 0xFF);
}

template <class CaseOfByte, class CaseOfCode>
std::string MapCase(std::string_view text, CaseOfByte caseOfByte, CaseOfCode caseOfCode) {
    std::string out(text);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const auto c = static_cast<unsigned char>(out[i]);
        if (CharLength(out, i) == 2) {
            const std::uint16_t code =
                caseOfCode(WideCode(c, static_cast<unsigned char>(out[i + 1])));
            out[i] = static_cast<char>(code >> 8);
            out[i + 1] = static_cast<char>(code & 0xFF);
            ++i;
        } else if (!IsLeadByte(c)) {
            out[i] = static_cast<char>(caseOfByte(c));
        }
    }
    return out;
}

}  // namespace

void AppendFullWidth(std::string& out, std::string_view cp932) {
    const TWidthTables& t = Tables();
    const std::size_t n = cp932.size();
    for (std::size_t i = 0; i < n; ++i) {
        const auto c = static_cast<unsigned char>(cp932[i]);
        if (CharLength(cp932, i) == 2) {
            out.append(cp932.substr(i, 2));
            ++i;
            continue;
        }
        if (t.Full[c] == 0) {
            out += static_cast<char>(c);
            continue;
        }
        const auto next = i + 1 < n ? static_cast<unsigned char>(cp932[i + 1]) : 0;
        if (next == kVoicedMark && t.Voiced[c] != 0) {
            AppendCode(out, t.Voiced[c]);
            ++i;
        } else if (next == kSemiVoicedMark && t.SemiVoiced[c] != 0) {
            AppendCode(out, t.SemiVoiced[c]);
            ++i;
        } else {
            AppendCode(out, t.Full[c]);
        }
    }
}

std::string MapFullWidth(std::string_view cp932) {
    std::string out;
    out.reserve(2 * cp932.size());
    AppendFullWidth(out, cp932);
    return out;
}

std::uint16_t HalfWidthOf(std::uint16_t code) {
    const TWidthTables& t = Tables();
    const std::uint8_t page = t.PageOf[code >> 8];
    return page == 0 ? 0 : t.Pages[page - 1][code & 0xFF];
}

void AppendHalfWidth(std::string& out, std::string_view cp932) {
    const TWidthTables& t = Tables();
    const std::size_t n = cp932.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (CharLength(cp932, i) != 2) {
            out += cp932[i];
            continue;
        }
        const std::uint8_t page = t.PageOf[static_cast<unsigned char>(cp932[i])];
        const std::uint16_t half =
            page == 0 ? 0 : t.Pages[page - 1][static_cast<unsigned char>(cp932[i + 1])];
        if (half == 0) {
            out.append(cp932.substr(i, 2));
        } else {
            out += static_cast<char>(half & 0xFF);
            if (half >> 8) out += static_cast<char>(half >> 8);
        }
        ++i;
    }
}

std::string MapHalfWidth(std::string_view cp932) {
    std::string out;
    out.reserve(cp932.size());
    AppendHalfWidth(out, cp932);
    return out;
}

std::string LocaleUpperCase(std::string_view cp932) {
    return MapCase(
        cp932, [](unsigned char c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; },
        WideUpperCase);
}

std::string LocaleLowerCase(std::string_view cp932) {
    return MapCase(
        cp932, [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; },
        WideLowerCase);
}

}  // namespace rekna
