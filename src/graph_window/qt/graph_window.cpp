// The graph window: tool bars, the graph view and the seven settings tables over TGraphModel.
#include "graph_window/qt/graph_window.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QProgressDialog>
#include <QSplitter>
#include <QTabWidget>
#include <QToolBar>
#include <QToolTip>
#include <QVBoxLayout>

#include <cmath>
#include <cstdio>

#include "frame/qt/window_place.h"
#include "graph/qt/xy_graph_view.h"
#include "graph/xy_graph.h"
#include "graph/xy_series.h"
#include "graph_window/graph_mapping.h"
#include "grid/qt/str_vt_grid.h"
#include "grid/vt_values.h"
#include "platform/failure.h"
#include "platform/file_io.h"
#include "platform/qt/qt_cp932.h"

namespace rekna {

namespace {

using enum TGraphTableId;

constexpr qint64 kMaxDataFile = 64 * 1024 * 1024;
constexpr const char* kGridKeys[] = {"Graph.CalcGrid", "Graph.RangeGrid", "Graph.TicksGrid",
                                     "Graph.FontGrid", "Graph.LineGrid",  "Graph.MkrGrid"};
constexpr TGraphTableId kGridKeyTables[] = {gtCalc, gtRange, gtTicks, gtFont, gtLine, gtMarker};

QString Q(std::string_view cp932) {
    return GridToQ(cp932);
}

// Text for other programs: LF line ends.
QString ClipboardText(const std::string& cp932) {
    QString text = Q(cp932);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

bool ReadInt(const std::map<std::string, std::string, std::less<>>& kept, std::string_view key,
             int& value) {
    const auto it = kept.find(key);
    if (it == kept.end()) return false;
    bool ok = false;
    const int v = QString::fromStdString(it->second).trimmed().toInt(&ok);
    if (ok) value = v;
    return ok;
}

}  // namespace

TFormGraph::TFormGraph(TVtCalc& calc, QWidget* parent) : QWidget(parent, Qt::Window), FCalc(calc) {
    setWindowTitle(QStringLiteral("Rekna - グラフ"));
    resize(720, 640);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* top = new QToolBar(this);
    layout->addWidget(top);
    FSplitter = new QSplitter(Qt::Vertical, this);
    layout->addWidget(FSplitter, 1);
    auto* upper = new QWidget(FSplitter);
    auto* upperLayout = new QVBoxLayout(upper);
    upperLayout->setContentsMargins(2, 2, 2, 0);
    upperLayout->setSpacing(0);
    FView = new TXYGraphView(upper);
    FView->setMinimumSize(200, 150);
    FView->setMouseTracking(true);
    FView->installEventFilter(this);
    upperLayout->addWidget(FView, 1);
    auto* bottom = new QToolBar(upper);
    upperLayout->addWidget(bottom);
    FPages = new QTabWidget(FSplitter);
    for (int i = 0; i < kGraphTableCount; ++i)
        FGrids[static_cast<std::size_t>(i)] = new TStrVtGrid(FPages);
    std::array<TVtGrid*, kGraphTableCount> models{};
    for (int i = 0; i < kGraphTableCount; ++i)
        models[static_cast<std::size_t>(i)] = &FGrids[static_cast<std::size_t>(i)]->Grid();
    FModel = std::make_unique<TGraphModel>(calc, FView->Graph(), models);
    FModel->CellChars = [this](TGraphTableId id, int col) {
        const int height = std::max(1, Grid(id)->fontMetrics().height());
        return 2 * Grid(id)->Grid().ColWidth(col) / height - 1;
    };
    FModel->PlotWidth = [this] {
        TXYGraph& g = FView->Graph();
        g.SetSize(FView->width(), FView->height());
        return g.PlotRect().Width();
    };
    CreateToolBars(top, bottom);
    CreatePages();
    // A larger window gives its height to the plot; the tables keep theirs (the splitter moves
    // them).
    FSplitter->setStretchFactor(0, 1);
    FSplitter->setStretchFactor(1, 0);

    TXYGraph& graph = FView->Graph();
    graph.OnSetMarker = [this](long double x, long double) { MarkerSet(x); };
    graph.OnScroll = [this] { Guarded([this] { FModel->Scrolled(); }); };
    graph.OnZoom = [this] { Guarded([this] { FModel->ComputeAndDraw(); }); };
    graph.OnUndoZoom = graph.OnZoom;
}

TFormGraph::~TFormGraph() {
    // The graph's events point into this window.
    TXYGraph& graph = FView->Graph();
    graph.OnSetMarker = nullptr;
    graph.OnScroll = nullptr;
    graph.OnZoom = nullptr;
    graph.OnUndoZoom = nullptr;
}

QAction* TFormGraph::Button(std::string_view caption) const {
    const auto it = FButtons.find(caption);
    return it == FButtons.end() ? nullptr : it->second;
}

void TFormGraph::CreateToolBars(QToolBar* top, QToolBar* bottom) {
    struct TButton {
        const char* Caption;
        const char* Hint;
        std::function<void()> Run;
        bool Checkable = false;
    };
    TGraphModel& m = *FModel;
    const auto zoom = [this](std::uint8_t axes, double f) {
        return [this, axes, f] { Guarded([this, axes, f] { FModel->Zoom(axes, f); }); };
    };
    const auto shift = [this](std::uint8_t axes, double s) {
        return [this, axes, s] { Guarded([this, axes, s] { FModel->Shift(axes, s); }); };
    };
    const std::vector<TButton> first = {
        {"更新", "スケールを設定テーブルに合わせて描画", [this] { FullUpdate(); }},
        {"描画", "数式を再計算してグラフ描画",
         [this] { Guarded([this] { FModel->ComputeAndDraw(); }); }},
        {"書込", "現在のグラフの範囲を、設定テーブルに書き込む",
         [this, &m] {
             m.WriteRangeToTable();
             Grid(gtRange)->Refresh();
             FPages->setCurrentIndex(static_cast<int>(gtRange));
             Grid(gtRange)->setFocus();
         }},
        {"Fit", "縦軸をデータに合わせて設定", [this] { Guarded([this] { FModel->Fit(); }); }},
        {"□*2", "グラフを2倍に拡大表示", zoom(gaAll, 0.5)},
        {"□/2", "グラフを1/2倍に縮小表示", zoom(gaAll, 2)},
        {"X*2", "X軸を2倍に拡大表示", zoom(gaX, 0.5)},
        {"X/2", "X軸を1/2倍に縮小表示", zoom(gaX, 2)},
        {"Y*2", "Y軸を2倍に拡大表示", zoom(gaY, 0.5)},
        {"Y/2", "Y軸を1/2倍に縮小表示", zoom(gaY, 2)},
        {"R*2", "R軸を2倍に拡大表示", zoom(gaR, 0.5)},
        {"R/2", "R軸を1/2倍に縮小表示", zoom(gaR, 2)},
    };
    const std::vector<TButton> second = {
        {"CopyB", "グラフをクリップボードへコピー(ビットマップ)",
         [this] { FView->CopyBitmapToClipboard(); }},
        {"CopyM", "グラフをクリップボードへコピー(メタファイル)",
         [this] { FView->CopyMetafileToClipboard(); }},
        {"CopyT", "グラフの数値データをクリップボードへコピー(テキスト)",
         [&m] {
             const std::string text = m.SampledDataText();
             if (!text.empty()) QApplication::clipboard()->setText(ClipboardText(text));
         }},
        {"CopyC", "グラフの計算式をクリップボードへコピー(テキスト)",
         [&m] { QApplication::clipboard()->setText(ClipboardText(m.FormulasText())); }},
        {"←", "グラフを左に25%移動", shift(gaX, 0.25)},
        {"→", "グラフを右に25%移動", shift(gaX, -0.25)},
        {"↑", "グラフを上に25%移動", shift(gaY | gaR, -0.25)},
        {"↓", "グラフを下に25%移動", shift(gaY | gaR, 0.25)},
        {"Y↑", "Y軸グラフを上に25%移動", shift(gaY, -0.25)},
        {"Y↓", "Y軸グラフを下に25%移動", shift(gaY, 0.25)},
        {"R↑", "R軸グラフを上に25%移動", shift(gaR, -0.25)},
        {"R↓", "R軸グラフを下に25%移動", shift(gaR, 0.25)},
        {"Mkr1", "シングルマーカー",
         [this] {
             FView->Graph().MarkerStyle.Auto = Button("Mkr1")->isChecked();
             FView->Redraw();
         },
         true},
        {"Data", "",
         [this] {
             const bool on = Button("Data")->isChecked();
             TXYGraph& g = FView->Graph();
             for (int i = kGraphFormulas; i < g.SeriesCount(); ++i)
                 g.Series(i)->Visible = on;
             FView->Redraw();
         },
         true},
    };
    const auto add = [this](QToolBar* bar, const std::vector<TButton>& buttons) {
        for (const TButton& b : buttons) {
            QAction* a = bar->addAction(QString::fromUtf8(b.Caption));
            a->setToolTip(QString::fromUtf8(b.Hint));
            a->setStatusTip(QString::fromUtf8(b.Hint));
            a->setCheckable(b.Checkable);
            connect(a, &QAction::triggered, this, b.Run);
            FButtons.emplace(SysText(b.Caption), a);
            FButtons.emplace(b.Caption, a);
        }
    };
    add(top, first);
    add(bottom, second);
    Button("Mkr1")->setChecked(true);
    Button("Data")->setChecked(true);
}

void TFormGraph::CreatePages() {
    for (int i = 0; i < kGraphTableCount; ++i) {
        const auto id = static_cast<TGraphTableId>(i);
        TStrVtGrid* grid = FGrids[static_cast<std::size_t>(i)];
        TVtGrid& model = grid->Grid();
        model.VtOptions().FixedStyles.Bevel = TVtBevel::bvRaised;
        model.OnChanged = [this, id] { TableChanged(id); };
        model.OnSelectionChanged = [this, id](int, int, TGridRect) {
            ShowCellHint(id);
            if (id == gtMarker) ShowMarkerCell();
            if (id == gtCalc) HighlightCurves();
        };
        grid->installEventFilter(this);
        grid->Refresh();
        FPages->addTab(grid, Q(TGraphTables::PageCaption(id)));
    }
}

void TFormGraph::RefreshGrids() {
    for (TStrVtGrid* grid : FGrids)
        grid->Refresh();
}

void TFormGraph::ShowStatus(const QString& text) {
    if (OnStatusText) OnStatusText(text);
}

void TFormGraph::Guarded(const std::function<void()>& step) {
    if (FBusy) return;
    FBusy = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QElapsedTimer clock;
    clock.start();
    std::unique_ptr<QProgressDialog> progress;
    FModel->Progress = [&](int done, int total) {
        if (!progress && clock.elapsed() < 300) return true;
        if (!progress) {
            progress = std::make_unique<QProgressDialog>(
                QStringLiteral("グラフを計算しています (Escで中止)"), QStringLiteral("中止"), 0,
                total, this);
            progress->setWindowModality(Qt::WindowModal);
            progress->setMinimumDuration(0);
            FProgressShown = true;
        }
        progress->setValue(done);
        QApplication::processEvents();
        return !progress->wasCanceled();
    };
    QString failure;
    try {
        if (OnSyncOptions) OnSyncOptions(FModel->Sampler());
        step();
        if (!FModel->MappingFailure().empty())
            failure = QStringLiteral("グラフ設定を適用できません: ") +
                      QString::fromStdString(FModel->MappingFailure());
    } catch (...) {
        // The window stays usable with what it showed before.
        failure =
            QStringLiteral("グラフを更新できません: ") + QString::fromStdString(FailureText());
    }
    FModel->Progress = nullptr;
    QApplication::restoreOverrideCursor();
    FBusy = false;
    RefreshGrids();
    FView->Redraw();
    if (!failure.isEmpty()) ShowStatus(failure);
}

void TFormGraph::FullUpdate() {
    Guarded([this] { FModel->FullUpdate(); });
}

void TFormGraph::TableChanged(TGraphTableId id) {
    if (FBusy) return;
    Guarded([this, id] {
        FModel->TableChanged(id);
        if (id == gtMarker) {
            const TVtGrid& grid = Grid(gtMarker)->Grid();
            if (grid.Row() == 1) FModel->RecomputeMarkerColumn(grid.Col());
        }
    });
    ShowCellHint(id);
    if (id == gtCalc) HighlightCurves();
    if (OnTablesChanged) OnTablesChanged();
}

void TFormGraph::ShowCellHint(TGraphTableId id) {
    const TVtGrid& grid = Grid(id)->Grid();
    std::string hint = grid.Cells(grid.Col(), grid.Row());
    if (id == gtCalc && grid.Col() == gcol::kVisible && grid.Row() == grow::kX) {
        hint = FModel->Sampler().XName();
    } else if (id == gtCalc && grid.Col() == gcol::kFormula && grid.Row() > grow::kX) {
        hint = FModel->Sampler().Rendering(grid.Row() - grow::kX - 1);
    }
    Grid(id)->setToolTip(Q(hint));
    ShowStatus(Q(hint));
}

void TFormGraph::MarkerSet(long double x) {
    if (!isVisible() || FBusy) return;
    // Markers follow the mouse: no hourglass, only the marker table repainted.
    try {
        FModel->SetMarker(x);
    } catch (...) {
        ShowStatus(QStringLiteral("マーカーを置けません: ") +
                   QString::fromStdString(FailureText()));
        return;
    }
    Grid(gtMarker)->Refresh();
    const QString readout = Q(FModel->MarkerReadout());
    FView->setToolTip(readout);
    ShowStatus(readout);
}

bool TFormGraph::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) Activated();
    if (event->type() == QEvent::WindowDeactivate) Deactivated();
    return QWidget::event(event);
}

