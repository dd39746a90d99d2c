// SPDX-License-Identifier: Apache-2.0
#include "DeviceChoice.h"
#include "KeySender.h"
#include "Settings.h"

#include <QCoreApplication>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>

// The one operation that makes a box the chosen one: all of it changes, or none.
class TestDeviceChoice : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QCoreApplication::setOrganizationName(QStringLiteral("Orvantide"));
        QCoreApplication::setApplicationName(QStringLiteral("Falquin"));
    }

    void choose_data()
    {
        QTest::addColumn<QString>("ip");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("id");
        QTest::addColumn<bool>("chosen");
        QTest::addColumn<QString>("shownName");

        QTest::newRow("listed box") << "10.0.0.7"
                                    << "Attic"
                                    << "0e0b0c5151a3" << true << "Attic";
        QTest::newRow("typed address") << "10.0.0.8"
                                       << ""
                                       << "" << true << "";
        QTest::newRow("name as shown") << "10.0.0.7"
                                       << " Den\t\u0007"
                                       << "x" << true << "Den";
        QTest::newRow("same address, new name") << "10.0.0.5"
                                                << "Study"
                                                << "0e0b0c5151a2" << true << "Study";
        QTest::newRow("short form") << "10.77.2"
                                    << "Attic"
                                    << "0e0b0c5151a3" << false << "";
        QTest::newRow("broadcast") << "255.255.255.255"
                                   << "Attic"
                                   << "" << false << "";
        QTest::newRow("empty") << ""
                               << "Attic"
                               << "" << false << "";
    }

    void choose()
    {
        QFETCH(QString, ip);
        QFETCH(QString, name);
        QFETCH(QString, id);
        QFETCH(bool, chosen);
        QFETCH(QString, shownName);
        QSettings().clear();
        Settings settings;
        KeySender keys;
        DeviceChoice choice(&keys, &settings);
        QVERIFY(choice.choose(QStringLiteral("10.0.0.5"), QStringLiteral("Den"), QStringLiteral("0e0b0c5151a2")));

        QStringList order;
        connect(&keys, &KeySender::hostChanged, this, [&order] { order << QStringLiteral("host"); });
        connect(&keys, &KeySender::deviceNameChanged, this, [&order] { order << QStringLiteral("name"); });
        QCOMPARE(choice.choose(ip, name, id), chosen);

        const QStringList expected
            = chosen ? QStringList { ip, shownName, id } : QStringList { "10.0.0.5", "Den", "0e0b0c5151a2" };
        QCOMPARE((QStringList { keys.host(), keys.deviceName() }), expected.mid(0, 2));
        QCOMPARE((QStringList { settings.lastDeviceIp(), settings.lastDeviceName(), settings.lastDeviceId() }),
                 expected);
        // A new host clears the old name: the name must come second, or the box goes unnamed.
        if (chosen && ip != QLatin1String("10.0.0.5"))
            QVERIFY2(order.indexOf("host") < order.lastIndexOf("name") || shownName.isEmpty(),
                     qPrintable(order.join(',')));
        if (!chosen)
            QVERIFY2(order.isEmpty(), "a refused address must change nothing");
    }
};

QTEST_GUILESS_MAIN(TestDeviceChoice)
#include "tst_devicechoice.moc"
