// SPDX-License-Identifier: Apache-2.0
// Runs in a network namespace of its own: the box's port 31063 on loopback is ours,
// and nothing sent to other networks can leave.
#include "HostAddress.h"
#include "KeyDatagram.h"
#include "KeySender.h"

#include <QNetworkDatagram>
#include <QProcess>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QUdpSocket>

#include <thread>
#include <time.h>

using namespace keydatagram;

namespace {
const QString kBox = QStringLiteral("127.0.0.1");

// Plays the box by hand, so each test decides exactly what comes back.
class Peer
{
public:
    Peer() { QVERIFY(socket.bind(QHostAddress(kBox), kPort)); }

    // The next request, as the sender sent it; remembers where to answer.
    QByteArray next()
    {
        if (!socket.hasPendingDatagrams() && !socket.waitForReadyRead(1000))
            return {};
        const QNetworkDatagram d = socket.receiveDatagram();
        senderPort = quint16(d.senderPort());
        return d.data();
    }
    void send(const QByteArray &data) { socket.writeDatagram(data, QHostAddress(kBox), senderPort); }
    void ack(quint8 sequence, quint8 status = 0)
    {
        send(QByteArray("Trox\x01\x01", 6) + char(status) + char(sequence));
    }

    QUdpSocket socket;
    quint16 senderPort = 0;
};

quint8 sequenceOf(const QByteArray &request)
{
    return quint8(request.at(SequenceAt));
}
} // namespace

class TestKeySender : public QObject
{
    Q_OBJECT

private slots:
    void sequenceNumbersAndPending();
    void acknowledgementAndRefusal();
    void timeoutNamesTheBoxItWentTo();
    void entryIsGoneBeforeTheSignal();
    void validationFailures_data();
    void validationFailures();
    void refusedAtSendAsNetworksChange_data();
    void refusedAtSendAsNetworksChange();
    void acknowledgedOnlyByTheBox_data();
    void acknowledgedOnlyByTheBox();
    void kernelRefusedSend();
    void reusedNumberReplacesPendingText();
    void propertySignals();
    void metaObjectOrder();
    void garbageIsIgnored();
    void floodDoesNotHoldTheLoop();
};

void TestKeySender::sequenceNumbersAndPending()
{
    Peer peer;
    KeySender sender;
    sender.setHost(kBox);
    QSignalSpy sent(&sender, &KeySender::keySent);

    sender.sendKey(QStringLiteral("up"));
    QCOMPARE(sent.count(), 1);
    QCOMPARE(sent.takeFirst().at(0).toString(), QStringLiteral("up"));
    QCOMPARE(sender.pending().size(), 1);
    QCOMPARE(sender.pending().value(1), QStringLiteral("up"));
    const QByteArray first = peer.next();
    QCOMPARE(first.size(), kDatagramSize);
    QCOMPARE(sequenceOf(first), quint8(1));
    QCOMPARE(first.mid(8, 3), QByteArray("up\0", 3));

    for (int n = 2; n <= 257; ++n) {
        sender.sendKey(QStringLiteral("k%1").arg(n));
        const quint8 expected = quint8(n % 256);
        QCOMPARE(sequenceOf(peer.next()), expected);
    }
    QCOMPARE(sent.count(), 256);
    // The 256th request carried 0 and the 257th reused 1, replacing "up".
    QCOMPARE(sender.pending().value(0), QStringLiteral("k256"));
    QCOMPARE(sender.pending().value(1), QStringLiteral("k257"));
    QCOMPARE(sender.pending().size(), 256);
}

void TestKeySender::acknowledgementAndRefusal()
{
    Peer peer;
    KeySender sender;
    sender.setHost(kBox);
    QSignalSpy acked(&sender, &KeySender::keyAcknowledged);
    QSignalSpy failed(&sender, &KeySender::keyFailed);
    QSignalSpy unanswered(sender.timeouts(), &KeyTimeouts::unanswered);

    sender.sendKey(QStringLiteral("ok"));
    sender.sendKey(QStringLiteral("bogus"));
    const quint8 okSeq = sequenceOf(peer.next());
    const quint8 bogusSeq = sequenceOf(peer.next());
    peer.ack(okSeq);
    peer.ack(bogusSeq, 3);
    QTRY_COMPARE(acked.count() + failed.count(), 2);
    QCOMPARE(acked.at(0).at(0).toString(), QStringLiteral("ok"));
    QCOMPARE(failed.at(0).at(0).toString(), QStringLiteral("bogus"));
    QCOMPARE(failed.at(0).at(1).toString(), QStringLiteral("device could not parse the key string"));
    QVERIFY(sender.pending().isEmpty());

    // Duplicates, and the timers of answered keys, say nothing more.
    peer.ack(okSeq);
    peer.ack(bogusSeq, 3);
    QTest::qWait(kAckTimeoutMs + 300);
    QCOMPARE(acked.count(), 1);
    QCOMPARE(failed.count(), 1);
    QCOMPARE(unanswered.count(), 0); // a refusal is an answer
}

