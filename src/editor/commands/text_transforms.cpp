// Pure rewrites of selected text, line by line or as a whole.
#include "editor/commands/text_transforms.h"

#include "editor/commands/table_model.h"
#include "editor/commands/text_collation.h"
#include "platform/cp932.h"
#include "platform/lcmap.h"
#include "text/str_utils.h"

#include <algorithm>
#include <numeric>

namespace rekna {

namespace {

constexpr std::string_view kFullSpace = "\x81\x40";   // "　"
constexpr std::string_view kWideEquals = "\x81\x81";  // "＝"

bool IsBlankByte(char c) noexcept {
    return static_cast<unsigned char>(c) <= 0x20;
}

std::string TrimLeft(std::string_view s) {
    std::size_t b = 0;
    while (b < s.size() && IsBlankByte(s[b]))
        ++b;
    return std::string(s.substr(b));
}

std::uint16_t Code(std::string_view s, std::size_t i) noexcept {
    return static_cast<std::uint16_t>((static_cast<unsigned char>(s[i]) << 8) |
                                      static_cast<unsigned char>(s[i + 1]));
}

// Where the character `what` first stands, stepping over double-byte characters.
std::size_t FindChar(std::string_view s, std::string_view what) noexcept {
    for (std::size_t i = 0; i < s.size(); i += CharLength(s, i))
        if (s.substr(i, what.size()) == what) return i;
    return std::string_view::npos;
}

void PadTo(std::string& s, std::size_t width) {
    if (s.size() < width) s.append(width - s.size(), ' ');
}

template <typename F> std::string MapLines(std::string_view s, F f) {
    TTextLines lines = SplitTextLines(s);
    for (std::string& line : lines.Lines)
        line = f(line);
    return JoinTextLines(lines);
}

void PadBox(std::vector<std::string>& lines) {
    std::size_t width = 0;
    for (const auto& l : lines)
        width = std::max(width, l.size());
    for (auto& l : lines)
        PadTo(l, width);
}

}  // namespace

TTextLines SplitTextLines(std::string_view text) {
    TTextLines out;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        out.Lines.emplace_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) {
        out.Lines.emplace_back(text.substr(start));
    } else if (!text.empty()) {
        out.FinalBreak = true;
    }
    return out;
}

std::string JoinTextLines(const TTextLines& lines) {
    std::string out;
    for (std::size_t i = 0; i < lines.Lines.size(); ++i) {
        if (i > 0) out += "\r\n";
        out += lines.Lines[i];
    }
    if (lines.FinalBreak && !lines.Lines.empty()) out += "\r\n";
    return out;
}

int CompareLocaleText(std::string_view a, std::string_view b) {
    const int folded = LocaleLowerCase(a).compare(LocaleLowerCase(b));
    if (folded != 0) return folded < 0 ? -1 : 1;
    const int raw = a.compare(b);
    return raw < 0 ? -1 : raw > 0 ? 1 : 0;
}

std::string CapitalizeWords(std::string_view source) {
    std::string s = LocaleLowerCase(source);
    int k = 0;
    for (std::size_t i = 0; i < s.size();) {
        const std::size_t n = CharLength(s, i);
        if (n == 2) {
            const std::uint16_t code = Code(s, i);
            if (IsWideLetter(code)) {
                const std::uint16_t to = k == 0 ? UpperCaseWide(code) : LowerCaseWide(code);
                s[i] = static_cast<char>(to >> 8);
                s[i + 1] = static_cast<char>(to & 0xFF);
                ++k;
            } else {
                k = IsWideDigit(code) ? 1 : 0;
            }
        } else {
            const char c = s[i];
            if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
                const bool upper = c >= 'A' && c <= 'Z';
                if (k == 0 && !upper) s[i] = static_cast<char>(c - 'a' + 'A');
                if (k > 0 && upper) s[i] = static_cast<char>(c - 'A' + 'a');
                ++k;
            } else {
                k = (c >= '0' && c <= '9') ? 1 : 0;
            }
        }
        i += n;
    }
    return s;
}

std::string FullSpaceToSpaces(std::string_view s) {
    return ReplaceText(s, kFullSpace, "  ");
}

