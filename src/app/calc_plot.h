// rekna-calc --plot: the graph window's drawing of a memo, written as an SVG file.
#pragma once

namespace rekna {

// rekna-calc --plot OUT.svg [--size WIDTHxHEIGHT] [FILE | -]: the memo is calculated, then drawn
// as the graph window shows it after "#グラフ設定実行" on its last line: the default tables, the
// ".kgd" file of the same name when it exists, then the memo's #Graph. lines. argv[1] is "--plot".
int PlotMain(int argc, char** argv);

}  // namespace rekna
