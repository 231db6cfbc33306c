// Rewriting the lines and cells a hot key took from another program's editor.
#include "hotkey/hotkey_replace.h"

#include "editor/commands/past_string_list.h"
#include "frame/answer_writer.h"

namespace rekna {

namespace {

// WriteAnswer puts the marker after the expression part as " ＝ ".
constexpr std::string_view kMarker = "\x81\x81";  // "＝" in CP932

std::string RowOfCells(std::string_view line, const TReplacementOptions& options,
                       const TCellCalculator& calculate) {
    if (!options.Spreadsheet || line.empty()) return CalcCell(line, options, calculate);
    std::string out;
    std::size_t pos = 0;
    while (true) {
        const std::size_t tab = line.find('\t', pos);
        out += CalcCell(line.substr(pos, tab == std::string_view::npos ? tab : tab - pos), options,
                        calculate);
        if (tab == std::string_view::npos) break;
        out += '\t';
        pos = tab + 1;
    }
    return out;
}

}  // namespace

std::string CutWrittenResult(std::string_view cell) {
    const std::size_t marker = AnswerMarker(cell);
    if (marker == std::string_view::npos) return std::string(cell);
    std::string_view cut = cell.substr(0, marker);
    if (!cut.empty() && cut.back() == ' ') cut.remove_suffix(1);
    return std::string(cut);
}

std::string CalcCell(std::string_view cell, const TReplacementOptions& options,
                     const TCellCalculator& calculate) {
    if (TrimBlanks(cell).empty()) return std::string(cell);
    const std::string cut = CutWrittenResult(cell);
    if (!options.Calculate || TrimBlanks(cut).empty() || !calculate) return cut;
    const auto [formula, answer] = calculate(cut);
    std::string_view result = TrimBlanks(answer);
    // A statistics answer carries a Tab and a note: the Tab would start a new cell.
    result = result.substr(0, result.find('\t'));
    if (result.empty()) return cut;
    if (options.Replace) return std::string(result);
    std::string written =
        WriteAnswer(cell, formula, answer, options.ShowErrors, options.ShowControl);
    if (options.HalfEquals) {
        const std::size_t marker = AnswerMarker(written);
        if (marker != std::string::npos) written.replace(marker, kMarker.size(), 1, '=');
    }
    return written;
}

std::string ComputeReplacement(std::string_view text, const TReplacementOptions& options,
                               const TCellCalculator& calculate) {
    TPastStringList lines;
    lines.SetTextStr(text);
    std::size_t count = lines.Lines().size();
    if (options.Spreadsheet && count > 0 && lines.Lines().back().empty()) --count;
    std::string out;
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0) out += '\n';
        out += RowOfCells(lines.Lines()[i], options, calculate);
    }
    return out;
}

}  // namespace rekna
