// SPDX-License-Identifier: Apache-2.0
// The command-line program's commands, run in process against the simulator's key service on
// loopback, in a network namespace of the test's own (run-test.sh --netns).
#include "Cli.h"
#include "Identity.h"

#include "KeyService.h"
#include "Settings.h"

#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>
#include <QUdpSocket>
#include <QtTest>

namespace {

struct Result
{
    int code = -1;
    QString out;
    QString err;
};

Result runCli(const QStringList &arguments)
{
    Result result;
    QTextStream out(&result.out);
    QTextStream err(&result.err);
    result.code = cli::run(QStringList { QStringLiteral("falquin-cli") } + arguments, out, err);
    out.flush();
    err.flush();
    return result;
}

QString explain(const Result &result)
{
    return QStringLiteral("exit %1\n--- stdout\n%2--- stderr\n%3").arg(result.code).arg(result.out, result.err);
}

imgr::ImgrMsg box(const QByteArray &id, const QByteArray &name, const QByteArray &ip = "10.0.0.2", int tuners = 2,
                  const QByteArray &model = "OTX-2")
{
    imgr::ImgrMsg msg;
    msg.deviceId = id;
    msg.name = name;
    msg.ip = ip;
    msg.numTuners = quint8(tuners);
    msg.deviceModel = model;
    return msg;
}

} // namespace

