// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QAbstractListModel>
#include <QList>
#include <QString>

#include <functional>

class QSortFilterProxyModel;
class Settings;

// Every box the user has chosen, most recently chosen first and at most kMax, for the device
// bar's menu, the Ctrl+1 … Ctrl+8 switch and the picker. One entry per box: the same discovery id,
// or, where either has none, the same address. Stored beside the current box, and read once: a
// store from before the list gives its one box, and an entry the store holds wrongly is passed
// over with a warning, the file left as it is until the list changes.
class RememberedDevices : public QAbstractListModel
{
    Q_OBJECT
    Q_PROPERTY(int count READ count NOTIFY countChanged)
    // The entries that have not answered the running or the last sweep, for the picker.
    Q_PROPERTY(QObject *notAnswering READ notAnswering CONSTANT)
    Q_PROPERTY(int notAnsweringCount READ notAnsweringCount NOTIFY notAnsweringCountChanged)

public:
    static constexpr int kMax = 8;

    struct Entry
    {
        QString id;
        QString name;
        QString ip;
        bool answering = false;
    };

    enum Role {
        NameRole = Qt::UserRole + 1,
        LabelRole, // the name as shown, or "(unnamed)", with the address where names repeat
        IpRole,
        DeviceIdRole,
        CurrentRole,
        AnsweringRole,
        RowRole, // the row in this list, also through notAnswering
    };

    explicit RememberedDevices(Settings *settings, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    int count() const { return int(m_entries.size()); }
    const Entry &at(int row) const { return m_entries.at(row); }
    QObject *notAnswering() const;
    int notAnsweringCount() const { return m_notAnsweringCount; }

    // The row that stands for this box (see the class comment), or -1.
    Q_INVOKABLE int rowOf(const QString &ip, const QString &id) const;
    // Forgets a box; forgetting the current one leaves it current until another is chosen.
    Q_INVOKABLE void forget(int row);

    // The chosen box goes first, in place of its entry, and becomes the current one.
    void remember(const QString &ip, const QString &name, const QString &id);

    // A sweep begins: no box has answered it yet.
    void sweepStarted();
    // A sweep heard the box id claim the address ip. usable() says whether the reply may move
    // the entry there; it is asked only when that would change something.
    void heard(const QString &id, const QString &ip, const std::function<bool()> &usable);

signals:
    void countChanged();
    void notAnsweringCountChanged();

private:
    void load();
    void store();
    QString label(int row) const;

    Settings *m_settings;
    QList<Entry> m_entries;
    int m_current = -1;
    // Kept apart from the filter's row count: a view learns of its own rows only once shown.
    int m_notAnsweringCount = 0;
    QSortFilterProxyModel *m_notAnswering;
};
