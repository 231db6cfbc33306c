// TUMemo: the editor control, painting its line store on a fixed grid of character cells.
#pragma once

#include "editor/commands/find_match.h"
#include "editor/paint/char_classifier.h"
#include "editor/paint/keyword_list.h"
#include "editor/paint/paint_style.h"
#include "editor/paint/repaint_plan.h"
#include "editor/qt/memo_font.h"
#include "editor/store/row_cells.h"
#include "editor/umemo_editor.h"
#include "platform/qt/qt_clipboard.h"

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QCursor>
#include <QImage>
#include <QRgb>
#include <QString>

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class QInputMethodEvent;
class QKeyEvent;
class QMouseEvent;
class QPainter;

namespace rekna {

// Which scroll bars the control has.
enum class TScrollStyle : std::uint8_t { ssNone, ssHorizontal, ssVertical, ssBoth };

// The widget owns the editor core (store, undo, wrap modes) and paints it. What it paints is kept
// in a canvas of the view's size: after an edit only the rows that changed are painted again into
// it, and scrolling moves its pixels and paints what was uncovered. Keys, the mouse and the input
// method are turned into the core's commands; the core's events (OnChange, OnMoveCaretRow, ...)
// are the control's events.
class TUMemo : public QAbstractScrollArea {
    Q_OBJECT

public:
    static constexpr int kTopMargin = 1;

    explicit TUMemo(QWidget* parent = nullptr);
    ~TUMemo() override;

    [[nodiscard]] TUMemoEditor& Editor() noexcept { return *FEditor; }
    [[nodiscard]] TUMemoStrings& Lines() noexcept { return FEditor->Strings(); }
    [[nodiscard]] const TUMemoStrings& Lines() const noexcept { return FEditor->Strings(); }

    // Loading replaces every row outside an edit group, so the control paints itself anew.
    [[nodiscard]] TFileResult LoadFile(const std::string& name, bool toEnd);
    bool LoadBytes(std::string_view bytes, bool toEnd);

    // --- Font and cell geometry.
    void SetMemoFont(const QFont& font);
    [[nodiscard]] const QFont& MemoFont() const noexcept { return FFont.Font(); }
    [[nodiscard]] int CellHeight() const noexcept { return FFont.CellHeight(); }
    [[nodiscard]] int CellWidth() const noexcept { return FFont.CellWidth(); }
    // Added below every row; 1..100, other values are ignored.
    [[nodiscard]] int RowPich() const noexcept { return FRowPich; }
    void SetRowPich(int pixels);
    // Added after every column; 0..100, other values are ignored.
    [[nodiscard]] int ColPich() const noexcept { return FColPich; }
    void SetColPich(int pixels);
    [[nodiscard]] int RowPitch() const noexcept { return CellHeight() + FRowPich; }
    [[nodiscard]] int ColPitch() const noexcept { return CellWidth() + FColPich; }
    // The text area starts here; the strip left of it is the line-selection margin.
    [[nodiscard]] int LeftMargin() const noexcept { return FLeftMargin; }
    // Viewport coordinates of a display column and of a row's top.
    [[nodiscard]] int ColumnX(std::int32_t column) const noexcept;
    [[nodiscard]] int RowY(std::int32_t row) const noexcept;
    // The column and row at a viewport point (remainders dropped).
    [[nodiscard]] std::int32_t ColumnAtX(int x) const noexcept;
    [[nodiscard]] std::int32_t RowAtY(int y) const noexcept;
    // Rows and columns that fit, a partly visible one included, and those that fit whole.
    [[nodiscard]] std::int32_t PageRows() const noexcept;
    [[nodiscard]] std::int32_t PageCols() const noexcept;
    [[nodiscard]] std::int32_t FullPageRows() const noexcept;
    [[nodiscard]] std::int32_t FullPageCols() const noexcept;

    // --- Syntax and colours.
    [[nodiscard]] TFileType FileType() const noexcept { return FFileType; }
    void SetFileType(TFileType type);
    [[nodiscard]] const TPaintStyle& Style() const noexcept { return FStyle; }
    // Every colour property and switch at once; repaints when anything differs.
    void SetStyle(const TPaintStyle& style);
    void SetColor(TColor TPaintStyle::*property, TColor color);
    void SetSwitch(bool TPaintStyle::*property, bool on);
    [[nodiscard]] const std::string& DependenceChar() const noexcept {
        return FStyle.DependenceChar.Chars();
    }
    void SetDependenceChar(std::string_view chars);
    [[nodiscard]] std::string Delimiters() const { return FStyle.Delimiters(); }
    void SetDelimiters(std::string_view chars);
    [[nodiscard]] TColor CharColor(std::int32_t index) const noexcept {
        return FStyle.CharColor(index);
    }
    void SetCharColor(std::int32_t index, TColor color);
    // Builds the calculation function list again from its fixed table.
    void ResetFunctionList();
    // Adds names to the calculation function list (user functions, the script object's members).
    void AddFunctionNames(std::span<const std::string_view> names);
    [[nodiscard]] const TKeyWordList& FunctionList() const noexcept { return FFunctions; }

