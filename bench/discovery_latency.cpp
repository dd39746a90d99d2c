// SPDX-License-Identifier: Apache-2.0
// How soon a box that answers is on the list, and how soon a moved box has the keys: from the
// simulator's send of a reply (its own log, in microseconds of the system clock) to the model's
// row, and to the key sender's host, on this process's GUI thread. And what a flood of made-up
// boxes for a whole sweep costs in memory, during the sweep and after it. Run with
// bench/run-discovery.sh, which puts the simulator (and the flood, this program run again with
// --flood) in a network namespace of its own across a veth pair from this one.
#include "DeviceChoice.h"
#include "DeviceFollower.h"
#include "DeviceIdentity.h"
#include "DiscoveryService.h"
#include "Identity.h"
#include "KeySender.h"
#include "RemoteDeviceModel.h"
#include "Settings.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QLoggingCategory>
#include <QProcess>
#include <QRegularExpression>
#include <QtDebug>

#include <QUdpSocket>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>

namespace {

const QString kOld = QStringLiteral("10.77.0.2");
const QString kNew = QStringLiteral("10.77.0.3");

qint64 nowUs()
{
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

QString boxId(int i)
{
    return QStringLiteral("0e0b0c51%1").arg(i, 4, 16, QLatin1Char('0'));
}

// The simulator in the box namespace, announcing count boxes at address.
class BoxSim
{
public:
    BoxSim(int count, const QString &address)
    {
        QStringList args { QStringLiteral("netns"),
                           QStringLiteral("exec"),
                           qEnvironmentVariable("FALQUIN_BOX_NETNS"),
                           qEnvironmentVariable("FALQUIN_BOXSIM"),
                           QStringLiteral("--address"),
                           address,
                           QStringLiteral("--log-replies") };
        for (int i = 0; i < count; ++i)
            args << QStringLiteral("--box")
                 << QStringLiteral("id=%1,name=Box %2,model=OTX-2,tuners=2,ip=%3").arg(boxId(i)).arg(i).arg(address);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QStringLiteral("ip"), args);
        const QDeadlineTimer deadline(5000);
        while (!m_log.contains("discovery on") && !deadline.hasExpired())
            if (m_process.waitForReadyRead(100))
                m_log += m_process.readAllStandardOutput();
        if (!m_log.contains("discovery on"))
            qFatal("the simulator did not start");
    }
    ~BoxSim()
    {
        m_process.terminate();
        m_process.waitForFinished(2000);
    }

    // The first send time of each id since the last call.
    QHash<QString, qint64> takeSends()
    {
        m_process.waitForReadyRead(50);
        m_log += m_process.readAllStandardOutput();
        static const QRegularExpression line(QStringLiteral("^REPLY id=(\\S+) us=(\\d+)$"),
                                             QRegularExpression::MultilineOption);
        QHash<QString, qint64> sends;
        for (auto it = line.globalMatch(QString::fromLatin1(m_log)); it.hasNext();) {
            const auto match = it.next();
            if (!sends.contains(match.captured(1)))
                sends.insert(match.captured(1), match.captured(2).toLongLong());
        }
        m_log.clear();
        return sends;
    }

private:
    QProcess m_process;
    QByteArray m_log;
};

struct Stats
{
    double median = 0;
    double p99 = 0;
    double max = 0;
};

Stats stats(QList<double> values)
{
    if (values.isEmpty())
        return {};
    std::sort(values.begin(), values.end());
    const auto at = [&](double q) { return values[qMin(values.size() - 1, qsizetype(q * double(values.size())))]; };
    return { at(0.5), at(0.99), values.last() };
}

bool waitUntil(const std::function<bool()> &done, int ms)
{
    QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    return done();
}

void replyToRow(int boxes, int rounds)
{
    BoxSim sim(boxes, kOld);
    DeviceIdentity identity;
    QList<double> latencies;
    QList<double> passes;
    int batches = 0;
    for (int round = 0; round < rounds; ++round) {
        sim.takeSends();
        RemoteDeviceModel model;
        auto service = std::make_unique<DiscoveryService>(&identity);
        QHash<QString, qint64> rowAt;
        QObject::connect(&model, &QAbstractItemModel::rowsInserted, [&](const QModelIndex &, int first, int last) {
            const qint64 now = nowUs();
            for (int row = first; row <= last; ++row)
                rowAt.insert(model.data(model.index(row), RemoteDeviceModel::DeviceIdRawRole).toString(), now);
        });
        // The GUI thread's share of each batch, as the app's connection runs it.
        QObject::connect(service->feed(), &ReplyFeed::arrived, &model, [&](const QList<brp::Reply> &replies) {
            QElapsedTimer pass;
            pass.start();
            model.addReplies(replies);
            passes << double(pass.nsecsElapsed()) / 1e6;
            ++batches;
        });
        service->refresh();
        if (!waitUntil([&] { return rowAt.size() >= boxes; }, 5000))
            qWarning("round %d: %lld of %d rows", round, static_cast<long long>(rowAt.size()), boxes);
        service.reset(); // stops the sweep within one wait slice
        const QHash<QString, qint64> sends = sim.takeSends();
        for (auto it = rowAt.cbegin(); it != rowAt.cend(); ++it)
            if (sends.contains(it.key()))
                latencies << double(it.value() - sends.value(it.key())) / 1000.0;
    }
    const Stats row = stats(latencies);
    const Stats pass = stats(passes);
    std::printf("reply -> row, %3d box(es): median %7.2f ms  p99 %7.2f ms  (%lld rows; %d batches, longest GUI "
                "pass %.2f ms)\n",
                boxes, row.median, row.p99, static_cast<long long>(latencies.size()), batches, pass.max);
}

void movedBox(int rounds)
{
    BoxSim sim(1, kNew);
    Settings settings;
    KeySender keys;
    DeviceChoice choice(&keys, &settings);
    DeviceIdentity identity;
    QList<double> latencies;
    for (int round = 0; round < rounds; ++round) {
        choice.resume({ boxId(0), QString(), kOld });
        auto service = std::make_unique<DiscoveryService>(&identity);
        auto follower = std::make_unique<DeviceFollower>(&keys, &choice, service.get());
        sim.takeSends();
        qint64 switchedAt = 0;
        const QMetaObject::Connection c = QObject::connect(&keys, &KeySender::hostChanged, [&] {
            if (keys.host() == kNew)
                switchedAt = nowUs();
        });
        follower->onUnanswered(QStringLiteral("menu"), kOld);
        if (!waitUntil([&] { return switchedAt != 0; }, 5000))
            qWarning("round %d: the host did not switch", round);
        QObject::disconnect(c);
        follower.reset();
        service.reset();
        const QHash<QString, qint64> sends = sim.takeSends();
        if (switchedAt != 0 && sends.contains(boxId(0)))
            latencies << double(switchedAt - sends.value(boxId(0))) / 1000.0;
    }
    const Stats moved = stats(latencies);
    std::printf("moved box -> host switched:  median %7.2f ms  p99 %7.2f ms  (%lld rounds)\n", moved.median, moved.p99,
                static_cast<long long>(latencies.size()));
}

// Resident memory of this process, in MiB.
double residentMiB()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? double(fields[1].toLongLong()) * 4096.0 / (1 << 20) : 0;
}

