// SPDX-License-Identifier: Apache-2.0
// The sweep in a namespace with only loopback: no eligible interface, so replies are injected on
// 127.0.0.1 while it listens. Runs only inside its own network namespace.
#include "BrpDiscover.h"
#include "SweepHelpers.h"

#include <QElapsedTimer>
#include <QtTest>

#include <thread>

using namespace sweeptest;

namespace {
const QByteArray kId("726d74636c69\0\0\0\0", 16);
const QHostAddress kBroadcast(QHostAddress::Broadcast);
} // namespace

class TestSweepLocal : public QObject
{
    Q_OBJECT

private slots:
    void noInterfaceWarnsListensAndFilters()
    {
        QByteArray longReply = reply("F", "long", 2);
        longReply.append(108, 'z'); // 200 bytes
        QByteArray badMagic = reply("G", "magic");
        badMagic[3] = 'A';
        std::thread injector([&] {
            if (!waitForDiscoveryPort())
                return;
            inject({ reply("A", "first", 0), reply("B", "bee", 2), reply("A", "second", 2), reply("C", "one", 1),
                     reply("D", "discover", 3), reply("E", "short").left(91), longReply, badMagic,
                     reply(QByteArray("\0x", 2), "noid1"), reply(QByteArray("\0y", 2), "noid2") });
        });
        QTest::ignoreMessage(QtWarningMsg, "brpDiscover: no eligible IPv4 interface to broadcast on");
        QElapsedTimer clock;
        clock.start();
        const QList<imgr::ImgrMsg> devices = brp::brpDiscover(kId, "Falquin", 400, nullptr, kBroadcast);
        const qint64 elapsed = clock.elapsed();
        injector.join();

        QVERIFY2(elapsed >= 470 && elapsed < 1500, QByteArray::number(elapsed));
        const QMap<QString, QString> expected { { "A", "second" }, { "B", "bee" }, { "F", "long" }, { "", "noid2" } };
        QCOMPARE(namesById(devices), expected);
        QCOMPARE(devices.size(), 4);
    }

    void stopDuringListening()
    {
        std::atomic<bool> stop(false);
        QElapsedTimer raisedAt;
        std::thread injector([&] {
            if (!waitForDiscoveryPort())
                return;
            inject({ reply("A", "early") });
            QThread::msleep(400);
            raisedAt.start();
            stop.store(true);
        });
        QTest::ignoreMessage(QtWarningMsg, "brpDiscover: no eligible IPv4 interface to broadcast on");
        QElapsedTimer clock;
        clock.start();
        const QList<imgr::ImgrMsg> devices = brp::brpDiscover(kId, "Falquin", 10000, &stop, kBroadcast);
        const qint64 total = clock.elapsed();
        const qint64 afterStop = raisedAt.isValid() ? raisedAt.elapsed() : -1;
        injector.join();

        QVERIFY2(afterStop >= 0 && afterStop <= kStopBoundMs, QByteArray::number(afterStop));
        QVERIFY2(total < 1500, QByteArray::number(total));
        QCOMPARE(namesById(devices), (QMap<QString, QString> { { "A", "early" } }));
    }

    void stopAlreadyRaisedSendsAndReturns()
    {
        std::atomic<bool> stop(true);
        QTest::ignoreMessage(QtWarningMsg, "brpDiscover: no eligible IPv4 interface to broadcast on");
        QElapsedTimer clock;
        clock.start();
        const QList<imgr::ImgrMsg> devices = brp::brpDiscover(kId, "Falquin", 5000, &stop, kBroadcast);
        const qint64 elapsed = clock.elapsed();
        QVERIFY(devices.isEmpty());
        QVERIFY2(elapsed >= 95 && elapsed < 400, QByteArray::number(elapsed)); // the pause between passes only
    }

    void bindFailureReturnsAtOnce()
    {
        QUdpSocket holder;
        holder.setProxy(QNetworkProxy::NoProxy);
        QVERIFY(holder.bind(QHostAddress::AnyIPv4, brp::kDiscoveryPort, QAbstractSocket::DontShareAddress));
        QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));
        QElapsedTimer clock;
        clock.start();
        const QList<imgr::ImgrMsg> devices = brp::brpDiscover(kId, "Falquin", 5000, nullptr, kBroadcast);
        QVERIFY(devices.isEmpty());
        QVERIFY2(clock.elapsed() < 50, QByteArray::number(clock.elapsed()));
    }

    void explicitAddressGoesOnlyThere()
    {
        // A listener on a loopback address of its own gets what is sent to it; with no route out of
        // the namespace the source probe fails and the request says 0.0.0.0.
        QUdpSocket box;
        box.setProxy(QNetworkProxy::NoProxy);
        QVERIFY(box.bind(QHostAddress(QStringLiteral("127.0.0.5")), brp::kDiscoveryPort,
                         QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint));
        QTest::ignoreMessage(QtInfoMsg, "brpDiscover: DISCOVER on (explicit)  src=0.0.0.0  bcast=127.0.0.5");
        const QList<imgr::ImgrMsg> devices
            = brp::brpDiscover(kId, "Falquin", 0, nullptr, QHostAddress(QStringLiteral("127.0.0.5")));
        QVERIFY(devices.isEmpty());

        const QByteArray expected = imgr::makeDiscover(kId, "Falquin", QStringLiteral("0.0.0.0")).pack();
        int received = 0;
        while (box.hasPendingDatagrams()) {
            QByteArray datagram(box.pendingDatagramSize(), '\0');
            box.readDatagram(datagram.data(), datagram.size());
            QCOMPARE(datagram.toHex(' '), expected.toHex(' '));
            ++received;
        }
        QCOMPARE(received, 2);
    }
};

QTEST_GUILESS_MAIN(TestSweepLocal)
#include "tst_sweep_local.moc"
