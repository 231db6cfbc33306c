// Input boxes sized to their titles.
#include "frame/qt/prompt_box.h"

#include <QApplication>
#include <QFontMetrics>
#include <QInputDialog>
#include <QLabel>
#include <QScreen>
#include <QStyle>
#include <QWidget>

#include <algorithm>

namespace rekna {

namespace {

// The window manager's icon and its three buttons, with some air, in pixels at 96 dpi.
constexpr int kTitleBarRoom = 140;

}  // namespace

int TitleRoom(const QString& title) {
    QFont font = QApplication::font();
    font.setBold(true);
    const QFontMetrics metrics(font);
    return metrics.horizontalAdvance(title) + kTitleBarRoom;
}

void FitTitle(QWidget& dialog) {
    int room = TitleRoom(dialog.windowTitle());
    if (const QScreen* screen = dialog.screen())
        room = std::min(room, screen->availableGeometry().width() * 9 / 10);
    // An input box lays itself out when shown and takes its layout's minimum then: its label
    // carries the width, less the box's margins.
    if (auto* label = dialog.findChild<QLabel*>(QString(), Qt::FindDirectChildrenOnly)) {
        const int margins = 2 * dialog.style()->pixelMetric(QStyle::PM_LayoutLeftMargin);
        label->setMinimumWidth(std::max(label->minimumWidth(), room - margins));
    }
    if (dialog.minimumWidth() < room) dialog.setMinimumWidth(room);
}

std::optional<QString> AskText(QWidget* parent, const QString& title, const QString& label,
                               const QString& text) {
    QInputDialog box(parent);
    box.setWindowTitle(title);
    box.setLabelText(label);
    box.setTextValue(text);
    FitTitle(box);
    if (box.exec() != QDialog::Accepted) return std::nullopt;
    return box.textValue();
}

}  // namespace rekna
