// SPDX-License-Identifier: Apache-2.0
#include "DiscoveryResponder.h"

#include "ImgrMsg.h"

#include <QNetworkDatagram>
#include <QNetworkInterface>
#include <QNetworkProxy>
#include <QUdpSocket>

#include <algorithm>
#include <chrono>
#include <utility>

DiscoveryResponder::DiscoveryResponder(QObject *parent)
    : QObject(parent)
    , m_socket(new QUdpSocket(this))
{
    // A box answers on its own network, never through a proxy.
    m_socket->setProxy(QNetworkProxy::NoProxy);
    connect(m_socket, &QUdpSocket::readyRead, this, &DiscoveryResponder::onReadyRead);
}

bool DiscoveryResponder::listen(const QHostAddress &address, quint16 port)
{
    return m_socket->bind(address, port, QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint);
}

QString DiscoveryResponder::errorString() const
{
    return m_socket->errorString();
}

bool DiscoveryResponder::parseBox(const QString &text, Box &box, QString &error)
{
    const auto byteValue = [&error](const QString &key, const QString &text, quint8 &into) {
        bool ok = false;
        const uint value = text.toUInt(&ok, 0);
        if (!ok || value > 255) {
            error = QStringLiteral("%1 must be 0 to 255: %2").arg(key, text);
            return false;
        }
        into = quint8(value);
        return true;
    };
    const QStringList parts = text.split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        const qsizetype eq = part.indexOf(QLatin1Char('='));
        const QString key = part.left(eq).trimmed();
        const QString value = eq < 0 ? QString() : part.mid(eq + 1);
        if (eq < 0) {
            error = QStringLiteral("expected key=value: %1").arg(part);
            return false;
        } else if (key == QLatin1String("id")) {
            box.id = value.toLatin1();
        } else if (key == QLatin1String("name")) {
            box.name = value.toLatin1();
        } else if (key == QLatin1String("model")) {
            box.model = value.toLatin1();
        } else if (key == QLatin1String("ip")) {
            box.ip = value.toLatin1();
        } else if (key == QLatin1String("tuners")) {
            if (!byteValue(key, value, box.tuners))
                return false;
        } else if (key == QLatin1String("flags")) {
            if (!byteValue(key, value, box.flags))
                return false;
        } else if (key == QLatin1String("sub")) {
            if (!byteValue(key, value, box.subscription))
                return false;
        } else if (key == QLatin1String("type")) {
            if (!byteValue(key, value, box.type))
                return false;
        } else if (key == QLatin1String("len")) {
            bool ok = false;
            box.length = value.toInt(&ok);
            if (!ok || box.length < 0 || box.length > 1400) {
                error = QStringLiteral("len must be 0 to 1400: %1").arg(value);
                return false;
            }
        } else {
            error = QStringLiteral("unknown box field: %1").arg(key);
            return false;
        }
    }
    return true;
}

QByteArray DiscoveryResponder::reply(const Box &box)
{
    imgr::ImgrMsg msg;
    msg.msgType = box.type;
    msg.shareFlags = box.flags;
    msg.header3 = 0x01;
    msg.deviceId = box.id;
    msg.ip = box.ip;
    msg.name = box.name;
    msg.deviceModel = box.model;
    msg.numTuners = box.tuners;
    msg.subscription = box.subscription;
    QByteArray datagram = msg.pack();
    if (box.length < datagram.size())
        datagram.truncate(box.length);
    else
        datagram.append(box.length - datagram.size(), '\0');
    return datagram;
}

QUdpSocket *DiscoveryResponder::senderFor(const Box &box)
{
    // A box answers from its own address. With several on this host the system would pick one
    // for the listening socket's replies, so each address of the host's own gets a socket.
    const QHostAddress own(QString::fromLatin1(box.ip));
    if (own.isNull() || !QNetworkInterface::allAddresses().contains(own))
        return m_socket;
    QUdpSocket *&socket = m_senders[own.toString()];
    if (!socket) {
        socket = new QUdpSocket(this);
        socket->setProxy(QNetworkProxy::NoProxy);
        if (!socket->bind(own, 0)) {
            delete socket;
            socket = m_socket;
        }
    }
    return socket;
}

void DiscoveryResponder::onReadyRead()
{
    while (m_socket->hasPendingDatagrams()) {
        const QNetworkDatagram request = m_socket->receiveDatagram();
        imgr::ImgrMsg msg;
        // Replies (ours or another box's) and anything that is no message are not for us.
        if (!imgr::ImgrMsg::unpack(request.data(), msg) || msg.msgType != imgr::kMsgDiscover)
            continue;
        // Nor is a request carrying one of our own boxes' ids.
        const QByteArray senderId = imgr::ImgrMsg::trimmed(msg.deviceId).toLatin1();
        const bool own = std::any_of(m_boxes.cbegin(), m_boxes.cend(),
                                     [&senderId](const Box &box) { return !senderId.isEmpty() && box.id == senderId; });
        if (own)
            continue;
        emit discoverReceived(request.senderAddress(), quint16(request.senderPort()), request.destinationAddress(),
                              request.data());
        for (const Box &box : std::as_const(m_boxes)) {
            QUdpSocket *socket = senderFor(box);
            const QByteArray datagram = reply(box);
            const qint64 sentUs = std::chrono::duration_cast<std::chrono::microseconds>(
                                      std::chrono::system_clock::now().time_since_epoch())
                                      .count();
            socket->writeDatagram(datagram, request.senderAddress(), quint16(request.senderPort()));
            emit replied(box.id, sentUs);
        }
    }
}
