// SPDX-License-Identifier: Apache-2.0
#include "FoundDevices.h"

#include "Box.h"
#include "DeviceChoice.h"
#include "ImgrMsg.h"
#include "LocalNetworks.h"
#include "RememberedDevices.h"
#include "RemoteDeviceModel.h"

FoundDevices::FoundDevices(RemoteDeviceModel *devices, DeviceChoice *choice, QObject *parent)
    : QIdentityProxyModel(parent)
    , m_choice(choice)
{
    setSourceModel(devices);
    for (const auto signal : { &QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved })
        connect(this, signal, this, &FoundDevices::recount);
    connect(this, &QAbstractItemModel::modelReset, this, &FoundDevices::recount);
    connect(this, &QAbstractItemModel::dataChanged, this, &FoundDevices::recount);
    // Whichever way the remembered list changed, any row may have joined or left it.
    const auto remembered = [this] { refresh({ RememberedRole }); };
    const RememberedDevices *list = choice->rememberedDevices();
    connect(list, &QAbstractItemModel::rowsInserted, this, remembered);
    connect(list, &QAbstractItemModel::rowsRemoved, this, remembered);
    connect(list, &QAbstractItemModel::modelReset, this, remembered);
    connect(list, &QAbstractItemModel::dataChanged, this, remembered);
    connect(choice->networks(), &LocalNetworks::changed, this, [this] { refresh({ ChoosableRole }); });
    recount();
}

QVariant FoundDevices::data(const QModelIndex &index, int role) const
{
    if (role < LabelRole || !index.isValid() || index.row() >= rowCount())
        return QIdentityProxyModel::data(index, role);
    const QModelIndex source = mapToSource(index);
    switch (role) {
    case LabelRole:
        return Box::label(source.data(RemoteDeviceModel::NameRole).toString());
    case ChoosableRole:
        return choosable(index.row());
    case RememberedRole:
        return m_choice->rememberedDevices()->contains({ source.data(RemoteDeviceModel::DeviceIdRawRole).toString(),
                                                         QString(),
                                                         source.data(RemoteDeviceModel::IpRole).toString() });
    default:
        return {};
    }
}

QHash<int, QByteArray> FoundDevices::roleNames() const
{
    QHash<int, QByteArray> names = QIdentityProxyModel::roleNames();
    names.insert(LabelRole, QByteArrayLiteral("label"));
    names.insert(ChoosableRole, QByteArrayLiteral("choosable"));
    names.insert(RememberedRole, QByteArrayLiteral("remembered"));
    return names;
}

int FoundDevices::nextChoosable(int from, int step) const
{
    if (step != 1 && step != -1)
        return -1;
    for (int row = from + step; row >= 0 && row < rowCount(); row += step) {
        if (choosable(row))
            return row;
    }
    return -1;
}

bool FoundDevices::choosable(int row) const
{
    const QString ip = index(row, 0).data(RemoteDeviceModel::IpRole).toString();
    // A reply without an address, or with one that reaches no single box here, cannot be chosen.
    return !ip.isEmpty() && m_choice->addressProblem(ip).isEmpty();
}

void FoundDevices::refresh(const QList<int> &roles)
{
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, 0), roles);
}

void FoundDevices::recount()
{
    const bool any = nextChoosable(-1, 1) >= 0;
    if (any == m_anyChoosable)
        return;
    m_anyChoosable = any;
    emit anyChoosableChanged();
}
