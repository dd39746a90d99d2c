// SPDX-License-Identifier: Apache-2.0
// The follower with real sweeps and real replies, inside this test's own network namespace, where
// run-test.sh --lan made a network that leads nowhere else (10.77.9.1 and 10.77.9.2, the two
// ends of a veth pair). Replies are sent from the second end's address to the sweep's port.
#include "../discovery/SweepHelpers.h"
#include "DeviceChoice.h"
#include "DeviceFollower.h"
#include "DeviceIdentity.h"
#include "DiscoveryService.h"
#include "Identity.h"
#include "KeySender.h"
#include "Settings.h"
#include "ShownText.h"

#include <QCoreApplication>
#include <QNetworkProxy>
#include <QSignalSpy>
#include <QUdpSocket>
#include <QtTest>

#include <optional>

namespace {

const QString kDen = QStringLiteral("0e0b0c5151a2");
const QString kOld = QStringLiteral("10.77.9.40"); // where Den was: nobody answers there now
const QString kHere = QStringLiteral("10.77.9.1");
const QString kPeer = QStringLiteral("10.77.9.2"); // where Den is now

QByteArray denReply(const QString &claimed, const QString &id = kDen, const QByteArray &name = "Den")
{
    imgr::ImgrMsg msg;
    msg.deviceId = id.toLatin1();
    msg.name = name;
    msg.ip = claimed.toLatin1();
    return msg.pack();
}

// A box's replies, sent from one of this namespace's own addresses to the sweep's socket.
void send(const QList<QByteArray> &datagrams, const QString &from = kPeer)
{
    QUdpSocket socket;
    socket.setProxy(QNetworkProxy::NoProxy);
    if (!socket.bind(QHostAddress(from), 0))
        qFatal("cannot bind %s", qPrintable(from));
    for (const QByteArray &d : datagrams)
        socket.writeDatagram(d, QHostAddress(kHere), brp::kDiscoveryPort);
}

// The objects as the app makes them, on a clock the test moves.
struct Rig
{
    Rig()
    {
        settings.setLastDeviceIp(kOld);
        settings.setLastDeviceName(QStringLiteral("Den"));
        settings.setLastDeviceId(kDen);
        choice.resume({ kDen, QStringLiteral("Den"), kOld });
    }

    // Starts a search as a key lost on the way to the current host does; true once the sweep listens.
    bool lose(const QString &host = QString())
    {
        follower.onUnanswered(QStringLiteral("menu"), host.isEmpty() ? keys.host() : host);
        return follower.isSearching() && listening();
    }
    static bool listening() { return sweeptest::discoveryPortBound(); }

    Settings settings;
    KeySender keys;
    DeviceChoice choice { &keys, &settings };
    DeviceIdentity identity;
    DiscoveryService service { &identity };
    qint64 now = 100000;
    DeviceFollower follower { &keys, &choice, &service, [this] { return now; } };
};

} // namespace

