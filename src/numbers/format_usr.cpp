// The user format string: digit placeholders, grouping, exponent, sections and quoted text.
#include <algorithm>
#include <cmath>
#include <string>
#include <string_view>

#include "numbers/format_detail.h"
#include "platform/cp932.h"

namespace rekna::format_detail {

namespace {

enum class TTokKind { tkLiteral, tkIntSlot, tkPoint, tkDecSlot, tkComma, tkExp };

struct TToken {
    TTokKind Kind = TTokKind::tkLiteral;
    std::string_view Text;  // literal text
    bool Zero = false;      // a "0" placeholder (always shown)
    char ExpChar = 'E';
    bool ExpPlus = false;  // "E+": the sign is always written
    int ExpDigits = 0;     // minimum exponent digits
};

bool IsQuote(char c) {
    return c == '"' || c == '\'';
}

// Reads one section token by token; both the layout pass and the writing pass use it, so
// they agree on every character.
class TTokenizer {
public:
    explicit TTokenizer(std::string_view section) : FText(section) {}

    bool Next(TToken& t) {
        while (FPos < FText.size()) {
            if (Read(t)) return true;
        }
        return false;
    }

private:
    // One token from FPos; false for a character that has no meaning (a second point, a
    // comma after the point).
    bool Read(TToken& t) {
        t = TToken();
        const char c = FText[FPos];
        if (IsQuote(c)) {
            const std::size_t close = FText.find(c, FPos + 1);
            const std::size_t end = close == std::string_view::npos ? FText.size() : close;
            t.Text = FText.substr(FPos + 1, end - FPos - 1);
            FPos = close == std::string_view::npos ? end : end + 1;
            return true;
        }
        if (IsLeadByte(c) && FPos + 1 < FText.size() && IsTrailByte(FText[FPos + 1])) {
            t.Text = FText.substr(FPos, 2);
            FPos += 2;
            return true;
        }
        if ((c == 'E' || c == 'e') && !FExpSeen && FPos + 1 < FText.size() &&
            (FText[FPos + 1] == '+' || FText[FPos + 1] == '-')) {
            FExpSeen = true;
            t.Kind = TTokKind::tkExp;
            t.ExpChar = c;
            t.ExpPlus = FText[FPos + 1] == '+';
            FPos += 2;
            while (FPos < FText.size() && (FText[FPos] == '0' || FText[FPos] == '#')) {
                if (FText[FPos] == '0') ++t.ExpDigits;
                ++FPos;
            }
            return true;
        }
        ++FPos;
        if (!FExpSeen) {
            if (c == '0' || c == '#') {
                t.Kind = FAfterPoint ? TTokKind::tkDecSlot : TTokKind::tkIntSlot;
                t.Zero = c == '0';
                return true;
            }
            if (c == '.') {
                if (FAfterPoint) return false;
                FAfterPoint = true;
                t.Kind = TTokKind::tkPoint;
                return true;
            }
            if (c == ',') {
                if (FAfterPoint) return false;  // grouping belongs to the integer part
                t.Kind = TTokKind::tkComma;
                return true;
            }
        }
        t.Text = FText.substr(FPos - 1, 1);
        return true;
    }

