// rekna-calc --plot: the graph window's drawing of a memo, written as an SVG file.
#include "app/calc_plot.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "editor/store/umemo_strings.h"
#include "engine/vt_calc.h"
#include "frame/calc_options.h"
#include "frame/document_codec.h"
#include "frame/frame_settings.h"
#include "frame/memo_formula_list.h"
#include "frame/run_procedure.h"
#include "graph/svg_canvas.h"
#include "graph/xy_graph.h"
#include "graph_window/graph_model.h"
#include "platform/file_io.h"

namespace rekna {

namespace {

constexpr const char* kPlotUsage =
    "usage: rekna-calc --plot OUT.svg [--size WIDTHxHEIGHT] [FILE | -]\n"
    "  draws the memo's graph as the graph window shows it after #グラフ設定実行 on the last\n"
    "  line: the default tables, FILE's .kgd graph data when it exists, then the memo's\n"
    "  #Graph. lines; the picture is 720x480 unless --size says otherwise\n";

constexpr std::uintmax_t kMaxInput = 256u * 1024 * 1024;

int PlotFail(const std::string& message) {
    std::cerr << "rekna-calc: " << message << "\n";
    return 1;
}

bool ReadFile(const std::string& path, std::string& bytes, std::string& error) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        error = path + " is a folder, not a file";
        return false;
    }
    const auto size = std::filesystem::file_size(path, ec);
    if (!ec && size > kMaxInput) {
        error = path + " is too large";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot open " + path + ": " + std::strerror(errno);
        return false;
    }
    std::ostringstream buffer;
    buffer << in.rdbuf();
    bytes = buffer.str();
    return true;
}

bool ParseSize(std::string_view text, int& width, int& height) {
    const std::size_t x = text.find('x');
    if (x == std::string_view::npos) return false;
    try {
        width = std::stoi(std::string(text.substr(0, x)));
        height = std::stoi(std::string(text.substr(x + 1)));
    } catch (...) {
        return false;
    }
    return width >= 100 && height >= 100 && width <= 10000 && height <= 10000;
}

}  // namespace

int PlotMain(int argc, char** argv) {
    std::string out;
    std::string file = "-";
    int width = 720;
    int height = 480;
    bool haveFile = false;
    for (int i = 2; i < argc; ++i) {
        const std::string_view a = argv[i];
        if (a == "--size" && i + 1 < argc) {
            if (!ParseSize(argv[++i], width, height)) return PlotFail("--size needs WIDTHxHEIGHT");
        } else if (out.empty() && (a == "-" || a.substr(0, 1) != "-")) {
            out = a;
        } else if (!haveFile && (a == "-" || a.substr(0, 1) != "-")) {
            file = a;
            haveFile = true;
        } else {
            std::cerr << kPlotUsage;
            return 2;
        }
    }
    if (out.empty() || out == "-") {
        std::cerr << kPlotUsage;
        return 2;
    }
    std::string bytes;
    std::string error;
    if (file == "-") {
        std::ostringstream buffer;
        buffer << std::cin.rdbuf();
        bytes = buffer.str();
    } else if (!ReadFile(file, bytes, error)) {
        return PlotFail(error);
    }
    const TDecodedDocument doc = DecodeDocument(std::move(bytes));

    // The memo calculated as the window calculates it.
    TUMemoStrings memo, answers;
    memo.SetCplxEnable(true);
    TVtCalc calc;
    TCalcOptions options = FreshInstallOptions();
    ApplyFrameDesign(calc);
    options.ApplyToEngine(calc);
    TRunProcedure run(memo, answers, calc, options);
    std::string text = doc.Bytes;
    if (!text.empty() && text.back() != '\n') text += "\r\n";
    memo.LoadBytes(text, false);
    run.CalcRows(true, false, TCalcRangeKind::rkAll);
    const std::vector<std::string> lines = MemoLines(memo);

    TXYGraph graph;
    graph.SetSize(width, height);
    TGraphModel model(calc, graph);
    model.Sampler().BuildMemo = [&](TVtCalc& c, bool) { BuildMemoFormulas(lines, c, options); };
    model.PlotWidth = [&] {
        TSvgCanvas canvas(width, height);
        graph.Layout(canvas);
        return graph.PlotRect().Width();
    };
    if (file != "-") {
        const std::string kgd = std::filesystem::path(file).replace_extension(".kgd").string();
        std::string data;
        if (std::filesystem::exists(kgd) && ReadFile(kgd, data, error))
            model.Tables().ReadFileText(DecodeDocument(std::move(data)).Bytes);
    }
    std::vector<std::string> graphLines;
    for (const std::string& line : lines)
        if (line.compare(0, 7, "#Graph.") == 0) graphLines.push_back(line.substr(7));
    model.Tables().ApplySettingsLines(graphLines);
    model.FullUpdate();
    graph.MarkerStyle.Auto = false;
    const std::string svg = graph.CreateSvg();
    std::ofstream output(out, std::ios::binary | std::ios::trunc);
    if (!output) return PlotFail("cannot write " + out + ": " + std::strerror(errno));
    output.write(svg.data(), static_cast<std::streamsize>(svg.size()));
    output.close();
    if (!output) return PlotFail("cannot write " + out);
    return 0;
}

}  // namespace rekna
