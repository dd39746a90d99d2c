// SPDX-License-Identifier: Apache-2.0
// falquin-boxsim: plays one Orvantide box on a chosen address, so Falquin can be
// tried and tested with no box at hand.
#include "KeyDatagram.h"
#include "KeyService.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTime>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("falquin-boxsim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Plays an Orvantide box: acknowledges key requests on UDP %1.").arg(keydatagram::kPort));
    parser.addHelpOption();
    const QCommandLineOption address({ QStringLiteral("a"), QStringLiteral("address") },
                                     QStringLiteral("Address to serve on (default 127.0.0.1)."), QStringLiteral("ip"),
                                     QStringLiteral("127.0.0.1"));
    const QCommandLineOption refuse(QStringLiteral("refuse"),
                                    QStringLiteral("Answer this key with a non-zero status (repeatable)."),
                                    QStringLiteral("key"));
    const QCommandLineOption status(QStringLiteral("refuse-status"),
                                    QStringLiteral("Status byte for refused keys (default 1)."), QStringLiteral("n"),
                                    QStringLiteral("1"));
    const QCommandLineOption silent(QStringLiteral("silent"), QStringLiteral("Never answer this key (repeatable)."),
                                    QStringLiteral("key"));
    const QCommandLineOption delay(QStringLiteral("delay"), QStringLiteral("Answer after this many milliseconds."),
                                   QStringLiteral("ms"), QStringLiteral("0"));
    parser.addOptions({ address, refuse, status, silent, delay });
    parser.process(app);

    KeyService::Behaviour behaviour;
    const QStringList refused = parser.values(refuse);
    const QStringList ignored = parser.values(silent);
    behaviour.refused = QSet<QString>(refused.begin(), refused.end());
    behaviour.silent = QSet<QString>(ignored.begin(), ignored.end());
    const int refuseStatus = parser.value(status).toInt();
    if (refuseStatus < 1 || refuseStatus > 255) {
        std::fprintf(stderr, "falquin-boxsim: --refuse-status must be 1 to 255\n");
        return 2;
    }
    behaviour.refuseStatus = quint8(refuseStatus);
    behaviour.delayMs = qMax(0, parser.value(delay).toInt());

    const QHostAddress host(parser.value(address));
    if (host.isNull()) {
        std::fprintf(stderr, "falquin-boxsim: not an IP address: %s\n", qPrintable(parser.value(address)));
        return 2;
    }
    KeyService keys;
    keys.setBehaviour(behaviour);
    if (!keys.listen(host, keydatagram::kPort)) {
        std::fprintf(stderr, "falquin-boxsim: cannot listen on %s:%u: %s\n", qPrintable(host.toString()),
                     unsigned(keydatagram::kPort), qPrintable(keys.errorString()));
        return 1;
    }
    QObject::connect(&keys, &KeyService::keyReceived, [](quint8 sequence, const QString &key) {
        std::printf("%s seq=%u key=\"%s\"\n", qPrintable(QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz"))),
                    unsigned(sequence), key.toUtf8().constData());
        std::fflush(stdout);
    });
    std::printf("falquin-boxsim: key service on %s:%u\n", qPrintable(host.toString()), unsigned(keydatagram::kPort));
    std::fflush(stdout);
    return QCoreApplication::exec();
}
