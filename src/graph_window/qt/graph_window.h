// TFormGraph: the graph window "Rekna - グラフ": the graph, its two tool bars and the seven
// settings tables, over the Qt-free TGraphModel.
#pragma once

#include <QWidget>

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "frame/document_codec.h"
#include "graph_window/graph_model.h"

class QAction;
class QSplitter;
class QTabWidget;
class QToolBar;

namespace rekna {

class TStrVtGrid;
class TVtCalc;
class TXYGraphView;

class TFormGraph : public QWidget {
public:
    explicit TFormGraph(TVtCalc& calc, QWidget* parent = nullptr);
    ~TFormGraph() override;

    [[nodiscard]] TGraphModel& Model() noexcept { return *FModel; }
    [[nodiscard]] TXYGraphView* View() const noexcept { return FView; }
    [[nodiscard]] TStrVtGrid* Grid(TGraphTableId id) const noexcept {
        return FGrids[static_cast<std::size_t>(id)];
    }
    [[nodiscard]] QTabWidget* Pages() const noexcept { return FPages; }
    // A tool-bar button by its caption ("更新", "X*2", "Mkr1").
    [[nodiscard]] QAction* Button(std::string_view caption) const;

    // Before every compile: the host sets the sampler's memo options.
    std::function<void(TGraphSampler& sampler)> OnSyncOptions;
    // The memo editor types brackets in pairs: the formula cells do the same.
    std::function<bool()> AutoBrackets;
    // After the user changed a table.
    std::function<void()> OnTablesChanged;
    // The marker readout and the hints for the main window's status bar.
    std::function<void(const QString& text)> OnStatusText;

    // Runs a step of the window under the hourglass and a guard: an error leaves the previous
    // state; a step that would start while another runs is refused; Esc stops a long sampling.
    void Guarded(const std::function<void()>& step);
    // Compile, map, sample and the marker columns, with the hourglass; Esc stops a long one.
    void FullUpdate();
    // Reads or writes a graph data file; reading is followed by the full update. Failures are
    // reported through the result, the tables then unchanged (reading: also a file that is not
    // graph data) or the file untouched (writing goes through a temporary file and a rename).
    bool LoadFile(const std::string& path);
    bool SaveFile(const std::string& path);
    // The file exists and is not graph data (a memo saved under a ".kgd" name, say), or cannot
    // be read: it is replaced only when the user agrees.
    [[nodiscard]] static bool IsForeignFile(const std::string& path);
    // Asks whether such a file is replaced; unset, a message box asks.
    std::function<bool(const QString& path)> AskReplaceFile;

    // The window's settings keys (Graph.Top, ..., Graph.MkrGrid).
    void ReadKept(const std::map<std::string, std::string, std::less<>>& kept);
    void WriteKept(std::map<std::string, std::string, std::less<>>& kept) const;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateToolBars(QToolBar* top, QToolBar* bottom);
    void CreatePages();
    void TableChanged(TGraphTableId id);
    void RefreshGrids();
    void ShowCellHint(TGraphTableId id);
    void MarkerSet(long double x);
    // Markers at the selected marker-table cell's column (every formula for the X row).
    void ShowMarkerCell();
    bool StepCell(TGraphTableId id, char key);
    // While the formula column has the focus, the selected rows' curves are drawn wider.
    void HighlightCurves();
    void ShowStatus(const QString& text);
    void Activated();
    void Deactivated();
    [[nodiscard]] static std::optional<TDecodedDocument> ReadDataFile(const std::string& path);

    TVtCalc& FCalc;
    TXYGraphView* FView = nullptr;
    std::array<TStrVtGrid*, kGraphTableCount> FGrids{};
    std::unique_ptr<TGraphModel> FModel;
    QTabWidget* FPages = nullptr;
    QSplitter* FSplitter = nullptr;
    std::map<std::string, QAction*, std::less<>> FButtons;
    bool FBusy = false;
    // The progress dialog took the activation away: its return does not update again.
    bool FProgressShown = false;
    // A data file is written back in the encoding and line ends it was read with; a new one as
    // new files are.
    TDocEncoding FEncoding = PlainFileFormat().Encoding;
    bool FBom = false;
    TLineEnd FLineEnd = PlainFileFormat().LineEnd;
};

}  // namespace rekna
