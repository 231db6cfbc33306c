// TUMemo's input method: composition and committed text, and what the input method asks about
// the text around the caret.
#include "editor/qt/umemo.h"

#include "editor/store/columns.h"
#include "platform/cp932.h"

#include <QGuiApplication>
#include <QInputMethod>
#include <QInputMethodEvent>

#include <algorithm>

namespace rekna {
namespace {

// Qt counts text in UTF-16 units: the units of the first `bytes` bytes of a CP932 row.
[[nodiscard]] int Units(std::string_view row, std::size_t bytes) {
    return static_cast<int>(
        QString::fromStdString(Cp932ToUtf8(row.substr(0, std::min(bytes, row.size())))).size());
}

// The byte position (1-based) of UTF-16 unit `units` of a row, on a character boundary.
[[nodiscard]] std::int32_t BytePos(std::string_view row, int units) {
    std::size_t i = 0;
    int at = 0;
    while (i < row.size()) {
        const std::size_t bytes = CharLength(row, i);
        at += Units(row.substr(i, bytes), bytes);
        if (at > units) break;
        i += bytes;
    }
    return static_cast<std::int32_t>(i) + 1;
}

}  // namespace

void TUMemo::inputMethodEvent(QInputMethodEvent* event) {
    event->accept();
    if (FEditor->ReadOnly()) {
        FPreedit.clear();
        viewport()->update();
        return;
    }
    const QString commit = event->commitString();
    if (event->replacementLength() > 0) {
        // The input method replaces text around the caret (a reconversion): that text is
        // selected first, so that the commit takes its place.
        TUMemoStrings& s = Lines();
        const TEditGroup group(s, false);
        TUMemoSelection& sel = s.Selection();
        const std::string& row = s.Get(sel.Caret.Y);
        const int caret = Units(row, static_cast<std::size_t>(sel.Caret.X - 1));
        const int from = caret + event->replacementStart();
        const std::int32_t a = BytePos(row, from);
        const std::int32_t b = BytePos(row, from + event->replacementLength());
        sel.SelectStream(s, {a, sel.Caret.Y}, {b, sel.Caret.Y});
    }
    if (!commit.isEmpty()) {
        FEditor->InsertAtCaret(Utf8ToCp932(commit.toStdString()));
    } else if (event->replacementLength() > 0) {
        FEditor->DeleteSel();
    }
    FPreedit = event->preeditString();
    FPreeditCursor = static_cast<int>(FPreedit.size());
    for (const QInputMethodEvent::Attribute& a : event->attributes()) {
        if (a.type == QInputMethodEvent::Cursor)
            FPreeditCursor = std::clamp(a.start, 0, static_cast<int>(FPreedit.size()));
    }
    viewport()->update();
}

QVariant TUMemo::inputMethodQuery(Qt::InputMethodQuery query) const {
    const TUMemoStrings& s = Lines();
    const TUMemoSelection& sel = s.Selection();
    const std::string& row = s.Get(sel.Caret.Y);
    const int caret = Units(row, static_cast<std::size_t>(sel.Caret.X - 1));
    switch (query) {
    case Qt::ImEnabled: return !FEditor->ReadOnly();
    case Qt::ImCursorRectangle: {
        // In the widget's coordinates, also while the caret blinks off.
        const std::int32_t column = sel.CaretColumn(s);
        QRect r(ColumnX(column), RowY(sel.Caret.Y), 2, CellHeight());
        if (!FPreedit.isEmpty())
            r.translate(QFontMetrics(FFont.Font()).horizontalAdvance(FPreedit.left(FPreeditCursor)),
                        0);
        return r.translated(viewport()->pos());
    }
    case Qt::ImFont: return FFont.Font();
    case Qt::ImSurroundingText: return QString::fromStdString(Cp932ToUtf8(row));
    case Qt::ImCursorPosition: return caret;
    case Qt::ImAnchorPosition:
        if (sel.Mode == TSelMode::smStream && sel.Anchor.Y == sel.Caret.Y)
            return Units(row, static_cast<std::size_t>(sel.Anchor.X - 1));
        return caret;
    case Qt::ImCurrentSelection:
        return QString::fromStdString(Cp932ToUtf8(FEditor->GetSelText(false)));
    case Qt::ImTextBeforeCursor:
        return QString::fromStdString(Cp932ToUtf8(
            std::string_view(row).substr(0, static_cast<std::size_t>(sel.Caret.X - 1))));
    case Qt::ImTextAfterCursor:
        return QString::fromStdString(Cp932ToUtf8(std::string_view(row).substr(
            std::min(row.size(), static_cast<std::size_t>(sel.Caret.X - 1)))));
    case Qt::ImHints: return static_cast<int>(Qt::ImhMultiLine);
    default: return QAbstractScrollArea::inputMethodQuery(query);
    }
}

void TUMemo::Reconvert() {
    FEditor->SelectForReconversion(&FStyle.DependenceChar);
    if (QInputMethod* im = QGuiApplication::inputMethod()) im->update(Qt::ImQueryAll);
}

}  // namespace rekna
