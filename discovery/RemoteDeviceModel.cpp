// SPDX-License-Identifier: Apache-2.0
#include "RemoteDeviceModel.h"

#include "TunerLabel.h"

#include <algorithm>

namespace {

// Locale order of the names, then case-sensitive id order among equal names. Names that the
// collation calls equal without being equal fall back to code-unit order: without that tie-break
// the comparison is no strict weak ordering (a control byte in a name is ignorable to the
// collator), and std::sort may then read outside the list.
bool displayOrder(const imgr::ImgrMsg &a, const imgr::ImgrMsg &b)
{
    const QString na = imgr::ImgrMsg::trimmed(a.name);
    const QString nb = imgr::ImgrMsg::trimmed(b.name);
    if (na == nb)
        return imgr::ImgrMsg::trimmed(a.deviceId).compare(imgr::ImgrMsg::trimmed(b.deviceId), Qt::CaseSensitive) < 0;
    const int collated = QString::localeAwareCompare(na, nb);
    if (collated != 0)
        return collated < 0;
    return na.compare(nb, Qt::CaseSensitive) < 0;
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

QString RemoteDeviceModel::tunerLabel(int count) const
{
    return ::tunerLabel(count);
}

QString RemoteDeviceModel::formatId(const QString &id)
{
    if (id.size() < 12)
        return id;
    return id.mid(0, 4) + QLatin1Char('-') + id.mid(4, 4) + QLatin1Char('-') + id.mid(8, 4);
}

void RemoteDeviceModel::setDevices(const QList<imgr::ImgrMsg> &devices)
{
    beginResetModel();
    m_devices = devices;
    if (!m_devices.isEmpty())
        std::sort(m_devices.begin(), m_devices.end(), displayOrder);
    endResetModel();
    emit countChanged();
}

QVariant RemoteDeviceModel::roleValue(const imgr::ImgrMsg &device, int role)
{
    switch (role) {
    case NameRole:
        return imgr::ImgrMsg::trimmed(device.name);
    case DeviceIdRole:
        return formatId(imgr::ImgrMsg::trimmed(device.deviceId));
    case DeviceIdRawRole:
        return imgr::ImgrMsg::trimmed(device.deviceId);
    case IpRole:
        return imgr::ImgrMsg::trimmed(device.ip);
    case DeviceModelRole:
        return imgr::ImgrMsg::trimmed(device.deviceModel);
    case NumTunersRole:
        return int(device.numTuners);
    case HasLibraryRole:
        return (device.shareFlags & imgr::kShareLibrary) != 0;
    case HasTunerRole:
        return (device.shareFlags & imgr::kShareTuner) != 0;
    case SubscriptionRole:
        return device.subscription != 0;
    default:
        return {};
    }
}
