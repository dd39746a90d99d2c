// SPDX-License-Identifier: Apache-2.0
#include "HostAddress.h"
#include "Identity.h"
#include "KeySender.h"
#include "Logic.h"
#include "Settings.h"

#include <QCoreApplication>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>

namespace {
QStringList warnings;
void recordWarning(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtWarningMsg)
        warnings << message;
}
} // namespace

class TestStartHost : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void precedence_data();
    void precedence();
};

void TestStartHost::initTestCase()
{
    identity::apply();
    QVERIFY(QSettings().fileName().startsWith(qEnvironmentVariable("XDG_CONFIG_HOME") + '/'));
}

void TestStartHost::precedence_data()
{
    QTest::addColumn<QString>("storedIp"); // empty: key missing
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("startHost");
    QTest::addColumn<QString>("ipAfter");
    QTest::addColumn<QString>("nameAfter");
    QTest::addColumn<QStringList>("expectedWarnings");

    const QString s = QStringLiteral("10.0.0.5");
    const QString badArg = QStringLiteral("Ignoring device argument \"%1\": %2");
    // Text that is no address at all gets no reason of the rule's, which says why an address is no box's.
    const QString notNumeric = QStringLiteral("not an IP address");
    QTest::newRow("nothing, empty store") << "" << QStringList() << ""
                                          << ""
                                          << "" << QStringList();
    QTest::newRow("nothing, stored") << s << QStringList() << s << s << "Den" << QStringList();
    QTest::newRow("--host same as stored") << s << QStringList { "--host", s } << s << s << "Den" << QStringList();
    QTest::newRow("--host=new") << s << QStringList { "--host=10.0.0.9" } << "10.0.0.9"
                                << "10.0.0.9"
                                << "" << QStringList();
    QTest::newRow("--host ipv6") << s << QStringList { "--host", "fe80::1" } << "fe80::1"
                                 << "fe80::1"
                                 << "" << QStringList();
    QTest::newRow("--host wins over positional") << s << QStringList { "--host", "10.0.0.9", "10.0.0.7" } << "10.0.0.9"
                                                 << "10.0.0.9"
                                                 << "" << QStringList();
    QTest::newRow("--host not an address") << s << QStringList { "--host", "tv.local" } << s << s << "Den"
                                           << QStringList { badArg.arg("tv.local", notNumeric) };
    const QString notWhole = notNumeric;
    QTest::newRow("bad --host, positional not consulted")
        << s << QStringList { "--host", "999.1.1.1", "10.0.0.7" } << s << s << "Den"
        << QStringList { badArg.arg("999.1.1.1", notWhole) };
    // What QHostAddress alone would take for another host ("10.77.2" is 10.77.0.2, "010" is 8),
    // or for every host of a network: each warned with the rule's reason.
    for (const char *refused :
         { "10.77.0", "10.77.2", "10.77.0.010", "010.0.0.5", "0.0.0.0", "255.255.255.255", "224.0.0.1", "ff02::1",
           " 10.0.0.9", "10.0.0.9 ", "::ffff:10.77.0", "127.255.255.255", "fe80::1%\x1b[2J" }) {
        const QString reason = hostaddress::isAddressText(QLatin1String(refused))
            ? hostaddress::refusal(QLatin1String(refused), network::localInterfaces())
            : notNumeric;
        QTest::addRow("--host %s", refused)
            << s << QStringList { "--host", refused } << s << s << "Den"
            << QStringList { badArg.arg(QString::fromLatin1(refused).replace(u'\x1b', u'?'), reason) };
    }
    // Quoted as the command-line tool prints: control characters as '?', cut after 64 characters.
    const QString longArg = QStringLiteral("10.0.0.") + QString(200000, u'9');
    QTest::newRow("--host of 200 000 characters")
        << s << QStringList { "--host", longArg } << s << s << "Den"
        << QStringList { badArg.arg(longArg.left(64) + QChar(0x2026), notWhole) };
    QTest::newRow("positional short form")
        << s << QStringList { "10.77.2" } << s << s << "Den" << QStringList { badArg.arg("10.77.2", notWhole) };
    QTest::newRow("--host ipv6 with scope") << s << QStringList { "--host", "fe80::1%lo" } << "fe80::1%lo"
                                            << "fe80::1%lo"
                                            << "" << QStringList();

    // A store written before the rule: no box (the picker opens), one warning, store untouched.
    const QString badStore = QStringLiteral("Ignoring stored device address \"%1\": %2");
    const QString shortForm = QStringLiteral("Not a whole IPv4 address: four numbers 0–255 are needed");
    QTest::newRow("stored short form") << "10.77.0" << QStringList() << ""
                                       << "10.77.0"
                                       << "Den" << QStringList { badStore.arg("10.77.0", shortForm) };
    QTest::newRow("stored octal number") << "10.77.0.010" << QStringList() << ""
                                         << "10.77.0.010"
                                         << "Den"
                                         << QStringList { badStore.arg("10.77.0.010",
                                                                       "Leading zeros are not allowed") };
    QTest::newRow("stored broadcast") << "255.255.255.255" << QStringList() << ""
                                      << "255.255.255.255"
                                      << "Den"
                                      << QStringList { badStore.arg("255.255.255.255",
                                                                    "A broadcast address reaches every box") };
    QTest::newRow("stored with a space") << "10.0.0.5 " << QStringList() << ""
                                         << "10.0.0.5 "
                                         << "Den"
                                         << QStringList { badStore.arg("10.0.0.5 ",
                                                                       "Spaces around an address are not allowed") };
    QTest::newRow("stored host name") << "tv.local" << QStringList() << ""
                                      << "tv.local"
                                      << "Den" << QStringList { badStore.arg("tv.local", "Not a numeric IP address") };
    // Only this machine's networks make it their broadcast: it is resumed, and its first key says why.
    QTest::newRow("stored, now a network's broadcast") << "127.255.255.255" << QStringList() << "127.255.255.255"
                                                       << "127.255.255.255"
                                                       << "Den" << QStringList();
    QTest::newRow("stored with a NUL") << QStringLiteral("10.77.0.2\u0000x") << QStringList() << ""
                                       << QStringLiteral("10.77.0.2\u0000x") << "Den"
                                       << QStringList { badStore.arg("10.77.0.2?x", "Not a numeric IP address") };
    QTest::newRow("stored short form, --host replaces it")
        << "10.77.0" << QStringList { "--host", "10.0.0.9" } << "10.0.0.9"
        << "10.0.0.9"
        << "" << QStringList();
    QTest::newRow("stored short form, bad --host")
        << "10.77.0" << QStringList { "--host", "10.77.2" } << ""
        << "10.77.0"
        << "Den" << QStringList { badArg.arg("10.77.2", notWhole), badStore.arg("10.77.0", shortForm) };
    QTest::newRow("stored ipv6 with scope") << "fe80::1%lo" << QStringList() << "fe80::1%lo"
                                            << "fe80::1%lo"
                                            << "Den" << QStringList();

    QTest::newRow("positional") << s << QStringList { "10.0.0.7" } << "10.0.0.7"
                                << "10.0.0.7"
                                << "" << QStringList();
    QTest::newRow("first positional only") << "" << QStringList { "10.0.0.7", "10.0.0.8" } << "10.0.0.7"
                                           << "10.0.0.7"
                                           << "" << QStringList();
    QTest::newRow("positional not an address")
        << s << QStringList { "box" } << s << s << "Den" << QStringList { badArg.arg("box", notNumeric) };
    QTest::newRow("empty --host, positional") << s << QStringList { "--host=", "10.0.0.7" } << "10.0.0.7"
                                              << "10.0.0.7"
                                              << "" << QStringList();
    QTest::newRow("unknown option, then normal start")
        << s << QStringList { "--bogus", "--host", "10.0.0.9" } << "10.0.0.9"
        << "10.0.0.9"
        << "" << QStringList { "Unknown option 'bogus'." };
    QTest::newRow("help is not an option")
        << s << QStringList { "--help" } << s << s << "Den" << QStringList { "Unknown option 'help'." };
    QTest::newRow("--host without value")
        << s << QStringList { "--host" } << s << s << "Den" << QStringList { "Missing value after '--host'." };
}

