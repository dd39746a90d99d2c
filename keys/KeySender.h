// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "HostAddress.h"
#include "KeyTimeouts.h"
#include "LocalNetworks.h"

#include <QHash>
#include <QHostAddress>
#include <QObject>
#include <QString>

class QUdpSocket;

// Sends key commands to the chosen box and reports each one's outcome.
class KeySender : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString host READ host WRITE setHost NOTIFY hostChanged)
    Q_PROPERTY(QString deviceName READ deviceName WRITE setDeviceName NOTIFY deviceNameChanged)

public:
    explicit KeySender(QObject *parent = nullptr);

    QString host() const { return m_host; }
    void setHost(const QString &host);
    QString deviceName() const { return m_deviceName; }
    void setDeviceName(const QString &name);

    Q_INVOKABLE void sendKey(const QString &keys);

    // The machine's networks that every key's address is checked against (its own unless
    // given; a given one must outlive it). Whoever else applies the address rule asks this one.
    LocalNetworks *networks() const { return m_networks; }
    void setNetworks(LocalNetworks *networks);

    // Keys awaiting their acknowledgement, by sequence number.
    const QHash<quint8, QString> &pending() const { return m_pending; }
    const KeyTimeouts *timeouts() const { return &m_timeouts; }

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

    // Where a pending key went: only that address can answer it, and its failure names that box.
    struct Destination
    {
        QString host;
        QHostAddress address;
        QString shown;
    };

    QUdpSocket *m_socket = nullptr;
    QString m_host;
    // m_host parsed once, when it is set: null unless it passes the rule on any machine. Whether
    // it is one of this machine's networks' edges is asked again whenever they changed.
    QHostAddress m_address;
    QString m_localRefusal;
    quint64 m_checkedGeneration = 0;
    QString m_deviceName;
    quint8 m_sequence = 0;
    QHash<quint8, QString> m_pending;
    QHash<quint8, Destination> m_sentTo;
    KeyTimeouts m_timeouts;
    LocalNetworks *m_networks;
};
