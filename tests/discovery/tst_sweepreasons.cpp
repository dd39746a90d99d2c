// SPDX-License-Identifier: Apache-2.0
// Why a sweep cannot work, as the service reports it to the picker. Each case runs in a
// network namespace of its own (one CTest entry per case): only loopback is up, and the
// "network" case adds an interface to broadcast on.
#include "BrpDiscover.h"
#include "DeviceIdentity.h"
#include "DiscoveryService.h"
#include "SweepHelpers.h"

#include <QSignalSpy>
#include <QUdpSocket>
#include <QtTest>

#include <optional>

using namespace sweeptest;

class TestSweepReasons : public QObject
{
    Q_OBJECT

private slots:
    void reasons_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("problem");
        QTest::addColumn<QString>("logged");
        QTest::newRow("port taken") << "port taken"
                                    << "UDP port 31064 is taken by another program" << QString();
        QTest::newRow("no network") << "loopback only"
                                    << "no network to search"
                                    << "brpDiscover: no eligible IPv4 interface to broadcast on";
        QTest::newRow("network") << "interface" << QString() << QString();
    }

    void reasons()
    {
        QFETCH(QString, setup);
        QFETCH(QString, problem);
        QFETCH(QString, logged);
        // Another program holding the port without sharing it.
        QUdpSocket holder;
        if (setup == QLatin1String("port taken"))
            QVERIFY(holder.bind(QHostAddress::AnyIPv4, 31064, QAbstractSocket::DontShareAddress));
        if (setup == QLatin1String("interface")) {
            QVERIFY(makeLocalNetwork(QStringLiteral("fqr"), QStringLiteral("10.99.0.1")));
            // An interface counts once it is running, which waits for the carrier.
            QTRY_VERIFY_WITH_TIMEOUT(!brp::buildTargets(network::localInterfaces()).isEmpty(), 5000);
        }

        DeviceIdentity identity;
        DiscoveryService service(&identity);
        QStringList order;
        QStringList problems;
        connect(&service, &DiscoveryService::scanningChanged, this, [&] {
            order << (service.isScanning() ? "scanning" : "idle");
            problems << service.problem();
        });
        std::optional<WarningLog> log(std::in_place);
        QSignalSpy finished(&service, &DiscoveryService::finished);
        service.refresh();
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 12000);
        const QStringList warnings = log->warnings();
        log.reset();

        QCOMPARE(service.problem(), problem);
        QCOMPARE(service.property("problem").toString(), problem);
        // The reason is in place when the picker hears that the sweep started, and still when it
        // ended. (A sweep that cannot bind may be over before its start is announced, so the
        // first announcement can already read idle.)
        QCOMPARE(order.size(), 2);
        QCOMPARE(order.last(), QStringLiteral("idle"));
        QCOMPARE(problems, QStringList({ problem, problem }));
        if (logged.isEmpty())
            QCOMPARE(warnings, QStringList());
        else
            QCOMPARE(warnings, QStringList { logged });

        if (setup != QLatin1String("port taken"))
            return;
        // The reason follows each sweep: with the port free again, loopback alone is what is left.
        holder.close();
        service.refresh();
        QTRY_VERIFY_WITH_TIMEOUT(!service.isScanning() && order.last() == QLatin1String("idle") && order.size() > 3,
                                 12000);
        QCOMPARE(service.problem(), QStringLiteral("no network to search"));
    }
};

QTEST_GUILESS_MAIN(TestSweepReasons)
#include "tst_sweepreasons.moc"
