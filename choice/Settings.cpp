// SPDX-License-Identifier: Apache-2.0
#include "Settings.h"

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
    if (write(kIpKey, ip))
        emit lastDeviceIpChanged();
}

QString Settings::lastDeviceName() const
{
    return read(kNameKey);
}

void Settings::setLastDeviceName(const QString &name)
{
    if (write(kNameKey, name))
        emit lastDeviceNameChanged();
}

QString Settings::lastDeviceId() const
{
    return read(kIdKey);
}

void Settings::setLastDeviceId(const QString &id)
{
    if (write(kIdKey, id))
        emit lastDeviceIdChanged();
}

void Settings::setLastDevice(const QString &ip, const QString &name, const QString &id)
{
    bool changed[3] = {};
    {
        QSettings store;
        const char *const keys[3] = { kIpKey, kNameKey, kIdKey };
        const QString *const values[3] = { &ip, &name, &id };
        for (int i = 0; i < 3; ++i) {
            changed[i] = store.value(QLatin1String(keys[i])).toString() != *values[i];
            if (changed[i])
                store.setValue(QLatin1String(keys[i]), *values[i]);
        }
    }
    if (changed[0])
        emit lastDeviceIpChanged();
    if (changed[1])
        emit lastDeviceNameChanged();
    if (changed[2])
        emit lastDeviceIdChanged();
}

QString Settings::read(const char *key)
{
    return QSettings().value(QLatin1String(key)).toString();
}

// Returns whether the store changed. The QSettings object is flushed when it goes
// out of scope, before the caller emits, so a reader reacting to the signal sees
// the new value even from another process.
bool Settings::write(const char *key, const QString &value)
{
    QSettings store;
    if (store.value(QLatin1String(key)).toString() == value)
        return false;
    store.setValue(QLatin1String(key), value);
    return true;
}