void TestKeySender::timeoutNamesTheBoxItWentTo()
{
    Peer peer;
    KeySender sender;
    sender.setHost(kBox);
    sender.setDeviceName(QStringLiteral("Attic"));
    QSignalSpy failed(&sender, &KeySender::keyFailed);
    QSignalSpy acked(&sender, &KeySender::keyAcknowledged);
    QSignalSpy unanswered(sender.timeouts(), &KeyTimeouts::unanswered);

    sender.sendKey(QStringLiteral("left"));
    const quint8 leftSeq = sequenceOf(peer.next());
    QTest::qWait(300);
    // Switched to a named box while "left" is in flight.
    sender.setHost(QStringLiteral("127.0.0.2"));
    sender.setDeviceName(QStringLiteral("Den"));
    QTRY_COMPARE_WITH_TIMEOUT(failed.count(), 1, kAckTimeoutMs + 500);
    QCOMPARE(failed.at(0).at(0).toString(), QStringLiteral("left"));
    QCOMPARE(failed.at(0).at(1).toString(), QStringLiteral("no response from Attic"));

    // With no name, the address stands in. The late ack of "left" is ignored.
    sender.setHost(kBox);
    sender.sendKey(QStringLiteral("right"));
    peer.next();
    peer.ack(leftSeq);
    QTRY_COMPARE_WITH_TIMEOUT(failed.count(), 2, kAckTimeoutMs + 500);
    QCOMPARE(failed.at(1).at(1).toString(), QStringLiteral("no response from 127.0.0.1"));
    QCOMPARE(acked.count(), 0);
    QCOMPARE(unanswered.count(), 2);
    QCOMPARE(unanswered.at(0).at(0).toString(), QStringLiteral("left"));
    QCOMPARE(unanswered.at(1).at(0).toString(), QStringLiteral("right"));
    // Each with the host it went to, not the one current at the time-out.
    QCOMPARE(unanswered.at(0).at(1).toString(), kBox);
    QCOMPARE(unanswered.at(1).at(1).toString(), kBox);
}

void TestKeySender::entryIsGoneBeforeTheSignal()
{
    Peer peer;
    KeySender sender;
    sender.setHost(kBox);
    QList<bool> stillPending;
    auto check = [&](const QString &keys) {
        bool found = false;
        for (const QString &text : sender.pending())
            found = found || text == keys;
        stillPending.append(found);
    };
    connect(&sender, &KeySender::keyAcknowledged, this, check);
    connect(&sender, &KeySender::keyFailed, this, check);

    sender.sendKey(QStringLiteral("acked"));
    sender.sendKey(QStringLiteral("refused"));
    sender.sendKey(QStringLiteral("timed out"));
    peer.ack(sequenceOf(peer.next()));
    peer.ack(sequenceOf(peer.next()), 1);
    QTRY_COMPARE_WITH_TIMEOUT(stillPending.size(), 3, kAckTimeoutMs + 500);
    QCOMPARE(stillPending, QList<bool>({ false, false, false }));
}

void TestKeySender::validationFailures_data()
{
    QTest::addColumn<QString>("host");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("reason");
    const QString k255 = QString(85, QChar(0x9759)); // 3 bytes each: 255 in all
    QTest::newRow("no host") << QString() << "up"
                             << "no device configured";
    QTest::newRow("octet over 255") << "256.1.1.1"
                                    << "up"
                                    << "invalid IP address '256.1.1.1'";
    QTest::newRow("host name") << "localhost"
                               << "up"
                               << "invalid IP address 'localhost'";
    QTest::newRow("with port") << "127.0.0.1:31063"
                               << "up"
                               << "invalid IP address '127.0.0.1:31063'";
    // Each of these would reach another host than the one typed, or none, or every one.
    for (const char *refused :
         { "10.77.0", "10.77.2", "10.77.0.010", "0.0.0.0", "0.1.2.3", "240.0.0.1", "255.255.255.255", "224.0.0.1",
           " 127.0.0.1", "127.0.0.1 ", "::", "ff02::1%lo", "::ffff:10.77.0" })
        QTest::addRow("refused: \"%s\"", refused)
            << refused << "up" << QStringLiteral("invalid IP address '%1'").arg(QLatin1String(refused));
    QTest::newRow("ipv4-mapped box") << "::ffff:127.0.0.1"
                                     << "up" << QString();
    QTest::newRow("256 bytes") << kBox << QString(256, 'k') << "key string too long";
    QTest::newRow("256 utf-8 bytes") << kBox << k255 + "x"
                                     << "key string too long";
    QTest::newRow("255 utf-8 bytes") << kBox << k255 << QString();
}

