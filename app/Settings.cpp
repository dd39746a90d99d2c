// SPDX-License-Identifier: Apache-2.0
#include "Settings.h"

#include <QDir>
#include <QSettings>

namespace {
const char kIpKey[] = "lastDeviceIp";
const char kNameKey[] = "lastDeviceName";
const char kIdKey[] = "lastDeviceId";
} // namespace

Settings::Settings(QObject *parent)
    : QObject(parent)
{
}

QString Settings::lastDeviceIp() const
{
    return read(kIpKey);
}

void Settings::setLastDeviceIp(const QString &ip)
{
    if (write(kIpKey, ip) == Write::Written)
        emit lastDeviceIpChanged();
}

QString Settings::lastDeviceName() const
{
    return read(kNameKey);
}

void Settings::setLastDeviceName(const QString &name)
{
    if (write(kNameKey, name) == Write::Written)
        emit lastDeviceNameChanged();
}

QString Settings::lastDeviceId() const
{
    return read(kIdKey);
}

void Settings::setLastDeviceId(const QString &id)
{
    if (write(kIdKey, id) == Write::Written)
        emit lastDeviceIdChanged();
}

QString Settings::read(const char *key)
{
    return QSettings().value(QLatin1String(key)).toString();
}

// Flushed before the caller emits, so a reader reacting to the signal sees the new value even
// from another process. A store that cannot be written (a read-only file system, a directory
// in the file's place) keeps its old value, as a fresh read shows.
Settings::Write Settings::write(const char *key, const QString &value)
{
    QSettings store;
    if (store.value(QLatin1String(key)).toString() == value)
        return Write::Unchanged;
    store.setValue(QLatin1String(key), value);
    store.sync();
    if (store.status() != QSettings::AccessError && read(key) == value)
        return Write::Written;
    if (!m_failureQueued) {
        m_failureQueued = true;
        const QString reason = tr("%1 cannot be written").arg(QDir::toNativeSeparators(store.fileName()));
        QMetaObject::invokeMethod(
            this,
            [this, reason] {
                m_failureQueued = false;
                emit writeFailed(reason);
            },
            Qt::QueuedConnection);
    }
    return Write::Failed;
}
