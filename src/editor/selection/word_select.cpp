// Double-click selection of numbers, bracket ranges and character runs, and bracket pairs.
#include "editor/selection/word_select.h"

#include "editor/store/columns.h"
#include "editor/store/umemo_strings.h"
#include "editor/store/wrap.h"
#include "platform/cp932.h"

#include <algorithm>
#include <cstring>

namespace rekna {
namespace {

[[nodiscard]] std::int32_t Code(std::string_view t, std::int64_t i) noexcept {
    return static_cast<unsigned char>(t[static_cast<std::size_t>(i)]);
}

// Bytes of the character at offset i.
[[nodiscard]] std::int32_t CharBytes(std::string_view t, std::int64_t i) noexcept {
    return static_cast<std::int32_t>(CharLength(t, static_cast<std::size_t>(i)));
}

// The 16-bit code of the character at i (a single byte as itself).
[[nodiscard]] std::int32_t CharCode(std::string_view t, std::int64_t i) noexcept {
    if (CharBytes(t, i) == 2) return Code(t, i) << 8 | Code(t, i + 1);
    return Code(t, i);
}

// Character starts of the text, so that walking left never lands on a second byte.
[[nodiscard]] std::vector<std::int64_t> CharStarts(std::string_view t) {
    std::vector<std::int64_t> starts;
    for (std::size_t i = 0; i < t.size(); i += CharLength(t, i))
        starts.push_back(static_cast<std::int64_t>(i));
    return starts;
}

[[nodiscard]] bool IsDigit(std::int32_t c) noexcept {
    return c >= '0' && c <= '9';
}
[[nodiscard]] bool IsLetter(std::int32_t c) noexcept {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The double-byte characters that belong to a number: digit groups, times, angles, the
// full-width colon.
[[nodiscard]] bool IsNumberKanji(std::int32_t code) {
    static const std::vector<std::int32_t> codes = [] {
        std::vector<std::int32_t> out;
        const std::string t = SysText("京兆億万日時間分秒：°′″度");
        for (std::size_t i = 0; i + 1 < t.size(); i += 2)
            out.push_back(static_cast<unsigned char>(t[i]) << 8 |
                          static_cast<unsigned char>(t[i + 1]));
        return out;
    }();
    return std::find(codes.begin(), codes.end(), code) != codes.end();
}

// A character a number runs over (signs and commas have rules of their own).
[[nodiscard]] bool IsNumberChar(std::int32_t code) {
    if (code > 0xFF) return IsNumberKanji(code);
    return IsDigit(code) || IsLetter(code) || code == '.' || code == '%' || code == '_' ||
           code == '&' || code == '$';
}

// A sign starts a number after one of these characters (or at the start of the text).
[[nodiscard]] bool StartsSign(std::int32_t before) noexcept {
    return before > 0 && before < 0x80 && std::strchr("( ={[<+-*/^~|\t\r\n", before) != nullptr;
}

// The classes a run of characters is selected over.
enum class TCharClass : std::uint8_t {
    ccBlank,
    ccPunct,
    ccWord,
    ccHalfKana,
    ccOther,
    ccFullSpace,
    ccDependence,
    ccFullDigit,
    ccKatakana,
    ccFullLatin,
    ccHiragana,
    ccSymbol,
    ccSymbol2,
    ccGreek,
    ccBox,
    ccSymbol3,
    ccKanji,
};

[[nodiscard]] TCharClass ClassOf(std::string_view t, std::int64_t i, const TCharSet* dependence) {
    const std::int32_t bytes = CharBytes(t, i);
    const std::int32_t c = CharCode(t, i);
    if (bytes == 1) {
        if (c == ' ' || c == '\t') return TCharClass::ccBlank;
        if (IsDigit(c) || IsLetter(c) || c == '_') return TCharClass::ccWord;
        if (c > ' ' && c < 0x7F) return TCharClass::ccPunct;
        if (IsHalfKana(static_cast<unsigned char>(c))) return TCharClass::ccHalfKana;
        return TCharClass::ccOther;
    }
    if (c == 0x8140) return TCharClass::ccFullSpace;
    if (dependence != nullptr && dependence->Contains(t.data() + i, 2))
        return TCharClass::ccDependence;
    if ((c >= 0x824F && c <= 0x8258) || c == 0x8144 || c == 0x817C) return TCharClass::ccFullDigit;
    if ((c >= 0x8340 && c <= 0x8396) || c == 0x815B) return TCharClass::ccKatakana;
    if ((c >= 0x8260 && c <= 0x8279) || (c >= 0x8281 && c <= 0x829A))
        return TCharClass::ccFullLatin;
    if (c >= 0x829F && c <= 0x82F1) return TCharClass::ccHiragana;
    if (c < 0x824F) return TCharClass::ccSymbol;
    if (c <= 0x8396) return TCharClass::ccSymbol2;
    if (c <= 0x8491) return TCharClass::ccGreek;
    if (c <= 0x84BE) return TCharClass::ccBox;
    if (c < 0x889F) return TCharClass::ccSymbol3;
    return TCharClass::ccKanji;
}

// Which pair of the table the character at i opens (+) or closes (-), 1-based; 0 for neither.
[[nodiscard]] int BracketAt(std::string_view t, std::int64_t i) {
    const std::vector<TBracketPair>& pairs = BracketPairs();
    const auto bytes = static_cast<std::size_t>(CharBytes(t, i));
    const std::string_view ch = t.substr(static_cast<std::size_t>(i), bytes);
    for (std::size_t k = 0; k < pairs.size(); ++k) {
        if (ch == pairs[k].Open) return static_cast<int>(k) + 1;
        if (ch == pairs[k].Close) return -static_cast<int>(k) - 1;
    }
    return 0;
}

// The partner of the bracket at i, counting the nesting of its own pair; -1 when missing.
[[nodiscard]] std::int64_t Partner(std::string_view t, const std::vector<std::int64_t>& starts,
                                   std::size_t index) {
    const int kind = BracketAt(t, starts[index]);
    int depth = 0;
    if (kind > 0) {
        for (std::size_t k = index; k < starts.size(); ++k) {
            const int b = BracketAt(t, starts[k]);
            if (b == kind) ++depth;
            if (b == -kind && --depth == 0) return starts[k];
        }
    } else if (kind < 0) {
        for (std::size_t k = index + 1; k-- > 0;) {
            const int b = BracketAt(t, starts[k]);
            if (b == kind) ++depth;
            if (b == -kind && --depth == 0) return starts[k];
        }
    }
    return -1;
}

[[nodiscard]] TWordSpan NumberSpan(std::string_view t, const std::vector<std::int64_t>& starts,
                                   std::size_t index) {
    const auto code = [&](std::size_t k) { return CharCode(t, starts[k]); };
    const auto digitAt = [&](std::size_t k) { return k < starts.size() && IsDigit(code(k)); };
    const auto exponentSign = [&](std::size_t k) {
        const std::int32_t c = code(k);
        return (c == '-' || c == '+') && k > 0 && (code(k - 1) == 'e' || code(k - 1) == 'E');
    };
    std::size_t from = index;
    while (from > 0) {
        const std::size_t k = from - 1;
        const std::int32_t c = code(k);
        if (IsNumberChar(c) || exponentSign(k) ||
            (c == ',' && k > 0 && digitAt(k - 1) && digitAt(k + 1))) {
            from = k;
            continue;
        }
        if ((c == '-' || c == '+') && (k == 0 || StartsSign(code(k - 1)))) from = k;
        break;
    }
    std::size_t to = index + 1;
    while (to < starts.size()) {
        const std::int32_t c = code(to);
        if (IsNumberChar(c) || exponentSign(to) ||
            (c == ',' && digitAt(to - 1) && digitAt(to + 1))) {
            ++to;
            continue;
        }
        break;
    }
    const std::int64_t end = to < starts.size() ? starts[to] : static_cast<std::int64_t>(t.size());
    return {TWordKind::wkNumber, starts[from], end};
}

}  // namespace

// --- Joined rows --------------------------------------------------------------------------------

TJoinedRows::TJoinedRows(const TUMemoStrings& strings, std::int32_t first, std::int32_t last) {
    const std::int32_t count = strings.GetCount();
    if (count == 0) {
        FStarts.push_back(0);
        return;
    }
    first = std::clamp(first, 0, count - 1);
    last = std::clamp(last, first, count - 1);
    FFirst = first;
    for (std::int32_t r = first; r <= last; ++r) {
        FStarts.push_back(static_cast<std::int64_t>(FText.size()));
        FHangs.push_back(strings.HangLength(r));
        FText += strings.RowContent(r);
    }
    FStarts.push_back(static_cast<std::int64_t>(FText.size()));
}

std::int64_t TJoinedRows::OffsetOf(TSelPoint p) const noexcept {
    const std::int64_t k = p.Y - FFirst;
    if (FHangs.empty() || k < 0 || k >= static_cast<std::int64_t>(FHangs.size())) return -1;
    const auto u = static_cast<std::size_t>(k);
    const std::int64_t length = FStarts[u + 1] - FStarts[u];
    const std::int64_t x = std::clamp<std::int64_t>(p.X - 1 - FHangs[u], 0, length);
    return FStarts[u] + x;
}

TSelPoint TJoinedRows::PointOf(std::int64_t offset, bool atEnd) const noexcept {
    if (FHangs.empty()) return {1, 0};
    offset = std::clamp<std::int64_t>(offset, 0, static_cast<std::int64_t>(FText.size()));
    std::size_t k = 0;
    while (k + 1 < FHangs.size() && (atEnd ? offset > FStarts[k + 1] : offset >= FStarts[k + 1]))
        ++k;
    return {static_cast<std::int32_t>(offset - FStarts[k]) + FHangs[k] + 1,
            FFirst + static_cast<std::int32_t>(k)};
}

// --- Brackets -----------------------------------------------------------------------------------

const std::vector<TBracketPair>& BracketPairs() {
    static const std::vector<TBracketPair> pairs = [] {
        const char* const open[] = {"(",  "{",  "[",  "<",  "｢",  "〈", "（", "｛",
                                    "《", "【", "〔", "［", "「", "『", "“"};
        const char* const close[] = {")",  "}",  "]",  ">",  "｣",  "〉", "）", "｝",
                                     "》", "】", "〕", "］", "」", "』", "”"};
        std::vector<TBracketPair> out;
        for (std::size_t i = 0; i < std::size(open); ++i)
            out.push_back({SysText(open[i]), SysText(close[i])});
        return out;
    }();
    return pairs;
}

std::optional<TBracketSpan> EnclosingPair(std::string_view text, std::int64_t offset) {
    const std::vector<std::int64_t> starts = CharStarts(text);
    // The openers left of the offset that are still open there, nearest last.
    std::vector<std::size_t> open;
    std::size_t k = 0;
    for (; k < starts.size() && starts[k] < offset; ++k) {
        const int b = BracketAt(text, starts[k]);
        if (b > 0) {
            open.push_back(k);
        } else if (b < 0) {
            for (std::size_t j = open.size(); j-- > 0;) {
                if (BracketAt(text, starts[open[j]]) == -b) {
                    open.erase(open.begin() + static_cast<std::ptrdiff_t>(j));
                    break;
                }
            }
        }
    }
    for (std::size_t j = open.size(); j-- > 0;) {
        const std::int64_t partner = Partner(text, starts, open[j]);
        if (partner >= offset) {
            const std::int64_t at = starts[open[j]];
            return TBracketSpan{at, partner, CharBytes(text, at), CharBytes(text, partner)};
        }
    }
    return std::nullopt;
}

// --- Words --------------------------------------------------------------------------------------

TWordSpan WordSpanAt(std::string_view text, std::int64_t offset, bool outerHalf,
                     const TCharSet* dependence) {
    if (offset < 0 || offset >= static_cast<std::int64_t>(text.size())) return {};
    const std::vector<std::int64_t> starts = CharStarts(text);
    const auto it = std::upper_bound(starts.begin(), starts.end(), offset);
    const auto index = static_cast<std::size_t>(it - starts.begin()) - 1;
    const std::int64_t at = starts[index];
    const std::int32_t c = CharCode(text, at);
    if (IsDigit(c) || c == '.') return NumberSpan(text, starts, index);
    if (const int b = BracketAt(text, at); b != 0) {
        const std::int64_t partner = Partner(text, starts, index);
        if (partner >= 0) {
            const std::int64_t open = b > 0 ? at : partner;
            const std::int64_t close = b > 0 ? partner : at;
            const std::int64_t end = close + CharBytes(text, close);
            if (outerHalf) return {TWordKind::wkBracket, open, end};
            return {TWordKind::wkBracket, open + CharBytes(text, open), close};
        }
    }
    const TCharClass cls = ClassOf(text, at, dependence);
    std::size_t from = index;
    while (from > 0 && ClassOf(text, starts[from - 1], dependence) == cls)
        --from;
    std::size_t to = index + 1;
    while (to < starts.size() && ClassOf(text, starts[to], dependence) == cls)
        ++to;
    const std::int64_t end =
        to < starts.size() ? starts[to] : static_cast<std::int64_t>(text.size());
    return {TWordKind::wkWord, starts[from], end};
}

namespace {

// The selection for the character at pos of row; leftHalf tells which half was clicked, which
// decides whether a bracket range includes the brackets (none: the contents only).
[[nodiscard]] TWordSelection SelectionAt(const TUMemoStrings& strings, std::int32_t row,
                                         std::int32_t pos, std::optional<bool> leftHalf,
                                         const TCharSet* dependence) {
    const std::int32_t count = strings.GetCount();
    const std::int32_t first = row > 0 && strings.Continued(row - 1) ? row - 1 : row;
    const std::int32_t last = strings.Continued(row) && row + 1 < count ? row + 1 : row;
    const TJoinedRows joined(strings, first, last);
    const std::int64_t offset = joined.OffsetOf({pos, row});
    bool outer = false;
    if (leftHalf) {
        const int b = BracketAt(joined.Text(), offset);
        outer = (b > 0 && *leftHalf) || (b < 0 && !*leftHalf);
    }
    const TWordSpan span = WordSpanAt(joined.Text(), offset, outer, dependence);
    if (span.Kind == TWordKind::wkNone) return {};
    TWordSelection w;
    w.Kind = span.Kind;
    w.From = joined.PointOf(span.From);
    w.To = joined.PointOf(span.To, true);
    w.Text = joined.Text().substr(static_cast<std::size_t>(span.From),
                                  static_cast<std::size_t>(span.To - span.From));
    return w;
}

}  // namespace

TWordSelection WordAt(const TUMemoStrings& strings, std::int32_t row, double column,
                      const TCharSet* dependence) {
    const std::int32_t count = strings.GetCount();
    if (count == 0) return {};
    row = std::clamp(row, 0, count - 1);
    const std::string& rowText = strings.Get(row);
    const auto col = static_cast<std::int32_t>(std::clamp(column, 1.0, 1e9));
    const std::int32_t pos = strings.CharAtColumn(rowText, col);
    if (pos > static_cast<std::int32_t>(rowText.size()) || pos <= strings.HangLength(row))
        return {};
    const std::int32_t start = strings.ColumnOfPos(rowText, pos);
    const std::int32_t next = strings.ColumnOfPos(rowText, pos + CharBytesAt(rowText, pos));
    return SelectionAt(strings, row, pos, column < (start + next) / 2.0, dependence);
}

TWordSelection WordAtCaret(const TUMemoStrings& strings, const TCharSet* dependence) {
    const std::int32_t count = strings.GetCount();
    if (count == 0) return {};
    const TSelPoint caret = strings.Selection().Caret;
    const std::int32_t row = std::clamp(caret.Y, 0, count - 1);
    const std::string& text = strings.Get(row);
    std::int32_t x = strings.TextPos(row, caret.X);
    if (x > static_cast<std::int32_t>(text.size())) {
        if (x <= strings.HangLength(row) + 1) return {};
        x = AdjustToCharStart(text, x - 1);
    }
    return SelectionAt(strings, row, x, std::nullopt, dependence);
}

}  // namespace rekna