void TestKeySender::validationFailures()
{
    QFETCH(QString, host);
    QFETCH(QString, key);
    QFETCH(QString, reason);
    Peer peer;
    KeySender sender;
    sender.setHost(host);
    QSignalSpy sent(&sender, &KeySender::keySent);
    QSignalSpy failed(&sender, &KeySender::keyFailed);

    // The rule the picker and the command line ask for is the one sendKey applies.
    const bool address = !host.isEmpty() && !reason.startsWith(QLatin1String("invalid"));
    const QString problem = hostaddress::refusal(host, sender.networks()->current());
    QVERIFY2(problem.isEmpty() == address, qPrintable(problem));
    sender.sendKey(key);
    if (reason.isEmpty()) {
        QCOMPARE(sent.count(), 1);
        QCOMPARE(peer.next().mid(8, key.toUtf8().size() + 1), key.toUtf8() + '\0');
        return;
    }
    QCOMPARE(sent.count(), 0);
    QCOMPARE(failed.count(), 1);
    QCOMPARE(failed.at(0).at(0).toString(), key);
    QCOMPARE(failed.at(0).at(1).toString(), reason);
    // Refused before the socket: no socket, no number used.
    QVERIFY(!sender.findChild<QUdpSocket *>());
    sender.setHost(kBox);
    sender.sendKey(QStringLiteral("up"));
    QCOMPARE(sequenceOf(peer.next()), quint8(1));
}

void TestKeySender::refusedAtSendAsNetworksChange_data()
{
    QTest::addColumn<QString>("host");
    QTest::addColumn<QString>("reason");
    QTest::newRow("broadcast") << "127.0.0.255"
                               << "127.0.0.255 is the broadcast address of 127.0.0.128/25";
    QTest::newRow("network address") << "127.0.0.128"
                                     << "127.0.0.128 is the address of the network 127.0.0.128/25 itself";
    QTest::newRow("IPv4-mapped") << "::ffff:127.0.0.255"
                                 << "::ffff:127.0.0.255 is the broadcast address of 127.0.0.128/25";
}

// A network that comes up between two keys makes the box's address its edge: the next key fails
// with the reason, before any number is used, and goes again once the network is gone. The
// chosen host stays as it was.
void TestKeySender::refusedAtSendAsNetworksChange()
{
    QFETCH(QString, host);
    QFETCH(QString, reason);
    const auto ip = [](const char *verb) {
        return QProcess::execute(QStringLiteral("ip"),
                                 { QStringLiteral("addr"), QLatin1String(verb), QStringLiteral("127.0.0.129/25"),
                                   QStringLiteral("dev"), QStringLiteral("lo") });
    };
    KeySender sender;
    sender.setHost(host);
    QSignalSpy sent(&sender, &KeySender::keySent);
    QSignalSpy failed(&sender, &KeySender::keyFailed);
    sender.sendKey(QStringLiteral("up"));
    QCOMPARE(sent.count(), 1);

    QCOMPARE(ip("add"), 0);
    sender.sendKey(QStringLiteral("down"));
    const bool refused = failed.count() == 1 && sent.count() == 1;
    QCOMPARE(ip("del"), 0);
    QVERIFY2(refused, "sent to an address that had just become a network's edge");
    QCOMPARE(failed.at(0).at(1).toString(), reason);
    QCOMPARE(sender.host(), host);

    sender.sendKey(QStringLiteral("ok"));
    QCOMPARE(sent.count(), 2);
    QCOMPARE(failed.count(), 1);
}

void TestKeySender::acknowledgedOnlyByTheBox_data()
{
    QTest::addColumn<QString>("host");
    QTest::newRow("IPv4") << kBox;
    QTest::newRow("IPv4-mapped") << "::ffff:" + kBox;
}