void TFormGraph::Activated() {
    FView->Graph().MarkerStyle.Auto = Button("Mkr1")->isChecked();
    FModel->Tables().SetFormulaKind(!AutoBrackets || AutoBrackets());
    if (FBusy || FProgressShown) {
        FProgressShown = false;
        return;
    }
    FullUpdate();
}

void TFormGraph::Deactivated() {
    if (FBusy) return;
    TXYGraph& g = FView->Graph();
    g.MarkerStyle.Auto = false;
    g.ClearMarkers();
    FView->Redraw();
}

void TFormGraph::ShowMarkerCell() {
    const TVtGrid& grid = Grid(gtMarker)->Grid();
    const int col = grid.Col();
    if (col < 1 || col > 5) return;
    const double x = ParseEngineering(grid.Cells(col, 1));
    TXYGraph& g = FView->Graph();
    g.ClearMarkers();
    for (int k = 0; k < kGraphFormulas && k < g.SeriesCount(); ++k) {
        if (grid.Row() != 1 && grid.Row() != k + 2) continue;
        const double y = ParseEngineering(grid.Cells(col, k + 2));
        const TGraphAxis& axis = g.Series(k)->ZAxis ? g.ZAxis : g.YAxis;
        TSeriesMarker& m = g.Series(k)->SeriesMarker;
        m.Shown = !std::isnan(x) && !std::isnan(y) && y >= axis.Min() && y <= axis.Max();
        m.X = x;
        m.Y = y;
    }
    FView->Redraw();
}

