// TGraphTables: the graph window's seven settings tables, their rows, columns, cell kinds and
// defaults, their validation, the settings lines and the graph data file.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "grid/vt_grid.h"

namespace rekna {

enum class TGraphTableId : std::uint8_t {
    gtCalc,
    gtRange,
    gtTicks,
    gtFont,
    gtLine,
    gtMarker,
    gtData
};
inline constexpr int kGraphTableCount = 7;

// Row and column numbers of the tables (column 0 holds the row labels, row 0 the headers).
namespace gcol {
// 数式・凡例
inline constexpr int kVisible = 1, kFormula = 2, kLegend = 3, kKind = 4, kAxis = 5, kColor = 6,
                     kWidth = 7, kStyle = 8;
// タイトル・範囲
inline constexpr int kShow = 1, kTitle = 2, kScale = 3, kMin = 4, kMax = 5, kDivide = 6, kAlign = 7,
                     kSpace = 8, kMargin = 9;
// 目盛
inline constexpr int kTicks = 1, kStep = 2, kSub = 3, kLabels = 4, kSize = 5, kLabelAlign = 6,
                     kLabelSpace = 7, kFormat = 8, kUsr = 9, kAuto = 10, kPrecision = 11,
                     kDigits = 12, kInner = 13, kOuter = 14, kSubInner = 15, kSubOuter = 16;
// フォント・枠
inline constexpr int kFontName = 1, kFontSize = 2, kFontColor = 3, kBack = 4, kFrame = 5,
                     kFrameWidth = 6, kFrameColor = 7, kFrameSpace = 8, kSpacing = 9, kLength = 10;
}  // namespace gcol

namespace grow {
inline constexpr int kX = 1;         // 数式・凡例: Y[k] is row k + 1
inline constexpr int kTitleRow = 1;  // タイトル・範囲
inline constexpr int kLegendRow = 2;
inline constexpr int kXAxis = 3, kYAxis = 4, kRAxis = 5;
inline constexpr int kDataFirst = 4;  // データ: the first numbered row
}  // namespace grow

inline constexpr int kGraphFormulas = 10;
inline constexpr int kGraphDataColumns = 5;
// The data rows that files and #Graph. lines may number.
inline constexpr int kMaxGraphDataRows = 100000;

class TGraphTables {
public:
    // The tables live in grids of their own, or in the grids given (a window's grid widgets'
    // models); a null entry is a grid of its own.
    explicit TGraphTables(const std::array<TVtGrid*, kGraphTableCount>& grids = {});
    TGraphTables(const TGraphTables&) = delete;
    TGraphTables& operator=(const TGraphTables&) = delete;

    [[nodiscard]] TVtGrid& Table(TGraphTableId id) noexcept {
        return *FTables[static_cast<std::size_t>(id)];
    }
    [[nodiscard]] const TVtGrid& Table(TGraphTableId id) const noexcept {
        return *FTables[static_cast<std::size_t>(id)];
    }
    // The section name in files ("Calc") and the page caption ("数式・凡例", CP932).
    [[nodiscard]] static std::string_view SectionName(TGraphTableId id) noexcept;
    [[nodiscard]] static std::string PageCaption(TGraphTableId id);

    // Every table back to its design contents (the data table to its ten rows).
    void Reset();
    void ResetTable(TGraphTableId id);

    // Negative numbers of non-negative cells to "0", ranges clamped, the cells that depend on
    // others made read-only or editable again.
    void Validate(TGraphTableId id);
    void ValidateAll();

    // The formula cells edit as calculation text (brackets typed in pairs) or as plain text.
    void SetFormulaKind(bool calculation);

    // A cell the user (and files, and #Graph. lines) may change.
    [[nodiscard]] static bool Editable(const TVtGrid& grid, int col, int row);

    // Readers with the fallback for empty or unreadable cells.
    [[nodiscard]] const std::string& Text(TGraphTableId id, int col, int row) const {
        return Table(id).Cells(col, row);
    }
    [[nodiscard]] int Int(TGraphTableId id, int col, int row, int fallback) const;
    [[nodiscard]] double Number(TGraphTableId id, int col, int row, double fallback) const;
    [[nodiscard]] bool On(TGraphTableId id, int col, int row) const;
    // The list item's index, fallback when the text is none of the items.
    [[nodiscard]] int Item(TGraphTableId id, int col, int row, int fallback) const;
    [[nodiscard]] TColor Color(TGraphTableId id, int col, int row, TColor fallback) const;

    // The settings lines of the stored tables: "Calc.Y[1]=ON<TAB>X<TAB>..." (CP932).
    [[nodiscard]] std::vector<std::string> SettingsLines() const;
    // Applies lines "Section.Row=cells": the editable cells of that row, taken by position;
    // unknown keys are skipped, data rows beyond the table are appended (numbered up to
    // kMaxGraphDataRows). Validates after.
    void ApplySettingsLines(const std::vector<std::string>& lines);

    // The graph data file: CP932 text with CR LF line ends.
    [[nodiscard]] std::string FileText() const;
    // Whether the text reads as a graph data file: it holds a section's header line
    // ("Calc.Calc=..."). A memo saved under a ".kgd" name does not.
    [[nodiscard]] static bool IsGraphData(std::string_view text);
    // Reads a graph data file from the defaults: cells by their section's header names,
    // editable cells only; validates and clears the undo lists. False, with the tables
    // unchanged, when the text is not graph data.
    bool ReadFileText(std::string_view text);
    // Whether any stored table differs from its design contents: the user's settings.
    [[nodiscard]] bool HasUserSettings() const;
    // Whether the user changed a stored table since the last reading, saving or ClearUndo.
    [[nodiscard]] bool Modified() const;
    void ClearUndo();

    // The data table's row count of numbered rows; rows appended are numbered on.
    [[nodiscard]] int DataRows() const noexcept;
    void SetDataRows(int count);

private:
    void Build(TGraphTableId id);
    void SetDependentCells();
    // The parameter of a cell kind in a table, added on first use.
    int Param(TGraphTableId id, char kind);
    std::array<TVtGrid, kGraphTableCount> FOwned;
    std::array<TVtGrid*, kGraphTableCount> FTables{};
    std::array<std::map<char, int>, kGraphTableCount> FParams;
};

// The stored tables in file order (the marker table is not stored).
inline constexpr std::array<TGraphTableId, 6> kStoredGraphTables = {
    TGraphTableId::gtCalc, TGraphTableId::gtRange, TGraphTableId::gtTicks,
    TGraphTableId::gtFont, TGraphTableId::gtLine,  TGraphTableId::gtData};

}  // namespace rekna
