// The compiler's passes: comment removal, tokenising, control keywords and classification.
#include "engine/compiler.h"

#include "engine/control_keywords.h"
#include "engine/functions.h"
#include "engine/operators.h"
#include "engine/user_func.h"
#include "engine/vari_list.h"
#include "numbers/literal.h"
#include "platform/cp932.h"
#include "text/str_utils.h"

namespace rekna {

namespace {

// Raw text tokens are mStr items marked with this index until classification.
constexpr int kRawToken = -2;

struct TWideChars {
    std::string Equals = SysText("＝");
    std::string Times = SysText("×");
    std::string Divide = SysText("÷");
    std::string Root = SysText("√");
};

const TWideChars& Wide() {
    static const TWideChars chars;
    return chars;
}

bool IsGreekAt(std::string_view s, std::size_t i) noexcept {
    if (i + 1 >= s.size() || static_cast<unsigned char>(s[i]) != 0x83) return false;
    const auto t = static_cast<unsigned char>(s[i + 1]);
    return (t >= 0x9F && t <= 0xB6) || (t >= 0xBF && t <= 0xD6);
}

bool IsRootAt(std::string_view s, std::size_t i) noexcept {
    // Most bytes are no lead byte: the first one decides before the two are compared.
    const std::string& root = Wide().Root;
    return i + 1 < s.size() && s[i] == root[0] && s[i + 1] == root[1];
}

bool IsAsciiLetter(char c) noexcept {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool IsDigit(char c) noexcept {
    return c >= '0' && c <= '9';
}

// How the tokeniser takes each byte: a part of the token being read, an operator (the code in
// Op), a bracket, "#", "," or the lead byte of a double-byte character.
enum TByteClass : std::uint8_t { bcToken, bcOperator, bcOpen, bcClose, bcHash, bcComma, bcLead };

struct TByteTable {
    std::uint8_t Class[256];
    std::int8_t Op[256];
};

const TByteTable& Bytes() {
    static const TByteTable table = [] {
        TByteTable t{};
        for (int b = 0; b < 256; ++b) {
            const char c = static_cast<char>(b);
            const int op = OperatorOfChar(c);
            t.Op[b] = static_cast<std::int8_t>(op);
            t.Class[b] = IsLeadByte(c)          ? bcLead
                         : op >= 0              ? bcOperator
                         : c == '(' || c == '{' ? bcOpen
                         : c == ')' || c == '}' ? bcClose
                         : c == '#'             ? bcHash
                         : c == ','             ? bcComma
                                                : bcToken;
        }
        return t;
    }();
    return table;
}

// The most bytes of a formula that are counted before its items exist: a formula holds at most
// one item per byte, so a shorter one cannot pass the limit.
constexpr std::size_t kUncountedFormula = 256;
static_assert(kUncountedFormula < kMaxLineItems);

bool IsRawToken(const TCalcItem& item) noexcept {
    return item.Kind == TItemKind::mStr && item.Index == kRawToken;
}

std::string_view TrimView(std::string_view s) noexcept {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ')
        s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ')
        s.remove_suffix(1);
    return s;
}

// A token that the tokeniser cut at the sign of an exponent: "1.2E", "&1.1E", "$1.2P".
bool EndsInExponentMark(std::string_view token) noexcept {
    token = TrimView(token);
    if (token.size() < 2) return false;
    const char last = token.back();
    std::string_view body = token.substr(0, token.size() - 1);
    bool hex = false, binary = false;
    if (!body.empty() && body.front() == '-') body.remove_prefix(1);
    if (!body.empty() && body.front() == '$') {
        hex = true;
        body.remove_prefix(1);
    } else if (!body.empty() && body.front() == '&') {
        binary = true;
        body.remove_prefix(1);
        if (!body.empty() && (body.front() == 'c' || body.front() == 'C')) body.remove_prefix(1);
    }
    if (hex ? (last != 'P' && last != 'p') : (last != 'E' && last != 'e')) return false;
    bool digit = false;
    for (char c : body) {
        const bool ok = binary ? (c == '0' || c == '1')
                        : hex  ? (IsDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'))
                               : IsDigit(c);
        if (ok) {
            digit = true;
        } else if (c != '.' && c != ' ' && c != '\t') {
            return false;
        }
    }
    return digit;
}

// A literal of nothing but up to 18 decimal digits (after an optional minus) is by far the
// most common; it is read here directly, with the value and canonical text ReadLiteral gives.
bool ReadPlainInteger(std::string& text, TCplx& value) noexcept {
    const std::size_t start = !text.empty() && text[0] == '-' ? 1 : 0;
    const std::size_t n = text.size() - start;
    if (n == 0 || n > 18) return false;
    std::int64_t v = 0;
    for (std::size_t i = start; i < text.size(); ++i) {
        const char c = text[i];
        if (!IsDigit(c)) return false;
        v = v * 10 + (c - '0');
    }
    std::size_t zeros = start;
    while (zeros + 1 < text.size() && text[zeros] == '0')
        ++zeros;
    if (zeros > start) text.erase(start, zeros - start);
    if (v == 0 && start == 1) text.erase(0, 1);
    value = TCplx(static_cast<long double>(start ? -v : v));
    CalcErr = TCalcErr::ceNone;
    return true;
}

}  // namespace

bool IsAnswerMarkerAt(std::string_view line, std::size_t i) noexcept {
    const std::string& marker = Wide().Equals;
    if (i >= line.size() || line.compare(i, marker.size(), marker) != 0) return false;
    const std::size_t after = i + marker.size();
    // A "＝" with nothing but blanks after it ends the expression whatever stands before it:
    // nothing of the user's goes when an answer is written there.
    if (line.find_first_not_of(" \t", after) == std::string_view::npos) return true;
    if (i == 0) return false;
    const char before = line[i - 1];
    return (before == ' ' || before == '\t') && line[after] == ' ';
}

namespace {

// Whether a line holds a comment, label or double-byte character: most hold none, and then
// nothing is removed. Read in blocks without a branch per byte, as fast as a memchr.
bool HasFormulaMarks(std::string_view line) noexcept {
    const auto* p = reinterpret_cast<const unsigned char*>(line.data());
    const std::size_t n = line.size();
    const auto mark = [](unsigned char c) {
        return static_cast<unsigned char>((c == '[') | (c == ']') | (c == ';') | (c == ':') |
                                          (c >> 7));
    };
    std::size_t i = 0;
    constexpr std::size_t kBlock = 64;
    for (; i + kBlock <= n; i += kBlock) {
        unsigned char hit = 0;
        for (std::size_t k = 0; k < kBlock; ++k)
            hit |= mark(p[i + k]);
        if (hit != 0) return true;
    }
    for (; i < n; ++i)
        if (mark(p[i]) != 0) return true;
    return false;
}

}  // namespace

std::string FormulaText(std::string_view line, const TCompileSwitches& switches) {
    std::string storage;
    return std::string(FormulaView(line, switches, storage));
}

std::string_view FormulaView(std::string_view line, const TCompileSwitches& switches,
                             std::string& storage) {
    std::string converted;
    if (switches.FullWidth) {
        converted = PreconvertFormula(line);
        line = converted;
    }
    if (!HasFormulaMarks(line)) {
        if (!switches.FullWidth) return TrimView(line);
        storage = std::move(converted);
        return TrimView(storage);
    }
    const TWideChars& wide = Wide();
    std::string out;
    out.reserve(line.size());
    bool inBracket = false;
    // Bytes from `from` on go into the formula as they are, in one append at the next mark.
    std::size_t from = 0;
    const auto take = [&](std::size_t end) {
        if (!inBracket && end > from) out.append(line.substr(from, end - from));
    };
    bool ended = false;
    for (std::size_t i = 0; i < line.size() && !ended; ++i) {
        const char c = line[i];
        if (IsLeadByte(c) && i + 1 < line.size()) {
            const std::string_view ch = line.substr(i, 2);
            ++i;
            if (inBracket) continue;
            if (ch == wide.Equals && IsAnswerMarkerAt(line, i - 1)) {
                take(i - 1);
                ended = true;
            } else if (switches.WideMul && ch == wide.Times) {
                take(i - 1);
                out += '*';
                from = i + 1;
            } else if (switches.WideDiv && ch == wide.Divide) {
                take(i - 1);
                out += '/';
                from = i + 1;
            }
            continue;
        }
        switch (c) {
        case '[':
            take(i);
            inBracket = true;
            break;
        case ']':
            take(i);
            inBracket = false;
            from = i + 1;
            break;
        case ';':
            take(i);
            ended = !inBracket;
            break;
        case ':':
            if (inBracket) break;
            take(i);
            // A label ends at the colon; ":=" reads as "=".
            if (i + 1 >= line.size() || line[i + 1] != '=') out.clear();
            from = i + 1;
            break;
        default: break;
        }
    }
    if (!ended) take(line.size());
    storage = std::move(out);
    return TrimView(storage);
}

std::size_t TokenCount(std::string_view formula, std::size_t limit) noexcept {
    // The tokeniser's rules: every operator, bracket, "#" and ", " is an item, and so is every
    // run of other characters between them.
    const TByteTable& bytes = Bytes();
    std::size_t n = 1;
    bool inToken = false;
    for (std::size_t i = 0; i < formula.size() && n <= limit; ++i) {
        const char c = formula[i];
        if (c == '>' && i == 0) continue;
        switch (bytes.Class[static_cast<unsigned char>(c)]) {
        case bcLead:
            if (i + 1 < formula.size()) {
                n += inToken ? 0 : 1;
                inToken = true;
                ++i;
                break;
            }
            [[fallthrough]];
        case bcToken:
            n += inToken ? 0 : 1;
            inToken = true;
            break;
        case bcOperator:
            ++n;
            inToken = false;
            break;
        case bcComma:
            if (i + 1 < formula.size() && formula[i + 1] == ' ') {
                ++n;
                inToken = false;
            }
            break;
        default:
            ++n;
            inToken = false;
            break;
        }
    }
    return n;
}

std::string_view ReadNameAt(std::string_view text, std::size_t pos) noexcept {
    std::size_t i = pos;
    while (i < text.size()) {
        const char c = text[i];
        if (IsAsciiLetter(c) || c == '_' || (i > pos && (IsDigit(c) || c == '.'))) {
            ++i;
        } else if (IsGreekAt(text, i) || IsRootAt(text, i)) {
            i += 2;
        } else {
            break;
        }
    }
    return text.substr(pos, i - pos);
}

void TCompiler::Tokenise(std::string_view formula, TCalcList& items) const {
    const TByteTable& bytes = Bytes();
    const auto classOf = [&bytes](char c) { return bytes.Class[static_cast<unsigned char>(c)]; };
    std::string token;
    const auto flush = [&] {
        if (token.empty()) return;
        TCalcItem& item = items.emplace_back();
        item.Kind = TItemKind::mStr;
        item.Index = kRawToken;
        item.Text = token;
        token.clear();
    };
    const auto push = [&items](TItemKind kind, int code = 0) {
        TCalcItem& item = items.emplace_back();
        item.Kind = kind;
        item.Code = static_cast<std::uint8_t>(code);
        return &item;
    };
    const std::size_t n = formula.size();
    for (std::size_t i = 0; i < n; ++i) {
        const char c = formula[i];
        const std::uint8_t cls = classOf(c);
        if (cls == bcToken || (cls == bcLead && i + 1 < n)) {
            // The whole run of token bytes at once; a double-byte character is part of it, and
            // so is a lead byte at the very end.
            std::size_t j = i;
            while (j < n) {
                const std::uint8_t k = classOf(formula[j]);
                if (k == bcToken) {
                    ++j;
                } else if (k == bcLead) {
                    j += j + 1 < n ? 2 : 1;
                } else {
                    break;
                }
            }
            token.append(formula, i, j - i);
            i = j - 1;
            continue;
        }
        if (c == '>' && i == 0) {
            items[0].Kind = TItemKind::mCnt;
            items[0].Mask |= ControlBit(cbData);
            continue;
        }
        switch (cls) {
        case bcOperator:
            flush();
            push(TItemKind::mOpr, bytes.Op[static_cast<unsigned char>(c)]);
            break;
        case bcOpen:
            flush();
            push(TItemKind::mCbe);
            break;
        case bcClose:
            flush();
            push(TItemKind::mCen);
            break;
        case bcHash:
            flush();
            push(TItemKind::mCnt)->Mask = ControlBit(cbHash);
            break;
        case bcComma:
            // ", " separates arguments; a comma without a space groups digits.
            if (i + 1 < n && formula[i + 1] == ' ') {
                flush();
                push(TItemKind::mOpr, opComma);
            }
            break;
        default: token += c; break;
        }
    }
    flush();
}

TCalcItem TCompiler::AnsItem() const {
    TCalcItem item = MakeItem(TItemKind::mVar);
    item.Index = FVars.AnsId() >= 0 ? FVars.AnsId() : FVars.Find("ans");
    item.Text = "ans";
    return item;
}

void TCompiler::ApplyControlKeywords(TCalcList& items) const {
    // The keyword bit that the "#" at i introduces, or -1.
    const auto keywordAt = [&items](std::size_t i) {
        if (!items[i].Is(TItemKind::mCnt) || !(items[i].Mask & ControlBit(cbHash)) ||
            i + 1 >= items.size())
            return -1;
        const TCalcItem& next = items[i + 1];
        if (IsRawToken(next)) return FindControlKeyword(next.Text);
        return next.IsOperator(opPolar) ? static_cast<int>(cbPolar) : -1;
    };
    for (std::size_t i = 1; i < items.size(); ++i) {
        if (!items[i].Is(TItemKind::mCnt) || !(items[i].Mask & ControlBit(cbHash))) continue;
        const int bit = keywordAt(i);
        if (i == 1) {
            // At the line start: "#Name(" is a definition; a directive shows Ans.
            if (items.size() > 3 && items[3].Is(TItemKind::mCbe)) continue;
            if (bit < 0) continue;
            items[0].Kind = TItemKind::mCnt;
            items[0].Mask |= ControlBit(bit);
            items.erase(items.begin() + 2);
            items[1] = AnsItem();
            continue;
        }
        // A trailing directive formats the line, and so does every later directive, with blanks
        // or other items between them; everything from the first one on is dropped.
        for (std::size_t j = i; bit >= 0 && j < items.size();) {
            const int b = keywordAt(j);
            if (b < 0) {
                ++j;
                continue;
            }
            items[0].Kind = TItemKind::mCnt;
            items[0].Mask |= ControlBit(b);
            j += 2;
        }
        items.erase(items.begin() + static_cast<std::ptrdiff_t>(i), items.end());
        return;
    }
}

void TCompiler::ClassifyLiteral(TCalcList& items, std::size_t& w, std::size_t& r, std::size_t start,
                                bool keepTexts) const {
    // Join an exponent sign that the tokeniser split off: "1.2E" "-" "3".
    std::string text = items[r].Text.substr(start);
    if (EndsInExponentMark(items[r].Text) && r + 2 < items.size() &&
        (items[r + 1].IsOperator(opSub) || items[r + 1].IsOperator(opAdd)) &&
        IsRawToken(items[r + 2])) {
        text += items[r + 1].Code == opSub ? '-' : '+';
        text += items[r + 2].Text;
        r += 2;
    }
    // Fold a minus that stands where a value is expected into the literal.
    if (w >= 2 && items[w - 1].IsOperator(opSub)) {
        const TCalcItem& before = items[w - 2];
        if (w == 2 || before.Is(TItemKind::mOpr) || before.Is(TItemKind::mCbe) ||
            before.Is(TItemKind::mCnt)) {
            text.insert(text.begin(), '-');
            --w;
        }
    }
    TCplx value;
    if (!ReadPlainInteger(text, value))
        value = keepTexts ? ReadLiteral(text) : ReadLiteralValue(text);
    TCalcItem& item = items[w];
    item = MakeItem(TItemKind::mVal);
    if (CalcFailed()) {
        item.Tag = static_cast<int>(TCalcErr::ceInputRange);
        item.Text = CalcErrAnswer(TCalcErr::ceInputRange);
        CalcErr = TCalcErr::ceNone;
        return;
    }
    item.Value = value;
    if (!keepTexts) return;
    if (!text.empty() && text.front() == '-') {
        item.Text = "{" + text + "}";
    } else {
        item.Text = std::move(text);
    }
}

void TCompiler::ClassifyName(TCalcList& items, std::size_t i, std::size_t start, int funcLimit,
                             bool definition) const {
    TCalcItem& item = items[i];
    item.Text = std::string(ReadNameAt(item.Text, start));
    item.Index = 0;
    const std::string lower = LowerName(item.Text);
    const bool call = i + 1 < items.size() && items[i + 1].Is(TItemKind::mCbe);
    if (call) {
        const int user = FFuncs.Find(lower);
        if (user >= 0 && user < funcLimit) {
            item.Kind = TItemKind::mUsr;
            item.Index = user;
            return;
        }
        if (const int con = FindConstant(lower); con >= 0) {
            item.Kind = TItemKind::mCon;
            item.Code = static_cast<std::uint8_t>(con);
            return;
        }
        if (const int fun = FindFunction(lower); fun >= 0) {
            item.Kind = TItemKind::mFun;
            item.Code = static_cast<std::uint8_t>(fun);
            return;
        }
    }
    if (definition) {
        item.Kind = TItemKind::mVar;
        item.Index = -1;
        return;
    }
    const int id = FVars.Find(lower);
    if (id >= 0) {
        item.Kind = TItemKind::mVar;
        item.Index = id;
    } else {
        item.Kind = TItemKind::mStr;
        item.Tag = 1;
    }
}

bool TCompiler::Classify(TCalcList& items, bool keepTexts) const {
    const bool definition = items.size() > 3 && items[1].Is(TItemKind::mCnt) &&
                            (items[1].Mask & ControlBit(cbHash)) && items[3].Is(TItemKind::mCbe);
    int funcLimit = FFuncs.Count();
    if (definition && IsRawToken(items[2])) {
        const std::string_view raw = items[2].Text;
        std::size_t p = 0;
        while (p < raw.size() && static_cast<unsigned char>(raw[p]) <= ' ')
            ++p;
        funcLimit = FFuncs.VisibleLimit(LowerName(ReadNameAt(raw, p)));
    }
    // The list is compacted as it is read: items before w are done, items from r on are raw.
    std::size_t w = 1;
    for (std::size_t r = 1; r < items.size(); ++r) {
        if (r % TStopRequest::kPollInterval == 0 && Stop && Stop->Poll()) return false;
        if (IsRawToken(items[r])) {
            const std::string_view text = items[r].Text;
            std::size_t p = 0;
            while (p < text.size()) {
                const char c = text[p];
                if (c == '$' || c == '&' || c == '.' || IsDigit(c) || IsAsciiLetter(c) ||
                    c == '_' || IsGreekAt(text, p) || IsRootAt(text, p))
                    break;
                p += CharLength(text, p);
            }
            // A token in which nothing begins is a comment.
            if (p == text.size()) continue;
            const char c = text[p];
            if (c == '$' || c == '&' || c == '.' || IsDigit(c)) {
                ClassifyLiteral(items, w, r, p, keepTexts);
                ++w;
                continue;
            }
            ClassifyName(items, r, p, funcLimit, definition);
        }
        if (w != r) items[w] = std::move(items[r]);
        ++w;
    }
    items.erase(items.begin() + static_cast<std::ptrdiff_t>(w), items.end());
    return true;
}

TCalcErr TCompiler::Compile(std::string_view formula, TCompList& list, bool keepTexts) {
    FDefinition = false;
    FTooLong = false;
    list.Reset();
    // A line of too many items is refused before they exist.
    const std::size_t tokens = formula.size() <= kUncountedFormula
                                   ? formula.size() + 1
                                   : TokenCount(formula, kMaxLineItems);
    if (tokens > kMaxLineItems) {
        FTooLong = true;
        return TCalcErr::ceMath;
    }
    list.reserve(tokens);
    Tokenise(formula, list);
    ApplyControlKeywords(list);
    if (!Classify(list, keepTexts)) {
        list.Reset();
        return TCalcErr::ceMath;
    }

    // Nothing calculable: an empty line, "#" alone, operators only.
    bool calculable = false;
    for (std::size_t i = 1; i < list.size() && !calculable; ++i) {
        switch (list[i].Kind) {
        case TItemKind::mCon:
        case TItemKind::mFun:
        case TItemKind::mVal:
        case TItemKind::mVar:
        case TItemKind::mStr:
        case TItemKind::mUsr: calculable = true; break;
        default: break;
        }
    }
    if (!calculable) {
        list.Reset();
        return TCalcErr::ceNothing;
    }

    const std::size_t bodyStart = FindDefinitionShape(list);
    if (!Repair(list, bodyStart > 0 ? bodyStart : 1)) {
        list.Reset();
        return TCalcErr::ceMath;
    }
    if (bodyStart > 0 && bodyStart < list.size()) {
        list[1].Kind = TItemKind::mCnt;
        list[1].Mask = ControlBit(cbDefine);
        FDefinition = true;
    }
    return TCalcErr::ceNone;
}

}  // namespace rekna