// U and D add or take 1 from a number cell of a non-negative kind, never below 0.
bool TFormGraph::StepCell(TGraphTableId id, char key) {
    TVtGrid& grid = Grid(id)->Grid();
    const int col = grid.Col();
    const int row = grid.Row();
    if (grid.Editing() || !TGraphTables::Editable(grid, col, row)) return false;
    const TVtCellAction& action = grid.CellAction(col, row);
    if (action.Mode != TVtCellMode::cmEdit ||
        (action.EditDataType != TVtEditDataType::dtPosInteger &&
         action.EditDataType != TVtEditDataType::dtPosFrac))
        return false;
    const double v = ParseEngineering(grid.Cells(col, row));
    if (std::isnan(v)) return false;
    const double next = std::max(0.0, v + (key == 'u' ? 1 : -1));
    grid.SaveUndo();
    char text[32];
    std::snprintf(text, sizeof text, "%.15g", next);
    grid.SetCells(col, row, text);
    TableChanged(id);
    return true;
}

void TFormGraph::HighlightCurves() {
    const TStrVtGrid* view = Grid(gtCalc);
    const TVtGrid& grid = view->Grid();
    const bool on = view->hasFocus() && grid.Col() == gcol::kFormula;
    TXYGraph& g = FView->Graph();
    ApplySeriesTables(FModel->Tables(), g);
    for (int k = 0; k < kGraphFormulas && k < g.SeriesCount(); ++k) {
        auto* s = dynamic_cast<TXYLineSeries*>(g.Series(k));
        if (s && on && grid.RowSelected(grow::kX + 1 + k)) ++s->LinePen.Width;
    }
    FView->Redraw();
}

