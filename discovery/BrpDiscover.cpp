// SPDX-License-Identifier: Apache-2.0
#include "BrpDiscover.h"

#include <QDeadlineTimer>
#include <QHash>
#include <QNetworkProxy>
#include <QThread>
#include <QUdpSocket>

#include <utility>

namespace brp {

namespace {

constexpr int kSendPasses = 2;
constexpr unsigned long kPassPauseMs = 100;
constexpr qint64 kWaitSliceMs = 250;
constexpr int kProbeWaitMs = 200;
// Datagrams read between two looks at the deadline, so a flood cannot keep the sweep alive.
constexpr int kDrainBatch = 256;
constexpr int kReceiveBufferBytes = 1 << 20;

// The local address the system would use towards the outside; nothing is sent.
QString probeSourceAddress()
{
    QUdpSocket probe;
    probe.setProxy(QNetworkProxy::NoProxy);
    probe.connectToHost(QHostAddress(QStringLiteral("1.1.1.1")), 1);
    const bool connected = probe.waitForConnected(kProbeWaitMs);
    const QHostAddress local = probe.localAddress();
    if (!connected && local.isNull())
        return QStringLiteral("0.0.0.0");
    return local.toString();
}

bool stopRequested(const std::atomic<bool> *stop)
{
    return stop && stop->load();
}

// Reads one batch of pending datagrams; the accepted replies, with their senders, go to arrived.
void drainReplies(QUdpSocket &socket, QHash<QString, imgr::ImgrMsg> &replies, const std::atomic<bool> *stop,
                  const SweepHooks &hooks, QList<Reply> &arrived)
{
    for (int n = 0; n < kDrainBatch && socket.hasPendingDatagrams() && !stopRequested(stop); ++n) {
        const qint64 size = socket.pendingDatagramSize();
        QByteArray datagram(qMax<qint64>(size, 0), Qt::Uninitialized);
        QHostAddress sender;
        if (socket.readDatagram(datagram.data(), datagram.size(), &sender) < 0)
            return;
        imgr::ImgrMsg msg;
        if (!imgr::ImgrMsg::unpack(datagram, msg) || (msg.msgType != 0 && msg.msgType != 2))
            continue;
        const QString key = imgr::ImgrMsg::trimmed(msg.deviceId);
        // A flood of made-up ids costs no more than a full list.
        if (replies.size() >= kMaxDevices && !replies.contains(key)) {
            if (hooks.wanted && hooks.wanted(msg))
                arrived.append({ msg, sender });
            continue;
        }
        replies.insert(key, msg);
        arrived.append({ msg, sender });
    }
}

} // namespace

QList<Target> buildTargets(const QList<network::InterfaceInfo> &interfaces)
{
    QList<Target> targets;
    for (const network::InterfaceInfo &iface : interfaces) {
        if (!iface.flags.testFlag(QNetworkInterface::IsUp) || !iface.flags.testFlag(QNetworkInterface::IsRunning)
            || iface.flags.testFlag(QNetworkInterface::IsLoopBack))
            continue;
        for (const QNetworkAddressEntry &entry : iface.entries) {
            if (entry.ip().protocol() != QAbstractSocket::IPv4Protocol)
                continue;
            QHostAddress bcast = entry.broadcast();
            if (bcast.isNull()) {
                const quint32 mask = entry.netmask().toIPv4Address();
                if (mask == 0)
                    continue;
                bcast = QHostAddress(entry.ip().toIPv4Address() | ~mask);
            }
            targets.append({ iface.name, entry.ip().toString(), bcast });
        }
    }
    return targets;
}

QList<imgr::ImgrMsg> brpDiscover(const QByteArray &deviceId, const QByteArray &clientName, unsigned int timeoutMs,
                                 std::atomic<bool> *stop, const QHostAddress &dest, SweepProblem *problem,
                                 const SweepHooks &hooks)
{
    if (problem)
        *problem = SweepProblem::None;
    QUdpSocket socket;
    // Broadcasts only make sense on the local networks themselves; this also keeps the pool thread
    // out of the system proxy lookup.
    socket.setProxy(QNetworkProxy::NoProxy);
    if (!socket.bind(QHostAddress::AnyIPv4, kDiscoveryPort,
                     QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint)) {
        if (problem)
            *problem = SweepProblem::PortUnavailable;
        if (hooks.problem)
            hooks.problem(SweepProblem::PortUnavailable);
        return {};
    }

    // A burst of replies (many boxes, or a flood) should wait in the socket rather than be dropped.
    socket.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, kReceiveBufferBytes);

    QList<Target> targets;
    if (dest == QHostAddress(QHostAddress::Broadcast))
        targets = buildTargets(network::localInterfaces());
    else
        targets.append({ QStringLiteral("(explicit)"), probeSourceAddress(), dest });
    if (targets.isEmpty()) {
        qWarning("brpDiscover: no eligible IPv4 interface to broadcast on");
        if (problem)
            *problem = SweepProblem::NoNetwork;
        if (hooks.problem)
            hooks.problem(SweepProblem::NoNetwork);
    }

    QHash<QString, imgr::ImgrMsg> replies;
    QList<Reply> arrived;
    // Reads until the deadline; a stop flag, if given, ends it early.
    const auto listen = [&](const QDeadlineTimer &until, const std::atomic<bool> *stopFlag) {
        while (!until.hasExpired() && !stopRequested(stopFlag) && socket.isValid()) {
            const qint64 slice = qMin(until.remainingTime(), kWaitSliceMs);
            if (slice > 0)
                socket.waitForReadyRead(int(slice));
            drainReplies(socket, replies, stopFlag, hooks, arrived);
            if (!arrived.isEmpty() && hooks.replies)
                hooks.replies(arrived);
            arrived.clear();
        }
    };
    // Listening at all: otherwise the pause is a plain sleep and nothing is read.
    const bool listening = timeoutMs > 0 && !stopRequested(stop);

    for (int pass = 0; pass < kSendPasses; ++pass) {
        for (const Target &target : std::as_const(targets)) {
            const QByteArray request = imgr::makeDiscover(deviceId, clientName, target.src).pack();
            socket.writeDatagram(request, target.bcast, kDiscoveryPort);
            if (pass == 0)
                qInfo("brpDiscover: DISCOVER on %s  src=%s  bcast=%s", target.iface.toUtf8().constData(),
                      target.src.toUtf8().constData(), target.bcast.toString().toUtf8().constData());
        }
        if (pass > 0)
            continue;
        // The answers to the first pass are read as they come, not after the second; the pause
        // runs its full length whatever the stop flag says.
        if (listening)
            listen(QDeadlineTimer(qint64(kPassPauseMs)), nullptr);
        else
            QThread::msleep(kPassPauseMs);
    }

    listen(QDeadlineTimer(qint64(timeoutMs), Qt::CoarseTimer), stop);
    return replies.values();
}

} // namespace brp
