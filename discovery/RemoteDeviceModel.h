// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "ImgrMsg.h"

#include <QAbstractListModel>
#include <QList>
#include <QVariantMap>

// The boxes of the last sweep, sorted for display, one row per reply.
class RemoteDeviceModel : public QAbstractListModel
{
    Q_OBJECT
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    enum Role {
        NameRole = Qt::UserRole + 1,
        DeviceIdRole,
        DeviceIdRawRole,
        IpRole,
        DeviceModelRole,
        NumTunersRole,
        HasLibraryRole,
        HasTunerRole,
        SubscriptionRole,
    };

    explicit RemoteDeviceModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    int count() const { return int(m_devices.size()); }
    Q_INVOKABLE QVariantMap deviceAt(int row) const;
    // For the picker, which shows boxes by their tuner count.
    Q_INVOKABLE QString tunerLabel(int count) const;

    // "726d74636c69" -> "726d-7463-6c69"; ids shorter than twelve characters stay as they are.
    static QString formatId(const QString &id);

public slots:
    void setDevices(const QList<imgr::ImgrMsg> &devices);

signals:
    void countChanged();

private:
    static QVariant roleValue(const imgr::ImgrMsg &device, int role);

    QList<imgr::ImgrMsg> m_devices;
};