bool TFormGraph::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Grid(gtCalc) &&
        (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut))
        HighlightCurves();
    if (event->type() == QEvent::KeyPress && watched == Grid(gtData)) {
        // Ctrl+Down on the last data row adds a row, Ctrl+Up there takes it away (five stay).
        const auto* key = static_cast<QKeyEvent*>(event);
        TVtGrid& grid = Grid(gtData)->Grid();
        TGraphTables& tables = FModel->Tables();
        const bool last = grid.Row() == grid.RowCount() - 1 && !grid.Editing();
        const bool down = key->key() == Qt::Key_Down;
        if (last && key->modifiers() == Qt::ControlModifier && (down || key->key() == Qt::Key_Up)) {
            if (down) {
                tables.SetDataRows(tables.DataRows() + 1);
            } else if (tables.DataRows() > 5) {
                tables.SetDataRows(tables.DataRows() - 1);
            }
            grid.FocusCell(grid.Col(), grid.RowCount() - 1, false);
            Grid(gtData)->Refresh();
            TableChanged(gtData);
            return true;
        }
    }
    if (event->type() == QEvent::KeyPress) {
        for (int i = 0; i < kGraphTableCount; ++i) {
            if (watched != FGrids[static_cast<std::size_t>(i)]) continue;
            const auto* key = static_cast<QKeyEvent*>(event);
            const QString text = key->text().toLower();
            if ((text == QStringLiteral("u") || text == QStringLiteral("d")) &&
                StepCell(static_cast<TGraphTableId>(i), static_cast<char>(text[0].toLatin1())))
                return true;
        }
    }
    if (watched != FView) return QWidget::eventFilter(watched, event);
    TXYGraph& g = FView->Graph();
    if (event->type() == QEvent::MouseButtonDblClick) {
        const QPoint p = static_cast<QMouseEvent*>(event)->position().toPoint();
        if (p.x() < g.PlotRect().Left && p.y() > g.PlotRect().Bottom) {
            FullUpdate();
        } else {
            FModel->ShiftMarkerColumns();
            Grid(gtMarker)->Refresh();
        }
        return true;
    }
    if (event->type() == QEvent::MouseMove && !g.MarkerStyle.Auto &&
        g.Drag() == TGraphDrag::gdIdle) {
        const QPoint p = static_cast<QMouseEvent*>(event)->position().toPoint();
        bool onY = false;
        bool onR = false;
        for (int i = 0; i < g.SeriesCount(); ++i) {
            if (!g.Series(i)->Visible || g.Series(i)->Count() == 0) continue;
            (g.Series(i)->ZAxis ? onR : onY) = true;
        }
        std::string hint = "X= " + TGraphModel::CellNumber(g.XAxis.PixelToValue(p.x()));
        if (onY || !onR) hint += " , Y= " + TGraphModel::CellNumber(g.YAxis.PixelToValue(p.y()));
        if (onR) hint += " , R= " + TGraphModel::CellNumber(g.ZAxis.PixelToValue(p.y()));
        FView->setToolTip(Q(hint));
    }
    return QWidget::eventFilter(watched, event);
}

