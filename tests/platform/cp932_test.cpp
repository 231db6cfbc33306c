// Tests of the CP932 byte tests and of the conversions between CP932 and UTF-8.
#include "platform/cp932.h"
#include "platform/cp932_table.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace rekna {
namespace {

// "82a0 41" -> the bytes 0x82 0xA0 0x41; spaces are ignored.
std::string Hex(std::string_view hex) {
    std::string out;
    int half = -1;
    for (char ch : hex) {
        if (ch == ' ') continue;
        const int v = (ch >= '0' && ch <= '9') ? ch - '0' : (ch | 0x20) - 'a' + 10;
        if (half < 0) {
            half = v;
        } else {
            out.push_back(static_cast<char>(half << 4 | v));
            half = -1;
        }
    }
    return out;
}

std::string Utf8(std::u32string_view text) {
    std::string out;
    for (char32_t cp : text) {
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | cp >> 6);
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | cp >> 12);
            out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | cp >> 18);
            out += static_cast<char>(0x80 | (cp >> 12 & 0x3F));
            out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

std::string Pair(int code) {
    return std::string{static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
}

// Encodes and reports whether the encoder called the result lossless.
std::string Encode(std::string_view utf8, bool& lossless) {
    lossless = true;
    return Utf8ToCp932(utf8, &lossless);
}

// The bytes with each valid pair replaced by the code the encoder writes for its character:
// what a round trip through UTF-8 must give back, since the conversion works character by
// character.
std::string Canonical(std::string_view bytes) {
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (IsLeadByte(bytes[i]) && i + 1 < bytes.size() && IsTrailByte(bytes[i + 1])) {
            out += Utf8ToCp932(Cp932ToUtf8(bytes.substr(i, 2)));
            ++i;
        } else {
            out += bytes[i];
        }
    }
    return out;
}

bool HasRawEscape(std::string_view utf8) {
    // U+F700..U+F7FF is EF 9C..9F xx in UTF-8.
    for (std::size_t i = 0; i + 1 < utf8.size(); ++i) {
        const auto a = static_cast<unsigned char>(utf8[i]);
        const auto b = static_cast<unsigned char>(utf8[i + 1]);
        if (a == 0xEF && b >= 0x9C && b <= 0x9F) return true;
    }
    return false;
}

