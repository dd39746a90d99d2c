// SPDX-License-Identifier: Apache-2.0
// The sweep for real: this test runs in a client namespace joined by a veth pair to a box
// namespace, where it starts the simulator (run through run-veth-test.sh, which makes both).
#include "BrpDiscover.h"
#include "DeviceIdentity.h"
#include "ImgrMsg.h"
#include "SweepHelpers.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

#include <thread>

using namespace sweeptest;

namespace {

const QHostAddress kBroadcast(QHostAddress::Broadcast);

struct Discover
{
    qint64 ms = 0;
    QString from;
    QString to;
    QString src;
    QByteArray bytes;
};

// One simulator in the box namespace, with the DISCOVERs it reports.
class BoxSim
{
public:
    explicit BoxSim(const QStringList &boxes)
    {
        QStringList args { QStringLiteral("netns"),
                           QStringLiteral("exec"),
                           qEnvironmentVariable("FALQUIN_BOX_NETNS"),
                           qEnvironmentVariable("FALQUIN_BOXSIM"),
                           QStringLiteral("--address"),
                           QStringLiteral("10.77.0.2"),
                           QStringLiteral("--discovery") };
        for (const QString &box : boxes)
            args << QStringLiteral("--box") << box;
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QStringLiteral("ip"), args);
    }
    ~BoxSim()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(2000))
            m_process.kill();
        m_process.waitForFinished(2000);
    }

    bool waitReady()
    {
        const QDeadlineTimer deadline(5000);
        while (!m_output.contains("falquin-boxsim: discovery on")) {
            if (deadline.hasExpired() || !m_process.waitForReadyRead(int(deadline.remainingTime())))
                return false;
            m_output += m_process.readAllStandardOutput();
        }
        return true;
    }

    // The DISCOVERs reported so far, after waiting up to waitMs for count of them.
    QList<Discover> discovers(int count, int waitMs = 1000)
    {
        const QDeadlineTimer deadline(waitMs);
        QList<Discover> found;
        for (;;) {
            m_output += m_process.readAllStandardOutput();
            found = parse();
            if (found.size() >= count || deadline.hasExpired())
                return found;
            m_process.waitForReadyRead(qMax<int>(1, int(deadline.remainingTime())));
        }
    }

private:
    QList<Discover> parse() const
    {
        static const QRegularExpression line(
            QStringLiteral(R"(DISCOVER ms=(\d+) from=(\S+) to=(\S*) src=(\S*) name=\S* bytes=([0-9a-f]+))"));
        QList<Discover> out;
        auto it = line.globalMatch(QString::fromUtf8(m_output));
        while (it.hasNext()) {
            const QRegularExpressionMatch m = it.next();
            out.append({ m.captured(1).toLongLong(), m.captured(2), m.captured(3), m.captured(4),
                         QByteArray::fromHex(m.captured(5).toLatin1()) });
        }
        return out;
    }

    QProcess m_process;
    QByteArray m_output;
};

} // namespace

class TestSweepVeth : public QObject
{
    Q_OBJECT

private:
    const QByteArray m_id = DeviceIdentity().deviceIdBytes();

private slots:
    void initTestCase()
    {
        QVERIFY2(!qEnvironmentVariable("FALQUIN_BOX_NETNS").isEmpty(), "run this through run-veth-test.sh");
    }

    void twoDiscoversPerTargetWithTheRightBytes()
    {
        BoxSim sim({});
        QVERIFY(sim.waitReady());
        const QString iface = qEnvironmentVariable("FALQUIN_CLIENT_IFACE");
        QTest::ignoreMessage(QtInfoMsg,
                             qPrintable(QStringLiteral("brpDiscover: DISCOVER on %1  src=10.77.0.1  "
                                                       "bcast=10.77.0.255")
                                            .arg(iface)));
        const QList<imgr::ImgrMsg> devices = brp::brpDiscover(m_id, "Falquin", 500, nullptr, kBroadcast);

        const QList<Discover> seen = sim.discovers(2);
        QCOMPARE(seen.size(), 2);
        const QByteArray expected = imgr::makeDiscover(m_id, "Falquin", QStringLiteral("10.77.0.1")).pack();
        for (const Discover &d : seen) {
            QCOMPARE(d.from, QStringLiteral("10.77.0.1:31064"));
            QCOMPARE(d.to, QStringLiteral("10.77.0.255"));
            QCOMPARE(d.src, QStringLiteral("10.77.0.1"));
            QCOMPARE(d.bytes.toHex(' '), expected.toHex(' '));
        }
        const qint64 gap = seen[1].ms - seen[0].ms;
        QVERIFY2(gap >= 90 && gap <= 250, QByteArray::number(gap));

        QCOMPARE(devices.size(), 1); // the box answered both passes; listed once
        QCOMPARE(imgr::ImgrMsg::trimmed(devices[0].ip), QStringLiteral("10.77.0.2"));
        QCOMPARE(devices[0].msgType, quint8(0));
    }