    std::string_view FText;
    std::size_t FPos = 0;
    bool FAfterPoint = false;
    bool FExpSeen = false;
};

struct TLayout {
    int IntSlots = 0;
    int MinInt = 0;  // placeholders from the first "0" to the point
    int DecSlots = 0;
    int MinDec = 0;  // placeholders up to the last "0" after the point
    bool Grouping = false;
    bool Scientific = false;
    bool HasPoint = false;
};

TLayout LayoutOf(std::string_view section) {
    TLayout l;
    int firstZero = -1;
    TTokenizer tok(section);
    TToken t;
    while (tok.Next(t)) {
        switch (t.Kind) {
        case TTokKind::tkIntSlot:
            if (t.Zero && firstZero < 0) firstZero = l.IntSlots;
            ++l.IntSlots;
            break;
        case TTokKind::tkDecSlot:
            ++l.DecSlots;
            if (t.Zero) l.MinDec = l.DecSlots;
            break;
        case TTokKind::tkPoint: l.HasPoint = true; break;
        case TTokKind::tkComma: l.Grouping = true; break;
        case TTokKind::tkExp: l.Scientific = true; break;
        case TTokKind::tkLiteral: break;
        }
    }
    l.MinInt = firstZero < 0 ? 0 : l.IntSlots - firstZero;
    return l;
}

// The value laid out for a section: Point digits of D stand before the decimal point.
struct TUsrNumber {
    TDigits D;
    int Point = 0;
    int IntLen = 0;   // integer digits shown, leading zeros of MinInt included
    int FracLen = 0;  // decimals shown
    int Exponent = 0;
    bool General = false;  // too large for placeholders: the general form instead

