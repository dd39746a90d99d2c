// SPDX-License-Identifier: Apache-2.0
// The falquin-cli program itself against simulators in the box namespace of a veth pair (run
// through run-veth-test.sh, which makes both namespaces): what a script sees of list, --box and
// a hold that is interrupted.
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

#include <csignal>
#include <memory>
#include <unistd.h>

namespace {

const QString kDen = QStringLiteral("10.77.0.2");
const QString kAttic = QStringLiteral("10.77.0.3");

// One simulator in the box namespace, serving keys on its address and announcing its boxes.
class BoxSim
{
public:
    BoxSim(const QString &address, const QStringList &boxes, const QStringList &extra = {})
    {
        QStringList args { QStringLiteral("netns"),
                           QStringLiteral("exec"),
                           qEnvironmentVariable("FALQUIN_BOX_NETNS"),
                           qEnvironmentVariable("FALQUIN_BOXSIM"),
                           QStringLiteral("-a"),
                           address };
        for (const QString &box : boxes)
            args << QStringLiteral("--box") << box;
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.start(QStringLiteral("ip"), args + extra);
    }
    ~BoxSim()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(2000))
            m_process.kill();
        m_process.waitForFinished(2000);
    }

    bool waitReady() { return waitFor("falquin-boxsim: discovery on", 5000); }

    bool waitFor(const QByteArray &text, int timeoutMs)
    {
        const QDeadlineTimer deadline(timeoutMs);
        for (;;) {
            m_output += m_process.readAll();
            if (m_output.contains(text))
                return true;
            if (deadline.hasExpired())
                return false;
            m_process.waitForReadyRead(qMax<int>(1, int(deadline.remainingTime())));
        }
    }

    // The keys it logged, after waiting up to settleMs for more to come.
    QStringList keys(int settleMs = 300)
    {
        settle(settleMs);
        static const QRegularExpression line(QStringLiteral(R"re(seq=\d+ key="(.*)"$)re"),
                                             QRegularExpression::MultilineOption);
        QStringList found;
        auto it = line.globalMatch(QString::fromUtf8(m_output));
        while (it.hasNext())
            found.append(it.next().captured(1));
        return found;
    }

    // Everything it printed, after waiting up to settleMs for more to come.
    QString log(int settleMs = 300)
    {
        settle(settleMs);
        return QString::fromUtf8(m_output);
    }

private:
    void settle(int ms)
    {
        const QDeadlineTimer deadline(ms);
        while (!deadline.hasExpired())
            m_process.waitForReadyRead(qMax<int>(1, int(deadline.remainingTime())));
        m_output += m_process.readAll();
    }

    QProcess m_process;
    QByteArray m_output;
};

struct Run
{
    int code = -1;
    QString out;
    QString err;
    qint64 ms = 0;
};

QString explain(const Run &run)
{
    return QStringLiteral("exit %1 after %2 ms\n--- stdout\n%3--- stderr\n%4")
        .arg(run.code)
        .arg(run.ms)
        .arg(run.out, run.err);
}

Run runCli(const QStringList &arguments, int timeoutMs = 20000)
{
    QProcess process;
    QElapsedTimer clock;
    clock.start();
    process.start(QStringLiteral(FALQUIN_CLI), arguments);
    Run run;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(2000);
    }
    run.ms = clock.elapsed();
    run.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

// The two boxes most rows use, each played by a simulator on its own address.
std::pair<std::unique_ptr<BoxSim>, std::unique_ptr<BoxSim>> denAndAttic(const QStringList &atticAlso = {})
{
    auto den = std::make_unique<BoxSim>(
        kDen, QStringList { "id=0e0b0c5151a2,name=Den,model=OTX-2,ip=" + kDen + ",tuners=2" });
    auto attic = std::make_unique<BoxSim>(
        kAttic, QStringList { "id=0e0b0c5151a3,name=Attic,model=OTX-4,ip=" + kAttic + ",tuners=4" } + atticAlso);
    return { std::move(den), std::move(attic) };
}

} // namespace