std::string SpacesToFullSpace(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    bool pending = false;
    for (std::size_t i = 0; i < s.size();) {
        const std::size_t n = CharLength(s, i);
        if (s[i] == ' ') {
            if (pending) out += kFullSpace;
            pending = !pending;
        } else {
            if (pending) out.push_back(' ');
            pending = false;
            out.append(s, i, n);
        }
        i += n;
    }
    if (pending) out.push_back(' ');
    return out;
}

std::string ExpandTabs(std::string_view line, std::int32_t tabStops) {
    const std::int64_t ts = std::max<std::int32_t>(tabStops, 1);
    std::string out;
    std::int64_t c = 1;
    for (std::size_t i = 0; i < line.size();) {
        const std::size_t n = CharLength(line, i);
        if (line[i] == '\t') {
            const std::int64_t d = ts * ((c - 1) / ts + 1) - c + 1;
            out.append(static_cast<std::size_t>(d), ' ');
            c += d;
        } else {
            out.append(line, i, n);
            c += static_cast<std::int64_t>(n);
        }
        i += n;
    }
    return out;
}

std::int32_t ExpandedWidth(std::string_view line, std::int32_t tabStops) {
    return static_cast<std::int32_t>(ExpandTabs(line, tabStops).size());
}

std::string TabifySpaces(std::string_view line, std::int32_t tabStops) {
    const std::int64_t ts = std::max<std::int32_t>(tabStops, 1);
    std::string out;
    std::int64_t c = 1;
    std::int64_t r = 0;
    bool run = false;
    for (std::size_t i = 0; i < line.size();) {
        const std::size_t n = CharLength(line, i);
        const char ch = line[i];
        if (ch == ' ') {
            if (!run) {
                run = true;
                r = c;
                out.push_back(' ');
            } else if (c % ts != 0) {
                out.push_back(' ');
            } else {
                while (!out.empty() && out.back() == ' ')
                    out.pop_back();
                out.append(static_cast<std::size_t>((c - r) / ts + 1), '\t');
                run = false;
            }
            c += 1;
        } else {
            out.append(line, i, n);
            run = false;
            c = ch == '\t' ? ts * ((c - 1) / ts + 1) + 1 : c + static_cast<std::int64_t>(n);
        }
        i += n;
    }
    return out;
}

std::string TrimLinesText(std::string_view s, bool left, bool right) {
    return MapLines(s, [left, right](const std::string& line) {
        std::string t = left ? TrimLeft(line) : line;
        return right ? TrimRightBlanks(t) : t;
    });
}

std::string AppendToLinesText(std::string_view s, std::string_view tail) {
    return MapLines(s, [tail](const std::string& line) { return line + std::string(tail); });
}

std::string ReverseCharactersText(std::string_view s) {
    return MapLines(s, [](const std::string& line) {
        std::string out(line.size(), '\0');
        std::size_t end = line.size();
        for (std::size_t i = 0; i < line.size();) {
            const std::size_t n = CharLength(line, i);
            end -= n;
            line.copy(out.data() + end, n, i);
            i += n;
        }
        return out;
    });
}

std::string ReverseRowsText(std::string_view s) {
    TTextLines lines = SplitTextLines(s);
    std::reverse(lines.Lines.begin(), lines.Lines.end());
    return JoinTextLines(lines);
}

std::string SortRowsText(std::string_view s, bool descending) {
    TTextLines lines = SplitTextLines(s);
    const std::vector<std::size_t> order = CollatedOrder(lines.Lines, descending);
    TTextLines out{{}, lines.FinalBreak};
    out.Lines.reserve(order.size());
    for (const std::size_t i : order)
        out.Lines.push_back(std::move(lines.Lines[i]));
    return JoinTextLines(out);
}

std::string DuplicateRowsText(std::string_view s) {
    const TTextLines lines = SplitTextLines(s);
    TTextLines out{{}, lines.FinalBreak};
    for (const auto& l : lines.Lines) {
        out.Lines.push_back(l);
        out.Lines.push_back(l);
    }
    return JoinTextLines(out);
}

