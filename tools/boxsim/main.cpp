// SPDX-License-Identifier: Apache-2.0
// falquin-boxsim: plays one Orvantide box on a chosen address, so Falquin can be
// tried and tested with no box at hand.
#include "BrpDiscover.h"
#include "DiscoveryResponder.h"
#include "ImgrMsg.h"
#include "KeyDatagram.h"
#include "KeyService.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QTime>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("falquin-boxsim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Plays an Orvantide box: acknowledges key requests on UDP %1 and, with --discovery or "
                       "--box, answers DISCOVER requests on UDP %2.")
            .arg(keydatagram::kPort)
            .arg(brp::kDiscoveryPort));
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
    const QCommandLineOption discovery(QStringLiteral("discovery"),
                                       QStringLiteral("Answer DISCOVER requests (implied by --box)."));
    const QCommandLineOption discoveryAddress(
        QStringLiteral("discovery-address"),
        QStringLiteral("Address the discovery responder binds (default 0.0.0.0, which hears broadcasts)."),
        QStringLiteral("ip"), QStringLiteral("0.0.0.0"));
    const QCommandLineOption box(
        QStringLiteral("box"),
        QStringLiteral("A box to announce (repeatable): id=..,name=..,model=..,ip=..,tuners=N,flags=N,sub=N,type=0|2"
                       "[,len=N]. ip defaults to --address; with no --box, one box at --address."),
        QStringLiteral("fields"));
    const QCommandLineOption logReplies(QStringLiteral("log-replies"),
                                        QStringLiteral("Log each discovery reply with the time it was sent."));
    parser.addOptions({ address, refuse, status, silent, delay, discovery, discoveryAddress, box, logReplies });
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

    DiscoveryResponder responder;
    if (parser.isSet(discovery) || parser.isSet(box)) {
        QList<DiscoveryResponder::Box> boxes;
        for (const QString &fields : parser.values(box)) {
            DiscoveryResponder::Box parsed;
            parsed.ip = host.toString().toLatin1(); // unless the fields say otherwise, even "ip="
            QString error;
            if (!DiscoveryResponder::parseBox(fields, parsed, error)) {
                std::fprintf(stderr, "falquin-boxsim: --box %s: %s\n", qPrintable(fields), qPrintable(error));
                return 2;
            }
            boxes.append(parsed);
        }
        if (boxes.isEmpty()) {
            DiscoveryResponder::Box only;
            only.id = QByteArrayLiteral("0e0b0c5151a1");
            only.name = QByteArrayLiteral("Simulated box");
            only.model = QByteArrayLiteral("OTX-2");
            only.ip = host.toString().toLatin1();
            boxes.append(only);
        }
        responder.setBoxes(boxes);
        const QHostAddress bindAddress(parser.value(discoveryAddress));
        if (bindAddress.isNull() || !responder.listen(bindAddress, brp::kDiscoveryPort)) {
            std::fprintf(stderr, "falquin-boxsim: cannot serve discovery on %s:%u: %s\n",
                         qPrintable(parser.value(discoveryAddress)), unsigned(brp::kDiscoveryPort),
                         qPrintable(responder.errorString()));
            return 1;
        }
        QObject::connect(
            &responder, &DiscoveryResponder::discoverReceived,
            [](const QHostAddress &from, quint16 port, const QHostAddress &to, const QByteArray &datagram) {
                imgr::ImgrMsg msg;
                imgr::ImgrMsg::unpack(datagram, msg);
                std::printf("%s DISCOVER ms=%lld from=%s:%u to=%s src=%s name=%s bytes=%s\n",
                            qPrintable(QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz"))),
                            QDateTime::currentMSecsSinceEpoch(), qPrintable(from.toString()), unsigned(port),
                            qPrintable(to.toString()),
                            imgr::ImgrMsg::trimmed(msg.ip).toUtf8().toPercentEncoding().constData(),
                            imgr::ImgrMsg::trimmed(msg.name).toUtf8().toPercentEncoding().constData(),
                            datagram.toHex().constData());
                std::fflush(stdout);
            });
        if (parser.isSet(logReplies)) {
            QObject::connect(&responder, &DiscoveryResponder::replied, [](const QByteArray &id, qint64 sentUs) {
                std::printf("REPLY id=%s us=%lld\n", id.toPercentEncoding().constData(),
                            static_cast<long long>(sentUs));
                std::fflush(stdout);
            });
        }
        std::printf("falquin-boxsim: discovery on %s:%u, %d box(es)\n", qPrintable(bindAddress.toString()),
                    unsigned(brp::kDiscoveryPort), int(boxes.size()));
    }
    std::fflush(stdout);
    return QCoreApplication::exec();
}
