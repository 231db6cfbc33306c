// rekna-calc --plot: the graph window's drawing of a memo, written as an SVG file.
#pragma once

#include <string>
#include <string_view>

namespace rekna {

class TMemorySettings;
struct TBatchSetup;

// --plot OUT.svg [--size WIDTHxHEIGHT].
struct TPlotArgs {
    std::string Out;  // empty: no picture is asked for
    int Width = 720, Height = 480;
};

// The sides a picture may have, and what a refused --size says.
inline constexpr int kPlotMinSide = 100, kPlotMaxSide = 10000;
inline constexpr std::string_view kPlotSizeError =
    "--size needs WIDTHxHEIGHT, each from 100 to 10000 (such as 720x480)";
// WIDTHxHEIGHT, each side digits only and within kPlotMinSide..kPlotMaxSide; the values are set
// only when true.
[[nodiscard]] bool ParsePlotSize(std::string_view text, int& width, int& height);

// The memo file (or "-", standard input) is calculated under the settings and definitions, as
// the window calculates it, then drawn as the graph window shows it after "#グラフ設定実行" on
// its last line: the default tables, the ".kgd" file of the same name when it exists, then the
// memo's #Graph. lines. The status is 0, 2 for input or arguments refused, 1 when the picture
// cannot be written.
int PlotMemo(const TPlotArgs& plot, const std::string& file, const TMemorySettings& store,
             std::string defText, const TBatchSetup& setup);

}  // namespace rekna
