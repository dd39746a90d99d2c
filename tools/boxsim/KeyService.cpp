// SPDX-License-Identifier: Apache-2.0
#include "KeyService.h"

#include "KeyDatagram.h"

#include <QTimer>
#include <QUdpSocket>

#include <cstring>

using namespace keydatagram;

KeyService::KeyService(QObject *parent)
    : QObject(parent)
    , m_socket(new QUdpSocket(this))
    , m_buffer(65536, Qt::Uninitialized)
{
    connect(m_socket, &QUdpSocket::readyRead, this, &KeyService::onReadyRead);
}

bool KeyService::listen(const QHostAddress &address, quint16 port)
{
    return m_socket->bind(address, port);
}

quint16 KeyService::localPort() const
{
    return m_socket->localPort();
}

QString KeyService::errorString() const
{
    return m_socket->errorString();
}

void KeyService::onReadyRead()
{
    // One buffer big enough for any datagram, and no size peeks: the simulator
    // answers as fast as it can, so benchmarks measure the client, not the box.
    QHostAddress from;
    quint16 port = 0;
    while (m_socket->hasPendingDatagrams()) {
        const qint64 size = m_socket->readDatagram(m_buffer.data(), m_buffer.size(), &from, &port);
        if (size < 0)
            break;
        const QByteArray data = m_buffer.left(size);
        if (data.size() < kKeyTextOffset || std::memcmp(data.constData(), kMagic, sizeof kMagic) != 0
            || data[DirectionAt] != 0)
            continue;
        const quint8 sequence = quint8(data[SequenceAt]);
        const qsizetype end = data.indexOf('\0', kKeyTextOffset);
        const QString key
            = QString::fromUtf8(data.constData() + kKeyTextOffset, (end < 0 ? data.size() : end) - kKeyTextOffset);
        emit keyReceived(sequence, key, data);

        if (m_behaviour.silent.contains(key))
            continue;
        const quint8 status = m_behaviour.refused.contains(key) ? m_behaviour.refuseStatus : 0;
        if (m_behaviour.delayMs > 0)
            QTimer::singleShot(m_behaviour.delayMs, this, [=] { answer(from, port, sequence, status); });
        else
            answer(from, port, sequence, status);
    }
}

void KeyService::answer(const QHostAddress &to, quint16 port, quint8 sequence, quint8 status)
{
    QByteArray ack(kKeyTextOffset, '\0');
    std::memcpy(ack.data(), kMagic, sizeof kMagic);
    ack[FormatAt] = char(1);
    ack[DirectionAt] = char(1);
    ack[StatusAt] = char(status);
    ack[SequenceAt] = char(sequence);
    m_socket->writeDatagram(ack, to, port);
}
