// SPDX-License-Identifier: Apache-2.0
#include "KeyService.h"

#include "KeyDatagram.h"

#include <QTimer>
#include <QUdpSocket>

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
        const auto request = parseRequest(m_buffer.constData(), size);
        if (!request)
            continue;
        const quint8 sequence = request->sequence;
        const QString key = QString::fromUtf8(request->keyUtf8);
        emit keyReceived(sequence, key, m_buffer.left(size), port);

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
    m_socket->writeDatagram(buildAck(sequence, status), to, port);
}
