// The wrap rules of the line store: where a row is cut, the indentation run, the hanging indent.
#pragma once

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace rekna {

// A set of CP932 characters, single- and double-byte, tested as whole characters.
class TCharSet {
public:
    TCharSet() = default;
    explicit TCharSet(std::string_view chars) { Assign(chars); }

    void Assign(std::string_view chars);
    [[nodiscard]] const std::string& Chars() const noexcept { return FChars; }
    // The character of `bytes` bytes (1 or 2) that starts at p.
    [[nodiscard]] bool Contains(const char* p, std::int32_t bytes) const noexcept {
        const auto a = static_cast<unsigned char>(p[0]);
        if (bytes == 1) return FSingle[a];
        return FDouble[static_cast<std::size_t>(a) << 8 | static_cast<unsigned char>(p[1])];
    }

private:
    std::string FChars;
    std::bitset<256> FSingle;
    std::bitset<65536> FDouble;
};

// Everything BreakPos and the indentation rules depend on.
struct TWrapRules {
    std::int32_t WrapColumns = 0;  // 0: no wrapping
    std::int32_t TabStops = 8;
    bool AutoIndent = true;
    bool BanBreak = true;
    const TCharSet* BanHead = nullptr;  // may not begin a row
    const TCharSet* BanEnd = nullptr;   // may not end a row
};

// Where a row s must be cut: the 1-based position of the first byte of the next row; 0 or
// length+1 when it need not be cut. The first hangLength bytes of s are a hanging indent: a cut
// always leaves at least one character behind them on the row, so that wrapping always makes
// progress (also at wrap widths narrower than one character).
[[nodiscard]] std::int32_t BreakPos(std::string_view s, const TWrapRules& rules,
                                    std::size_t hangLength = 0) noexcept;

// As BreakPos on the text head + tail, without joining them.
[[nodiscard]] std::int32_t BreakPos(std::string_view head, std::string_view tail,
                                    const TWrapRules& rules, std::size_t hangLength) noexcept;

// How the leading indentation run of a text ends.
enum class TIndentEnd : std::uint8_t { ieAll, ieMark, ieOther };

struct TIndentRun {
    std::size_t Length = 0;  // bytes; a full-width space counts 2
    TIndentEnd End = TIndentEnd::ieAll;
};

// The leading run of Tab, space, '>' and full-width space, and of '#', ';', '?' as long as none
// of the former has been seen.
[[nodiscard]] TIndentRun IndentRun(std::string_view s) noexcept;

// The indentation prefix of s (empty when AutoIndent is off); see IndentRun. It is empty when the
// run covers s or ends at '#', ';' or '?', wrapping is on, and the run is too wide to leave two
// columns of the wrap width.
[[nodiscard]] std::string_view IndentPrefix(std::string_view s, const TWrapRules& rules) noexcept;

// The byte length of the indentation run (0 when AutoIndent is off), without the width check.
[[nodiscard]] std::size_t IndentLength(std::string_view s, const TWrapRules& rules) noexcept;

// The hanging indent of a logical line whose text begins with s: its indentation prefix, cut to
// the characters before column WrapColumns div 2. Empty without wrapping or without AutoIndent.
// s needs to reach only one character past the indentation run.
[[nodiscard]] std::string_view HangIndentOf(std::string_view s, const TWrapRules& rules) noexcept;

// One row of a wrapped text: the bytes [Begin, End) of the text.
struct TRowPiece {
    std::size_t Begin = 0;
    std::size_t End = 0;
};

// Cuts the text of a logical line into rows. The first row is firstPrefix followed by text from
// offset 0, every later row is hang followed by the rest, each cut where BreakPos says. At least
// one piece results (an empty one for an empty text).
void WrapText(std::string_view text, std::string_view firstPrefix, std::string_view hang,
              const TWrapRules& rules, std::vector<TRowPiece>& pieces);

}  // namespace rekna