// The flood's side, in the box namespace: replies as fast as one socket sends them, for ms
// milliseconds and at most maxCount datagrams, each with a new id or, with ids > 0, going round
// that many. Prints how many went out.
int flood(const QString &to, int ms, qint64 maxCount, qint64 ids)
{
    imgr::ImgrMsg msg;
    msg.name = "flood";
    msg.ip = "10.77.0.2";
    QByteArray datagram = msg.pack();
    QUdpSocket socket;
    const QHostAddress dest(to);
    QElapsedTimer clock;
    clock.start();
    qint64 sent = 0;
    char id[17];
    while (sent < maxCount && clock.elapsed() < ms) {
        std::snprintf(id, sizeof id, "%016llx", static_cast<unsigned long long>(ids > 0 ? sent % ids : sent));
        std::memcpy(datagram.data() + 8, id, 16); // the deviceId field
        if (socket.writeDatagram(datagram, dest, brp::kDiscoveryPort) == datagram.size())
            ++sent;
    }
    std::printf("%lld %lld\n", static_cast<long long>(sent), static_cast<long long>(clock.elapsed()));
    return 0;
}

// A whole sweep under the flood, with the model as the app wires it; resident memory sampled off
// the GUI thread, which is busy with the replies. With known, the flood goes round the ids of a
// full list, so every reply is an update of a listed box.
void floodedSweep(bool known)
{
    DeviceIdentity identity;
    RemoteDeviceModel model;
    DiscoveryService service(&identity);
    QObject::connect(service.feed(), &ReplyFeed::arrived, &model, &RemoteDeviceModel::addReplies);
    QObject::connect(&service, &DiscoveryService::finished, &model, &RemoteDeviceModel::setDevices);
    QCoreApplication::processEvents();
    const double start = residentMiB();
    std::atomic<bool> sampling { true };
    std::atomic<long long> peakKiB { 0 };
    std::thread sampler([&] {
        while (sampling) {
            peakKiB = std::max<long long>(peakKiB, static_cast<long long>(residentMiB() * 1024));
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    });

    service.refresh();
    QProcess sender;
    sender.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // The sweep listens 8 s after its 100 ms of sending: the flood fills nearly all of it.
    sender.start(QStringLiteral("ip"),
                 { QStringLiteral("netns"), QStringLiteral("exec"), qEnvironmentVariable("FALQUIN_BOX_NETNS"),
                   QCoreApplication::applicationFilePath(), QStringLiteral("--flood"), QStringLiteral("10.77.0.1"),
                   QStringLiteral("7800"), QStringLiteral("5000000"), QString::number(known ? brp::kMaxDevices : 0) });
    waitUntil([&] { return !service.isScanning(); }, 12000);
    const double atEnd = residentMiB();
    waitUntil([] { return false; }, 1000);
    const double after = residentMiB();
    sampling = false;
    sampler.join();
    sender.waitForFinished(5000);
    const QList<QByteArray> sent = sender.readAllStandardOutput().trimmed().split(' ');
    const double count = sent.value(0).toDouble();
    const double seconds = sent.value(1).toDouble() / 1000.0;
    std::printf("flood, %.0f %s in %.1f s (%.0f/s): RSS %.1f MiB before, %+.1f MiB peak during the sweep, %+.1f MiB "
                "at its end, %+.1f MiB 1 s later; %d rows\n",
                count, known ? "replies of 1024 ids" : "distinct replies", seconds, seconds > 0 ? count / seconds : 0,
                start, double(peakKiB) / 1024 - start, atEnd - start, after - start, model.count());
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 6 && QByteArray(argv[1]) == "--flood")
        return flood(QString::fromLocal8Bit(argv[2]), std::atoi(argv[3]), std::atoll(argv[4]), std::atoll(argv[5]));
    identity::apply();
    if (qEnvironmentVariableIsEmpty("FALQUIN_BOX_NETNS") || qEnvironmentVariableIsEmpty("FALQUIN_BOXSIM"))
        qFatal("run through bench/run-discovery.sh");
    // Sweeps log a line per destination; the figures are what counts here.
    QLoggingCategory::setFilterRules(QStringLiteral("default.info=false"));
    const int rounds = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 30;
    for (const int boxes : { 1, 16, 256 })
        replyToRow(boxes, rounds);
    movedBox(rounds);
    floodedSweep(false);
    floodedSweep(true);
    return 0;
}
