// The selected text of each selection mode, as copying takes it out of the rows.
#include "editor/store/umemo_strings.h"

#include <algorithm>

namespace rekna {
namespace {

[[nodiscard]] std::string_view Substr(std::string_view s, std::size_t from, std::size_t to) {
    from = std::min(from, s.size());
    to = std::clamp(to, from, s.size());
    return s.substr(from, to - from);
}

}  // namespace

std::string TUMemoStrings::GetSelText(bool raw) const {
    const std::int32_t count = GetCount();
    if (count == 0) return {};
    const TUMemoSelection& sel = FSelection;
    const TSelPoint start = sel.Start();
    const TSelPoint end = sel.End();
    const std::int32_t top = std::clamp(start.Y, 0, count - 1);
    const std::int32_t bottom = std::clamp(end.Y, 0, count - 1);
    // Whether the line break after row is part of the text taken.
    auto separator = [&](std::string& out, std::int32_t row) {
        if (row == count - 1) return;
        if (raw || FRows.At(row).Continued == 0) out += "\r\n";
    };
    std::string out;
    switch (sel.Mode) {
    case TSelMode::smLine:
        for (std::int32_t row = top; row <= bottom; ++row) {
            const TUMemoStringItem& item = FRows.At(row);
            out += std::string_view(item.Text).substr(raw ? 0 : item.HangLength);
            separator(out, row);
        }
        break;
    case TSelMode::smStream: {
        if (sel.Caret == sel.Anchor) break;
        // Leading indentation is left out of a stream selection when the auto-indent rules say
        // so; a hanging-indent copy is never text.
        const bool indentRule =
            FRules.AutoIndent && FAutoIndentTypes.Contains(TAutoIndentType::atSelect);
        std::int32_t first = start.X;
        if (indentRule) first = std::max(first, IndentLength(top) + 1);
        if (!raw) first = std::max(first, static_cast<std::int32_t>(FRows.At(top).HangLength) + 1);
        const std::string_view firstText = FRows.At(top).Text;
        if (top == bottom) {
            out = Substr(firstText, static_cast<std::size_t>(first - 1),
                         static_cast<std::size_t>(end.X - 1));
            break;
        }
        out = Substr(firstText, static_cast<std::size_t>(first - 1), firstText.size());
        separator(out, top);
        for (std::int32_t row = top + 1; row <= bottom; ++row) {
            const TUMemoStringItem& item = FRows.At(row);
            std::size_t strip = 0;
            if (!raw) {
                // A continuation row loses exactly its hanging-indent copy, a row that starts a
                // line its indentation.
                if (FRows.At(row - 1).Continued != 0)
                    strip = item.HangLength;
                else if (indentRule)
                    strip = static_cast<std::size_t>(IndentLength(item.Text));
            }
            const std::size_t limit =
                row == bottom ? static_cast<std::size_t>(end.X - 1) : item.Text.size();
            out += Substr(item.Text, strip, limit);
            if (row < bottom) separator(out, row);
        }
        break;
    }
    case TSelMode::smBox: {
        const std::int32_t left = sel.BoxLeft(*this);
        const std::int32_t right = sel.BoxRight(*this);
        for (std::int32_t row = top; row <= bottom; ++row) {
            const TUMemoStringItem& item = FRows.At(row);
            if (item.Width >= left) {
                const std::int32_t from = PosOfColumn(item.Text, left);
                const std::int32_t to = PosOfColumn(item.Text, right);
                out += Substr(item.Text, static_cast<std::size_t>(from - 1),
                              static_cast<std::size_t>(to - 1));
            }
            out += "\r\n";
        }
        break;
    }
    case TSelMode::smNone: break;
    }
    return out;
}

}  // namespace rekna