TEST(Cp932Bytes, ClassifiesBoundaryBytes) {
    struct Row {
        unsigned char Byte;
        bool Lead, Trail, HalfKana;
    };
    const Row rows[] = {
        {0x00, false, false, false}, {0x3F, false, false, false}, {0x40, false, true, false},
        {0x7E, false, true, false},  {0x7F, false, false, false}, {0x80, false, true, false},
        {0x81, true, true, false},   {0x9F, true, true, false},   {0xA0, false, true, false},
        {0xA1, false, true, true},   {0xDF, false, true, true},   {0xE0, true, true, false},
        {0xFC, true, true, false},   {0xFD, false, false, false}, {0xFF, false, false, false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(static_cast<int>(r.Byte));
        EXPECT_EQ(IsLeadByte(r.Byte), r.Lead);
        EXPECT_EQ(IsLeadByte(static_cast<char>(r.Byte)), r.Lead);
        EXPECT_EQ(IsTrailByte(r.Byte), r.Trail);
        EXPECT_EQ(IsTrailByte(static_cast<char>(r.Byte)), r.Trail);
        EXPECT_EQ(IsHalfKana(static_cast<char>(r.Byte)), r.HalfKana);
    }
}

TEST(Cp932Bytes, CharLength) {
    struct Row {
        std::string Text;
        std::size_t Pos, Length;
    };
    const Row rows[] = {
        {Hex("82a0"), 0, 2}, {Hex("82"), 0, 1},     {Hex("4182"), 1, 1}, {Hex("8220"), 0, 2},
        {Hex("b1b1"), 0, 1}, {Hex("8282a0"), 1, 2}, {Hex("fc4b"), 0, 2}, {Hex("fd41"), 0, 1},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(CharLength(r.Text, r.Pos), r.Length) << r.Pos;
    }
}

// Each row holds in both directions.
TEST(Cp932Bytes, AsciiSearchesStepOverDoubleByteCharacters) {
    // Every ASCII byte that can be a trail byte, behind every kind of lead byte: the search finds
    // the character, never the trail byte of the pair before it.
    for (const unsigned char lead : {0x81, 0x8A, 0x9F, 0xE0, 0xFC}) {
        for (int c = 0x40; c <= 0x7E; ++c) {
            const char ch = static_cast<char>(c);
            std::string text = "0";
            text += static_cast<char>(lead);
            text += ch;  // the pair's trail byte
            text += "1";
            text += ch;  // the character itself, at 4
            EXPECT_EQ(FindAscii(text, ch), 4U) << lead << " " << c;
            EXPECT_EQ(RFindAscii(text, ch), 4U);
            EXPECT_TRUE(EndsWithAscii(text, ch));
            text.pop_back();
            text.pop_back();
            EXPECT_EQ(FindAscii(text, ch), std::string::npos) << lead << " " << c;
            EXPECT_FALSE(EndsWithAscii(text, ch));
        }
        // Trail bytes above 0x7F never equal an ASCII byte; a lone lead byte at the end is one
        // character.
        const std::string high = {'|', static_cast<char>(lead), static_cast<char>(0xFC), '|'};
        EXPECT_EQ(FindAscii(high, '|', 1), 3U);
        const std::string lone = {'x', static_cast<char>(lead)};
        EXPECT_EQ(FindAscii(lone, 'x'), 0U);
    }
    EXPECT_EQ(FindAscii("", '|'), std::string::npos);
    EXPECT_EQ(RFindAscii("a|b|", '|'), 3U);
}

TEST(Cp932Convert, MicrosoftMapping) {
    struct Row {
        const char* Bytes;
        char32_t CodePoint;
    };
    const Row rows[] = {
        {"5c", 0x005C},   {"7e", 0x007E},   {"00", 0x0000},   {"8160", 0xFF5E}, {"815f", 0xFF3C},
        {"817c", 0xFF0D}, {"8191", 0xFFE0}, {"8192", 0xFFE1}, {"81ca", 0xFFE2}, {"8150", 0xFFE3},
        {"815c", 0x2015}, {"8161", 0x2225}, {"814c", 0x00B4}, {"8140", 0x3000}, {"824f", 0xFF10},
        {"82a0", 0x3042}, {"83bf", 0x03B1}, {"889f", 0x4E9C}, {"eaa4", 0x7199}, {"8740", 0x2460},
        {"fa40", 0x2170}, {"fc4b", 0x9ED1}, {"f040", 0xE000}, {"f9fc", 0xE757}, {"a1", 0xFF61},
        {"b1", 0xFF71},   {"de", 0xFF9E},   {"df", 0xFF9F},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.Bytes);
        const std::string bytes = Hex(r.Bytes);
        const std::string utf8 = Utf8(std::u32string(1, r.CodePoint));
        EXPECT_EQ(Cp932ToUtf8(bytes), utf8);
        bool lossless;
        EXPECT_EQ(Encode(utf8, lossless), bytes);
        EXPECT_TRUE(lossless);
        EXPECT_TRUE(IsValidCp932(bytes));
    }
}

TEST(Cp932Convert, JapaneseText) {
    struct Row {
        const char* Utf8;
        const char* Bytes;
    };
    const Row rows[] = {
        {"計算", "8c768e5a"},
        {"円周率π", "897e8efc97a683ce"},
        {"ｶﾀｶﾅ ﾃﾞｰﾀ", "b6c0b6c5 20 c3deb0c0"},
        {"√２＝1.414", "81e38251 8181 312e343134"},
        {"髙﨑", "fbfcfab1"},
        {"C:\\memo～.txt", "433a5c 6d656d6f 8160 2e747874"},
        {"", ""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.Utf8);
        bool lossless;
        EXPECT_EQ(Encode(r.Utf8, lossless), Hex(r.Bytes));
        EXPECT_TRUE(lossless);
        EXPECT_EQ(Cp932ToUtf8(Hex(r.Bytes)), r.Utf8);
    }
    EXPECT_EQ(SysText("0による割算"), Hex("30 82c9 82e6 82e9 8a84 8e5a"));
}

