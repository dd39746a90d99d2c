// SPDX-License-Identifier: Apache-2.0
#include "RemoteDeviceModel.h"

#include <QSet>

#include <algorithm>
#include <numeric>

namespace {

// Locale order of the names, then case-sensitive id order among equal names. Names that the
// collation calls equal without being equal fall back to code-unit order: without that tie-break
// the comparison is no strict weak ordering (a control byte in a name is ignorable to the
// collator), and std::sort may then read outside the list.
bool displayOrder(const QString &na, const QString &ida, const QString &nb, const QString &idb)
{
    if (na == nb)
        return ida.compare(idb, Qt::CaseSensitive) < 0;
    const int collated = QString::localeAwareCompare(na, nb);
    if (collated != 0)
        return collated < 0;
    return na.compare(nb, Qt::CaseSensitive) < 0;
}

bool samePacket(const imgr::ImgrMsg &a, const imgr::ImgrMsg &b)
{
    return a.pack() == b.pack();
}

} // namespace

RemoteDeviceModel::RemoteDeviceModel(QObject *parent)
    : QAbstractListModel(parent)
{
    imgr::registerMetaTypes();
}

int RemoteDeviceModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : count();
}

QVariant RemoteDeviceModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.model() != this || index.row() >= count())
        return {};
    return roleValue(m_devices.at(index.row()), role);
}

QHash<int, QByteArray> RemoteDeviceModel::roleNames() const
{
    return {
        { NameRole, QByteArrayLiteral("name") },
        { DeviceIdRole, QByteArrayLiteral("deviceId") },
        { DeviceIdRawRole, QByteArrayLiteral("deviceIdRaw") },
        { IpRole, QByteArrayLiteral("ip") },
        { DeviceModelRole, QByteArrayLiteral("deviceModel") },
        { NumTunersRole, QByteArrayLiteral("numTuners") },
        { HasLibraryRole, QByteArrayLiteral("hasLibrary") },
        { HasTunerRole, QByteArrayLiteral("hasTuner") },
        { SubscriptionRole, QByteArrayLiteral("subscription") },
    };
}

QVariantMap RemoteDeviceModel::deviceAt(int row) const
{
    QVariantMap map;
    if (row < 0 || row >= count())
        return map;
    const QHash<int, QByteArray> names = roleNames();
    for (auto it = names.cbegin(); it != names.cend(); ++it)
        map.insert(QString::fromLatin1(it.value()), roleValue(m_devices.at(row), it.key()));
    return map;
}

void RemoteDeviceModel::setDevices(const QList<imgr::ImgrMsg> &devices)
{
    QList<Key> keys;
    keys.reserve(devices.size());
    QSet<QString> ids;
    for (const imgr::ImgrMsg &device : devices) {
        keys.append(keyOf(device));
        ids.insert(keys.last().id);
    }
    if (ids.size() != devices.size()) {
        // Rows are matched by id; a list that repeats one can only replace the rows whole.
        QList<int> order(devices.size());
        std::iota(order.begin(), order.end(), 0);
        std::sort(order.begin(), order.end(),
                  [&](int a, int b) { return displayOrder(keys[a].name, keys[a].id, keys[b].name, keys[b].id); });
        beginResetModel();
        m_devices.clear();
        m_keys.clear();
        for (int i : std::as_const(order)) {
            m_devices.append(devices[i]);
            m_keys.append(keys[i]);
        }
        endResetModel();
        emit countChanged();
        return;
    }
    // Rows of boxes that did not answer go; the rest are updated, moved or inserted in place.
    for (int row = int(m_keys.size()) - 1; row >= 0; --row) {
        if (ids.contains(m_keys[row].id))
            continue;
        beginRemoveRows(QModelIndex(), row, row);
        m_devices.removeAt(row);
        m_keys.removeAt(row);
        endRemoveRows();
    }
    for (const imgr::ImgrMsg &device : devices)
        upsert(device, false);
    emit countChanged();
}

void RemoteDeviceModel::addReplies(const QList<brp::Reply> &replies)
{
    const int before = count();
    for (const brp::Reply &reply : replies)
        upsert(reply.msg, true);
    if (count() != before)
        emit countChanged();
}

RemoteDeviceModel::Key RemoteDeviceModel::keyOf(const imgr::ImgrMsg &device)
{
    return { imgr::ImgrMsg::trimmed(device.name), imgr::ImgrMsg::trimmed(device.deviceId) };
}

int RemoteDeviceModel::sortedPosition(const Key &key, int skip) const
{
    // Binary search over the rows as if row skip were not there.
    int low = 0;
    int high = int(m_keys.size()) - (skip >= 0 ? 1 : 0);
    while (low < high) {
        const int mid = (low + high) / 2;
        const Key &at = m_keys[skip >= 0 && mid >= skip ? mid + 1 : mid];
        if (displayOrder(at.name, at.id, key.name, key.id))
            low = mid + 1;
        else
            high = mid;
    }
    return low;
}

int RemoteDeviceModel::rowOfId(const QString &id) const
{
    for (int row = 0; row < m_keys.size(); ++row) {
        if (m_keys[row].id == id)
            return row;
    }
    return -1;
}

void RemoteDeviceModel::upsert(const imgr::ImgrMsg &device, bool capped)
{
    const Key key = keyOf(device);
    const int row = rowOfId(key.id);
    if (row < 0) {
        if (capped && count() >= brp::kMaxDevices)
            return;
        const int at = sortedPosition(key);
        beginInsertRows(QModelIndex(), at, at);
        m_devices.insert(at, device);
        m_keys.insert(at, key);
        endInsertRows();
        return;
    }
    if (samePacket(m_devices[row], device))
        return;
    const int at = sortedPosition(key, row);
    if (at != row) {
        // Qt counts the destination among the rows before the move.
        beginMoveRows(QModelIndex(), row, row, QModelIndex(), at > row ? at + 1 : at);
        m_devices.move(row, at);
        m_keys.move(row, at);
        endMoveRows();
    }
    m_devices[at] = device;
    m_keys[at] = key;
    emit dataChanged(index(at), index(at));
}

QVariant RemoteDeviceModel::roleValue(const imgr::ImgrMsg &device, int role)
{
    switch (role) {
    case NameRole:
        return imgr::ImgrMsg::trimmed(device.name);
    case DeviceIdRole:
        return imgr::formatId(imgr::ImgrMsg::trimmed(device.deviceId));
    case DeviceIdRawRole:
        return imgr::ImgrMsg::trimmed(device.deviceId);
    case IpRole:
        return imgr::ImgrMsg::trimmed(device.ip);
    case DeviceModelRole:
        return imgr::ImgrMsg::trimmed(device.deviceModel);
    case NumTunersRole:
        return int(device.numTuners);
    case HasLibraryRole:
        return (device.shareFlags & imgr::SHARE_LIBRARY) != 0;
    case HasTunerRole:
        return (device.shareFlags & imgr::SHARE_TUNER) != 0;
    case SubscriptionRole:
        return device.subscription != 0;
    default:
        return {};
    }
}
