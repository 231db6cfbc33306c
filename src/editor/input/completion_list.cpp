// The completion list: the word at the caret, filtering and sorting the names, and acceptance.
#include "editor/input/completion_list.h"

#include "editor/commands/find_text.h"
#include "editor/paint/keyword_list.h"
#include "editor/umemo_editor.h"
#include "platform/cp932.h"

#include <algorithm>
#include <cstdlib>

namespace rekna {
namespace {

[[nodiscard]] char Lower(char c) noexcept {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

[[nodiscard]] bool StartsWithNoCase(std::string_view text, std::string_view prefix) noexcept {
    if (prefix.size() > text.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (Lower(text[i]) != Lower(prefix[i])) return false;
    return true;
}

[[nodiscard]] bool EqualNoCase(std::string_view a, std::string_view b) noexcept {
    return a.size() == b.size() && StartsWithNoCase(a, b);
}

// Alphabetical without regard to case; entries that differ only in case by their bytes.
[[nodiscard]] bool LessNoCase(const std::string& a, const std::string& b) noexcept {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const auto x = static_cast<unsigned char>(Lower(a[i]));
        const auto y = static_cast<unsigned char>(Lower(b[i]));
        if (x != y) return x < y;
    }
    if (a.size() != b.size()) return a.size() < b.size();
    return a < b;
}

}  // namespace

TNameSpan WordBeforeCaret(std::string_view line, std::size_t caret) noexcept {
    caret = std::min(caret, line.size());
    std::size_t start = caret;
    // Walking the characters from the line start keeps trail bytes inside their characters.
    std::size_t runStart = 0;
    bool inWord = false;
    for (std::size_t i = 0; i < caret; i += CharLength(line, i)) {
        const bool word = IsCompletionWordByte(static_cast<unsigned char>(line[i]));
        if (word && !inWord) runStart = i;
        inWord = word;
    }
    if (inWord) start = runStart;
    return {start, caret};
}

TNameSpan WordAroundCaret(std::string_view line, std::size_t caret) noexcept {
    caret = std::min(caret, line.size());
    TNameSpan span = WordBeforeCaret(line, caret);
    std::size_t end = caret;
    while (end < line.size() && IsCompletionWordByte(static_cast<unsigned char>(line[end])))
        end += CharLength(line, end);
    span.End = std::min(end, line.size());
    return span;
}

TCaretLine CaretLine(const TUMemoStrings& strings) {
    TCaretLine out;
    if (strings.GetCount() == 0) return out;
    const TSelPoint caret = strings.Selection().Caret;
    out.Text = strings.GetLine(caret.Y);
    out.Caret = std::min(LineOffsetOfPoint(strings, caret), out.Text.size());
    return out;
}

TCompletionSource CompletionSourceFor(TFileType type, std::string_view line) noexcept {
    switch (type) {
    case TFileType::ftJScript: return TCompletionSource::csJScript;
    case TFileType::ftRekna:
        if (!line.starts_with("#>") && !line.starts_with("#?")) return TCompletionSource::csCalc;
        return TCompletionSource::csVBScript;
    default: return TCompletionSource::csVBScript;
    }
}

void TCompletionList::Fill(std::initializer_list<std::span<const std::string>> lists,
                           std::string_view word) {
    FEntries.clear();
    for (const std::span<const std::string> list : lists)
        for (const std::string& entry : list)
            if (StartsWithNoCase(entry, word)) FEntries.push_back(entry);
    std::sort(FEntries.begin(), FEntries.end(), LessNoCase);
    FEntries.erase(std::unique(FEntries.begin(), FEntries.end()), FEntries.end());
    FSelected = -1;
    if (FEntries.size() == 1) {
        FSelected = 0;
        return;
    }
    for (std::size_t i = 0; i < FEntries.size(); ++i) {
        if (EqualNoCase(FEntries[i], word)) {
            FSelected = static_cast<int>(i);
            break;
        }
    }
}

void TCompletionList::Clear() noexcept {
    FEntries.clear();
    FSelected = -1;
}

void TCompletionList::Select(int index) noexcept {
    FSelected = index >= 0 && index < static_cast<int>(FEntries.size()) ? index : -1;
}

void TCompletionList::MoveSelection(int delta) noexcept {
    if (FEntries.empty()) return;
    const int last = static_cast<int>(FEntries.size()) - 1;
    FSelected = FSelected < 0 ? 0 : std::clamp(FSelected + delta, 0, last);
}

std::string_view TCompletionList::SelectedEntry() const noexcept {
    if (FSelected < 0) return {};
    return FEntries[static_cast<std::size_t>(FSelected)];
}

int TCompletionList::Width(int fontHeight) const noexcept {
    std::size_t longest = 5;
    for (const std::string& e : FEntries)
        longest = std::max(longest, e.size());
    const long long width = static_cast<long long>(std::abs(fontHeight)) *
                            static_cast<long long>(std::min<std::size_t>(longest, 4096) + 4) / 2;
    return static_cast<int>(std::min<long long>(width, 1 << 20));
}

void FillForCaret(TCompletionList& list, const TUMemoStrings& strings, TFileType type,
                  std::span<const std::string> calcNames) {
    const TCaretLine line = CaretLine(strings);
    const TNameSpan span = WordBeforeCaret(line.Text, line.Caret);
    const std::string_view word(line.Text.data() + span.Start, span.End - span.Start);
    switch (CompletionSourceFor(type, line.Text)) {
    case TCompletionSource::csCalc: list.Fill({calcNames}, word); break;
    case TCompletionSource::csJScript:
        list.Fill({JScriptKeyWords().Words(), JScriptReserved().Words()}, word);
        break;
    case TCompletionSource::csVBScript:
        list.Fill({VBScriptKeyWords().Words(), VBScriptReserved().Words()}, word);
        break;
    }
}

bool AcceptCompletion(TUMemoEditor& editor, std::string_view entry) {
    TUMemoStrings& s = editor.Strings();
    if (entry.empty() || editor.ReadOnly() || s.GetCount() == 0) return false;
    const TCaretLine line = CaretLine(s);
    const TNameSpan span = WordAroundCaret(line.Text, line.Caret);
    const std::string_view word(line.Text.data() + span.Start, span.End - span.Start);
    const std::int32_t first = s.FirstRowOfLine(s.Selection().Caret.Y);
    bool changed = false;
    s.BeginUpdate();
    TUMemoSelection& sel = s.Selection();
    if (word == entry) {
        sel.SetCaret(s, PointOfLineOffset(s, first, span.End), TSelMode::smNone);
    } else {
        sel.SelectStream(s, PointOfLineOffset(s, first, span.Start),
                         PointOfLineOffset(s, first, span.End));
        editor.ReplaceSel(entry);
        changed = true;
    }
    editor.ScrollCaretIntoView();
    s.EndUpdate();
    return changed;
}

}  // namespace rekna
