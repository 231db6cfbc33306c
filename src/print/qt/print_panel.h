// TPrevPanel: the preview's sheet of paper, showing a recorded page at a zoom, with zooming by a
// dragged rectangle and panning with the right button.
#pragma once

#include <QPoint>
#include <QRect>
#include <QWidget>

#include <functional>
#include <string>

#include "print/print_view.h"
#include "print/qt/print_page.h"

class QPrinter;
class QScrollArea;

namespace rekna {

class TPrevPanel : public QWidget {
public:
    explicit TPrevPanel(QWidget* parent = nullptr);

    [[nodiscard]] int PrevScale() const noexcept { return FScale; }
    // Clamped to the bounds.
    void SetPrevScale(int scale);
    [[nodiscard]] int PrevScaleMin() const noexcept { return FScaleMin; }
    [[nodiscard]] int PrevScaleMax() const noexcept { return FScaleMax; }
    // Each bound is clamped to 10..500.
    void SetPrevScaleMin(int bound);
    void SetPrevScaleMax(int bound);
    // After a zoom by the mouse changed the scale.
    std::function<void()> OnZoomed;
    // The scroll area the panel sits in, which the mouse zoom and pan scroll.
    void SetScrollBox(QScrollArea* box) noexcept { FScrollBox = box; }

    // Reads the printer's sheet and works out the margins; when the printer cannot say, the
    // panel hides, shows "プリンターが設定されていません" and answers false.
    bool SetMargins(const QPrinter& printer, const TMarginsMm& margins);
    // A page is recorded between BeginDoc and EndDoc; each refuses the wrong state with Error().
    bool BeginDoc();
    bool Record(TPrintedPage page);
    bool EndDoc();
    // Draws the recorded page on a printer's painter; refused unless a page is recorded.
    bool Print(QPainter& painter);
    [[nodiscard]] const std::string& Error() const noexcept { return FRecorder.Error(); }
    [[nodiscard]] TPrevState State() const noexcept { return FRecorder.State(); }
    [[nodiscard]] const TPrintedPage& Page() const noexcept { return FPage; }
    // The printer's horizontal dots per inch.
    [[nodiscard]] int Resolution() const noexcept { return FMetrics.DpiX; }
    // Sizes the panel for the zoom and places the page on it.
    void UpdateLayout();
    [[nodiscard]] const TScreenPage& ScreenLayout() const noexcept { return FScreen; }
    // Replaceable for tests: the box shown when the printer cannot say.
    std::function<void()> ReportNoPrinter;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    [[nodiscard]] bool MouseActive() const;

    int FScale = 100;
    int FScaleMin = 10;
    int FScaleMax = 500;
    TPrintMetrics FMetrics;
    TPrintRect FMarginRect;
    TScreenPage FScreen;
    TPrevRecorder FRecorder;
    TPrintedPage FPage;
    QScrollArea* FScrollBox = nullptr;
    bool FZoomDrag = false;
    bool FPanDrag = false;
    QPoint FPress;
    QPoint FPanStart;  // the scroll positions when the pan began
    QRect FDragRect;
};

}  // namespace rekna
