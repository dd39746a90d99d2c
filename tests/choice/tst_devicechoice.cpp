// SPDX-License-Identifier: Apache-2.0
// The one operation that makes a box the chosen one (all of it changes, or none), and the
// remembered boxes: what every choice keeps, how the store holds them, and what sweeps change.
#include "DeviceChoice.h"
#include "Identity.h"
#include "KeySender.h"
#include "RememberedDevices.h"
#include "Settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>
#include <QTest>

namespace {

QStringList warnings;
void recordWarning(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtWarningMsg)
        warnings << message;
}

// "ip name id" of every entry, in order.
QStringList entries(const RememberedDevices &list)
{
    QStringList shown;
    for (int row = 0; row < list.count(); ++row)
        shown << QStringList { list.at(row).ip, list.at(row).name, list.at(row).id }
                     .filter(QRegularExpression(QStringLiteral(".")))
                     .join(QLatin1Char(' '));
    return shown;
}

QByteArray storeFile()
{
    QFile file(QSettings().fileName());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeStore(const QByteArray &text)
{
    QSettings().clear();
    QFile file(QSettings().fileName());
    QDir().mkpath(QFileInfo(file).path());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
}

struct Rig
{
    Settings settings;
    KeySender keys;
    DeviceChoice choice { &keys, &settings };
    RememberedDevices &list = *choice.rememberedDevices();
};

} // namespace