// Bytes with no mapping come out as U+F700 + byte and go back unchanged.
TEST(Cp932Convert, CarriesUnmappedBytes) {
    struct Row {
        const char* Bytes;
        std::u32string Decoded;
    };
    const Row rows[] = {
        {"80", U"\uF780"},
        {"a0", U"\uF7A0"},
        {"fdfeff", U"\uF7FD\uF7FE\uF7FF"},
        {"4182", U"A\uF782"},       // lead byte at the end
        {"8220", U"\uF782 "},       // lead byte before a byte that cannot follow it
        {"817f", U"\uF781\u007F"},  // 0x7F is not a trail byte
        {"8200", std::u32string{0xF782, 0}},
        {"81fd", U"\uF781\uF7FD"},
        {"8582a0", U"\uF785\uF782\uF7A0"},  // no mapping, though the trail byte could lead
        {"8540", U"\uF785\uF740"},          // pair with no mapping: both bytes, pair kept together
        {"8540a0", U"\uF785\uF740\uF7A0"},
        {"fc4c", U"\uF7FC\uF74C"},
        {"81ad", U"\uF781\uF7AD"},
        {"eb9f", U"\uF7EB\uF79F"},
        {"8181", U"\uFF1D"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.Bytes);
        const std::string bytes = Hex(r.Bytes);
        const std::string utf8 = Cp932ToUtf8(bytes);
        EXPECT_EQ(utf8, Utf8(r.Decoded));
        bool lossless;
        EXPECT_EQ(Encode(utf8, lossless), bytes);
        EXPECT_TRUE(lossless);
        EXPECT_EQ(IsValidCp932(bytes), !HasRawEscape(utf8));
    }
}

TEST(Cp932Convert, CarriesWhatCp932LacksInTheUserDefinedArea) {
    // Characters without a CP932 code: each becomes one code of the user-defined area, the same
    // code every time, and comes back as itself.
    const std::u32string chars[] = {U"\u20AC", U"\u00B5", U"\u00B2", U"\U0001F600", U"\u00A5",
                                    U"\u0080", U"\uF8F0", U"\u301C", U"\u2212",     U"\u00E9"};
    for (const std::u32string& c : chars) {
        const std::string utf8 = Utf8(c);
        bool lossless = true;
        const std::string code = Utf8ToCp932(utf8, &lossless);
        ASSERT_EQ(code.size(), 2U) << utf8;
        EXPECT_GE(static_cast<unsigned char>(code[0]), 0xF0);
        EXPECT_LE(static_cast<unsigned char>(code[0]), 0xF9);
        EXPECT_TRUE(IsTrailByte(code[1]));
        EXPECT_TRUE(lossless) << utf8;
        EXPECT_EQ(Utf8ToCp932(utf8), code);
        EXPECT_EQ(Cp932ToUtf8(code), utf8);
        EXPECT_TRUE(HoldsCarriedCharacters("x" + code));
    }
    const std::string text =
        "; Euro \xE2\x82\xAC emoji \xF0\x9F\x98\x80 \xCE\xA9\xE2\x89\x88 \xE6\x97\xA5";
    EXPECT_EQ(Cp932ToUtf8(Utf8ToCp932(text)), text);
    EXPECT_FALSE(HoldsCarriedCharacters(Utf8ToCp932("\xE6\x97\xA5 abc")));
    // A code that CP932 text brings itself keeps its standard meaning and is never handed out.
    const std::string own = "\xF8\x40";
    ReserveUserAreaCodes(own);
    EXPECT_EQ(Cp932ToUtf8(own), Utf8(U"\uE5E0"));
    EXPECT_FALSE(HoldsCarriedCharacters(own));
}

