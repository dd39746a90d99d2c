// SPDX-License-Identifier: Apache-2.0
// Shared by the tests that run a sweep inside their own network namespace.
#pragma once

#include "BrpDiscover.h"
#include "ImgrMsg.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QNetworkProxy>
#include <QProcess>
#include <QThread>
#include <QUdpSocket>

namespace sweeptest {

// How soon a raised stop flag must end a sweep: one wait slice (250 ms) and the
// hand-back. Sanitizer builds run slower.
#ifdef FALQUIN_SANITIZED
inline constexpr qint64 kStopBoundMs = 450;
#else
inline constexpr qint64 kStopBoundMs = 300;
#endif

// True once some socket of this namespace is bound to the discovery port.
inline bool discoveryPortBound()
{
    QFile udp(QStringLiteral("/proc/net/udp"));
    if (!udp.open(QIODevice::ReadOnly))
        return false;
    const QByteArray port = ':' + QByteArray::number(brp::kDiscoveryPort, 16).toUpper() + ' ';
    return udp.readAll().contains(port);
}

inline bool waitForDiscoveryPort(int timeoutMs = 3000)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!discoveryPortBound()) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(2);
    }
    return true;
}

inline QByteArray reply(const QByteArray &id, const QByteArray &name, quint8 type = 0)
{
    imgr::ImgrMsg msg;
    msg.msgType = type;
    msg.deviceId = id;
    msg.name = name;
    msg.ip = "127.0.0.1";
    return msg.pack();
}

// Delivers datagrams to a sweep listening in this namespace, as a box's unasked replies would arrive.
inline void inject(const QList<QByteArray> &datagrams)
{
    QUdpSocket socket;
    socket.setProxy(QNetworkProxy::NoProxy);
    for (const QByteArray &d : datagrams)
        socket.writeDatagram(d, QHostAddress::LocalHost, brp::kDiscoveryPort);
}

inline QMap<QString, QString> namesById(const QList<imgr::ImgrMsg> &devices)
{
    QMap<QString, QString> out;
    for (const imgr::ImgrMsg &d : devices)
        out.insert(imgr::ImgrMsg::trimmed(d.deviceId), imgr::ImgrMsg::trimmed(d.name));
    return out;
}

// A network that leads nowhere else: a veth pair whose ends both stay in this namespace, address
// (with its /24) on the first end and peer, if given, on the second. The ends are called prefix0
// and prefix1. It counts as running once the carrier is up, a moment later.
inline bool makeLocalNetwork(const QString &prefix, const QString &address, const QString &peer = QString())
{
    const auto ip = [](const QStringList &args) { return QProcess::execute(QStringLiteral("ip"), args) == 0; };
    const QString first = prefix + QLatin1Char('0');
    const QString second = prefix + QLatin1Char('1');
    return ip({ "link", "add", first, "type", "veth", "peer", "name", second })
        && ip({ "addr", "add", address + "/24", "brd", "+", "dev", first })
        && (peer.isEmpty() || ip({ "addr", "add", peer + "/24", "brd", "+", "dev", second }))
        && ip({ "link", "set", first, "up" }) && ip({ "link", "set", second, "up" });
}

// The warnings logged while it lives.
class WarningLog
{
public:
    WarningLog()
    {
        lines().clear();
        m_previous = qInstallMessageHandler(record);
    }
    ~WarningLog() { qInstallMessageHandler(m_previous); }
    QStringList warnings() const { return lines(); }

private:
    static QStringList &lines()
    {
        static QStringList all;
        return all;
    }
    static void record(QtMsgType type, const QMessageLogContext &, const QString &message)
    {
        if (type == QtWarningMsg)
            lines() << message;
    }

    QtMessageHandler m_previous;
};

} // namespace sweeptest
