// SPDX-License-Identifier: Apache-2.0
#include "KeySender.h"

#include "KeyDatagram.h"
#include "ShownText.h"

#include <QHostAddress>
#include <QNetworkProxy>
#include <QTimer>
#include <QUdpSocket>

using namespace keydatagram;

KeySender::KeySender(QObject *parent)
    : QObject(parent)
    , m_networks(new LocalNetworks(network::localInterfaces, true, this))
{
}

void KeySender::setNetworks(LocalNetworks *networks)
{
    if (m_networks->parent() == this)
        delete m_networks;
    m_networks = networks;
    m_checkedGeneration = 0;
}

void KeySender::setHost(const QString &host)
{
    if (host == m_host)
        return;
    m_host = host;
    m_address = hostaddress::refusal(host, {}).isEmpty() ? QHostAddress(host) : QHostAddress();
    m_checkedGeneration = 0;
    // A name belongs to the previous box; callers set the new name afterwards.
    if (!m_deviceName.isEmpty()) {
        m_deviceName.clear();
        emit deviceNameChanged();
    }
    emit hostChanged();
}

void KeySender::setDeviceName(const QString &name)
{
    if (name == m_deviceName)
        return;
    m_deviceName = name;
    emit deviceNameChanged();
}

void KeySender::sendKey(const QString &keys)
{
    if (m_host.isEmpty()) {
        emit keyFailed(keys, tr("no device configured"));
        return;
    }
    if (m_address.isNull()) {
        emit keyFailed(keys, tr("invalid IP address '%1'").arg(shown::excerpt(m_host)));
        return;
    }
    // A network that came up since the box was chosen can make its address a broadcast.
    const quint64 generation = m_networks->generation();
    if (generation != m_checkedGeneration) {
        m_localRefusal = hostaddress::refusal(m_host, m_networks->current());
        m_checkedGeneration = generation;
    }
    if (!m_localRefusal.isEmpty()) {
        emit keyFailed(keys, m_localRefusal);
        return;
    }
    const QByteArray utf8 = keys.toUtf8();
    if (utf8.size() > kMaxKeyBytes) {
        emit keyFailed(keys, tr("key string too long"));
        return;
    }

    ensureSocket();
    const quint8 number = ++m_sequence;
    const QByteArray datagram = buildRequest(number, utf8);
    if (m_socket->writeDatagram(datagram, m_address, kPort) != kDatagramSize) {
        // The network may be gone in a way no notice told.
        m_networks->invalidate();
        emit keyFailed(keys, tr("send failed: %1").arg(m_socket->errorString()));
        return;
    }
    m_pending.insert(number, keys);
    m_sentTo.insert(number, { m_host, m_address, m_deviceName.isEmpty() ? m_host : m_deviceName });
    emit keySent(keys);
    QTimer::singleShot(kAckTimeoutMs, Qt::CoarseTimer, this, [this, number] { onTimeout(number); });
}

void KeySender::ensureSocket()
{
    if (m_socket)
        return;
    m_socket = new QUdpSocket(this);
    // Keys go straight to a box on the local network, never through a configured proxy.
    m_socket->setProxy(QNetworkProxy::NoProxy);
    connect(m_socket, &QUdpSocket::readyRead, this, &KeySender::onReadyRead);
}

void KeySender::onReadyRead()
{
    // A bounded batch per pass: a flood that refills the queue as fast as it is
    // drained must not hold the event loop. The socket signals again for the rest.
    constexpr int kBatch = 64;
    for (int n = 0; n < kBatch; ++n) {
        // The size peek doubles as the "anything pending?" test: -1 when the queue is empty.
        const qint64 size = m_socket->pendingDatagramSize();
        if (size < 0)
            break;
        QByteArray datagram(size, Qt::Uninitialized);
        QHostAddress from;
        const qint64 got = m_socket->readDatagram(datagram.data(), datagram.size(), &from);
        if (got < 0)
            break;
        const auto ack = parseAck(datagram.constData(), got);
        if (!ack)
            continue;
        const auto it = m_pending.constFind(ack->sequence);
        if (it == m_pending.cend())
            continue;
        // Only the box a key went to can answer it, from any port of its own: another host's
        // answer would report a lost key as delivered. The socket gives IPv4 senders in their
        // "::ffff:" form, and a "::ffff:" host is answered from its IPv4 address.
        if (!from.isEqual(m_sentTo.value(ack->sequence).address, QHostAddress::ConvertV4MappedToIPv4))
            continue;
        const QString text = *it;
        m_pending.erase(it);
        m_sentTo.remove(ack->sequence);
        if (ack->status != 0)
            emit keyFailed(text, tr("device could not parse the key string"));
        else
            emit keyAcknowledged(text);
    }
}

void KeySender::onTimeout(quint8 number)
{
    const auto it = m_pending.constFind(number);
    if (it == m_pending.cend())
        return;
    const QString text = *it;
    m_pending.erase(it);
    // The box the key went to, not the one chosen since.
    const Destination sentTo = m_sentTo.take(number);
    emit keyFailed(text, tr("no response from %1").arg(sentTo.shown));
    emit m_timeouts.unanswered(text, sentTo.host);
}