class TestDeviceChoice : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { identity::apply(); }

    void init() { QSettings().clear(); }

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
        Rig rig;
        Settings &settings = rig.settings;
        KeySender &keys = rig.keys;
        DeviceChoice &choice = rig.choice;
        QVERIFY(
            choice.choose(QStringLiteral("10.0.0.5"), QStringLiteral("Den"), QStringLiteral("0e0b0c5151a2")).isEmpty());

        QStringList order;
        connect(&keys, &KeySender::hostChanged, this, [&order] { order << QStringLiteral("host"); });
        connect(&keys, &KeySender::deviceNameChanged, this, [&order] { order << QStringLiteral("name"); });
        QCOMPARE(choice.choose(ip, name, id).isEmpty(), chosen);

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

    // Every choice goes first; one entry per box; at most eight; what is stored comes back.
    void choices_data()
    {
        QTest::addColumn<QStringList>("chosen"); // "ip name id" each
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("most recent first") << QStringList { "10.0.0.2 Den a1", "10.0.0.3 Attic a2" }
                                           << QStringList { "10.0.0.3 Attic a2", "10.0.0.2 Den a1" };
        QTest::newRow("same id, new address and name")
            << QStringList { "10.0.0.2 Den a1", "10.0.0.3 Attic a2", "10.0.0.9 Cellar a1" }
            << QStringList { "10.0.0.9 Cellar a1", "10.0.0.3 Attic a2" };
        QTest::newRow("typed address, then found by its id")
            << QStringList { "10.0.0.2 - -", "10.0.0.3 Attic a2", "10.0.0.2 Den a1" }
            << QStringList { "10.0.0.2 Den a1", "10.0.0.3 Attic a2" };
        QTest::newRow("two boxes, one address at different times")
            << QStringList { "10.0.0.2 Den a1", "10.0.0.2 Attic a2" }
            << QStringList { "10.0.0.2 Attic a2", "10.0.0.2 Den a1" };
        QStringList nine;
        QStringList kept;
        for (int i = 1; i <= 9; ++i)
            nine << QStringLiteral("10.0.0.%1 Box%1 id%1").arg(i);
        for (int i = 9; i >= 2; --i)
            kept << QStringLiteral("10.0.0.%1 Box%1 id%1").arg(i);
        QTest::newRow("a ninth drops the oldest") << nine << kept;
        QTest::newRow("refused address") << QStringList { "10.0.0.2 Den a1", "10.77.2 Attic a2" }
                                         << QStringList { "10.0.0.2 Den a1" };
    }

    void choices()
    {
        QFETCH(QStringList, chosen);
        QFETCH(QStringList, expected);
        {
            Rig rig;
            for (const QString &box : std::as_const(chosen)) {
                const QStringList f = QString(box).replace(QLatin1Char('-'), QString()).split(QLatin1Char(' '));
                rig.choice.choose(f.at(0), f.at(1), f.at(2));
            }
            QCOMPARE(entries(rig.list), expected);
            QCOMPARE(rig.list.at(0).ip, rig.keys.host());
            QCOMPARE(rig.list.data(rig.list.index(0), RememberedDevices::CurrentRole).toBool(), true);
        }
        // Read back from the store by a new run.
        Rig again;
        QCOMPARE(entries(again.list), expected);
    }

    // Ctrl+2 goes back to the box before; pressed again it returns.
    void switchBack()
    {
        Rig rig;
        rig.choice.choose(QStringLiteral("10.0.0.2"), QStringLiteral("Den"), QStringLiteral("a1"));
        rig.choice.choose(QStringLiteral("10.0.0.3"), QStringLiteral("Attic"), QStringLiteral("a2"));
        QVERIFY(rig.choice.switchTo(1).isEmpty());
        QCOMPARE(rig.keys.host(), QStringLiteral("10.0.0.2"));
        QCOMPARE(rig.settings.lastDeviceId(), QStringLiteral("a1"));
        QVERIFY(rig.choice.switchTo(1).isEmpty());
        QCOMPARE(rig.keys.host(), QStringLiteral("10.0.0.3"));
        QCOMPARE(rig.keys.deviceName(), QStringLiteral("Attic"));
        QVERIFY(!rig.choice.switchTo(2).isEmpty());
    }

    // Forgetting the current box leaves the keys where they go, and it stays forgotten.
    void forgetCurrent()
    {
        {
            Rig rig;
            rig.choice.choose(QStringLiteral("10.0.0.2"), QStringLiteral("Den"), QStringLiteral("a1"));
            rig.choice.choose(QStringLiteral("10.0.0.3"), QStringLiteral("Attic"), QStringLiteral("a2"));
            rig.list.forget(QStringLiteral("10.0.0.3"), QStringLiteral("a2"));
            QCOMPARE(entries(rig.list), QStringList { "10.0.0.2 Den a1" });
            QCOMPARE(rig.keys.host(), QStringLiteral("10.0.0.3"));
            QCOMPARE(rig.list.data(rig.list.index(0), RememberedDevices::CurrentRole).toBool(), false);
        }
        Rig again;
        QCOMPARE(entries(again.list), QStringList { "10.0.0.2 Den a1" });
        QCOMPARE(again.settings.lastDeviceIp(), QStringLiteral("10.0.0.3"));
    }

    // Two windows on one store: each change is made to the list as stored then, so neither undoes
    // what the other stored, and the menu shows the stored list when it opens.
    void twoWindowsOneList()
    {
        Rig first;
        Rig second;
        first.choice.choose(QStringLiteral("10.0.0.2"), QStringLiteral("Den"), QStringLiteral("a1"));
        second.choice.choose(QStringLiteral("10.0.0.5"), QStringLiteral("Cellar"), QStringLiteral("a5"));
        first.choice.choose(QStringLiteral("10.0.0.3"), QStringLiteral("Attic"), QStringLiteral("a2"));
        const QStringList all { "10.0.0.3 Attic a2", "10.0.0.5 Cellar a5", "10.0.0.2 Den a1" };
        QCOMPARE(entries(Rig().list), all);
        second.list.reload();
        QCOMPARE(entries(second.list), all);
        QCOMPARE(second.list.data(second.list.index(1), RememberedDevices::CurrentRole).toBool(), true);
        first.list.forget(QStringLiteral("10.0.0.5"), QStringLiteral("a5"));
        second.choice.choose(QStringLiteral("10.0.0.2"), QStringLiteral("Den"), QStringLiteral("a1"));
        QCOMPARE(entries(Rig().list), QStringList({ "10.0.0.2 Den a1", "10.0.0.3 Attic a2" }));
    }

    // Today's store, and stores holding what no choice writes: read as far as they make sense,
    // with one warning per entry passed over, and left as they are.
    void stores_data()
    {
        QTest::addColumn<QByteArray>("store");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<int>("warned");
        const QByteArray current = "[General]\nlastDeviceIp=10.0.0.2\nlastDeviceName=Den\nlastDeviceId=a1\n";
        QTest::newRow("one box, no list") << current << QStringList { "10.0.0.2 Den a1" } << 0;
        QTest::newRow("an unusable box, no list")
            << QByteArray("[General]\nlastDeviceIp=10.77.2\n") << QStringList() << 0;
        QTest::newRow("bad entries passed over") << current
                + "[rememberedDevices]\n1\\ip=10.0.0.010\n2\\ip=10.0.0.3\n2\\name=Attic\n"
                  "3\\ip=255.255.255.255\n4\\ip=\n5\\ip=10.0.0.3\n6\\ip=10.0.0.2\n6\\id=a1\nsize=6\n"
                                                 << QStringList { "10.0.0.3 Attic", "10.0.0.2 a1" } << 4;
        QByteArray ten = current + "[rememberedDevices]\n";
        QStringList eight;
        for (int i = 1; i <= 10; ++i) {
            ten += QStringLiteral("%1\\ip=10.0.1.%1\n").arg(i).toLatin1();
            if (i <= 8)
                eight << QStringLiteral("10.0.1.%1").arg(i);
        }
        QTest::newRow("more than eight") << ten + "size=10\n" << eight << 1;
        // Read as far as the cap, whatever the size claims: at once, and one line for the rest.
        QTest::newRow("a size of two billion") << ten + "size=2000000000\n" << eight << 1;
        QTest::newRow("a size past an int") << ten + "size=99999999999\n" << eight << 1;
    }

    void stores()
    {
        QFETCH(QByteArray, store);
        QFETCH(QStringList, expected);
        QFETCH(int, warned);
        writeStore(store);
        warnings.clear();
        const QtMessageHandler previous = qInstallMessageHandler(recordWarning);
        Rig rig;
        qInstallMessageHandler(previous);
        QCOMPARE(entries(rig.list), expected);
        QVERIFY2(warnings.size() == warned, qPrintable(warnings.join('\n')));
        QCOMPARE(storeFile(), store);
    }

    // What a sweep hears: who answers, and where a remembered box other than the current one went.
    void heard()
    {
        Rig rig;
        rig.choice.choose(QStringLiteral("10.0.0.2"), QStringLiteral("Den"), QStringLiteral("a1"));
        rig.choice.choose(QStringLiteral("10.0.0.4"), QString(), QString());
        rig.choice.choose(QStringLiteral("10.0.0.3"), QStringLiteral("Attic"), QStringLiteral("a2"));
        rig.list.sweepStarted();
        const auto answering = [&rig] {
            QList<bool> flags;
            for (int row = 0; row < rig.list.count(); ++row)
                flags << rig.list.isAnswering(row);
            return flags;
        };
        const auto heard = [&rig](const char *id, const char *ip, bool usable) {
            rig.list.heard({ QLatin1String(id), QString(), QLatin1String(ip) }, [usable] { return usable; });
        };
        QCOMPARE(answering(), QList<bool>({ false, false, false }));
        heard("a1", "10.0.0.8", false);
        QCOMPARE(rig.list.at(2).ip, QStringLiteral("10.0.0.2"));
        heard("a1", "10.0.0.9", true);
        heard("a2", "10.0.0.7", true);
        heard("b7", "10.0.0.4", true);
        QCOMPARE(entries(rig.list), QStringList({ "10.0.0.3 Attic a2", "10.0.0.4", "10.0.0.9 Den a1" }));
        QCOMPARE(answering(), QList<bool>({ true, true, true }));
        QCOMPARE(entries(Rig().list), entries(rig.list));
        rig.list.sweepStarted();
        QCOMPARE(answering(), QList<bool>({ false, false, false }));
    }
};

QTEST_GUILESS_MAIN(TestDeviceChoice)
#include "tst_devicechoice.moc"
