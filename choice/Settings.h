// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QVariantMap>

#include <optional>

// The last chosen box, remembered between runs. Holds nothing in memory: every
// access opens the platform's store afresh, so a write is on record at once.
class Settings : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString lastDeviceIp READ lastDeviceIp WRITE setLastDeviceIp NOTIFY lastDeviceIpChanged)
    Q_PROPERTY(QString lastDeviceName READ lastDeviceName WRITE setLastDeviceName NOTIFY lastDeviceNameChanged)
    // The discovery id of a box chosen from the list, so it can be found again when its
    // address changes; empty for a box entered by address.
    Q_PROPERTY(QString lastDeviceId READ lastDeviceId WRITE setLastDeviceId NOTIFY lastDeviceIdChanged)
    // Whether the desktop's media keys and media controls drive the box; on unless turned off.
    Q_PROPERTY(bool mediaKeys READ mediaKeys WRITE setMediaKeys NOTIFY mediaKeysChanged)

public:
    explicit Settings(QObject *parent = nullptr);

    QString lastDeviceIp() const;
    void setLastDeviceIp(const QString &ip);
    QString lastDeviceName() const;
    void setLastDeviceName(const QString &name);
    QString lastDeviceId() const;
    void setLastDeviceId(const QString &id);
    bool mediaKeys() const;
    void setMediaKeys(bool on);

    // The three values of one box, written in one pass over the store, so that no reader sees a
    // new address beside the previous box's name. The changed ones' signals follow, in this order.
    void setLastDevice(const QString &ip, const QString &name, const QString &id);

    // The boxes the user has chosen, most recent first, as stored: each a map of "id", "name" and
    // "ip", whatever their types in the store. At most limit are read, whatever the store claims
    // to hold; passedOver tells how many more it claims. Nothing when the store has no such list
    // at all (one written before boxes were remembered).
    std::optional<QList<QVariantMap>> rememberedDevices(int limit, qint64 *passedOver = nullptr) const;
    void setRememberedDevices(const QList<QVariantMap> &boxes);

signals:
    void lastDeviceIpChanged();
    void lastDeviceNameChanged();
    void lastDeviceIdChanged();
    void mediaKeysChanged();
    // A value did not reach the store; reason says where. Queued, and once for all the writes of
    // one turn of the event loop, so the three values of one choice make one report.
    void writeFailed(const QString &reason);

private:
    enum class Write { Unchanged, Written, Failed };

    static QString read(const char *key);
    Write write(const char *key, const QString &value);
    // One report for all the failed writes of one turn of the event loop.
    void reportFailure(const QString &fileName);

    bool m_failureQueued = false;
};