// A code keeps what it meant when it was first handed out, whichever came first: a carried
// character or a character of the area's own range (U+E000..) whose standard code it is.
TEST(Cp932Convert, ACodeKeepsItsMeaning) {
    // The standard character of a code of the area, and the code handed out after this one.
    const auto standard = [](const std::string& code) {
        const auto lead = static_cast<unsigned char>(code[0]);
        const auto trail = static_cast<unsigned char>(code[1]);
        const char32_t index = (lead - 0xF0) * 188 + (trail < 0x80 ? trail - 0x40 : trail - 0x41);
        return Utf8(std::u32string(1, U'\uE000' + index));
    };
    const auto next = [](const std::string& code) {
        auto lead = static_cast<unsigned char>(code[0]);
        auto trail = static_cast<unsigned char>(code[1] - 1);
        if (trail == 0x7F) trail = 0x7E;
        if (trail < 0x40) {
            --lead;
            trail = 0xFC;
        }
        return std::string{static_cast<char>(lead), static_cast<char>(trail)};
    };
    const std::string globe = Utf8(U"\U0001F30D");
    const std::string other = Utf8(U"\U0001F30E");
    bool lossless = true;
    const std::string carried = Utf8ToCp932(globe, &lossless);
    ASSERT_EQ(carried.size(), 2U);
    // The standard character of the next free code keeps it; a later carried one goes past it.
    const std::string free = standard(next(carried));
    EXPECT_EQ(Utf8ToCp932(free, &lossless), next(carried));
    EXPECT_NE(Utf8ToCp932(other, &lossless), next(carried));
    // The character whose own code a carried character holds is carried under another code.
    const std::string taken = standard(carried);
    EXPECT_NE(Utf8ToCp932(taken, &lossless), carried);
    EXPECT_TRUE(lossless);
    for (const std::string& text : {globe, taken, free, other, globe + taken + free + other}) {
        EXPECT_EQ(Cp932ToUtf8(Utf8ToCp932(text)), text);
    }
    EXPECT_EQ(Cp932ToUtf8(carried), globe);
    EXPECT_EQ(Cp932ToUtf8(next(carried)), free);
}

TEST(Cp932Convert, ReplacesWhatCp932CannotHold) {
    struct Row {
        std::string Utf8;
        const char* Bytes;
        bool Lossless;
    };
    const Row rows[] = {
        {"a\xC0\x80z", "61 3f3f 7a", false},  // overlong NUL: two stray bytes
        {"\xE0\x80\x80", "3f3f3f", false},    // overlong, E0 cannot take 80
        {"\xED\xA0\x80", "3f3f3f", false},    // surrogate
        {"\xE3\x81", "3f", false},            // truncated at the end
        {"\xE3\x81"
         "A",
         "3f 41", false},                         // truncated before ASCII
        {"\xF0\x9F\x98", "3f", false},            // truncated four-byte form
        {"\xF4\x90\x80\x80", "3f3f3f3f", false},  // above U+10FFFF
        {"\xFF\xFE", "3f3f", false},
        {"a\x80"
         "b",
         "61 3f 62", false},
        {Utf8(U"\uF700"), "3f", false},  // below the carried bytes
        {Utf8(U"\uF73F"), "3f", false},
        {Utf8(U"\uF77F"), "3f", false},  // 0x7F is never carried
        {Utf8(U"\uF740\uF77E\uF7FF"), "40 7e ff", true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.Bytes);
        bool lossless;
        EXPECT_EQ(Encode(r.Utf8, lossless), Hex(r.Bytes));
        EXPECT_EQ(lossless, r.Lossless);
    }
    bool lossless = false;
    EXPECT_EQ(Utf8ToCp932("abc", &lossless), "abc");
    EXPECT_FALSE(lossless) << "a clean conversion must not set the flag";
    EXPECT_EQ(Utf8ToCp932("\xC0"), "?");
}