std::string DeleteBlankRowsText(std::string_view s) {
    TTextLines lines = SplitTextLines(s);
    std::erase_if(lines.Lines, [](const std::string& l) { return IsBlankText(l); });
    if (lines.Lines.empty()) return {};
    return JoinTextLines(lines);
}

std::string DeleteRepeatedRowsText(std::string_view s) {
    TTextLines lines = SplitTextLines(s);
    lines.Lines.erase(std::unique(lines.Lines.begin(), lines.Lines.end()), lines.Lines.end());
    return JoinTextLines(lines);
}

std::int32_t LongestLine(std::string_view s) {
    std::size_t width = 0;
    for (const auto& l : SplitTextLines(s).Lines)
        width = std::max(width, l.size());
    return static_cast<std::int32_t>(std::min<std::size_t>(width, INT32_MAX));
}

std::string AlignLinesText(std::string_view s, int mode, std::int32_t width, bool box,
                           std::int32_t tabStops) {
    const std::size_t w = static_cast<std::size_t>(std::max(width, 0));
    return MapLines(s, [&](const std::string& line) {
        const std::string t = TrimBlanks(box ? std::string_view(line) : ExpandTabs(line, tabStops));
        std::string out;
        if ((!t.empty() || box) && t.size() < w) {
            if (mode == 1) out.append(w - t.size(), ' ');
            if (mode == 2) out.append((w - t.size()) / 2, ' ');
        }
        out += t;
        if (box) PadTo(out, w);
        return out;
    });
}

std::string AlignEqualsText(std::string_view s, bool box) {
    struct TParts {
        std::string L, E, A;
        bool Eq = false;
    };
    TTextLines lines = SplitTextLines(s);
    std::vector<TParts> parts;
    for (const auto& line : lines.Lines) {
        TParts p;
        if (const std::size_t eq = FindAscii(line, '='); eq != std::string::npos) {
            p.Eq = true;
            p.L = TrimRightBlanks(std::string_view(line).substr(0, eq));
            const std::string rest = TrimLeft(std::string_view(line).substr(eq + 1));
            const std::size_t w = FindChar(rest, kWideEquals);
            p.E = TrimRightBlanks(std::string_view(rest).substr(0, w));
            if (w != std::string::npos) p.A = TrimLeft(std::string_view(rest).substr(w + 2));
        } else if (const std::size_t w = FindChar(line, kWideEquals); w != std::string::npos) {
            p.L = TrimRightBlanks(std::string_view(line).substr(0, w));
            p.A = TrimLeft(std::string_view(line).substr(w + 2));
        } else {
            p.L = line;
        }
        parts.push_back(std::move(p));
    }
    std::size_t PL = 0;
    std::size_t PE = 0;
    for (const auto& p : parts) {
        if (!p.E.empty() || !p.A.empty() || p.Eq) PL = std::max(PL, p.L.size());
        if (!p.A.empty()) PE = std::max(PE, p.E.size());
    }
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const TParts& p = parts[i];
        std::string out = p.L;
        // An "=" with nothing behind it is kept.
        if (!p.E.empty() || (p.Eq && p.A.empty())) {
            PadTo(out, PL);
            out += p.E.empty() ? " =" : " = " + p.E;
        }
        if (!p.A.empty()) {
            PadTo(out, PE == 0 ? PL : PL + PE + 3);
            out += " \x81\x81 " + p.A;
        }
        lines.Lines[i] = std::move(out);
    }
    if (box) PadBox(lines.Lines);
    return JoinTextLines(lines);
}

