// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QIdentityProxyModel>

class DeviceChoice;
class RemoteDeviceModel;

// The boxes of the sweep as the picker lists them: the device list's rows and roles, and beside
// them what a row needs to act on the box it shows, computed here and kept up to date as the
// rows, the remembered boxes and the machine's networks change.
class FoundDevices : public QIdentityProxyModel
{
    Q_OBJECT
    // Whether any row can be chosen: the list takes the focus only then.
    Q_PROPERTY(bool anyChoosable READ anyChoosable NOTIFY anyChoosableChanged)

public:
    enum Role {
        LabelRole = Qt::UserRole + 100, // the name as shown, or "(unnamed)"
        ChoosableRole, // its address passes the rule on this machine's networks
        RememberedRole, // one of the remembered boxes
    };

    // Both must outlive it.
    FoundDevices(RemoteDeviceModel *devices, DeviceChoice *choice, QObject *parent = nullptr);

    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    bool anyChoosable() const { return m_anyChoosable; }
    // The first row after from, going by step (1 or -1), that can be chosen; -1 when none.
    Q_INVOKABLE int nextChoosable(int from, int step) const;

signals:
    void anyChoosableChanged();

private:
    bool choosable(int row) const;
    void refresh(const QList<int> &roles);
    void recount();

    DeviceChoice *m_choice;
    bool m_anyChoosable = false;
};