// Where several codes decode to one character, the encoder writes the code Windows writes:
// JIS rows first, then NEC row 13, then the IBM extensions, never their NEC-selected copies.
TEST(Cp932Convert, DuplicateCodesEncodeToPreferredCode) {
    struct Row {
        char32_t CodePoint;
        int Preferred;
        std::vector<int> Others;
    };
    const Row rows[] = {
        {0x2252, 0x81E0, {0x8790}},          // JIS row 2 before NEC row 13
        {0x2235, 0x81E6, {0x879A, 0xFA5B}},  // and before the IBM extensions
        {0xFFE2, 0x81CA, {0xEEF9, 0xFA54}},
        {0x2160, 0x8754, {0xFA4A}},  // NEC row 13 before the IBM extensions
        {0x3231, 0x878A, {0xFA58}},
        {0x2116, 0x8782, {0xFA59}},
        {0x7E8A, 0xFA5C, {0xED40}},  // IBM extensions before their NEC-selected copies
        {0x2170, 0xFA40, {0xEEEF}},
        {0xFF02, 0xFA57, {0xEEFC}},
        {0x9ED1, 0xFC4B, {0xEEEC}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.Preferred);
        const std::string utf8 = Utf8(std::u32string(1, r.CodePoint));
        EXPECT_EQ(Utf8ToCp932(utf8), Pair(r.Preferred));
        for (int other : r.Others) {
            EXPECT_EQ(Cp932ToUtf8(Pair(other)), utf8);
            EXPECT_EQ(Utf8ToCp932(Cp932ToUtf8(Pair(other))), Pair(r.Preferred));
        }
    }
}

TEST(Cp932Convert, EveryCodeRoundTrips) {
    int valid = 0;
    int duplicates = 0;
    int carried = 0;
    for (int lead = 0x80; lead <= 0xFF; ++lead) {
        for (int trail = 0; trail <= 0xFF; ++trail) {
            const std::string code = Pair(lead << 8 | trail);
            if (!IsLeadByte(code[0]) || !IsTrailByte(code[1])) continue;
            // Codes of the user-defined area that this process handed out carry their own
            // character (other tests of the same run hand some out).
            if (HoldsCarriedCharacters(code)) {
                ++carried;
                continue;
            }
            const std::string utf8 = Cp932ToUtf8(code);
            ASSERT_TRUE(IsValidUtf8(utf8));
            bool lossless;
            const std::string back = Encode(utf8, lossless);
            ASSERT_TRUE(lossless);
            if (!IsValidCp932(code)) {
                EXPECT_EQ(back, code);
                EXPECT_TRUE(HasRawEscape(utf8)) << lead << ' ' << trail;
                continue;
            }
            ++valid;
            EXPECT_FALSE(HasRawEscape(utf8));
            EXPECT_LE(utf8.size(), 3u);
            if (back != code) {
                ++duplicates;
                ASSERT_EQ(back.size(), 2u) << lead << ' ' << trail;
                EXPECT_EQ(Cp932ToUtf8(back), utf8);
                EXPECT_EQ(Utf8ToCp932(Cp932ToUtf8(back)), back);
            }
        }
    }
    // JIS X 0208 (6879), NEC row 13 (83), NEC-selected IBM (374), IBM (388), user-defined (1880).
    EXPECT_EQ(valid + carried, 9604);
    // 396 characters have more than one code; two of them have three.
    EXPECT_EQ(duplicates, 398);

    for (int b = 0; b < 0x100; ++b) {
        const std::string byte(1, static_cast<char>(b));
        if (IsLeadByte(byte[0])) continue;
        const bool mapped = b < 0x80 || IsHalfKana(byte[0]);
        EXPECT_EQ(IsValidCp932(byte), mapped) << b;
        EXPECT_EQ(HasRawEscape(Cp932ToUtf8(byte)), !mapped) << b;
        EXPECT_EQ(Utf8ToCp932(Cp932ToUtf8(byte)), byte) << b;
    }
}