    void repliesAreFilteredAndMergedById()
    {
        BoxSim sim({ QStringLiteral("id=A,name=first,type=0"), QStringLiteral("id=B,name=bee,type=2,ip=10.77.0.9"),
                     QStringLiteral("id=A,name=second,type=2,tuners=4"), QStringLiteral("id=C,name=one,type=1"),
                     QStringLiteral("id=D,name=three,type=3"), QStringLiteral("id=E,name=short,len=91"),
                     QStringLiteral("id=F,name=long,len=200") });
        QVERIFY(sim.waitReady());
        const QList<imgr::ImgrMsg> devices = brp::brpDiscover(m_id, "Falquin", 500, nullptr, kBroadcast);
        QCOMPARE(namesById(devices), (QMap<QString, QString> { { "A", "second" }, { "B", "bee" }, { "F", "long" } }));
        for (const imgr::ImgrMsg &d : devices) {
            if (imgr::ImgrMsg::trimmed(d.deviceId) == QLatin1String("A"))
                QCOMPARE(d.numTuners, quint8(4));
            if (imgr::ImgrMsg::trimmed(d.deviceId) == QLatin1String("B"))
                QCOMPARE(imgr::ImgrMsg::trimmed(d.ip), QStringLiteral("10.77.0.9")); // from the reply, not the sender
        }
    }

    void zeroTimeoutSendsBothPassesAndReadsNothing()
    {
        BoxSim sim({});
        QVERIFY(sim.waitReady());
        QElapsedTimer clock;
        clock.start();
        const QList<imgr::ImgrMsg> devices = brp::brpDiscover(m_id, "Falquin", 0, nullptr, kBroadcast);
        const qint64 elapsed = clock.elapsed();
        QVERIFY(devices.isEmpty());
        QVERIFY2(elapsed >= 95 && elapsed < 400, QByteArray::number(elapsed));
        QCOMPARE(sim.discovers(2).size(), 2);
    }

    void explicitAddressGoesOnlyToIt()
    {
        BoxSim sim({ QStringLiteral("id=X,name=direct,ip=10.77.0.2") });
        QVERIFY(sim.waitReady());
        // The client's route out leads to the box namespace, so the probe finds 10.77.0.1.
        QTest::ignoreMessage(QtInfoMsg, "brpDiscover: DISCOVER on (explicit)  src=10.77.0.1  bcast=10.77.0.2");
        const QList<imgr::ImgrMsg> devices
            = brp::brpDiscover(m_id, "Falquin", 400, nullptr, QHostAddress(QStringLiteral("10.77.0.2")));
        const QList<Discover> seen = sim.discovers(3, 300); // waits for a third that must not come
        QCOMPARE(seen.size(), 2);
        for (const Discover &d : seen) {
            QCOMPARE(d.to, QStringLiteral("10.77.0.2"));
            QCOMPARE(d.src, QStringLiteral("10.77.0.1"));
        }
        QCOMPARE(namesById(devices), (QMap<QString, QString> { { "X", "direct" } }));
    }

    void stopWhileListeningAgainstABox()
    {
        BoxSim sim({});
        QVERIFY(sim.waitReady());
        std::atomic<bool> stop(false);
        QElapsedTimer raisedAt;
        std::thread raiser([&] {
            QThread::msleep(600);
            raisedAt.start();
            stop.store(true);
        });
        const QList<imgr::ImgrMsg> devices = brp::brpDiscover(m_id, "Falquin", 10000, &stop, kBroadcast);
        const qint64 afterStop = raisedAt.elapsed();
        raiser.join();
        QVERIFY2(afterStop <= kStopBoundMs, QByteArray::number(afterStop));
        QCOMPARE(devices.size(), 1); // what had been collected
    }
};

QTEST_GUILESS_MAIN(TestSweepVeth)
#include "tst_sweep_veth.moc"
