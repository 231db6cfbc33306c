// The About box's text and the box itself.
#include "shell/qt/about_box.h"

#include <QMessageBox>
#include <QtGlobal>

#ifndef REKNA_VERSION
#error "the build defines REKNA_VERSION"
#endif

namespace rekna {

QString AboutText() {
    return QStringLiteral("Rekna %1\n").arg(QStringLiteral(REKNA_VERSION)) +
           QString::fromUtf8("技術者のための計算メモ帳\n") +
           QStringLiteral("Qt %1").arg(QString::fromLatin1(qVersion()));
}

void ShowAboutBox(QWidget* parent) {
    QMessageBox::about(parent, QString::fromUtf8("バージョン情報"), AboutText());
}

}  // namespace rekna
