// BreakPos, the indentation run and the cutting of a logical line into rows.
#include "editor/store/wrap.h"

#include "editor/store/columns.h"
#include "platform/cp932.h"

#include <algorithm>

namespace rekna {
namespace {

constexpr char kTab = '\t';

// The text head + tail, read with 1-based positions without joining the two.
class TJoined {
public:
    TJoined(std::string_view head, std::string_view tail) noexcept
        : FHead(head), FTail(tail), FLength(static_cast<std::int32_t>(head.size() + tail.size())) {}

    [[nodiscard]] std::int32_t Length() const noexcept { return FLength; }
    [[nodiscard]] char Byte(std::int32_t pos) const noexcept {
        const auto i = static_cast<std::size_t>(pos - 1);
        return i < FHead.size() ? FHead[i] : FTail[i - FHead.size()];
    }
    [[nodiscard]] std::int32_t CharBytes(std::int32_t pos) const noexcept {
        return (IsLeadByte(Byte(pos)) && pos < FLength) ? 2 : 1;
    }
    [[nodiscard]] bool InSet(const TCharSet& set, std::int32_t pos,
                             std::int32_t bytes) const noexcept {
        const char c[2] = {Byte(pos), bytes == 2 ? Byte(pos + 1) : '\0'};
        return set.Contains(c, bytes);
    }
    // The start of the character that ends at pos - 1 (pos >= 2).
    [[nodiscard]] std::int32_t StartBefore(std::int32_t pos) const noexcept {
        std::int32_t start = 1;
        for (std::int32_t i = 1; i < pos; i += CharBytes(i))
            start = i;
        return start;
    }

private:
    std::string_view FHead;
    std::string_view FTail;
    std::int32_t FLength;
};

[[nodiscard]] bool IsBlank(char c) noexcept {
    return c == kTab || c == ' ' || c == '>';
}
[[nodiscard]] bool IsMark(char c) noexcept {
    return c == '#' || c == ';' || c == '?';
}

[[nodiscard]] const std::string& FullWidthSpace() {
    static const std::string space = SysText("　");
    return space;
}

// Step 4 of the cut: after a double-byte character, a single indentation byte in front of the
// cut goes down to the next row when the indentation run behind it leads into a double-byte
// character. Returns the adjusted cut.
[[nodiscard]] std::int32_t KeepIndentWithText(const TJoined& s, std::int32_t p, std::int32_t before,
                                              std::int32_t beforeThat,
                                              std::int32_t minPos) noexcept {
    if (before != p - 1 || beforeThat < 1 || s.CharBytes(beforeThat) != 2 ||
        beforeThat + 2 != before)
        return p;
    bool blankSeen = false;
    for (std::int32_t q = p - 1; q <= s.Length();) {
        const char c = s.Byte(q);
        if (IsBlank(c)) {
            blankSeen = true;
            ++q;
        } else if (IsMark(c) && !blankSeen) {
            ++q;
        } else {
            if (q >= p && s.CharBytes(q) == 2 && p - 1 >= minPos) return p - 1;
            return p;
        }
    }
    return p;
}

[[nodiscard]] std::int32_t BreakPosIn(const TJoined& s, const TWrapRules& rules,
                                      std::size_t hangLength) noexcept {
    const std::int32_t wrap = rules.WrapColumns;
    if (wrap <= 0) return 0;
    const std::int32_t len = s.Length();
    const auto hang = static_cast<std::int32_t>(std::min<std::size_t>(hangLength, len));
    if (hang >= len) return 0;
    const std::int32_t minPos = hang + 1 + s.CharBytes(hang + 1);

    // The first character that does not fit: the one covering column wrap + 1.
    std::int32_t p = 1;
    std::int32_t before = 0;  // start of the character ending at p - 1
    std::int32_t beforeThat = 0;
    for (std::int64_t col = 1; p <= len;) {
        const std::int32_t bytes = s.CharBytes(p);
        const std::int64_t next =
            s.Byte(p) == kTab ? NextTabColumn(col, rules.TabStops) : col + bytes;
        if (wrap + 1 < next) break;
        col = next;
        beforeThat = before;
        before = p;
        p += bytes;
    }
    if (p <= len && s.Byte(p) == kTab) {  // a Tab at the margin stays on the row
        beforeThat = before;
        before = p;
        ++p;
    }
    if (p < minPos) {  // a row never loses its last character behind the hanging indent
        p = minPos;
        if (p > len) return 0;
        before = s.StartBefore(p);
        beforeThat = before > 1 ? s.StartBefore(before) : 0;
    }
    if (p == len + 1 && p <= wrap) return 0;

    if (rules.AutoIndent && p >= 3) {
        const std::int32_t adjusted = KeepIndentWithText(s, p, before, beforeThat, minPos);
        if (adjusted != p) {
            p = adjusted;
            before = beforeThat;
        }
    }

    // Exactly one line-breaking adjustment.
    if (rules.BanBreak && p >= 2) {
        const std::int32_t cBytes = p - before;
        if (rules.BanEnd != nullptr && s.InSet(*rules.BanEnd, before, cBytes)) {
            if (p - cBytes >= minPos) p -= cBytes;
        } else if (p <= len && rules.BanHead != nullptr) {
            const std::int32_t dBytes = s.CharBytes(p);
            if (s.InSet(*rules.BanHead, p, dBytes)) p += dBytes;
        }
    }
    return p;
}

}  // namespace

void TCharSet::Assign(std::string_view chars) {
    FChars.assign(chars);
    FSingle.reset();
    FDouble.reset();
    for (std::size_t i = 0; i < chars.size();) {
        const auto a = static_cast<unsigned char>(chars[i]);
        if (IsLeadByte(a) && i + 1 < chars.size()) {
            FDouble.set(static_cast<std::size_t>(a) << 8 |
                        static_cast<unsigned char>(chars[i + 1]));
            i += 2;
        } else {
            FSingle.set(a);
            ++i;
        }
    }
}

std::int32_t BreakPos(std::string_view s, const TWrapRules& rules,
                      std::size_t hangLength) noexcept {
    return BreakPosIn(TJoined(s, {}), rules, hangLength);
}

std::int32_t BreakPos(std::string_view head, std::string_view tail, const TWrapRules& rules,
                      std::size_t hangLength) noexcept {
    return BreakPosIn(TJoined(head, tail), rules, hangLength);
}

TIndentRun IndentRun(std::string_view s) noexcept {
    const std::string& fullWidth = FullWidthSpace();
    bool blankSeen = false;
    std::size_t i = 0;
    while (i < s.size()) {
        const char c = s[i];
        if (IsBlank(c)) {
            blankSeen = true;
            ++i;
        } else if (i + 1 < s.size() && c == fullWidth[0] && s[i + 1] == fullWidth[1]) {
            blankSeen = true;
            i += 2;
        } else if (IsMark(c) && !blankSeen) {
            ++i;
        } else {
            return {i, IsMark(c) ? TIndentEnd::ieMark : TIndentEnd::ieOther};
        }
    }
    return {i, TIndentEnd::ieAll};
}

std::string_view IndentPrefix(std::string_view s, const TWrapRules& rules) noexcept {
    if (!rules.AutoIndent) return {};
    const TIndentRun run = IndentRun(s);
    const std::string_view prefix = s.substr(0, run.Length);
    if (run.End != TIndentEnd::ieOther && rules.WrapColumns > 0 &&
        RowWidth(prefix, rules.TabStops) + 2 >= rules.WrapColumns)
        return {};
    return prefix;
}

std::size_t IndentLength(std::string_view s, const TWrapRules& rules) noexcept {
    return rules.AutoIndent ? IndentRun(s).Length : 0;
}

std::string_view HangIndentOf(std::string_view s, const TWrapRules& rules) noexcept {
    if (!rules.AutoIndent || rules.WrapColumns <= 0) return {};
    const std::string_view prefix = IndentPrefix(s, rules);
    const std::int32_t cut = CharAtColumn(prefix, rules.WrapColumns / 2, rules.TabStops);
    return prefix.substr(0, static_cast<std::size_t>(cut - 1));
}

void WrapText(std::string_view text, std::string_view firstPrefix, std::string_view hang,
              const TWrapRules& rules, std::vector<TRowPiece>& pieces) {
    pieces.clear();
    std::size_t pos = 0;
    std::string_view prefix = firstPrefix;
    if (rules.WrapColumns > 0) {
        while (pos < text.size()) {
            const std::string_view rest = text.substr(pos);
            const std::int32_t b = BreakPosIn(TJoined(prefix, rest), rules, prefix.size());
            const auto rowLength = static_cast<std::int32_t>(prefix.size() + rest.size());
            if (b <= static_cast<std::int32_t>(prefix.size()) + 1 || b > rowLength) break;
            const std::size_t cut = pos + static_cast<std::size_t>(b - 1) - prefix.size();
            pieces.push_back({pos, cut});
            pos = cut;
            prefix = hang;
        }
    }
    pieces.push_back({pos, text.size()});
}

}  // namespace rekna
