// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "Box.h"

#include <QAbstractListModel>
#include <QList>
#include <QSet>
#include <QString>

#include <functional>

class QSortFilterProxyModel;
class Settings;

// Every box the user has chosen, most recently chosen first and at most kMax, for the device
// bar's menu, the Ctrl+1 … Ctrl+8 switch and the picker. One entry per box (Box::sameAs). The
// store is the list: several windows share it, so every change is made to the list as stored at
// that moment and written at once, and reload() shows what another window stored. An entry the
// store holds wrongly is passed over with a warning, the file left as it is until the list changes.
class RememberedDevices : public QAbstractListModel
{
    Q_OBJECT
    Q_PROPERTY(int count READ count NOTIFY countChanged)
    // The entries that have not answered the running or the last sweep, for the picker.
    Q_PROPERTY(QObject *notAnswering READ notAnswering CONSTANT)
    Q_PROPERTY(int notAnsweringCount READ notAnsweringCount NOTIFY notAnsweringCountChanged)
    // How many are kept: the Ctrl+1 … Ctrl+8 of the window.
    Q_PROPERTY(int max READ max CONSTANT)

public:
    static constexpr int kMax = 8;

    enum Role {
        NameRole = Qt::UserRole + 1,
        LabelRole, // the name as shown, or "(unnamed)", with the address where names repeat
        IpRole,
        DeviceIdRole,
        CurrentRole, // the box this window's keys go to
        AnsweringRole,
        ShortcutRole, // "Ctrl+1" … "Ctrl+8", the keys that choose it
        ChoosableRole, // its address passes the rule on this machine's networks as they are now
    };

    explicit RememberedDevices(Settings *settings, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    int count() const { return int(m_entries.size()); }
    static int max() { return kMax; }
    const Box &at(int row) const { return m_entries.at(row).box; }
    bool isAnswering(int row) const { return m_entries.at(row).answering; }
    QObject *notAnswering() const;
    int notAnsweringCount() const { return m_notAnsweringCount; }
    // Whether an entry stands for this box.
    bool contains(const Box &box) const;

    // Shows the list as stored now.
    Q_INVOKABLE void reload();
    // Forgets the box with this address and id; forgetting the current one leaves it current
    // until another is chosen.
    Q_INVOKABLE void forget(const QString &ip, const QString &id);

    // The chosen box goes first, in place of its entry.
    void remember(const Box &box);
    // Marks the entry of the box this window's keys go to.
    void setCurrent(const Box &box);
    // Why an address cannot be chosen now, or "" (the choice's rule); asked for ChoosableRole.
    void setRefusal(std::function<QString(const QString &)> refusal) { m_refusal = std::move(refusal); }
    // The rule's answers may have changed (the machine's networks did).
    void refusalsChanged();

    // A sweep begins: no box has answered it yet.
    void sweepStarted();
    // A sweep heard the box (its id and the address it claims). usable() says whether the reply
    // may move the entry there; it is asked only when that would change something.
    void heard(const Box &box, const std::function<bool()> &usable);

signals:
    void countChanged();
    void notAnsweringCountChanged();

private:
    struct Entry
    {
        Box box;
        bool answering = false;
    };

    QList<Entry> read();
    // Replaces the entries with the stored ones if another window changed them.
    void sync();
    void store();
    void rowsChanged(int countBefore);
    QString label(int row) const;

    Settings *m_settings;
    QList<Entry> m_entries;
    Box m_current;
    std::function<QString(const QString &)> m_refusal;
    // Kept apart from the filter's row count: a view learns of its own rows only once shown.
    int m_notAnsweringCount = 0;
    QSortFilterProxyModel *m_notAnswering;
    QSet<QString> m_warned; // one line for each thing wrong in the store, however often it is read
};