    // --- Find highlight (kept by the editor core).
    [[nodiscard]] const std::string& FindText() const noexcept { return FEditor->FindText(); }
    [[nodiscard]] TSearchTypes FindOptions() const noexcept { return FEditor->FindOptions(); }
    // The host shows another pane's highlight: the text is taken, stWord is added to the options
    // when given, the other options stay.
    void SetFindText(std::string_view text, TSearchTypes options);
    // Finding and double-clicking set text and options together.
    void SetFindState(std::string_view text, TSearchTypes options);

    // --- Input.
    // The control takes Tab (otherwise Tab moves the focus on).
    [[nodiscard]] bool WantTabs() const noexcept { return FWantTabs; }
    void SetWantTabs(bool on) noexcept { FWantTabs = on; }
    [[nodiscard]] TScrollStyle ScrollBars() const noexcept { return FScrollBars; }
    void SetScrollBars(TScrollStyle bars);
    // Scroll bars appear only when the content exceeds the window.
    [[nodiscard]] bool HideScrollBars() const noexcept { return FHideScrollBars; }
    void SetHideScrollBars(bool on);
    // The view follows a dragged thumb at once (else when it is released).
    [[nodiscard]] bool ThumbTrak() const noexcept { return FThumbTrak; }
    void SetThumbTrak(bool on);
    [[nodiscard]] const TScrollMargins& ScrollMargins() const noexcept {
        return FEditor->ScrollMargins();
    }
    void SetScrollMargins(const TScrollMargins& margins);
    // The mouse mode the pointer is in: hovering, or the drag in progress.
    [[nodiscard]] TMouseMode MouseMode() const noexcept { return FMouseMode; }
    // An input-method composition is open.
    [[nodiscard]] bool Composing() const noexcept { return !FPreedit.isEmpty(); }
    // The host's reconversion command: the selection (or the word at the caret, selected first) is
    // offered to the input method, which reads it as the surrounding text.
    void Reconvert();
    // The cursor of the line-selection margin: an arrow mirrored left to right, pointing up and to
    // the right, hot spot (9, 0).
    [[nodiscard]] static const QCursor& ReversedArrowCursor();
    // The text cell under a viewport point.
    [[nodiscard]] TPointerCell PointerCellAt(const QPoint& p) const noexcept;

    // --- Painting.
    // Paints what changed since the last paint into the canvas and shows it.
    void RepaintChanged();
    // Paints every row again.
    void RepaintAll();
    // The rows from this one on are drawn faint (the answer pane: answers not yet current); -1
    // for none.
    void SetFaintFrom(std::int32_t row);
    [[nodiscard]] std::int32_t FaintFrom() const noexcept { return FFaintFrom; }
    // What the text area shows, without the caret.
    [[nodiscard]] const QImage& Canvas() const noexcept { return FCanvas; }
    // The plan of the last repaint.
    [[nodiscard]] const TRepaintPlan& LastRepaint() const noexcept { return FLastPlan; }
    [[nodiscard]] bool Focused() const;

