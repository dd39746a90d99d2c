// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QHostAddress>
#include <QObject>
#include <QSet>
#include <QString>

class QUdpSocket;

// A box's key service: reads key requests and acknowledges them, or, as told,
// refuses some keys, ignores some, or answers late.
class KeyService : public QObject
{
    Q_OBJECT

public:
    struct Behaviour
    {
        QSet<QString> refused; // answered with refuseStatus
        QSet<QString> silent; // never answered
        quint8 refuseStatus = 1;
        int delayMs = 0; // before each answer
    };

    explicit KeyService(QObject *parent = nullptr);

    bool listen(const QHostAddress &address, quint16 port);
    quint16 localPort() const;
    QString errorString() const;
    void setBehaviour(const Behaviour &behaviour) { m_behaviour = behaviour; }

signals:
    // One per request read; datagram is the request exactly as it arrived, from the sender's fromPort.
    void keyReceived(quint8 sequence, const QString &key, const QByteArray &datagram, quint16 fromPort);

private:
    void onReadyRead();
    void answer(const QHostAddress &to, quint16 port, quint8 sequence, quint8 status);

    QUdpSocket *m_socket;
    QByteArray m_buffer; // big enough for any datagram, kept for the service's life
    Behaviour m_behaviour;
};