std::string AlignCommentsText(std::string_view s, bool box, std::int32_t tabStops) {
    struct TParts {
        std::string L, E, C;
        bool HasL = false, HasC = false;
    };
    TTextLines lines = SplitTextLines(s);
    std::vector<TParts> parts;
    for (const auto& raw : lines.Lines) {
        const std::string line = ExpandTabs(raw, tabStops);
        TParts p;
        std::string head = line;
        if (const std::size_t semi = FindAscii(line, ';'); semi != std::string::npos) {
            p.HasC = true;
            p.C = line.substr(semi + 1);
            head = TrimRightBlanks(std::string_view(line).substr(0, semi));
        }
        if (const std::size_t colon = FindAscii(head, ':'); colon != std::string::npos) {
            p.HasL = true;
            p.L = TrimRightBlanks(std::string_view(head).substr(0, colon));
            p.E = TrimLeft(std::string_view(head).substr(colon + 1));
        } else {
            p.E = head;
        }
        parts.push_back(std::move(p));
    }
    std::size_t PL = 0;
    std::size_t PE = 0;
    for (const auto& p : parts) {
        if (!p.E.empty() || p.HasC) PL = std::max(PL, p.L.size());
        if (p.HasC) PE = std::max(PE, p.E.size());
    }
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const TParts& p = parts[i];
        const bool e = !p.E.empty();
        std::string out;
        if (p.HasL) {
            out = p.L;
            if (e) {
                PadTo(out, PL);
                out += " : " + p.E;
                if (p.HasC) {
                    PadTo(out, PL + PE + 3);
                    out += " ;" + p.C;
                }
            } else if (p.HasC) {
                PadTo(out, PL);
                out += " :;" + p.C;
            } else {
                out += " :";
            }
        } else if (e) {
            out = p.E;
            if (p.HasC) {
                PadTo(out, PE);
                out += " ;" + p.C;
            }
        } else if (p.HasC) {
            out = ";" + p.C;
        }
        lines.Lines[i] = std::move(out);
    }
    if (box) PadBox(lines.Lines);
    return JoinTextLines(lines);
}

std::string ReverseDigitsText(std::string_view source) {
    std::string s(source);
    std::vector<std::size_t> run;
    bool hex = false;
    const auto close = [&] {
        while (!run.empty() &&
               (s[run.back()] == ' ' || s[run.back()] == ',' || s[run.back()] == '.'))
            run.pop_back();
        if (run.size() > 1) {
            std::string chars;
            for (const std::size_t p : run)
                chars.push_back(s[p]);
            for (std::size_t k = 0; k < run.size(); ++k)
                s[run[k]] = chars[run.size() - 1 - k];
        }
        run.clear();
        hex = false;
    };
    for (std::size_t i = 0; i < s.size();) {
        const std::size_t n = CharLength(s, i);
        const char c = s[i];
        if (n == 2) {
            close();
        } else if (c == ' ' || c == ',' || c == '.') {
            if (!run.empty()) {
                run.push_back(i);
            } else if (c == '.') {
                close();
            }
        } else if (c == '$') {
            // The "$" ends what went before it: the run stays on its own side.
            close();
            hex = true;
        } else if (c >= '0' && c <= '9') {
            run.push_back(i);
        } else if (((c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f')) && !run.empty() && hex) {
            run.push_back(i);
        } else {
            close();
        }
        i += n;
    }
    close();
    return s;
}

std::string ReplaceText(std::string_view s, std::string_view a, std::string_view b) {
    if (a.empty()) return std::string(s);
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        if (s.substr(i, a.size()) == a) {
            out += b;
            i += a.size();
            continue;
        }
        const std::size_t n = CharLength(s, i);
        out.append(s, i, n);
        i += n;
    }
    return out;
}

std::string SwapText(std::string_view s, std::string_view a, std::string_view b) {
    if (a.empty() || b.empty()) return std::string(s);
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        if (s.substr(i, a.size()) == a) {
            out += b;
            i += a.size();
        } else if (s.substr(i, b.size()) == b) {
            out += a;
            i += b.size();
        } else {
            const std::size_t n = CharLength(s, i);
            out.append(s, i, n);
            i += n;
        }
    }
    return out;
}

std::string ConvertBracketsText(std::string_view s, int kind) {
    static constexpr char kFrom[3][2] = {{'{', '}'}, {'[', ']'}, {'(', ')'}};
    static constexpr char kTo[3][2] = {{'(', ')'}, {'(', ')'}, {'[', ']'}};
    const int k = std::clamp(kind, 0, 2);
    std::string out(s);
    for (std::size_t i = 0; i < out.size(); i += CharLength(out, i)) {
        if (out[i] == kFrom[k][0])
            out[i] = kTo[k][0];
        else if (out[i] == kFrom[k][1])
            out[i] = kTo[k][1];
    }
    return out;
}

}  // namespace rekna
