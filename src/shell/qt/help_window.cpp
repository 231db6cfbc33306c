// The help window: the topic list, the text view in the memo's font, and its keys.
#include "shell/qt/help_window.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>

#include <algorithm>
#include <string>

#include "editor/qt/memo_font.h"
#include "frame/frame_actions.h"
#include "frame/help_topics.h"
#include "platform/cp932.h"

namespace rekna {
namespace {

QString ShownText(const THelpTopic& topic) {
    return QString::fromStdString(Cp932ToUtf8(topic.Text()))
        .replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

// A Japanese caption carries its accelerator as a trailing "(&L)": in a list it goes entirely.
QString ListCaption(std::string_view caption) {
    std::string text(caption);
    const std::size_t open = text.rfind("(&");
    if (open != std::string::npos && open + 4 == text.size() && text.back() == ')')
        text.erase(open);
    return QString::fromStdString(StripAccelerator(text));
}

}  // namespace

THelpWindow::THelpWindow(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromUtf8("Rekna ヘルプ"));
    setModal(false);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    FList = new QListWidget(this);
    for (const THelpTopic& topic : HelpTopics()) {
        auto* item = new QListWidgetItem(ListCaption(topic.Caption));
        item->setData(
            Qt::UserRole,
            QString::fromLatin1(topic.Action.data(), static_cast<qsizetype>(topic.Action.size())));
        FList->addItem(item);
    }
    FList->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    FList->setFixedWidth(FList->sizeHintForColumn(0) + 2 * FList->frameWidth() +
                         FList->verticalScrollBar()->sizeHint().width());

    FText = new QPlainTextEdit(this);
    FText->setReadOnly(true);
    // The keyboard belongs to the topic list; the mouse can still select text to copy.
    FText->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // The texts are laid out in columns: wrapping would break the examples apart.
    FText->setLineWrapMode(QPlainTextEdit::NoWrap);
    FText->installEventFilter(this);
    FList->installEventFilter(this);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(FList);
    layout->addWidget(FText, 1);

    connect(FList, &QListWidget::currentRowChanged, this, &THelpWindow::ShowRow);
    SetTextFont(TMemoFont().Font());
}

void THelpWindow::SetTextFont(const QFont& font) {
    TMemoFont memo;
    memo.Set(font, logicalDpiY());
    FText->setFont(memo.Font());

    // Large enough for the longest topic without scrolling, when the screen allows; a window
    // on the screen keeps the size the user gave it.
    if (isVisible()) return;
    const QFontMetrics metrics(memo.Font());
    int widest = 0;
    int lines = 0;
    for (const THelpTopic& topic : HelpTopics()) {
        const QStringList text = ShownText(topic).split(u'\n');
        lines = std::max(lines, static_cast<int>(text.size()));
        for (const QString& line : text)
            widest = std::max(widest, metrics.horizontalAdvance(line));
    }
    const QMargins margins = layout()->contentsMargins();
    const int frame =
        2 * FText->frameWidth() + static_cast<int>(2 * FText->document()->documentMargin());
    const int scrollBar = FText->verticalScrollBar()->sizeHint().width();
    QSize size(FList->width() + layout()->spacing() + widest + frame + scrollBar + margins.left() +
                   margins.right(),
               (lines + 1) * metrics.lineSpacing() + frame + margins.top() + margins.bottom());
    if (const QScreen* where = screen(); where != nullptr) {
        const QSize room = where->availableGeometry().size();
        // Too narrow a screen brings in the horizontal scroll bar, which takes a line's room.
        if (size.width() > room.width())
            size.rheight() += FText->horizontalScrollBar()->sizeHint().height();
        size = size.boundedTo(room);
    }
    resize(size);
}

QString THelpWindow::CurrentAction() const {
    const QListWidgetItem* item = FList->currentItem();
    return item == nullptr ? QString() : item->data(Qt::UserRole).toString();
}

void THelpWindow::ShowTopic(std::string_view action) {
    const auto topics = HelpTopics();
    const auto it = std::find_if(topics.begin(), topics.end(),
                                 [action](const THelpTopic& t) { return t.Action == action; });
    if (it != topics.end()) {
        FList->setCurrentRow(static_cast<int>(it - topics.begin()));
    } else if (FList->currentRow() < 0) {
        FList->setCurrentRow(0);
    }
    show();
    if (isMinimized()) showNormal();
    raise();
    activateWindow();
    FList->setFocus();
}

void THelpWindow::ShowRow(int row) {
    const auto topics = HelpTopics();
    if (row < 0 || row >= static_cast<int>(topics.size())) return;
    FText->setPlainText(ShownText(topics[static_cast<std::size_t>(row)]));
}

bool THelpWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && (watched == FText || watched == FList)) {
        const auto* key = static_cast<QKeyEvent*>(event);
        int step = 0;
        if (key->modifiers() == Qt::NoModifier || key->modifiers() == Qt::KeypadModifier) {
            if (key->key() == Qt::Key_Up || key->key() == Qt::Key_Left) step = -1;
            if (key->key() == Qt::Key_Down || key->key() == Qt::Key_Right) step = 1;
        }
        if (step != 0) {
            const int last = FList->count() - 1;
            FList->setCurrentRow(std::clamp(FList->currentRow() + step, 0, last));
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace rekna
