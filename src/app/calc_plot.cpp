// rekna-calc --plot: the graph window's drawing of a memo, written as an SVG file.
#include "app/calc_plot.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "app/batch_run.h"
#include "frame/document_codec.h"
#include "frame/frame_settings.h"
#include "frame/main_settings.h"
#include "frame/memo_formula_list.h"
#include "graph/svg_canvas.h"
#include "graph/xy_graph.h"
#include "graph_window/graph_model.h"
#include "platform/file_io.h"

namespace rekna {

namespace {

constexpr std::uintmax_t kMaxInput = 256u * 1024 * 1024;

// Input that cannot be read and refused arguments: status 2, as the rest of rekna-calc; a
// picture that cannot be written: status 1.
int PlotFail(const std::string& message, int status = 2) {
    std::cerr << "rekna-calc: " << message << "\n";
    return status;
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

// One side of WIDTHxHEIGHT: digits only, within the limits.
bool ParseSide(std::string_view text, int& value) {
    if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != text.npos)
        return false;
    value = std::stoi(std::string(text));
    return value >= kPlotMinSide && value <= kPlotMaxSide;
}

bool SameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    return std::filesystem::equivalent(a, b, ec) && !ec;
}

// What this program writes is replaced; any other file (a memo given as OUT by mistake, someone
// else's picture) is left alone.
bool IsOwnPicture(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string head(256, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    return head.find(TSvgCanvas::kSignature) != std::string::npos;
}

}  // namespace

bool ParsePlotSize(std::string_view text, int& width, int& height) {
    const std::size_t x = text.find('x');
    int w = 0, h = 0;
    if (x == std::string_view::npos || !ParseSide(text.substr(0, x), w) ||
        !ParseSide(text.substr(x + 1), h))
        return false;
    width = w;
    height = h;
    return true;
}

int PlotMemo(const TPlotArgs& plot, const std::string& file, const TMemorySettings& store,
             std::string defText, const TBatchSetup& setup) {
    const std::string& out = plot.Out;
    const int width = plot.Width;
    const int height = plot.Height;
    const std::string kgd = file == "-"
                                ? std::string()
                                : std::filesystem::path(file).replace_extension(".kgd").string();
    std::error_code ec;
    if (std::filesystem::exists(out, ec)) {
        if (file != "-" && (SameFile(out, file) || SameFile(out, kgd)))
            return PlotFail(out + " is the plot's own input; the picture needs another name");
        if (std::filesystem::is_directory(out, ec)) return PlotFail(out + " is a folder");
        if (!IsOwnPicture(out))
            return PlotFail(out + " is not a picture that rekna-calc drew; it is left as it is " +
                            "(the picture's name comes first: --plot OUT.svg FILE)");
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

    // The memo calculated as the window calculates it, under the same settings and definitions.
    TBatchRun batch(setup, store, std::move(defText));
    std::string text = doc.Bytes;
    if (!text.empty() && text.back() != '\n') text += "\r\n";
    batch.Memo.LoadBytes(text, false);
    batch.Run.CalcRows(true, false, TCalcRangeKind::rkAll);
    const std::vector<std::string> lines = MemoLines(batch.Memo);

    TXYGraph graph;
    graph.SetSize(width, height);
    TGraphModel model(batch.Calc, graph);
    // The graph options of the settings; the caret stands on the last line.
    TMainSettings main;
    ReadMainSettings(store, main);
    model.Sampler().UseMemo = main.GraphCalcMemo;
    model.Sampler().Optimise = main.GraphCalcTune;
    const std::vector<std::string> formulaLines = FormulaLinesOf(lines);
    model.Sampler().BuildMemo = [&](TVtCalc& c, bool) {
        BuildMemoFormulas(formulaLines, c, batch.Options);
    };
    model.PlotWidth = [&] {
        TSvgCanvas canvas(width, height);
        graph.Layout(canvas);
        return graph.PlotRect().Width();
    };
    if (!kgd.empty() && std::filesystem::exists(kgd, ec)) {
        // A .kgd that cannot be read is said, and the memo drawn without it.
        std::string data;
        if (!ReadFile(kgd, data, error)) {
            std::cerr << "rekna-calc: " << error << "; drawn without it\n";
        } else if (!model.Tables().ReadFileText(DecodeDocument(std::move(data)).Bytes)) {
            std::cerr << "rekna-calc: " << kgd << " is not graph data; drawn without it\n";
        }
    }
    std::vector<std::string> graphLines;
    for (const std::string& line : lines)
        if (line.compare(0, 7, "#Graph.") == 0) graphLines.push_back(line.substr(7));
    model.Tables().ApplySettingsLines(graphLines);
    model.FullUpdate();
    graph.MarkerStyle.Auto = false;
    const std::string svg = graph.CreateSvg();
    const TFileResult written = WriteFileReplacing(out, [&svg](const auto& sink) { sink(svg); });
    if (!written.Ok()) return PlotFail("cannot write " + out + ": " + written.Message(), 1);
    return 0;
}

}  // namespace rekna