TEST(Cp932Convert, PreferredCodesListIsConsistent) {
    ASSERT_EQ(kCp932PreferredCodeCount, 396u);
    for (std::size_t i = 0; i < kCp932PreferredCodeCount; ++i) {
        const std::string code = Pair(kCp932PreferredCodes[i]);
        EXPECT_TRUE(IsValidCp932(code));
        EXPECT_EQ(Utf8ToCp932(Cp932ToUtf8(code)), code) << kCp932PreferredCodes[i];
        if (i > 0) {
            EXPECT_LT(kCp932PreferredCodes[i - 1], kCp932PreferredCodes[i]);
        }
    }
}

TEST(Cp932Convert, ArbitraryBytesRoundTrip) {
    const unsigned char interesting[] = {
        0x00, 0x0A, 0x20, 0x3F, 0x40, 0x5C, 0x7E, 0x7F, 0x80, 0x81, 0x82, 0x85, 0x87, 0x9F, 0xA0,
        0xA1, 0xDF, 0xE0, 0xEA, 0xEB, 0xED, 0xEE, 0xEF, 0xF0, 0xF9, 0xFA, 0xFC, 0xFD, 0xFE, 0xFF};
    std::mt19937 random(932);
    std::uniform_int_distribution<int> length(0, 40);
    std::uniform_int_distribution<int> anyByte(0, 255);
    std::uniform_int_distribution<std::size_t> pick(0, sizeof interesting - 1);
    std::uniform_int_distribution<int> coin(0, 1);
    int exact = 0;
    for (int n = 0; n < 20000; ++n) {
        std::string bytes(static_cast<std::size_t>(length(random)), '\0');
        for (char& c : bytes) {
            c = static_cast<char>(coin(random) ? interesting[pick(random)] : anyByte(random));
        }
        if (n % 4 == 0) bytes.push_back(static_cast<char>(0x81 + n % 31));  // lone lead at the end
        const std::string utf8 = Cp932ToUtf8(bytes);
        ASSERT_TRUE(IsValidUtf8(utf8));
        bool lossless;
        const std::string back = Encode(utf8, lossless);
        ASSERT_TRUE(lossless);
        ASSERT_EQ(back, Canonical(bytes));
        ASSERT_EQ(Cp932ToUtf8(back), utf8);
        ASSERT_EQ(IsValidCp932(bytes), !HasRawEscape(utf8));
        if (back == bytes) ++exact;
    }
    // Most strings hold no second code of a character and so come back byte for byte.
    EXPECT_GT(exact, 12000);
}

TEST(Utf8, Validity) {
    struct Row {
        std::string Text;
        bool Valid;
    };
    const Row rows[] = {
        {"", true},
        {std::string("a\0b", 3), true},
        {"\xC2\x80", true},
        {"\xDF\xBF", true},
        {"\xE0\xA0\x80", true},
        {"\xED\x9F\xBF", true},  // U+D7FF, just below the surrogates
        {"\xEE\x80\x80", true},  // U+E000, just above them
        {"\xEF\xBF\xBF", true},
        {"\xF0\x90\x80\x80", true},
        {"\xF4\x8F\xBF\xBF", true},  // U+10FFFF
        {"\xC0\x80", false},         // overlong forms
        {"\xC1\xBF", false},
        {"\xE0\x9F\xBF", false},
        {"\xF0\x8F\xBF\xBF", false},
        {"\xED\xA0\x80", false},  // surrogates
        {"\xED\xBF\xBF", false},
        {"\xF4\x90\x80\x80", false},  // above U+10FFFF
        {"\xF5\x80\x80\x80", false},
        {"\xC2", false},  // truncated
        {"\xE3\x81", false},
        {"\xF0\x9F\x98", false},
        {"\xC2"
         "A",
         false},
        {"\xE3\x81\xC2\x80", false},
        {"\x80", false},  // stray continuation and bytes never used
        {"\xBF", false},
        {"\xFE", false},
        {"\xFF", false},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(IsValidUtf8(r.Text), r.Valid) << ::testing::PrintToString(r.Text);
    }
}

}  // namespace
}  // namespace rekna