class TestDeviceFollower : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        identity::apply();
        // The network counts once its carrier is up.
        QTRY_VERIFY2_WITH_TIMEOUT(!brp::buildTargets(network::localInterfaces()).isEmpty(),
                                  "no network to sweep: run through run-test.sh --netns --lan", 5000);
    }

    // What a reply must be for its address to be taken, beyond the socket rows below: the
    // machine's networks are given here.
    void refusals_data()
    {
        QTest::addColumn<QString>("claimed");
        QTest::addColumn<QString>("sender");
        QTest::addColumn<bool>("taken");
        QTest::newRow("a host on the network") << "192.168.1.7"
                                               << "192.168.1.7" << true;
        QTest::newRow("on the second network") << "10.1.2.3"
                                               << "10.1.2.3" << true;
        QTest::newRow("directed broadcast") << "192.168.1.255"
                                            << "192.168.1.255" << false;
        QTest::newRow("network address") << "192.168.1.0"
                                         << "192.168.1.0" << false;
        QTest::newRow("outside the networks") << "10.77.0.55"
                                              << "10.77.0.55" << false;
        QTest::newRow("not where it came from") << "192.168.1.55"
                                                << "192.168.1.2" << false;
        QTest::newRow("a name") << "den.local"
                                << "192.168.1.7" << false;
        QTest::newRow("empty") << ""
                               << "192.168.1.7" << false;
        QTest::newRow("short form") << "192.168.263"
                                    << "192.168.1.7" << false;
        QTest::newRow("IPv6") << "fe80::1"
                              << "192.168.1.7" << false;
    }

    void refusals()
    {
        QFETCH(QString, claimed);
        QFETCH(QString, sender);
        QFETCH(bool, taken);
        const auto entry = [](const char *ip, int prefix) {
            QNetworkAddressEntry e;
            e.setIp(QHostAddress(QString::fromLatin1(ip)));
            e.setPrefixLength(prefix);
            return e;
        };
        const QNetworkInterface::InterfaceFlags up = QNetworkInterface::IsUp | QNetworkInterface::IsRunning;
        const QList<network::InterfaceInfo> interfaces {
            { QStringLiteral("lo"), up | QNetworkInterface::IsLoopBack, { entry("127.0.0.1", 8) } },
            { QStringLiteral("eth0"), up, { entry("192.168.1.2", 24), entry("10.1.0.9", 16) } },
        };
        const QString why = DeviceFollower::refusal(claimed, QHostAddress(sender), interfaces);
        QVERIFY2(why.isEmpty() == taken, qPrintable(QStringLiteral("reason: \"%1\"").arg(why)));
    }

    // Replies for the remembered id during a search; only the box's own address is taken.
    void repliesDuringASearch_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("from");
        QTest::addColumn<bool>("taken");
        QTest::newRow("a new address of its own") << denReply(kPeer) << kPeer << true;
        QTest::newRow("another id") << denReply(kPeer, QStringLiteral("0e0b0c5151ff")) << kPeer << false;
        QTest::newRow("everyone") << denReply(QStringLiteral("255.255.255.255")) << kPeer << false;
        QTest::newRow("unspecified") << denReply(QStringLiteral("0.0.0.0")) << kPeer << false;
        QTest::newRow("multicast") << denReply(QStringLiteral("224.0.0.1")) << kPeer << false;
        QTest::newRow("loopback") << denReply(QStringLiteral("127.0.0.1")) << QStringLiteral("127.0.0.1") << false;
        QTest::newRow("directed broadcast") << denReply(QStringLiteral("10.77.9.255")) << kPeer << false;
        QTest::newRow("outside the networks") << denReply(QStringLiteral("10.77.0.55")) << kPeer << false;
        QTest::newRow("another address than its source") << denReply(QStringLiteral("10.77.9.55")) << kPeer << false;
        // Its warning quotes the field escaped: no terminal escape reaches the log.
        QTest::newRow("an escape sequence") << denReply(QStringLiteral("\x1b[31m10.77.9.2")) << kPeer << false;
    }

    void repliesDuringASearch()
    {
        QFETCH(QByteArray, reply);
        QFETCH(QString, from);
        QFETCH(bool, taken);
        Rig rig;
        QSignalSpy moved(&rig.follower, &DeviceFollower::moved);
        QTRY_VERIFY(rig.lose());
        std::optional<sweeptest::WarningLog> log(std::in_place);
        send({ reply }, from);
        if (taken)
            QTRY_COMPARE(moved.size(), 1);
        else
            QTest::qWait(300);
        const QStringList warnings = log->warnings();
        log.reset();

        if (!taken) {
            QCOMPARE(rig.keys.host(), kOld);
            QCOMPARE(rig.settings.lastDeviceIp(), kOld);
            QVERIFY2(rig.follower.isSearching(), "a bad reply ended the search");
            // The search was listening all along: the box's own reply is still taken.
            send({ denReply(kPeer) });
            QTRY_COMPARE(moved.size(), 1);
        }
        // Taken at once, while the sweep still listens, and everything follows.
        QVERIFY(rig.service.isScanning());
        QCOMPARE(rig.keys.host(), kPeer);
        QCOMPARE(rig.keys.deviceName(), QStringLiteral("Den"));
        QCOMPARE(rig.settings.lastDeviceIp(), kPeer);
        QCOMPARE(rig.settings.lastDeviceName(), QStringLiteral("Den"));
        QCOMPARE(rig.settings.lastDeviceId(), kDen);
        QCOMPARE(moved.at(0).at(0).toString(), QStringLiteral("Den is now at 10.77.9.2"));
        QVERIFY(!rig.follower.isSearching());
        const bool otherId = reply == denReply(kPeer, QStringLiteral("0e0b0c5151ff"));
        if (!taken && !otherId)
            QVERIFY2(warnings.size() == 1, qPrintable(warnings.join(QLatin1Char('\n'))));
        for (const QString &warning : warnings)
            QVERIFY2(!warning.contains(QChar(0x1b)), qPrintable(shown::printable(warning)));
    }

    // When a lost key starts a search: for the current host only, and once per 30 s.
    void whenASearchStarts_data()
    {
        QTest::addColumn<QString>("sentTo");
        QTest::addColumn<qint64>("later"); // ms after a first search, or 0 for none before
        QTest::addColumn<bool>("searches");
        QTest::newRow("the current host") << QString() << qint64(0) << true;
        QTest::newRow("a previous host") << QStringLiteral("10.77.9.41") << qint64(0) << false;
        QTest::newRow("10 s after a search") << QString() << qint64(10000) << false;
        QTest::newRow("31 s after a search") << QString() << qint64(31000) << true;
        QTest::newRow("the clock set back") << QString() << qint64(-60000) << true;
    }

    void whenASearchStarts()
    {
        QFETCH(QString, sentTo);
        QFETCH(qint64, later);
        QFETCH(bool, searches);
        Rig rig;
        if (later != 0) {
            // A first search, ended by the box answering where it was.
            rig.choice.resume({ kDen, QStringLiteral("Den"), kPeer });
            QTRY_VERIFY(rig.lose());
            send({ denReply(kPeer) });
            QTRY_VERIFY(!rig.follower.isSearching());
            rig.now += later;
        }
        rig.follower.onUnanswered(QStringLiteral("menu"), sentTo.isEmpty() ? rig.keys.host() : sentTo);
        QCOMPARE(rig.follower.isSearching(), searches);
    }

    void aSweepAlreadyRunningCountsFromTheTimeOut()
    {
        Rig rig;
        QSignalSpy moved(&rig.follower, &DeviceFollower::moved);
        rig.service.refresh(); // the picker's
        QTRY_VERIFY(rig.listening());
        send({ denReply(kPeer) }); // before the key was lost
        QTest::qWait(200);
        QCOMPARE(moved.size(), 0);
        QVERIFY(rig.lose());
        QTest::qWait(200);
        QVERIFY2(moved.isEmpty(), "a reply from before the time-out was taken");
        send({ denReply(kPeer) });
        QTRY_COMPARE(moved.size(), 1);
        QCOMPARE(rig.keys.host(), kPeer);
    }

    void theUsersChoiceWins()
    {
        Rig rig;
        QSignalSpy searching(&rig.follower, &DeviceFollower::searchingChanged);
        QTRY_VERIFY(rig.lose());
        rig.choice.choose(QStringLiteral("10.77.9.60"), QString()); // picked in the picker meanwhile
        QVERIFY(!rig.follower.isSearching());
        send({ denReply(kPeer) });
        QTest::qWait(300);
        QCOMPARE(rig.keys.host(), QStringLiteral("10.77.9.60"));
        QCOMPARE(searching.size(), 2);
    }

    // Another window on the same store chose Cellar: this window still looks for its own box.
    void anotherWindowsChoiceIsNotFollowed()
    {
        const QString cellar = QStringLiteral("0e0b0c5151a9");
        Rig rig;
        Rig other;
        QVERIFY(other.choice.choose(QStringLiteral("10.77.9.50"), QStringLiteral("Cellar"), cellar).isEmpty());
        QCOMPARE(rig.settings.lastDeviceId(), cellar);
        QSignalSpy moved(&rig.follower, &DeviceFollower::moved);
        QTRY_VERIFY(rig.lose());
        send({ denReply(kPeer, cellar, "Cellar") });
        QTest::qWait(300);
        QVERIFY2(moved.isEmpty(), "followed the other window's box");
        QCOMPARE(rig.keys.host(), kOld);
        send({ denReply(kPeer) });
        QTRY_COMPARE(moved.size(), 1);
        QCOMPARE(rig.keys.host(), kPeer);
        QCOMPARE(rig.choice.current().id, kDen);
    }

    void aFloodDoesNotHideTheBox()
    {
        Rig rig;
        QSignalSpy moved(&rig.follower, &DeviceFollower::moved);
        QTRY_VERIFY(rig.lose());
        for (int chunk = 0; chunk < 100; ++chunk) {
            QList<QByteArray> fakes;
            for (int i = 0; i < 100; ++i)
                fakes << denReply(kPeer, QStringLiteral("fake%1").arg(chunk * 100 + i, 5, 10, QLatin1Char('0')));
            send(fakes);
            QCoreApplication::processEvents();
        }
        // As a box answers both passes of a sweep.
        for (int i = 0; i < 2 && moved.isEmpty(); ++i) {
            send({ denReply(kPeer) });
            QTest::qWait(100);
        }
        QTRY_COMPARE(moved.size(), 1);
        QCOMPARE(rig.keys.host(), kPeer);
    }

    void aKeyTheBoxNeverAnsweredStartsTheSearch()
    {
        Rig rig;
        rig.keys.sendKey(QStringLiteral("menu"));
        QTRY_VERIFY_WITH_TIMEOUT(rig.follower.isSearching(), 4000);
        QVERIFY(rig.service.isScanning());
    }
};

QTEST_GUILESS_MAIN(TestDeviceFollower)
#include "tst_devicefollower.moc"
