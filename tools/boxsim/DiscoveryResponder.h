// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>

class QUdpSocket;

// A box's discovery responder: answers each DISCOVER request with one reply per configured box,
// so one simulator can stand for several boxes.
class DiscoveryResponder : public QObject
{
    Q_OBJECT

public:
    struct Box
    {
        QByteArray id;
        QByteArray name;
        QByteArray model;
        QByteArray ip;
        quint8 tuners = 2;
        quint8 flags = 0x03;
        quint8 subscription = 1;
        quint8 type = 0; // a real box sends 0 or 2; others test the client's filtering
        int length = 92; // bytes sent: shorter cuts the reply, longer pads it with zeros
    };

    explicit DiscoveryResponder(QObject *parent = nullptr);

    // Binds with ShareAddress|ReuseAddressHint, so a sweep's socket may share the port.
    bool listen(const QHostAddress &address, quint16 port);
    QString errorString() const;
    void setBoxes(const QList<Box> &boxes) { m_boxes = boxes; }

    // Parses "id=..,name=..,model=..,ip=..,tuners=N,flags=N,sub=N,type=N,len=N"; error set on failure.
    static bool parseBox(const QString &text, Box &box, QString &error);
    // The reply datagram of one box.
    static QByteArray reply(const Box &box);

signals:
    // One per DISCOVER read, before it is answered.
    void discoverReceived(const QHostAddress &from, quint16 port, const QHostAddress &to, const QByteArray &datagram);
    // After each reply, with the system clock's microseconds since the epoch just before it went.
    void replied(const QByteArray &boxId, qint64 sentUs);

private:
    void onReadyRead();
    QUdpSocket *senderFor(const Box &box);

    QUdpSocket *m_socket;
    QHash<QString, QUdpSocket *> m_senders; // by the box address they are bound to
    QList<Box> m_boxes;
};