    // --- View.
    void SetTopRow(std::int32_t row);
    void SetLeftCol(std::int32_t column);
    // Scrolls so that the caret stands inside the scroll margins.
    void ScrollCaretIntoView();
    void UpdateScrollRanges();
    // The caret's rectangle in viewport coordinates (empty while it is hidden). It is worked out
    // once per caret move, edit, scroll or layout, so that a blink measures nothing.
    [[nodiscard]] QRect CaretRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    [[nodiscard]] QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void wheelEvent(QWheelEvent* event) override;
    void changeEvent(QEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    // A batch of glyphs drawn in one call.
    struct TGlyphBatch {
        QRgb Color = 0;
        std::uint8_t Face = 0;
        TGlyphSize Size = TGlyphSize::gsNormal;
        bool Bold = false;
        std::vector<quint32> Glyphs;
        std::vector<QPointF> Positions;
    };

    void EditEnded(TEditEnd end);
    // The X11 primary selection: offered a moment after the selection settles, pasted by the
    // middle button.
    void OfferPrimarySelection();
    void PastePrimarySelection(const QPoint& pos);
    void HighlightChanged();
    void Relayout();
    void ApplyScrollBarPolicies();
    // The caret blinks anew (visible) and the input method learns where it is.
    void CaretMoved();

    // Input (umemo_input.cpp, umemo_mouse.cpp, umemo_ime.cpp).
    bool HandleKey(QKeyEvent* event);
    void UpdateHover(const QPoint& p, Qt::KeyboardModifiers modifiers);
    void DragTick();
    void EndWrapDrag(bool apply);
    void PaintOverlays(QPainter& p);
    [[nodiscard]] int WrapDragX() const noexcept;
    void StartCaret();
    [[nodiscard]] TViewFrame Frame() const;
    [[nodiscard]] std::int32_t PaperColumns() const noexcept;
    void PrepareLooks();
    [[nodiscard]] QRect MeasureCaretRect() const;
    void ApplyPlan(const TRepaintPlan& plan);
    void ScrollCanvas(int dx, int dy);

    // Painting (umemo_paint.cpp).
    void BeginPass();
    void PaintTopStrip(QPainter& p);
    void PaintRow(QPainter& p, std::int32_t row, std::int32_t fromColumn, std::int32_t toColumn);
    void PaintBelow(QPainter& p, std::int32_t row, int x0, int x1);
    void PaintCells(QPainter& p, int y, int x0, int x1);
    void AddGlyph(char32_t ch, int x, int y, QRgb color, TGlyphSize size, bool bold);
    void FlushGlyphs(QPainter& p);
    // The classified line of row, its cells kept at least for the columns from..to.
    [[nodiscard]] const TClassifiedLine& LineOf(std::int32_t row, std::int32_t fromColumn,
                                                std::int32_t toColumn);
    // The rows and columns the view shows.
    [[nodiscard]] TViewWindow ShownWindow() const;
    [[nodiscard]] QRgb Rgb(TColor color) const;

    std::unique_ptr<TUMemoEditor> FEditor;
    TQtClipboard FClipboard;
    TPaintStyle FStyle;
    TFileType FFileType = TFileType::ftRekna;
    TKeyWordList FFunctions;
    bool FFunctionsRepaintPending = false;
    TCharClassifier FClassifier;
    TFindMatcher FFind;

    bool FWantTabs = true;
    TScrollStyle FScrollBars = TScrollStyle::ssBoth;
    bool FHideScrollBars = true;
    bool FThumbTrak = true;

    // The mouse: the mode, the drag's repeating timer, the last pointer position, the wrap-margin
    // drag's column and the width it started from.
    TMouseMode FMouseMode = TMouseMode::mmNormal;
    bool FDragging = false;
    QBasicTimer FDragTimer;
    QPoint FPointer;
    std::int32_t FWrapDragColumn = 0;
    // The input method's composition, drawn at the caret until it is committed.
    QString FPreedit;
    int FPreeditCursor = 0;

    TMemoFont FFont;
    int FRowPich = 2;
    int FColPich = 0;
    int FLeftMargin = 0;

    QImage FCanvas;
    TRepaintTracker FTracker;
    TRepaintPlan FLastPlan;
    std::vector<TRowLook> FLooks;
    TCaretPair FCaretPair;
    QBasicTimer FCaretTimer;
    QBasicTimer FPrimaryTimer;
    // The selection last offered as the primary selection (mode, anchor, caret).
    std::array<std::int32_t, 5> FPrimaryOffered{};
    bool FCaretOn = true;
    QRect FShownCaret;  // where the caret was last drawn
    // CaretRect() while FCaretRectValid and the caret, the view and the insert mode are as in
    // FCaretRectKey.
    mutable QRect FCaretRect;
    mutable bool FCaretRectValid = false;
    mutable std::array<std::int32_t, 7> FCaretRectKey{};
    [[nodiscard]] std::array<std::int32_t, 7> CaretRectKey() const;
    int FWheelDelta = 0;
    bool FSyncingScrollBars = false;

    // Scratch of a paint pass.
    TClassifiedLine FLine;
    bool FLineValid = false;
    TRowCells FCells;
    std::string FRun;
    std::vector<TGlyphBatch> FBatches;
    std::array<QRgb, 32> FSystemRgb{};
    bool FPassFocused = false;
    std::int32_t FFaintFrom = -1;
};

}  // namespace rekna
