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

namespace {

// The row a line of the definitions text shows, if any.
std::optional<TDefRow> LineRow(std::string_view line) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (const std::string_view t = Trim(line); t.empty() || t.front() == ';') return std::nullopt;
    std::optional<TDefRow> row = ReadDefRow(line);
    if (row && row->Name.empty() && row->Description.empty() && row->Formula.empty())
        return std::nullopt;
    return row;
}

}  // namespace

TDefinitionText::TDefinitionText(std::string_view text) {
    FFinalBreak = !text.empty() && text.back() == '\n';
    if (const std::size_t lf = text.find('\n'); lf != std::string_view::npos)
        FCrLf = lf > 0 && text[lf - 1] == '\r';
    if (FFinalBreak) text.remove_suffix(1);
    if (text.empty() && !FFinalBreak) return;
    for (;;) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        if (std::optional<TDefRow> row = LineRow(line)) {
            FRows.push_back(std::move(*row));
            FSources.emplace_back(line);
        } else {
            FKept.emplace_back(FRows.size(), std::string(line));
        }
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
}

std::string TDefinitionText::Compose(const std::vector<TDefRow>& rows) const {
    // The read line of a row nobody changed: its own place first, then any unused one.
    std::vector<bool> used(FRows.size(), false);
    const auto source = [&](std::size_t i, const TDefRow& row) -> const std::string* {
        if (i < FRows.size() && !used[i] && FRows[i] == row) {
            used[i] = true;
            return &FSources[i];
        }
        for (std::size_t j = 0; j < FRows.size(); ++j) {
            if (!used[j] && FRows[j] == row) {
                used[j] = true;
                return &FSources[j];
            }
        }
        return nullptr;
    };
    std::vector<std::string> lines;
    std::size_t kept = 0;
    for (std::size_t i = 0; i <= rows.size(); ++i) {
        // Lines after the last row stay after the last row, however many rows there are now.
        while (kept < FKept.size() &&
               (i == rows.size() || (FKept[kept].first <= i && FKept[kept].first < FRows.size())))
            lines.push_back(FKept[kept++].second);
        if (i == rows.size()) break;
        if (const std::string* line = source(i, rows[i])) {
            lines.push_back(*line);
        } else if (std::string line = WriteDefRow(rows[i]); !line.empty()) {
            lines.push_back(std::move(line));
        }
    }
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) {
            if (FCrLf && (text.empty() || text.back() != '\r')) text += '\r';
            text += '\n';
        }
        text += lines[i];
    }
    // A text that was empty gets a line break after its last line, as new files have.
    if (!lines.empty() && (FFinalBreak || (FRows.empty() && FKept.empty()))) {
        if (FCrLf && text.back() != '\r') text += '\r';
        text += '\n';
    }
    return text;
}

}  // namespace rekna
