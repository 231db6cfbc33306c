// A second Rekna start for the single-instance tests: it claims, hands over or holds the lock.
//   single_instance_peer <key> handover <timeout-ms> <arguments...>
//     exits 0 when the claim fails and the hand-over is acknowledged, 2 when it could claim,
//     3 when the hand-over failed;
//   single_instance_peer <key> hold    claims, prints "ready", then serves until killed and
//     prints every hand-over it receives as "got" and the arguments, all separated by tabs;
//   single_instance_peer <key> hang    claims, prints "ready", then never serves.
#include <QCoreApplication>
#include <QStringList>
#include <QThread>

#include <cstdio>

#include "shell/qt/single_instance.h"

namespace {

void Say(const QString& line) {
    std::fputs(line.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 3) return 64;
    rekna::TSingleInstance instance(args[1]);
    const QString mode = args[2];

    if (mode == QLatin1String("handover")) {
        if (args.size() < 4) return 64;
        if (instance.Claim()) return 2;
        return instance.HandOver(args.mid(4), args[3].toInt()) ? 0 : 3;
    }
    if (!instance.Claim() || !instance.Listening()) return 2;
    Say(QStringLiteral("ready"));
    if (mode == QLatin1String("hang")) {
        for (;;)
            QThread::sleep(1);
    }
    instance.OnArguments = [](const QStringList& received) {
        Say(QStringLiteral("got\t") + received.join(u'\t'));
    };
    return QCoreApplication::exec();
}
