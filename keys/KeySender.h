// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "HostAddress.h"
#include "Interfaces.h"
#include "KeyTimeouts.h"

#include <QHash>
#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class QUdpSocket;

// Sends key commands to the chosen box and reports each one's outcome.
class KeySender : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString host READ host WRITE setHost NOTIFY hostChanged)
    Q_PROPERTY(QString deviceName READ deviceName WRITE setDeviceName NOTIFY deviceNameChanged)
    // What keeps this sender on the remembered box when the box moves: its "searching" and its
    // "moved(message)" are how the scene learns of that. Set once, before the scene loads.
    Q_PROPERTY(QObject *follower READ follower CONSTANT)
    // How the scene chooses a box (choose(ip, name, id)): the same operation that start-up and
    // the follower use. Set once, before the scene loads.
    Q_PROPERTY(QObject *choice READ choice CONSTANT)

public:
    explicit KeySender(QObject *parent = nullptr);

    QString host() const { return m_host; }
    void setHost(const QString &host);
    QString deviceName() const { return m_deviceName; }
    void setDeviceName(const QString &name);

    Q_INVOKABLE void sendKey(const QString &keys);
    // Why text cannot be a host on this machine's networks as they are now, or "" when it can
    // (hostaddress::refusal has the rule): the picker asks; sendKey applies the same rule.
    Q_INVOKABLE QString addressProblem(const QString &text) const { return hostaddress::refusal(text, m_interfaces()); }

    // Where the machine's networks are read, at each check; tests bring their own.
    using Interfaces = std::function<QList<network::InterfaceInfo>()>;
    void setInterfaces(Interfaces interfaces) { m_interfaces = std::move(interfaces); }

    // Keys awaiting their acknowledgement, by sequence number.
    const QHash<quint8, QString> &pending() const { return m_pending; }
    const KeyTimeouts *timeouts() const { return &m_timeouts; }
    QObject *follower() const { return m_follower; }
    void setFollower(QObject *follower) { m_follower = follower; }
    QObject *choice() const { return m_choice; }
    void setChoice(QObject *choice) { m_choice = choice; }

signals:
    void hostChanged();
    void deviceNameChanged();
    void keySent(const QString &keys);
    void keyAcknowledged(const QString &keys);
    void keyFailed(const QString &keys, const QString &reason);

private:
    void ensureSocket();
    void onReadyRead();
    void onTimeout(quint8 number);

    // Where a pending key went: only that address can answer it.
    struct Destination
    {
        QString host;
        QHostAddress address;
    };

    QUdpSocket *m_socket = nullptr;
    QString m_host;
    // m_host parsed once, when it is set: null unless it passes the rule on any machine. Whether
    // it is one of this machine's networks' edges is asked at each send.
    QHostAddress m_address;
    QString m_deviceName;
    quint8 m_sequence = 0;
    QHash<quint8, QString> m_pending;
    QHash<quint8, Destination> m_sentTo;
    KeyTimeouts m_timeouts;
    QPointer<QObject> m_follower;
    QPointer<QObject> m_choice;
    Interfaces m_interfaces = network::localInterfaces;
};
