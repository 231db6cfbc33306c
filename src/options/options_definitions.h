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

// A definitions text split into rows and kept lines. Every line that reads as a row (it has an
// "=" and is not a ";" comment) is a row, also where writing the row would not give its bytes
// back ("a = 1", "#c=3", "k=1 [m]"); a row nobody changed is written back as the line it was
// read from. Comments, blank lines and plain calculations stay as they are, each before the row
// it preceded.
class TDefinitionText {
public:
    explicit TDefinitionText(std::string_view text);
    [[nodiscard]] const std::vector<TDefRow>& Rows() const noexcept { return FRows; }
    // The text with these rows in place of the read ones; Compose(Rows()) is the text read. A
    // row equal to a read one takes that one's line, wherever it moved.
    [[nodiscard]] std::string Compose(const std::vector<TDefRow>& rows) const;

private:
    std::vector<TDefRow> FRows;
    // The line each row was read from, as it was (a CR before its line break included).
    std::vector<std::string> FSources;
    // Kept lines with the number of rows before them.
    std::vector<std::pair<std::size_t, std::string>> FKept;
    bool FFinalBreak = false;
    bool FCrLf = false;  // the first line break is CR LF: written rows take it too
};

}  // namespace rekna
