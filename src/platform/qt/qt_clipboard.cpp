// TQtClipboard: CP932 text to and from the desktop's clipboard.
#include "platform/qt/qt_clipboard.h"

#include "platform/cp932.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace rekna {

std::optional<std::string> TQtClipboard::GetText() const {
    const QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr) return std::nullopt;
    const QMimeData* data = clipboard->mimeData();
    if (data == nullptr || !data->hasText()) return std::nullopt;
    return Utf8ToCp932(data->text().toStdString());
}

void TQtClipboard::SetText(std::string_view cp932) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr) return;
    // Other programs of this desktop take LF line ends.
    QString text = QString::fromStdString(Cp932ToUtf8(cp932));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    clipboard->setText(text);
}

}  // namespace rekna
