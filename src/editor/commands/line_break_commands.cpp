// The line-break commands on the selected rows: join, split at wraps, rejoin, join selected.
#include "editor/store/columns.h"
#include "editor/store/umemo_strings.h"
#include "platform/cp932.h"

#include <algorithm>
#include <limits>

namespace rekna {
namespace {

// Characters after which a row does not run on into the next one (closing brackets, sentence
// ends, marks that begin or end a list item).
[[nodiscard]] const TCharSet& NoJoinAfter() {
    static const TCharSet set(SysText("’”）〕］｝〉》」』】＞≫。．？！＊＠☆★○●◎◇◆□■△▲▽▼※◯") +
                              ")]}>.?!");
    return set;
}

// Characters before which a row does not run on from the previous one.
[[nodiscard]] const TCharSet& NoJoinBefore() {
    // The unassigned double-byte code 0x81 0x7F has no character to write it as.
    static const std::string unassigned{static_cast<char>(0x81), static_cast<char>(0x7F)};
    static const TCharSet set(SysText("‘“（〔［｛〈《「『【＜≪〇") + unassigned +
                              SysText("∴＃＊＠☆★○●◎◇◆□■△▲▽▼※◯") + "-([{" + SysText("･"));
    return set;
}

// The start of the last character of a non-empty s.
[[nodiscard]] std::int32_t LastCharStart(std::string_view s) noexcept {
    std::int32_t start = 1;
    const auto len = static_cast<std::int32_t>(s.size());
    for (std::int32_t i = 1; i <= len; i += CharBytesAt(s, i))
        start = i;
    return start;
}

}  // namespace

bool TUMemoStrings::SelectedRows(std::int32_t& from, std::int32_t& to) const noexcept {
    const std::int32_t count = GetCount();
    if (count == 0 || !FSelection.HasSelection(*this)) return false;
    from = std::clamp(FSelection.Start().Y, 0, count - 1);
    to = std::clamp(FSelection.End().Y, 0, count - 1);
    return true;
}

void TUMemoStrings::JoinNextRow(std::int32_t row) {
    std::size_t hang = 0;
    if (FRules.AutoIndent) {
        // The indentation a hanging indent would have replaced: without wrapping, all of it.
        const std::string_view text = FRows.At(row + 1).Text;
        hang = FRules.WrapColumns > 0 ? LineHangIndent(row + 1).size()
                                      : rekna::IndentPrefix(text, FRules).size();
        hang = std::min({hang, text.size(),
                         static_cast<std::size_t>(std::numeric_limits<std::uint16_t>::max())});
    }
    RawSetFlag(row, true);
    if (hang > 0) {
        const TUMemoStringItem& next = FRows.At(row + 1);
        RawPut(row + 1, next.Text, next.Continued != 0, static_cast<std::uint16_t>(hang));
    }
}

void TUMemoStrings::ReflowRows(std::int32_t from, std::int32_t to) {
    for (std::int32_t row = FirstRowOfLine(from); row <= to && row < GetCount();) {
        const std::int32_t oldLast = LastRowOfLine(row);
        const std::int32_t newLast = ReflowFrom(row);
        to += newLast - oldLast;
        row = newLast + 1;
    }
}

void TUMemoStrings::JoinLines() {
    std::int32_t from = 0;
    std::int32_t to = 0;
    if (!SelectedRows(from, to)) return;
    BeginEdit(true);
    const std::int32_t distance = FSelection.Caret.Y - FTopRow;
    for (std::int32_t row = from; row < to; ++row)
        if (FRows.At(row).Continued == 0) JoinNextRow(row);
    ReflowRows(from, to);
    SetTopRow(FSelection.Caret.Y - distance);
    EndEdit(true);
}

void TUMemoStrings::SplitAtWraps() {
    std::int32_t from = 0;
    std::int32_t to = 0;
    if (!SelectedRows(from, to)) return;
    BeginEdit(true);
    for (std::int32_t row = from; row < to; ++row) {
        if (FRows.At(row).Continued == 0) continue;
        RawSetFlag(row, false);
        FixHang(row + 1);
    }
    EndEdit(true);
}

void TUMemoStrings::RejoinWraps() {
    std::int32_t from = 0;
    std::int32_t to = 0;
    if (!SelectedRows(from, to)) return;
    BeginEdit(true);
    for (std::int32_t row = from; row < to && row + 1 < GetCount(); ++row) {
        const TUMemoStringItem& item = FRows.At(row);
        if (item.Continued != 0 || item.Text.empty()) continue;
        const std::int32_t cut =
            rekna::BreakPos(item.Text, FRows.At(row + 1).Text, FRules, item.HangLength);
        if (cut == static_cast<std::int32_t>(item.Text.size()) + 1) RawSetFlag(row, true);
    }
    EndEdit(true);
}

void TUMemoStrings::JoinSelected() {
    std::int32_t from = 0;
    std::int32_t to = 0;
    if (!SelectedRows(from, to)) return;
    BeginEdit(true);
    const std::int32_t distance = FSelection.Caret.Y - FTopRow;
    for (std::int32_t row = from; row < to && row + 1 < GetCount(); ++row) {
        const std::string_view text = FRows.At(row).Text;
        const std::string_view next = FRows.At(row + 1).Text;
        if (FRows.At(row).Continued != 0 || text.empty() || next.empty()) continue;
        if (text.size() == rekna::IndentPrefix(text, FRules).size()) continue;
        const std::int32_t last = LastCharStart(text);
        const auto lastBytes = static_cast<std::int32_t>(text.size()) + 1 - last;
        if (NoJoinAfter().Contains(text.data() + last - 1, lastBytes)) continue;
        const std::size_t indent = rekna::IndentLength(next, FRules);
        if (indent < next.size()) {
            const auto pos = static_cast<std::int32_t>(indent) + 1;
            if (NoJoinBefore().Contains(next.data() + indent, CharBytesAt(next, pos))) continue;
        }
        JoinNextRow(row);
    }
    ReflowRows(from, to);
    SetTopRow(FSelection.Caret.Y - distance);
    EndEdit(true);
}

}  // namespace rekna
