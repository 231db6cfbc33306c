// Line splitting of texts with mixed line ends, and TPastStringList's text conversion.
#include "editor/commands/past_string_list.h"

namespace rekna {

bool NextTextLine(std::string_view text, std::size_t& pos, std::string_view& line) noexcept {
    if (pos >= text.size()) return false;
    const std::size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) {
        line = text.substr(pos);
        pos = text.size();
        return true;
    }
    line = text.substr(pos, end - pos);
    pos = end + 1;
    if (text[end] == '\r' && pos < text.size() && text[pos] == '\n') ++pos;
    return true;
}

void TPastStringList::SetTextStr(std::string_view text) {
    FLines.clear();
    std::size_t pos = 0;
    std::string_view line;
    while (NextTextLine(text, pos, line))
        FLines.emplace_back(line);
    if (!text.empty() && text.back() == '\n') FLines.emplace_back();
}

std::string TPastStringList::GetTextStr() const {
    std::size_t size = 0;
    for (const std::string& line : FLines)
        size += line.size() + 2;
    std::string text;
    text.reserve(size);
    for (std::size_t i = 0; i < FLines.size(); ++i) {
        if (i > 0) text += "\r\n";
        text += FLines[i];
    }
    return text;
}

const std::string& TPastStringList::Get(std::int32_t index) const noexcept {
    static const std::string empty;
    if (index < 0 || index >= Count()) return empty;
    return FLines[static_cast<std::size_t>(index)];
}

}  // namespace rekna
