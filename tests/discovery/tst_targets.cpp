// SPDX-License-Identifier: Apache-2.0
// Which networks a sweep sends to, from made-up interface data: no network is touched.
#include "BrpDiscover.h"

#include <QtTest>

using Flags = QNetworkInterface::InterfaceFlags;

namespace {

const Flags kUpRunning = Flags(QNetworkInterface::IsUp) | QNetworkInterface::IsRunning;

QNetworkAddressEntry entry(const char *ip, const char *netmask = nullptr, const char *broadcast = nullptr)
{
    QNetworkAddressEntry e;
    e.setIp(QHostAddress(QString::fromLatin1(ip)));
    if (netmask)
        e.setNetmask(QHostAddress(QString::fromLatin1(netmask)));
    if (broadcast)
        e.setBroadcast(QHostAddress(QString::fromLatin1(broadcast)));
    return e;
}

QStringList describe(const QList<brp::Target> &targets)
{
    QStringList out;
    for (const brp::Target &t : targets)
        out << t.iface + QLatin1Char(' ') + t.src + QLatin1Char(' ') + t.bcast.toString();
    return out;
}

} // namespace

class TestTargets : public QObject
{
    Q_OBJECT

private slots:
    void broadcastAddressIsUsed()
    {
        const QList<network::InterfaceInfo> ifaces = {
            { QStringLiteral("lo"),
              kUpRunning | QNetworkInterface::IsLoopBack,
              { entry("127.0.0.1", "255.0.0.0", "127.255.255.255") } },
            { QStringLiteral("eth0"),
              kUpRunning | QNetworkInterface::CanBroadcast,
              { entry("192.168.1.23", "255.255.255.0", "192.168.1.255") } },
        };
        QCOMPARE(describe(brp::buildTargets(ifaces)), QStringList { "eth0 192.168.1.23 192.168.1.255" });
    }

    void missingBroadcastComesFromNetmask()
    {
        const QList<network::InterfaceInfo> ifaces = {
            { QStringLiteral("tun0"), kUpRunning, { entry("10.0.0.7", "255.255.255.0"), entry("10.1.2.3") } },
            { QStringLiteral("wg0"), kUpRunning, { entry("172.16.5.1", "255.240.0.0") } },
        };
        // tun0's second entry has neither broadcast nor netmask: skipped. No CanBroadcast needed.
        QCOMPARE(describe(brp::buildTargets(ifaces)),
                 QStringList({ "tun0 10.0.0.7 10.0.0.255", "wg0 172.16.5.1 172.31.255.255" }));
    }

    void ineligibleInterfacesAndEntriesAreSkipped()
    {
        const QNetworkAddressEntry v4 = entry("10.9.0.1", "255.255.0.0", "10.9.255.255");
        const QList<network::InterfaceInfo> ifaces = {
            { QStringLiteral("down"), Flags(QNetworkInterface::IsRunning), { v4 } },
            { QStringLiteral("notrunning"), Flags(QNetworkInterface::IsUp) | QNetworkInterface::CanBroadcast, { v4 } },
            { QStringLiteral("loop"), kUpRunning | QNetworkInterface::IsLoopBack, { v4 } },
            { QStringLiteral("v6only"), kUpRunning, { entry("fe80::1", "ffff:ffff:ffff:ffff::") } },
            { QStringLiteral("none"), kUpRunning, {} },
        };
        QVERIFY(brp::buildTargets(ifaces).isEmpty());
    }

    void severalEntriesKeepTheirOrder()
    {
        const QList<network::InterfaceInfo> ifaces = {
            { QStringLiteral("br0"),
              kUpRunning,
              { entry("fe80::2", "ffff:ffff:ffff:ffff::"), entry("192.168.7.2", "255.255.255.0", "192.168.7.255"),
                entry("10.20.30.40", "255.255.255.252") } },
        };
        QCOMPARE(describe(brp::buildTargets(ifaces)),
                 QStringList({ "br0 192.168.7.2 192.168.7.255", "br0 10.20.30.40 10.20.30.43" }));
    }
};

QTEST_GUILESS_MAIN(TestTargets)
#include "tst_targets.moc"