// Another host's answers for every number never count, but the box may answer from any port.
void TestKeySender::acknowledgedOnlyByTheBox()
{
    QFETCH(QString, host);
    Peer peer;
    KeySender sender;
    sender.setHost(host);
    QSignalSpy acked(&sender, &KeySender::keyAcknowledged);
    QSignalSpy failed(&sender, &KeySender::keyFailed);
    sender.sendKey(QStringLiteral("mute"));
    const quint8 number = sequenceOf(peer.next());

    QUdpSocket forger;
    QVERIFY(forger.bind(QHostAddress(QStringLiteral("127.0.0.2")), 0));
    for (int n = 0; n < 256; ++n)
        forger.writeDatagram(QByteArray("Trox\x01\x01\x00", 7) + char(n), QHostAddress(kBox), peer.senderPort);
    QTest::qWait(200);
    QVERIFY2(acked.isEmpty() && failed.isEmpty(), "an answer from 127.0.0.2 was taken for the box's");
    QCOMPARE(sender.pending().value(number), QStringLiteral("mute"));

    QUdpSocket otherPort;
    QVERIFY(otherPort.bind(QHostAddress(kBox), 0));
    otherPort.writeDatagram(QByteArray("Trox\x01\x01\x00", 7) + char(number), QHostAddress(kBox), peer.senderPort);
    QTRY_COMPARE(acked.count(), 1);
    QCOMPARE(failed.count(), 0);
}

void TestKeySender::kernelRefusedSend()
{
    // No route leaves this namespace, so the kernel refuses the datagram at once.
    Peer peer;
    KeySender sender;
    sender.setHost(QStringLiteral("10.255.0.1"));
    QSignalSpy sent(&sender, &KeySender::keySent);
    QSignalSpy failed(&sender, &KeySender::keyFailed);

    sender.sendKey(QStringLiteral("up"));
    QCOMPARE(failed.count(), 1);
    const QString reason = failed.at(0).at(1).toString();
    QVERIFY2(reason.startsWith(QStringLiteral("send failed: ")) && reason.size() > 13, qPrintable(reason));
    QCOMPARE(sent.count(), 0);
    QVERIFY(sender.pending().isEmpty());

    // The refused send used up number 1; the same socket still works.
    sender.setHost(kBox);
    sender.sendKey(QStringLiteral("down"));
    QCOMPARE(sent.count(), 1);
    QCOMPARE(sequenceOf(peer.next()), quint8(2));
    QTest::qWait(kAckTimeoutMs + 200);
    QCOMPARE(failed.count(), 2); // only the time-out of "down"
    QCOMPARE(failed.at(1).at(0).toString(), QStringLiteral("down"));
}

void TestKeySender::reusedNumberReplacesPendingText()
{
    Peer peer;
    KeySender sender;
    sender.setHost(kBox);
    QSignalSpy acked(&sender, &KeySender::keyAcknowledged);
    QSignalSpy failed(&sender, &KeySender::keyFailed);

    for (int n = 1; n <= 257; ++n) {
        sender.sendKey(QStringLiteral("k%1").arg(n));
        peer.next();
    }
    peer.ack(1);
    QTRY_COMPARE(acked.count(), 1);
    QCOMPARE(acked.at(0).at(0).toString(), QStringLiteral("k257"));

    QTRY_COMPARE_WITH_TIMEOUT(failed.count(), 255, kAckTimeoutMs + 1000);
    QStringList timedOut;
    for (const auto &args : failed)
        timedOut.append(args.at(0).toString());
    QVERIFY(!timedOut.contains(QStringLiteral("k1")));
    QVERIFY(!timedOut.contains(QStringLiteral("k257")));
    QVERIFY(timedOut.contains(QStringLiteral("k2")) && timedOut.contains(QStringLiteral("k256")));
    QVERIFY(sender.pending().isEmpty());
}

void TestKeySender::propertySignals()
{
    KeySender sender;
    QStringList order;
    connect(&sender, &KeySender::hostChanged, this, [&] { order << "host:" + sender.host(); });
    connect(&sender, &KeySender::deviceNameChanged, this, [&] { order << "name:" + sender.deviceName(); });

    sender.setHost(QStringLiteral("10.0.0.2"));
    QCOMPARE(order, QStringList({ "host:10.0.0.2" }));
    sender.setDeviceName(QStringLiteral("Den"));
    sender.setDeviceName(QStringLiteral("Den"));
    sender.setHost(QStringLiteral("10.0.0.2"));
    QCOMPARE(order, QStringList({ "host:10.0.0.2", "name:Den" }));
    QCOMPARE(sender.deviceName(), QStringLiteral("Den"));

    order.clear();
    sender.setHost(QStringLiteral("10.0.0.3"));
    QCOMPARE(order, QStringList({ "name:", "host:10.0.0.3" }));
    QVERIFY(!sender.findChild<QUdpSocket *>());
}