    [[nodiscard]] bool IsZero() const { return D.IsZero(); }
    [[nodiscard]] char IntDigit(int q) const { return D.At(Point - 1 - q); }  // q from the point
    [[nodiscard]] char FracDigit(int k) const { return D.At(Point + k); }
};

TUsrNumber Lay(const TLayout& l, long double ax) {
    TUsrNumber n;
    if (l.Scientific) {
        const int mantInt = std::max(1, l.MinInt);
        n.D = SigDigits(ax, mantInt + l.DecSlots);
        n.D.PadTo(mantInt + l.DecSlots);
        n.Point = mantInt;
        n.Exponent = ax > 0 ? n.D.Exp - (mantInt - 1) : 0;
    } else {
        n.D = FixedDigits(ax, l.DecSlots);
        if (!n.D.IsZero() && n.D.Exp >= 18) n.General = true;
        n.Point = n.D.IsZero() ? 0 : n.D.Exp + 1;
    }
    n.IntLen = std::max({n.Point, l.MinInt, 0});
    n.FracLen = l.DecSlots;
    while (n.FracLen > l.MinDec && n.FracDigit(n.FracLen - 1) == '0')
        --n.FracLen;
    return n;
}

void AddIntDigit(TTextBuf& out, const TUsrNumber& n, const TLayout& l, int q) {
    out.Add(n.IntDigit(q));
    if (l.Grouping && q > 0 && q % 3 == 0) out.Add(',');
}

void WriteSection(TTextBuf& out, std::string_view section, const TLayout& l, const TUsrNumber& n,
                  bool minus) {
    if (minus) out.Add('-');
    int slot = 0;
    int dec = 0;
    TTokenizer tok(section);
    TToken t;
    while (tok.Next(t)) {
        switch (t.Kind) {
        case TTokKind::tkLiteral: out.Add(t.Text); break;
        case TTokKind::tkComma: break;
        case TTokKind::tkIntSlot: {
            const int q = l.IntSlots - 1 - slot;
            // Digits beyond the placeholders all go where the first one stands.
            if (slot == 0)
                for (int extra = n.IntLen - 1; extra > q; --extra)
                    AddIntDigit(out, n, l, extra);
            if (q < n.IntLen) AddIntDigit(out, n, l, q);
            ++slot;
            break;
        }
        case TTokKind::tkPoint:
            if (l.IntSlots == 0)
                for (int q = n.IntLen - 1; q >= 0; --q)
                    AddIntDigit(out, n, l, q);
            if (n.FracLen > 0) out.Add('.');
            break;
        case TTokKind::tkDecSlot:
            if (dec < n.FracLen) out.Add(n.FracDigit(dec));
            ++dec;
            break;
        case TTokKind::tkExp: {
            out.Add(t.ExpChar);
            if (n.Exponent < 0)
                out.Add('-');
            else if (t.ExpPlus)
                out.Add('+');
            const int ae = n.Exponent < 0 ? -n.Exponent : n.Exponent;
            char tmp[12];
            int nd = 0;
            for (int v = ae; v != 0 || nd == 0; v /= 10)
                tmp[nd++] = static_cast<char>('0' + v % 10);
            out.AddRepeat('0', t.ExpDigits - nd);
            while (nd > 0)
                out.Add(tmp[--nd]);
            break;
        }
        }
    }
}

// Splits at ";" outside quotes: positive, negative and zero sections.
int SplitSections(std::string_view fmt, std::string_view* sections) {
    int count = 0;
    std::size_t begin = 0;
    char quote = 0;
    for (std::size_t i = 0; i < fmt.size(); ++i) {
        const char c = fmt[i];
        if (quote != 0) {
            if (c == quote) quote = 0;
        } else if (IsQuote(c)) {
            quote = c;
        } else if (IsLeadByte(c) && i + 1 < fmt.size() && IsTrailByte(fmt[i + 1])) {
            ++i;
        } else if (c == ';') {
            if (count < 3) sections[count++] = fmt.substr(begin, i - begin);
            begin = i + 1;
        }
    }
    if (count < 3) sections[count++] = fmt.substr(begin);
    return count;
}

// ",," outside quotes asks for groups of four; the format itself then uses ",".
bool ReplaceDoubleCommas(std::string_view fmt, std::string& replaced) {
    bool found = false;
    char quote = 0;
    for (std::size_t i = 0; i < fmt.size(); ++i) {
        const char c = fmt[i];
        if (quote == 0 && c == ',' && i + 1 < fmt.size() && fmt[i + 1] == ',') {
            if (!found) replaced.assign(fmt.substr(0, i));
            found = true;
            replaced.push_back(',');
            ++i;
            continue;
        }
        if (quote != 0) {
            if (c == quote) quote = 0;
        } else if (IsQuote(c)) {
            quote = c;
        }
        if (found) replaced.push_back(c);
    }
    return found;
}

// Regroups the first run of digits and commas from start in fours: 12,345,678.9 becomes
// 1234,5678.9.
void RegroupByFour(TTextBuf& out, std::size_t start) {
    std::size_t first = start;
    while (first < out.Size() && !(out[first] >= '0' && out[first] <= '9'))
        ++first;
    std::size_t end = first;
    while (end < out.Size() && ((out[end] >= '0' && out[end] <= '9') || out[end] == ',')) {
        if (out[end] == ',')
            out.Erase(end, 1);
        else
            ++end;
    }
    for (std::size_t pos = end; pos >= first + 5;) {
        pos -= 4;
        out.Insert(pos, ',');
    }
}

}  // namespace

void WriteUsr(TTextBuf& out, long double x, std::string_view format) {
    if (WriteNonFinite(out, x)) return;
    if (format.empty()) {
        WriteGeneral(out, x, 18);
        return;
    }
    std::string replaced;
    const bool byFour = ReplaceDoubleCommas(format, replaced);
    const std::string_view fmt = byFour ? std::string_view(replaced) : format;

    std::string_view sections[3];
    const int count = SplitSections(fmt, sections);
    const bool hasNeg = count >= 2 && !sections[1].empty();
    const bool hasZero = count >= 3 && !sections[2].empty();
    const long double ax = std::fabs(x);

    std::string_view section = sections[0];
    bool minus = false;
    if (x == 0 && hasZero)
        section = sections[2];
    else if (x < 0 && hasNeg)
        section = sections[1];
    else if (x < 0)
        minus = true;

    TLayout layout = LayoutOf(section);
    TUsrNumber number = Lay(layout, ax);
    // A value that rounds to zero in its section is shown as zero.
    if (number.IsZero() && x != 0) {
        minus = false;
        if (hasZero) {
            section = sections[2];
            layout = LayoutOf(section);
            number = Lay(layout, 0);
        }
    }
    if (number.General) {
        WriteGeneral(out, x, 18);
        return;
    }
    const std::size_t start = out.Size();
    WriteSection(out, section, layout, number, minus);
    if (byFour) RegroupByFour(out, start);
}

}  // namespace rekna::format_detail