class TestCliVeth : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(!qEnvironmentVariable("FALQUIN_BOX_NETNS").isEmpty(), "run this through run-veth-test.sh");
        // As a terminal's programs have it: a SIGHUP ignored here (nohup) would stay ignored in
        // the program too, on purpose.
        std::signal(SIGHUP, SIG_DFL);
    }

    // Exactly the boxes that answered, each once although each answers both passes of the sweep.
    void listJson()
    {
        auto [den, attic] = denAndAttic();
        QVERIFY(den->waitReady() && attic->waitReady());
        const Run run = runCli({ "list", "--json", "--timeout", "1500" });
        QVERIFY2(run.code == 0, qPrintable(explain(run)));
        QMap<QString, QJsonObject> boxes;
        const QStringList lines = run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        for (const QString &line : lines) {
            QJsonParseError error;
            const QJsonObject object = QJsonDocument::fromJson(line.toUtf8(), &error).object();
            QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(line));
            QVERIFY2(!boxes.contains(object.value("id").toString()), qPrintable("listed twice: " + line));
            boxes.insert(object.value("id").toString(), object);
        }
        const auto box = [](const char *id, const QString &ip, const char *name, int tuners, const char *model) {
            return QJsonObject {
                { "id", id }, { "ip", ip }, { "name", name }, { "tuners", tuners }, { "model", model }
            };
        };
        QCOMPARE(
            boxes,
            (QMap<QString, QJsonObject> { { "0e0b-0c51-51a2", box("0e0b-0c51-51a2", kDen, "Den", 2, "OTX-2") },
                                          { "0e0b-0c51-51a3", box("0e0b-0c51-51a3", kAttic, "Attic", 4, "OTX-4") } }));
        QVERIFY2(den->log().count(QLatin1String(" DISCOVER ")) >= 2, qPrintable(den->log(0)));
    }

    void listNoBox()
    {
        const Run run = runCli({ "list", "--json", "--timeout", "1000" });
        QVERIFY2(run.code == 3, qPrintable(explain(run)));
        QVERIFY2(run.out.isEmpty(), qPrintable(explain(run)));
        QVERIFY2(run.err.contains("no box answered"), qPrintable(explain(run)));
    }

    void box_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QStringList>("atticAlso");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("reaches");
        QTest::addColumn<QString>("says");
        QTest::newRow("by name") << "Attic" << QStringList() << 0 << "attic" << QString();
        QTest::newRow("by grouped id") << "0e0b-0c51-51a2" << QStringList() << 0 << "den" << QString();
        QTest::newRow("by raw id") << "0e0b0c5151a3" << QStringList() << 0 << "attic" << QString();
        QTest::newRow("no such box") << "Cellar" << QStringList() << 3 << QString() << "no box 'Cellar'";
        // Both from one simulator, so they answer in the same read however busy the machine is.
        QTest::newRow("name of two boxes") << "Attic" << QStringList { "id=0e0b0c5151a4,name=Attic,ip=" + kAttic } << 3
                                           << QString() << "more than one box is named 'Attic'";
    }

    // A sweep that stops at the first match, then the key to the box it found.
    void box()
    {
        QFETCH(QString, query);
        QFETCH(QStringList, atticAlso);
        QFETCH(int, code);
        QFETCH(QString, reaches);
        QFETCH(QString, says);
        auto [den, attic] = denAndAttic(atticAlso);
        QVERIFY(den->waitReady() && attic->waitReady());
        const QStringList timeout = code == 0 ? QStringList() : QStringList { "--timeout", "1500" };
        const Run run = runCli(QStringList { "send", "--box", query } + timeout + QStringList { "menu" });
        QVERIFY2(run.code == code, qPrintable(explain(run)));
        QVERIFY2(run.err.contains(says), qPrintable(explain(run)));
        if (code == 0) {
            QCOMPARE(run.out, QStringLiteral("menu: acknowledged\n"));
            // Measured near 150 ms; the full sweep would take 8000.
            QVERIFY2(run.ms < 4000, qPrintable("the sweep did not stop at the match: " + explain(run)));
        }
        QCOMPARE(den->keys(), reaches == "den" ? QStringList { "menu" } : QStringList());
        QCOMPARE(attic->keys(), reaches == "attic" ? QStringList { "menu" } : QStringList());
    }

    void holdInterrupted_data()
    {
        QTest::addColumn<int>("signal");
        QTest::addColumn<bool>("downUnanswered");
        QTest::addColumn<int>("code");
        QTest::newRow("SIGINT mid-wait") << int(SIGINT) << false << 0;
        QTest::newRow("SIGTERM mid-wait") << int(SIGTERM) << false << 0;
        // The terminal was closed.
        QTest::newRow("SIGHUP mid-wait") << int(SIGHUP) << false << 0;
        QTest::newRow("SIGINT while the down is unanswered") << int(SIGINT) << true << 1;
    }

    // The "up" a hold owes still goes out, at once, when the hold is cut short.
    void holdInterrupted()
    {
        QFETCH(int, signal);
        QFETCH(bool, downUnanswered);
        QFETCH(int, code);
        BoxSim den(kDen, { "id=0e0b0c5151a2,name=Den,ip=" + kDen },
                   downUnanswered ? QStringList { "--silent", "rew down" } : QStringList());
        QVERIFY(den.waitReady());
        QProcess process;
        process.start(QStringLiteral(FALQUIN_CLI), { "hold", "--host", kDen, "rew", "60000" });
        QVERIFY2(den.waitFor("key=\"rew down\"", 5000), qPrintable(den.log(0)));
        if (!downUnanswered) {
            QByteArray out;
            const QDeadlineTimer deadline(5000);
            while (!out.contains("rew down: acknowledged") && !deadline.hasExpired()) {
                process.waitForReadyRead(100);
                out += process.readAllStandardOutput();
            }
            QVERIFY2(out.contains("rew down: acknowledged"), out.constData());
        }
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(::kill(pid_t(process.processId()), signal), 0);
        QVERIFY2(den.waitFor("key=\"rew up\"", 5000), qPrintable("no up after the signal:\n" + den.log(0)));
        QVERIFY2(process.waitForFinished(5000), "still running after the up");
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), code);
        QCOMPARE(den.keys(), QStringList({ "rew down", "rew up" }));
        // Far below the 60 s hold; the unanswered down first waits out its 2 s (measured: up to
        // about 2.2 s).
        qInfo("the up came %lld ms after the signal", static_cast<long long>(clock.elapsed()));
        QVERIFY2(clock.elapsed() < 20000, qPrintable(QString::number(clock.elapsed())));
    }

    // A reader that goes away before the first line (`falquin-cli hold ... | true`): the "up"
    // still goes out, and the exit status says the output was lost.
    void holdIntoAClosedPipe()
    {
        BoxSim den(kDen, { "id=0e0b0c5151a2,name=Den,ip=" + kDen });
        QVERIFY(den.waitReady());
        int fds[2];
        QCOMPARE(::pipe(fds), 0);
        ::close(fds[0]);
        QProcess process;
        process.setChildProcessModifier([fds] { ::dup2(fds[1], STDOUT_FILENO); });
        process.start(QStringLiteral(FALQUIN_CLI), { "hold", "--host", kDen, "rew", "300" });
        ::close(fds[1]);
        QVERIFY2(process.waitForFinished(10000), "still running");
        const QByteArray err = process.readAllStandardError();
        QVERIFY2(process.exitStatus() == QProcess::NormalExit, "killed by SIGPIPE");
        QVERIFY2(process.exitCode() == 5, err.constData());
        QVERIFY2(err.contains("could not write the output"), err.constData());
        QCOMPARE(den.keys(), QStringList({ "rew down", "rew up" }));
    }
};

QTEST_GUILESS_MAIN(TestCliVeth)
#include "tst_cli_veth.moc"
