// TUMemo's painting of rows: cell backgrounds, glyphs on the cell grid, marks and the underline.
#include "editor/qt/umemo.h"
#include "platform/cp932.h"
#include "platform/qt/qt_color.h"

#include <QGlyphRun>
#include <QPainter>

#include <algorithm>

namespace rekna {
namespace {

constexpr char32_t kJSpaceMark = U'\u25A1';  // "□"
constexpr char32_t kCrLfMark = U'\u2193';    // "↓"
constexpr char32_t kRawFirst = 0xF700;       // bytes without a character (see platform/cp932.h)
constexpr char32_t kRawLast = 0xF7FF;
constexpr std::string_view kEofMark = "[EOF]";

[[nodiscard]] bool IsClosingBracket(std::uint8_t c) noexcept {
    return c == ')' || c == '}' || c == ']';
}

}  // namespace

QRgb TUMemo::Rgb(TColor color) const {
    if (IsSystemColor(color) && SystemColorIndex(color) < FSystemRgb.size())
        return FSystemRgb[SystemColorIndex(color)];
    if (IsSystemColor(color) || color == clNone || color == clDefault)
        return ToQRgb(color, palette());
    return qRgb(ColorRed(color), ColorGreen(color), ColorBlue(color));
}

void TUMemo::BeginPass() {
    const QPalette pal = palette();
    for (std::size_t i = 0; i < FSystemRgb.size(); ++i)
        FSystemRgb[i] = ToQRgb(kSystemColorBase | static_cast<TColor>(i), pal);
    FPassFocused = Focused();
}

TViewWindow TUMemo::ShownWindow() const {
    const TUMemoStrings& s = Lines();
    return {s.TopRow(), s.TopRow() + PageRows() - 1, s.LeftCol(), s.LeftCol() + PageCols() - 1};
}

const TClassifiedLine& TUMemo::LineOf(std::int32_t row, std::int32_t fromColumn,
                                      std::int32_t toColumn) {
    if (!FLineValid || !FLine.Covers(row, fromColumn, toColumn)) {
        const TViewWindow window = ShownWindow();
        FClassifier.Classify(Lines(), row, Lines().Selection().Caret, FLine, &window);
        FLineValid = true;
    }
    return FLine;
}

void TUMemo::PaintTopStrip(QPainter& p) {
    const int w = FCanvas.width();
    const int edge = std::clamp(ColumnX(PaperColumns() + 1), FLeftMargin, w);
    const int h = kTopMargin + 1;
    p.fillRect(0, 0, FLeftMargin, h, QColor(Rgb(FStyle.ColorBack)));
    p.fillRect(FLeftMargin, 0, edge - FLeftMargin, h, QColor(Rgb(FStyle.Color)));
    p.fillRect(edge, 0, w - edge, h, QColor(Rgb(FStyle.ColorBack)));
}

void TUMemo::PaintRow(QPainter& p, std::int32_t row, std::int32_t fromColumn,
                      std::int32_t toColumn) {
    TUMemoStrings& s = Lines();
    const int y = RowY(row);
    const int rh = RowPitch();
    const int w = FCanvas.width();
    const int x0 = std::max(FLeftMargin, ColumnX(fromColumn));
    const int x1 = std::min(w, ColumnX(toColumn + 1));
    const bool whole = fromColumn <= s.LeftCol() && toColumn >= s.LeftCol() + PageCols() - 1;
    if (whole) p.fillRect(0, y, FLeftMargin, rh, QColor(Rgb(FStyle.ColorBack)));
    if (x0 < x1) {
        p.setClipRect(QRect(x0, y, x1 - x0, rh));
        if (row >= s.GetCount()) {
            PaintBelow(p, row, x0, x1);
        } else {
            TRowCellOptions options;
            options.FromColumn = fromColumn;
            options.ToColumn = toColumn;
            options.ShowCr = FStyle.ShowCr;
            options.ShowEof = FStyle.ShowEof;
            options.Find = &FFind;
            options.Selection = RowSelectionOf(s, row, FPassFocused, FStyle.HideSelection);
            BuildRowCells(s, LineOf(row, fromColumn, toColumn), row, options, FCells);
            PaintCells(p, y, x0, x1);
            if (FFaintFrom >= 0 && row >= FFaintFrom) {
                // A veil of the background: the row is there, but not yet current.
                QColor veil(Rgb(FStyle.Color));
                veil.setAlpha(170);
                p.fillRect(x0, y, x1 - x0, rh, veil);
            }
        }
        p.setClipping(false);
    }
    if (FStyle.ShowUnderLine && row == s.Selection().Caret.Y && row < s.GetCount()) {
        // The caret-row underline lies on the cell's bottom pixel, above the row spacing.
        const int ux0 = whole ? 0 : x0;
        p.fillRect(ux0, y + CellHeight() - 1, (whole ? w : x1) - ux0, 1,
                   QColor(Rgb(FStyle.ColorUnderLine)));
    }
    if (whole && row < s.GetCount() && s.RowMark(row) != TRowMark::rmNone)
        s.SetRowMark(row, TRowMark::rmNone);
}

void TUMemo::PaintBelow(QPainter& p, std::int32_t row, int x0, int x1) {
    const int y = RowY(row);
    const int rh = RowPitch();
    const int edge = std::clamp(ColumnX(PaperColumns() + 1), x0, x1);
    p.fillRect(x0, y, edge - x0, rh, QColor(Rgb(FStyle.Color)));
    p.fillRect(edge, y, x1 - edge, rh, QColor(Rgb(FStyle.ColorBack)));
    if (Lines().GetCount() == 0 && row == 0 && FStyle.ShowEof) {
        // An empty document still shows where it ends.
        TPaintCell eof;
        eof.Kind = TCharKind::ckEof;
        eof.Bytes = 0;
        const TCellStyle st = CellStyle(FStyle, eof, TLineState::lsNormal, FPassFocused);
        if (st.Font != st.Back) {
            for (std::size_t k = 0; k < kEofMark.size(); ++k) {
                AddGlyph(static_cast<char32_t>(kEofMark[k]),
                         ColumnX(1 + static_cast<std::int32_t>(k)), y, Rgb(st.Font),
                         TGlyphSize::gsNormal, false);
            }
        }
        FlushGlyphs(p);
    }
}

void TUMemo::PaintCells(QPainter& p, int y, int x0, int x1) {
    const std::string& text = Lines().Get(FCells.Row);
    const int pitch = ColPitch();
    const int rh = RowPitch();

    // One conversion for the row's visible characters; each character then goes to its cell.
    FRun.clear();
    for (const TPaintCell& c : FCells.Cells) {
        if (c.Bytes > 0) FRun.append(text, static_cast<std::size_t>(c.Pos - 1), c.Bytes);
    }
    const QString chars = QString::fromUtf8(Cp932ToUtf8(FRun));
    qsizetype unit = 0;

    int runStart = x0;
    int runEnd = x0;
    QRgb runBack = 0;
    bool haveRun = false;
    const auto flushBack = [&] {
        if (haveRun && runEnd > runStart)
            p.fillRect(runStart, y, runEnd - runStart, rh, QColor(runBack));
        haveRun = false;
    };
    int textEnd = ColumnX(FCells.EndColumn);
    for (const TPaintCell& c : FCells.Cells) {
        const TCellStyle st = CellStyle(FStyle, c, FCells.State, FPassFocused);
        const int cx = ColumnX(c.Column);
        const int cw = c.Width * pitch;
        const QRgb back = Rgb(st.Back);
        if (haveRun && back == runBack && cx == runEnd) {
            runEnd = cx + cw;
        } else {
            flushBack();
            runStart = cx;
            runEnd = cx + cw;
            runBack = back;
            haveRun = true;
        }
        textEnd = std::max(textEnd, cx + cw);

        // The character this cell shows.
        char32_t ch = 0;
        if (c.Bytes > 0) {
            if (c.Byte < 0x80) {
                // Tab, CR LF and ASCII: one code unit per byte.
                ch = unit < chars.size() ? chars[unit].unicode() : 0;
                unit += c.Bytes;
            } else if (unit < chars.size()) {
                const QChar q = chars[unit++];
                ch = q.unicode();
                if (q.isHighSurrogate() && unit < chars.size()) {
                    ch = QChar::surrogateToUcs4(q, chars[unit++]);
                } else if (ch >= kRawFirst && ch <= kRawLast) {
                    // A byte without a character: shown as '?', its pair partner with it.
                    if (c.Bytes == 2) ++unit;
                    ch = U'?';
                }
            }
        }
        if (st.Font == st.Back) continue;
        const QRgb font = Rgb(st.Font);
        switch (c.Kind) {
        case TCharKind::ckTab:
            for (std::int32_t k = 0; k < c.Width; ++k)
                AddGlyph(k + 1 == c.Width ? U'>' : U'.', cx + k * pitch, y, font,
                         TGlyphSize::gsNormal, false);
            continue;
        case TCharKind::ckJSpace:
            AddGlyph(kJSpaceMark, cx, y, font, TGlyphSize::gsNormal, false);
            continue;
        case TCharKind::ckCrLf:
            AddGlyph(kCrLfMark, cx, y, font, TGlyphSize::gsNormal, false);
            continue;
        case TCharKind::ckEof:
            for (std::size_t k = 0; k < kEofMark.size(); ++k)
                AddGlyph(static_cast<char32_t>(kEofMark[k]), cx + static_cast<int>(k) * pitch, y,
                         font, TGlyphSize::gsNormal, false);
            continue;
        default: break;
        }
        if (ch == U'\t' || ch == U'\r' || ch < 0x20) continue;
        TGlyphSize size = TGlyphSize::gsNormal;
        int gx = cx;
        if (c.Kind == TCharKind::ckKakko && FStyle.KakkoHeight && FCells.SeveralLevels) {
            if (c.Level == 0) {
                size = TGlyphSize::gsSmall;
            } else if (c.Level <= -2) {
                size = TGlyphSize::gsLarge;
                if (IsClosingBracket(c.Byte)) --gx;
            }
        }
        AddGlyph(ch, gx, y, font, size, st.Bold);
    }
    flushBack();

    // The rest of the row: paper up to its edge, the back colour beyond.
    const int rest = std::max(textEnd, x0);
    const int edge = std::clamp(ColumnX(PaperColumns() + 1), rest, std::max(rest, x1));
    if (edge > rest) p.fillRect(rest, y, edge - rest, rh, QColor(Rgb(FStyle.Color)));
    if (x1 > edge) p.fillRect(edge, y, x1 - edge, rh, QColor(Rgb(FStyle.ColorBack)));
    FlushGlyphs(p);
}

void TUMemo::AddGlyph(char32_t ch, int x, int y, QRgb color, TGlyphSize size, bool bold) {
    const TGlyph g = FFont.Glyph(ch);
    if (!g.Found) return;
    // The small size sits a pixel lower, the large one a pixel higher.
    const int shift = size == TGlyphSize::gsSmall ? 1 : size == TGlyphSize::gsLarge ? -1 : 0;
    const int baseline = y + shift + FFont.Ascent(size);
    TGlyphBatch* batch = nullptr;
    for (TGlyphBatch& b : FBatches) {
        if (b.Color == color && b.Face == g.Face && b.Size == size && b.Bold == bold) {
            batch = &b;
            break;
        }
    }
    if (batch == nullptr) {
        for (TGlyphBatch& b : FBatches) {
            if (b.Glyphs.empty()) {
                batch = &b;
                break;
            }
        }
        if (batch == nullptr) batch = &FBatches.emplace_back();
        batch->Color = color;
        batch->Face = g.Face;
        batch->Size = size;
        batch->Bold = bold;
    }
    batch->Glyphs.push_back(g.Index);
    batch->Positions.emplace_back(x, baseline);
}

void TUMemo::FlushGlyphs(QPainter& p) {
    for (TGlyphBatch& b : FBatches) {
        if (b.Glyphs.empty()) continue;
        QGlyphRun run;
        run.setRawFont(FFont.Raw(b.Face, b.Size));
        run.setRawData(b.Glyphs.data(), b.Positions.data(), static_cast<int>(b.Glyphs.size()));
        p.setPen(QColor(b.Color));
        p.drawGlyphRun(QPointF(0, 0), run);
        // Bold is the glyphs struck twice, a pixel apart, so that they keep their cells.
        if (b.Bold) p.drawGlyphRun(QPointF(1, 0), run);
        b.Glyphs.clear();
        b.Positions.clear();
    }
}

}  // namespace rekna