bool TFormGraph::LoadFile(const std::string& path) {
    std::optional<TDecodedDocument> doc = ReadDataFile(path);
    if (!doc || !TGraphTables::IsGraphData(doc->Bytes)) return false;
    FEncoding = doc->Encoding;
    FBom = doc->Bom;
    FLineEnd = doc->LineEnd;
    bool loaded = false;
    Guarded([this, &doc, &loaded] { loaded = FModel->LoadFileText(doc->Bytes); });
    return loaded;
}

bool TFormGraph::SaveFile(const std::string& path) {
    std::string text = FModel->SaveFileText();
    const std::string bytes = EncodeKeepingAll(text, {FEncoding, FBom, FLineEnd});
    return WriteFileReplacing(path, [&bytes](const auto& sink) { sink(bytes); }).Ok();
}

std::optional<TDecodedDocument> TFormGraph::ReadDataFile(const std::string& path) {
    std::string bytes;
    if (QFileInfo(QString::fromStdString(path)).size() > kMaxDataFile ||
        !ReadWholeFile(path, bytes).Ok())
        return std::nullopt;
    return DecodeDocument(std::move(bytes));
}

bool TFormGraph::IsForeignFile(const std::string& path) {
    if (!QFileInfo::exists(QString::fromStdString(path))) return false;
    const std::optional<TDecodedDocument> doc = ReadDataFile(path);
    return !doc || !TGraphTables::IsGraphData(doc->Bytes);
}