void TestStartHost::precedence()
{
    QFETCH(QString, storedIp);
    QFETCH(QStringList, args);
    QFETCH(QStringList, expectedWarnings);
    QSettings().clear();
    if (!storedIp.isEmpty()) {
        QSettings().setValue("lastDeviceIp", storedIp);
        QSettings().setValue("lastDeviceName", "Den");
        QSettings().setValue("lastDeviceId", "0e0b0c5151a2");
    }

    warnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(recordWarning);
    // The whole start-up of the logic objects, as falquin and its tools run it.
    const Logic logic(QStringList { "falquin" } + args);
    qInstallMessageHandler(previous);
    const Settings &settings = logic.settings();
    const QString start = logic.keySender().host();

    QTEST(start, "startHost");
    QTEST(settings.lastDeviceIp(), "ipAfter");
    QTEST(settings.lastDeviceName(), "nameAfter");
    // The name as stored after the command line had its say; none without a box.
    QCOMPARE(logic.keySender().deviceName(), start.isEmpty() ? QString() : settings.lastDeviceName());
    // The discovery id goes with the name: a new address given here is not the listed box.
    QCOMPARE(settings.lastDeviceId(), settings.lastDeviceName() == QLatin1String("Den") ? "0e0b0c5151a2" : "");
    QCOMPARE(warnings, expectedWarnings);
    const QString local = hostaddress::refusal(start, network::localInterfaces());
    if (!start.isEmpty() && !local.isEmpty()) {
        QSignalSpy failed(&logic.keySender(), &KeySender::keyFailed);
        logic.keySender().sendKey(QStringLiteral("up"));
        QCOMPARE(failed.value(0).value(1).toString(), local);
    }
    if (storedIp.isEmpty() && start.isEmpty())
        QCOMPARE(QSettings().allKeys(), QStringList());
}

QTEST_GUILESS_MAIN(TestStartHost)
#include "tst_starthost.moc"
