// SPDX-License-Identifier: Apache-2.0
#include "Settings.h"

#include <QDir>
#include <QSettings>

namespace {
const char kIpKey[] = "lastDeviceIp";
const char kNameKey[] = "lastDeviceName";
const char kIdKey[] = "lastDeviceId";
const char kListKey[] = "rememberedDevices";
const char kMediaKeysKey[] = "mediaKeys";
const char *const kBoxKeys[] = { "id", "name", "ip" };
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

bool Settings::mediaKeys() const
{
    return QSettings().value(QLatin1String(kMediaKeysKey), true).toBool();
}

void Settings::setMediaKeys(bool on)
{
    // Compared as a flag, so that a missing key already counts as on.
    if (on != mediaKeys()
        && write(kMediaKeysKey, on ? QStringLiteral("true") : QStringLiteral("false")) == Write::Written)
        emit mediaKeysChanged();
}

void Settings::setLastDevice(const QString &ip, const QString &name, const QString &id)
{
    const char *const keys[3] = { kIpKey, kNameKey, kIdKey };
    const QString *const values[3] = { &ip, &name, &id };
    bool changed[3] = {};
    {
        QSettings store;
        for (int i = 0; i < 3; ++i) {
            changed[i] = store.value(QLatin1String(keys[i])).toString() != *values[i];
            if (changed[i])
                store.setValue(QLatin1String(keys[i]), *values[i]);
        }
        store.sync();
        bool reached = store.status() != QSettings::AccessError;
        for (int i = 0; i < 3 && reached; ++i)
            reached = read(keys[i]) == *values[i];
        if (!reached) {
            reportFailure(store.fileName());
            return;
        }
    }
    if (changed[0])
        emit lastDeviceIpChanged();
    if (changed[1])
        emit lastDeviceNameChanged();
    if (changed[2])
        emit lastDeviceIdChanged();
}

std::optional<QList<QVariantMap>> Settings::rememberedDevices(int limit, qint64 *passedOver) const
{
    QSettings store;
    const QString sizeKey = QLatin1String(kListKey) + QLatin1String("/size");
    if (!store.contains(sizeKey))
        return std::nullopt;
    // The size as written, not as beginReadArray() reads it: a hand-edited store may claim
    // billions, or more than an int holds.
    const qint64 claimed = qMax(store.value(sizeKey).toLongLong(), qint64(0));
    const int size = int(qMin(claimed, qint64(limit)));
    if (passedOver)
        *passedOver = claimed - size;
    QList<QVariantMap> boxes;
    store.beginReadArray(QLatin1String(kListKey));
    for (int i = 0; i < size; ++i) {
        store.setArrayIndex(i);
        QVariantMap box;
        for (const char *key : kBoxKeys)
            box.insert(QLatin1String(key), store.value(QLatin1String(key)));
        boxes.append(box);
    }
    store.endArray();
    return boxes;
}

void Settings::setRememberedDevices(const QList<QVariantMap> &boxes)
{
    QSettings store;
    store.remove(QLatin1String(kListKey));
    store.beginWriteArray(QLatin1String(kListKey), int(boxes.size()));
    for (int i = 0; i < boxes.size(); ++i) {
        store.setArrayIndex(i);
        for (const char *key : kBoxKeys)
            store.setValue(QLatin1String(key), boxes.at(i).value(QLatin1String(key)));
    }
    store.endArray();
    store.sync();
    qint64 more = 0;
    const std::optional<QList<QVariantMap>> stored = rememberedDevices(int(boxes.size()), &more);
    if (store.status() == QSettings::AccessError || !stored || stored->size() != boxes.size() || more != 0)
        reportFailure(store.fileName());
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
    reportFailure(store.fileName());
    return Write::Failed;
}

void Settings::reportFailure(const QString &fileName)
{
    if (m_failureQueued)
        return;
    m_failureQueued = true;
    const QString reason = tr("%1 cannot be written").arg(QDir::toNativeSeparators(fileName));
    QMetaObject::invokeMethod(
        this,
        [this, reason] {
            m_failureQueued = false;
            emit writeFailed(reason);
        },
        Qt::QueuedConnection);
}