void TFormGraph::ReadKept(const std::map<std::string, std::string, std::less<>>& kept) {
    TKeptPlace place;
    int v = 0;
    if (ReadInt(kept, "Graph.Top", v)) place.Top = v;
    if (ReadInt(kept, "Graph.Left", v)) place.Left = v;
    if (ReadInt(kept, "Graph.Width", v) && v >= 200 && v <= 10000) place.Width = v;
    if (ReadInt(kept, "Graph.Hight", v) && v >= 200 && v <= 10000) place.Height = v;
    // The first start opens beside the main window.
    RestorePlace(*this, place, parentWidget() ? parentWidget()->window() : nullptr);
    const QRect r = geometry();
    if (ReadInt(kept, "Graph.GridHight", v) && v > 0 && v < 10000) {
        const int total = std::max(r.height() - 60, v + 100);
        FSplitter->setSizes({total - v, v});
    }
    if (ReadInt(kept, "Graph.Mkr", v)) Button("Mkr1")->setChecked(v != 0);
    if (ReadInt(kept, "Graph.Data", v)) Button("Data")->setChecked(v != 0);
    for (std::size_t i = 0; i < std::size(kGridKeys); ++i) {
        const auto it = kept.find(kGridKeys[i]);
        if (it == kept.end()) continue;
        TStrVtGrid* grid = Grid(kGridKeyTables[i]);
        const QStringList parts = QString::fromStdString(it->second).split(',');
        for (int c = 0; c < parts.size() && c < grid->Grid().ColCount(); ++c) {
            bool ok = false;
            const int w = parts[c].trimmed().toInt(&ok);
            if (ok && w > 0 && w < 2000) grid->Grid().SetColWidth(c, w);
        }
        grid->Refresh();
    }
}

void TFormGraph::WriteKept(std::map<std::string, std::string, std::less<>>& kept) const {
    const TWindowPlace r = PlaceOf(*this);
    kept["Graph.Top"] = std::to_string(r.Top);
    kept["Graph.Left"] = std::to_string(r.Left);
    kept["Graph.Width"] = std::to_string(r.Width);
    kept["Graph.Hight"] = std::to_string(r.Height);
    const QList<int> sizes = FSplitter->sizes();
    if (sizes.size() == 2) kept["Graph.GridHight"] = std::to_string(sizes[1]);
    kept["Graph.Mkr"] = Button("Mkr1")->isChecked() ? "1" : "0";
    kept["Graph.Data"] = Button("Data")->isChecked() ? "1" : "0";
    for (std::size_t i = 0; i < std::size(kGridKeys); ++i) {
        const TVtGrid& grid = Grid(kGridKeyTables[i])->Grid();
        std::string widths;
        for (int c = 0; c < grid.ColCount(); ++c) {
            if (c > 0) widths += ',';
            widths += std::to_string(grid.ColWidth(c));
        }
        kept[kGridKeys[i]] = widths;
    }
}

}  // namespace rekna