void TestKeySender::metaObjectOrder()
{
    // The scene binds by name, but the order is part of the published interface.
    const QMetaObject &mo = KeySender::staticMetaObject;
    QStringList methods;
    for (int i = mo.methodOffset(); i < mo.methodCount(); ++i)
        methods << QString::fromLatin1(mo.method(i).methodSignature());
    QCOMPARE(methods,
             QStringList({ "hostChanged()", "deviceNameChanged()", "keySent(QString)", "keyAcknowledged(QString)",
                           "keyFailed(QString,QString)", "sendKey(QString)" }));
    QCOMPARE(mo.method(mo.methodOffset() + 5).methodType(), QMetaMethod::Method);
    QCOMPARE(mo.propertyCount() - mo.propertyOffset(), 2);
    QCOMPARE(mo.property(mo.propertyOffset()).name(), "host");
    QCOMPARE(mo.property(mo.propertyOffset() + 1).name(), "deviceName");
    QVERIFY(mo.indexOfMethod("ensureSocket()") < 0);
}

void TestKeySender::garbageIsIgnored()
{
    Peer peer;
    KeySender sender;
    sender.setHost(kBox);
    sender.sendKey(QStringLiteral("up"));
    const quint8 upSeq = sequenceOf(peer.next());
    QSignalSpy acked(&sender, &KeySender::keyAcknowledged);
    QSignalSpy failed(&sender, &KeySender::keyFailed);

    auto *random = QRandomGenerator::global();
    for (int length = 0; length <= 400; ++length) {
        QByteArray junk(length, Qt::Uninitialized);
        for (char &c : junk)
            c = char(random->bounded(256));
        // Keep the one answer that could count (a valid ack for "up") out of the noise.
        if (length >= 8 && junk.startsWith("Trox") && junk[5] == 1 && quint8(junk[7]) == upSeq)
            junk[5] = 0;
        peer.send(junk);
    }
    for (int n = 0; n < 256; ++n) {
        if (n != upSeq)
            peer.ack(quint8(n));
    }
    peer.send(buildRequest(upSeq, "up")); // an echo of the request itself
    QTest::qWait(200);
    QCOMPARE(acked.count(), 0);
    QCOMPARE(failed.count(), 0);
    QCOMPARE(sender.pending().value(upSeq), QStringLiteral("up"));

    peer.ack(upSeq);
    QTRY_COMPARE(acked.count(), 1);
}

void TestKeySender::floodDoesNotHoldTheLoop()
{
    Peer peer;
    KeySender sender;
    sender.setHost(kBox);
    sender.sendKey(QStringLiteral("up"));
    peer.next();
    const quint16 target = peer.senderPort;
    QSignalSpy acked(&sender, &KeySender::keyAcknowledged);
    QSignalSpy failed(&sender, &KeySender::keyFailed);

    // The flood comes from another thread while this loop keeps a 1 ms heartbeat.
    // What counts is the CPU time this thread spends between two beats: time the
    // loop was busy, not time the scheduler gave to other work.
    auto cpuNow = [] {
        timespec t;
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return qint64(t.tv_sec) * 1000000 + t.tv_nsec / 1000;
    };
    qint64 last = cpuNow();
    qint64 worstGap = 0;
    QTimer heartbeat;
    heartbeat.setTimerType(Qt::PreciseTimer);
    heartbeat.setInterval(1);
    connect(&heartbeat, &QTimer::timeout, this, [&] {
        const qint64 now = cpuNow();
        worstGap = qMax(worstGap, now - last);
        last = now;
    });
    heartbeat.start();
    std::atomic<bool> done { false };
    std::thread flood([&] {
        QUdpSocket out;
        const QByteArray junk = QByteArray("Trox\x01\x01\x00", 7) + char(200) + QByteArray(320, 'j');
        for (int n = 0; n < 10000; ++n)
            out.writeDatagram(junk, QHostAddress(kBox), target);
        done = true;
    });
    while (!done)
        QTest::qWait(5);
    flood.join();
    QTest::qWait(50);
    heartbeat.stop();

    qInfo("longest busy stretch of the event loop during a 10000-datagram flood: %lld us", worstGap);
    QVERIFY2(worstGap < 8000, qPrintable(QString::number(worstGap)));
    QCOMPARE(acked.count() + failed.count(), 0);
}

QTEST_GUILESS_MAIN(TestKeySender)
#include "tst_keysender.moc"
