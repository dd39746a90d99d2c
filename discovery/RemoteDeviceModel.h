// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "BrpDiscover.h"
#include "ImgrMsg.h"
#include "TunerLabel.h"

#include <QAbstractListModel>
#include <QList>
#include <QVariantMap>

// The boxes of the last sweep, sorted for display, one row per reply. Rows come in as the boxes
// answer and are settled by the sweep's whole list at its end; none is ever reset away, so a row
// under the pointer stays where it is.
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
    Q_INVOKABLE QString tunerLabel(int count) const { return ::tunerLabel(count); }
    // For the picker, which shows names as they are stored (imgr::shownName).
    Q_INVOKABLE QString shownName(const QString &name) const { return imgr::shownName(name); }

    static QString formatId(const QString &id) { return imgr::formatId(id); }

    // A running sweep's replies: a new box is inserted at its sorted place, a known one updated.
    // Past brp::kMaxDevices rows, new boxes wait for the sweep's list.
    void addReplies(const QList<brp::Reply> &replies);

public slots:
    void setDevices(const QList<imgr::ImgrMsg> &devices);

signals:
    void countChanged();

private:
    // A row's sort key, decoded once.
    struct Key
    {
        QString name;
        QString id;
    };

    static QVariant roleValue(const imgr::ImgrMsg &device, int role);
    static Key keyOf(const imgr::ImgrMsg &device);
    // Where a row with this key belongs among the current rows (not counting row skip).
    int sortedPosition(const Key &key, int skip = -1) const;
    int rowOfId(const QString &id) const;
    // Inserts, or updates (and moves, if its name changed) the row with the same id.
    void upsert(const imgr::ImgrMsg &device, bool capped);

    QList<imgr::ImgrMsg> m_devices;
    QList<Key> m_keys; // parallel to m_devices
};