class TestCli : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        identity::apply();
        QVERIFY2(m_box.listen(QHostAddress::LocalHost, 31063), qPrintable(m_box.errorString()));
        connect(&m_box, &KeyService::keyReceived, this,
                [this](quint8, const QString &key, const QByteArray &, quint16 fromPort) {
                    m_received.append(key);
                    m_receivedAt.append(m_clock.elapsed());
                    m_senderPort = fromPort;
                });
        m_clock.start();
    }

    void init()
    {
        m_box.setBehaviour({});
        m_received.clear();
        m_receivedAt.clear();
        Settings().setLastDeviceIp(QString());
    }

    void usageErrors_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("says");
        const QString ip = QStringLiteral("127.0.0.1");
        QTest::newRow("no command") << QStringList() << "no command";
        QTest::newRow("unknown command") << QStringList { "press", "up" } << "unknown command 'press'";
        QTest::newRow("send without keys") << QStringList { "send", "--host", ip } << "at least one key";
        QTest::newRow("unknown word after good ones") << QStringList { "send", "--host", ip, "up", "#1", "upp" }
                                                      << "unknown key 'upp'. Keys: up down left right ok back #0";
        QTest::newRow("host that is no address")
            << QStringList { "send", "--host", "box.local", "up" } << "--host 'box.local': ";
        // Addresses of no single box, which the socket would have taken or failed on.
        QTest::newRow("reserved host") << QStringList { "send", "--host", "240.0.0.1", "up" } << "240.0.0.0/4";
        QTest::newRow("loopback's broadcast")
            << QStringList { "hold", "--host", "127.255.255.255", "ff", "100" }
            << "'127.255.255.255': 127.255.255.255 is the broadcast address of 127.0.0.0/8";
        QTest::newRow("host quoted escaped and cut")
            << QStringList { "send", "--host", "\x1b[2J" + QString(100, u'x'), "up" }
            << "--host '?[2J" + QString(60, u'x') + QChar(0x2026) + "': ";
        QTest::newRow("empty box") << QStringList { "send", "--box", "", "up" } << "--box needs a box's name or id";
        QTest::newRow("host and box") << QStringList { "send", "--host", ip, "--box", "Den", "up" } << "not both";
        QTest::newRow("timeout without a sweep")
            << QStringList { "send", "--host", ip, "--timeout", "100", "up" } << "--timeout";
        QTest::newRow("timeout not a number") << QStringList { "list", "--timeout", "soon" } << "--timeout 'soon'";
        QTest::newRow("list with a word") << QStringList { "list", "up" } << "no arguments";
        QTest::newRow("hold a key that is no seek")
            << QStringList { "hold", "--host", ip, "up", "100" } << "only rew or ff";
        QTest::newRow("hold a negative time") << QStringList { "hold", "--host", ip, "ff", "--", "-5" } << "'-5'";
    }

    // Refused before anything goes out: exit 2, the reason on stderr, nothing on stdout.
    void usageErrors()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, says);
        const Result result = runCli(arguments);
        QVERIFY2(result.code == cli::kUsage, qPrintable(explain(result)));
        QVERIFY2(result.err.contains(says), qPrintable(explain(result)));
        QVERIFY2(result.out.isEmpty(), qPrintable(explain(result)));
        QTest::qWait(100); // time for a stray datagram to arrive
        QVERIFY2(m_received.isEmpty(), qPrintable(QStringLiteral("sent: ") + m_received.join(QLatin1Char(','))));
    }

    // With the box silent, another host's answers for every number are no acknowledgement.
    void forgedAcknowledgements()
    {
        answerAs({}, { "mute" });
        QUdpSocket forger;
        QVERIFY(forger.bind(QHostAddress(QStringLiteral("127.0.0.2")), 0));
        connect(&m_box, &KeyService::keyReceived, &forger, [&forger, this] {
            for (int n = 0; n < 256; ++n)
                forger.writeDatagram(QByteArray("Trox\x01\x01\x00", 7) + char(n), QHostAddress::LocalHost,
                                     m_senderPort);
        });
        const Result result = runCli({ "send", "--host", "127.0.0.1", "mute" });
        QVERIFY2(result.code == cli::kKeyFailed, qPrintable(explain(result)));
        QVERIFY2(result.err.contains("no response from 127.0.0.1"), qPrintable(explain(result)));
        QCOMPARE(result.out, QString());
    }

    void helpAndVersion()
    {
        const Result help = runCli({ "--help" });
        QVERIFY2(help.code == cli::kOk && help.err.isEmpty(), qPrintable(explain(help)));
        for (const char *word : { "list", "send", "hold", "--host", "--box", "--timeout", "--json" })
            QVERIFY2(help.out.contains(QLatin1String(word)),
                     qPrintable(QStringLiteral("--help lacks ") + QLatin1String(word)));
        for (const QString &key : cli::keyWords())
            QVERIFY2(help.out.contains(key), qPrintable(QStringLiteral("--help lacks the key ") + key));
        const Result version = runCli({ "--version" });
        QCOMPARE(version.code, int(cli::kOk));
        QCOMPARE(version.out, QStringLiteral("falquin-cli " FALQUIN_VERSION "\n"));
    }

    void send_data()
    {
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QStringList>("refused");
        QTest::addColumn<QStringList>("silent");
        QTest::addColumn<int>("code");
        QTest::addColumn<QStringList>("received");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QStringList>("errLines");

        QTest::newRow("all acknowledged")
            << QStringList { "up", "#1", "rew down", "." } << QStringList() << QStringList() << int(cli::kOk)
            << QStringList { "up", "#1", "rew down", "." }
            << "up: acknowledged\n#1: acknowledged\nrew down: acknowledged\n.: acknowledged\n"
            << QStringList();
        QTest::newRow("refused stops the run")
            << QStringList { "#1", "#2", "#3" } << QStringList { "#2" } << QStringList() << int(cli::kKeyFailed)
            << QStringList { "#1", "#2" } << "#1: acknowledged\n"
            << QStringList { "falquin-cli: '#2': device could not parse the key string",
                             "falquin-cli: not sent: '#3'" };
        QTest::newRow("silent stops the run")
            << QStringList { "info", "up", "down" } << QStringList() << QStringList { "info" } << int(cli::kKeyFailed)
            << QStringList { "info" } << QString()
            << QStringList { "falquin-cli: 'info': no response from 127.0.0.1", "falquin-cli: not sent: 'up' 'down'" };
    }

    void send()
    {
        QFETCH(QStringList, keys);
        QFETCH(QStringList, refused);
        QFETCH(QStringList, silent);
        QFETCH(int, code);
        QFETCH(QStringList, received);
        QFETCH(QString, out);
        QFETCH(QStringList, errLines);
        answerAs(refused, silent);

        const Result result = runCli(QStringList { "send", "--host", "127.0.0.1" } + keys);
        QVERIFY2(result.code == code, qPrintable(explain(result)));
        QCOMPARE(result.out, out);
        QCOMPARE(result.err.split(QLatin1Char('\n'), Qt::SkipEmptyParts), errLines);
        QTest::qWait(100); // a key sent after the failure would be here by now
        QCOMPARE(m_received, received);
    }

    void remembered_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("says");
        QTest::newRow("none stored") << QString() << int(cli::kNoBox) << "no box configured";
        QTest::newRow("stored value no address") << "den.local" << int(cli::kNoBox) << "'den.local' is unusable";
        QTest::newRow("stored address") << "127.0.0.1" << int(cli::kOk) << QString();
    }

    // Without --host or --box the keys go to the box Falquin remembers, which is only read.
    void remembered()
    {
        QFETCH(QString, stored);
        QFETCH(int, code);
        QFETCH(QString, says);
        Settings().setLastDeviceIp(stored);
        const Result result = runCli({ "send", "menu" });
        QVERIFY2(result.code == code, qPrintable(explain(result)));
        QVERIFY2(result.err.contains(says), qPrintable(explain(result)));
        QCOMPARE(m_received, code == cli::kOk ? QStringList { "menu" } : QStringList());
        QCOMPARE(Settings().lastDeviceIp(), stored);
    }

    // The boxes Falquin remembers: listed without a sweep, and found by --box before one.
    void rememberedBoxes()
    {
        const Result none = runCli({ "list", "--remembered" });
        QVERIFY2(none.code == cli::kNoBox && none.out.isEmpty(), qPrintable(explain(none)));
        Settings().setRememberedDevices({ { { "id", "0e0b0c5151a3" }, { "name", "Attic" }, { "ip", "127.0.0.1" } },
                                          { { "id", "" }, { "name", "" }, { "ip", "10.0.0.9" } } });

        const Result plain = runCli({ "list", "--remembered" });
        QVERIFY2(plain.code == cli::kOk, qPrintable(explain(plain)));
        QCOMPARE(plain.out, QStringLiteral("0e0b-0c51-51a3\t127.0.0.1\tAttic\t\t\n\t10.0.0.9\t\t\t\n"));
        const Result json = runCli({ "list", "--remembered", "--json" });
        QCOMPARE(json.out.section('\n', 0, 0),
                 QStringLiteral(R"({"id":"0e0b-0c51-51a3","ip":"127.0.0.1","model":"","name":"Attic","tuners":null})"));

        // Nothing answers a sweep in this namespace: only the list can name the box.
        const Result sent = runCli({ "send", "--box", "Attic", "menu" });
        QVERIFY2(sent.code == cli::kOk, qPrintable(explain(sent)));
        QCOMPARE(m_received, QStringList { "menu" });
        Settings().setRememberedDevices({});
    }

    void hold_data()
    {
        QTest::addColumn<QString>("seek");
        QTest::addColumn<QStringList>("refused");
        QTest::addColumn<QStringList>("silent");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("minHeldMs");
        QTest::newRow("rew, both answered") << "rew" << QStringList() << QStringList() << int(cli::kOk) << 250;
        // The box may have started seeking all the same: the "up" still goes, at once.
        QTest::newRow("down refused") << "ff" << QStringList { "ff down" } << QStringList() << int(cli::kKeyFailed)
                                      << 0;
        QTest::newRow("down unanswered") << "rew" << QStringList() << QStringList { "rew down" } << int(cli::kKeyFailed)
                                         << 0;
    }

    void hold()
    {
        QFETCH(QString, seek);
        QFETCH(QStringList, refused);
        QFETCH(QStringList, silent);
        QFETCH(int, code);
        QFETCH(int, minHeldMs);
        answerAs(refused, silent);

        const Result result = runCli({ "hold", "--host", "127.0.0.1", seek, "300" });
        QVERIFY2(result.code == code, qPrintable(explain(result)));
        QCOMPARE(m_received, QStringList({ seek + " down", seek + " up" }));
        const qint64 held = m_receivedAt.at(1) - m_receivedAt.at(0);
        QVERIFY2(held >= minHeldMs, qPrintable(QStringLiteral("released after %1 ms").arg(held)));
    }

    void network_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("portTaken");
        QTest::addColumn<QString>("says");
        // The namespace has only loopback, which a sweep never broadcasts on.
        QTest::newRow("list, no network") << QStringList { "list" } << false << "no network to search";
        QTest::newRow("list, port taken") << QStringList { "list" } << true << "UDP port 31064 is taken";
    }

    // A sweep that cannot work says so at once (exit 4) instead of waiting out its time.
    void network()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, portTaken);
        QFETCH(QString, says);
        QUdpSocket holder;
        if (portTaken)
            QVERIFY(holder.bind(QHostAddress::AnyIPv4, 31064, QAbstractSocket::DontShareAddress));
        QElapsedTimer clock;
        clock.start();
        const Result result = runCli(arguments);
        QVERIFY2(result.code == cli::kNoNetwork, qPrintable(explain(result)));
        QVERIFY2(result.err.contains(says), qPrintable(explain(result)));
        // It says so at once instead of listening out a sweep of 8 s (measured: about 100 ms).
        qInfo("exited after %lld ms", static_cast<long long>(clock.elapsed()));
        QVERIFY2(clock.elapsed() < 4000, qPrintable(QStringLiteral("took %1 ms").arg(clock.elapsed())));
        QVERIFY(m_received.isEmpty());
    }

    void describe_data()
    {
        QTest::addColumn<imgr::ImgrMsg>("device");
        QTest::addColumn<QString>("line");
        QTest::newRow("Lantern") << box("0e0b0c5151a1", "Den") << "0e0b-0c51-51a1\t10.0.0.2\tDen\tLantern\tOTX-2";
        QTest::newRow("unnamed tuner count") << box("0e0b0c5151a2", "Attic", "10.0.0.3", 3, "OTX-3")
                                             << "0e0b-0c51-51a2\t10.0.0.3\tAttic\t3 Tuners\tOTX-3";
        QTest::newRow("hostile name") << box("0e0b0c5151a3", "X\x1b[2J\nY\t", "10.0.0.4", 0, "M\r")
                                      << "0e0b-0c51-51a3\t10.0.0.4\tX?[2J?Y?\tPebble\tM?";
    }

    // One line per box, five fields, whatever the name holds.
    void describe()
    {
        QFETCH(imgr::ImgrMsg, device);
        QFETCH(QString, line);
        const QString shown = cli::describe(device);
        QCOMPARE(shown, line);
        QCOMPARE(shown.split(QLatin1Char('\t')).size(), 5);
    }

    void describeJson_data()
    {
        QTest::addColumn<imgr::ImgrMsg>("device");
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("name");
        QTest::newRow("quotes and controls")
            << box("0e0b0c5151a2", "\"}\n{\"x", "10.0.0.2", 4, "OTX-4") << "0e0b-0c51-51a2"
            << "\"}\n{\"x";
    }

    // One line of JSON that parses back to exactly what the box sent.
    void describeJson()
    {
        QFETCH(imgr::ImgrMsg, device);
        QFETCH(QString, id);
        QFETCH(QString, name);
        const QByteArray json = cli::describeJson(device);
        QVERIFY2(!json.contains('\n'), json.constData());
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
        QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(error.errorString()));
        const QJsonObject object = doc.object();
        QCOMPARE(object.keys(), QStringList({ "id", "ip", "model", "name", "tuners" }));
        QCOMPARE(object.value("id").toString(), id);
        QCOMPARE(object.value("name").toString(), name);
        QCOMPARE(object.value("ip").toString(), QStringLiteral("10.0.0.2"));
        QCOMPARE(object.value("tuners").toInt(-1), 4);
        QCOMPARE(object.value("model").toString(), QStringLiteral("OTX-4"));
    }

    void matchBox_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("ip");
        QTest::newRow("raw id") << "0e0b0c5151a2" << int(cli::BoxMatch::Found) << "10.0.0.2";
        QTest::newRow("grouped id") << "0e0b-0c51-51a3" << int(cli::BoxMatch::Found) << "10.0.0.3";
        QTest::newRow("name") << "Attic" << int(cli::BoxMatch::Found) << "10.0.0.3";
        QTest::newRow("name is exact") << "attic" << int(cli::BoxMatch::None) << QString();
        QTest::newRow("the start of an id") << "0e0b" << int(cli::BoxMatch::None) << QString();
        QTest::newRow("name of two boxes") << "Den" << int(cli::BoxMatch::Ambiguous) << QString();
        // A box named like another's id: the id wins, as ids are unique.
        QTest::newRow("id before name") << "0e0b0c5151a5" << int(cli::BoxMatch::Found) << "10.0.0.5";
    }

    void matchBox()
    {
        QFETCH(QString, query);
        QFETCH(int, kind);
        QFETCH(QString, ip);
        const QList<Box> seen {
            { "0e0b0c5151a2", "Den", "10.0.0.2" },    { "0e0b0c5151a3", "Attic", "10.0.0.3" },
            { "0e0b0c5151a4", "Den", "10.0.0.4" },    { "0e0b0c5151a6", "0e0b0c5151a5", "10.0.0.6" },
            { "0e0b0c5151a5", "Cellar", "10.0.0.5" },
        };
        const cli::BoxMatch match = cli::matchBox(seen, query);
        QCOMPARE(int(match.kind), kind);
        QCOMPARE(match.box.ip, ip);
    }

private:
    void answerAs(const QStringList &refused, const QStringList &silent)
    {
        KeyService::Behaviour behaviour;
        behaviour.refused = QSet<QString>(refused.begin(), refused.end());
        behaviour.silent = QSet<QString>(silent.begin(), silent.end());
        m_box.setBehaviour(behaviour);
    }

    KeyService m_box;
    quint16 m_senderPort = 0;
    QStringList m_received;
    QList<qint64> m_receivedAt;
    QElapsedTimer m_clock;
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
