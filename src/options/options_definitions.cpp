// The initial-calculation rows and the definitions text.
#include "options/options_definitions.h"

namespace rekna {

namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

}  // namespace

std::string WriteDefRow(const TDefRow& row) {
    if (row.Name.empty() && row.Description.empty() && row.Formula.empty()) return {};
    std::string line;
    if (row.Name.find('(') != std::string::npos) line += '#';
    line += row.Name;
    if (!row.Description.empty()) line += " [" + row.Description + "]";
    line += '=';
    line += row.Formula;
    return line;
}

std::optional<TDefRow> ReadDefRow(std::string_view line) {
    TDefRow row;
    std::string rest(line);
    const std::size_t open = rest.find('[');
    if (open != std::string::npos) {
        const std::size_t close = rest.find(']', open + 1);
        if (close != std::string::npos) {
            row.Description = rest.substr(open + 1, close - open - 1);
            rest.erase(open, close - open + 1);
        }
    }
    const std::size_t eq = rest.find('=');
    if (eq == std::string::npos) return std::nullopt;
    std::string_view name = Trim(std::string_view(rest).substr(0, eq));
    if (!name.empty() && name.front() == '#') name.remove_prefix(1);
    row.Name = std::string(name);
    row.Formula = std::string(Trim(std::string_view(rest).substr(eq + 1)));
    return row;
}

TDefinitionText::TDefinitionText(std::string_view text) {
    FFinalBreak = !text.empty() && text.back() == '\n';
    if (FFinalBreak) text.remove_suffix(1);
    if (text.empty() && !FFinalBreak) return;
    for (;;) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        const std::optional<TDefRow> row = ReadDefRow(line);
        if (row && !line.empty() && line.find('\r') == std::string_view::npos &&
            WriteDefRow(*row) == line) {
            FRows.push_back(*row);
        } else {
            FKept.emplace_back(FRows.size(), std::string(line));
        }
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
}

std::string TDefinitionText::Compose(const std::vector<TDefRow>& rows) const {
    std::vector<std::string> lines;
    std::size_t kept = 0;
    for (std::size_t i = 0; i <= rows.size(); ++i) {
        // Lines after the last row stay after the last row, however many rows there are now.
        while (kept < FKept.size() &&
               (i == rows.size() || (FKept[kept].first <= i && FKept[kept].first < FRows.size())))
            lines.push_back(FKept[kept++].second);
        if (i == rows.size()) break;
        std::string line = WriteDefRow(rows[i]);
        if (!line.empty()) lines.push_back(std::move(line));
    }
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) text += '\n';
        text += lines[i];
    }
    // A text that was empty gets a line break after its last line, as new files have.
    if (!lines.empty() && (FFinalBreak || (FRows.empty() && FKept.empty()))) text += '\n';
    return text;
}

}  // namespace rekna
