// The initial-calculation table's rows and the definitions text they edit: lines that a row
// stands for exactly become rows, every other line is kept as it is.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace rekna {

// One row of the table (CP932 texts).
struct TDefRow {
    std::string Name;
    std::string Description;
    std::string Formula;
    friend bool operator==(const TDefRow&, const TDefRow&) = default;
};

// The line of a row: the name ("#" before it when it holds "("), " [description]" when there is
// one, "=" and the formula; empty for a row that would give just "=".
[[nodiscard]] std::string WriteDefRow(const TDefRow& row);
// The row of a line: a part in square brackets is the description; the rest split at its first
// "=", the left side trimmed and without a leading "#" the name, the right side trimmed the
// formula. Nothing for a line without "=".
[[nodiscard]] std::optional<TDefRow> ReadDefRow(std::string_view line);

// A definitions text split into rows and kept lines. A line is a row only when writing that row
// gives the line back byte for byte; comments, blank lines, plain calculations, "#" constants,
// bracketed left sides and spaced lines stay as they are, each before the row it preceded.
class TDefinitionText {
public:
    explicit TDefinitionText(std::string_view text);
    [[nodiscard]] const std::vector<TDefRow>& Rows() const noexcept { return FRows; }
    // The text with these rows in place of the read ones; Compose(Rows()) is the text read.
    [[nodiscard]] std::string Compose(const std::vector<TDefRow>& rows) const;

private:
    std::vector<TDefRow> FRows;
    // Kept lines with the number of rows before them.
    std::vector<std::pair<std::size_t, std::string>> FKept;
    bool FFinalBreak = false;
};

}  // namespace rekna
