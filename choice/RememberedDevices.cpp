// SPDX-License-Identifier: Apache-2.0
#include "RememberedDevices.h"

#include "HostAddress.h"
#include "ImgrMsg.h"
#include "Settings.h"

#include <QSortFilterProxyModel>

#include <algorithm>

namespace {

bool isText(const QVariant &value)
{
    return !value.isValid() || value.typeId() == QMetaType::QString;
}

} // namespace

RememberedDevices::RememberedDevices(Settings *settings, QObject *parent)
    : QAbstractListModel(parent)
    , m_settings(settings)
    , m_notAnswering(new QSortFilterProxyModel(this))
{
    m_notAnswering->setSourceModel(this);
    m_notAnswering->setFilterRole(AnsweringRole);
    m_notAnswering->setFilterFixedString(QStringLiteral("false"));
    const auto recount = [this] {
        const int notAnswering = m_notAnswering->rowCount();
        if (notAnswering == m_notAnsweringCount)
            return;
        m_notAnsweringCount = notAnswering;
        emit notAnsweringCountChanged();
    };
    connect(m_notAnswering, &QAbstractItemModel::rowsInserted, this, recount);
    connect(m_notAnswering, &QAbstractItemModel::rowsRemoved, this, recount);
    connect(m_notAnswering, &QAbstractItemModel::modelReset, this, recount);
    m_entries = read();
    recount();
}

int RememberedDevices::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : count();
}

QVariant RememberedDevices::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.model() != this || index.row() >= count())
        return {};
    const Entry &entry = m_entries.at(index.row());
    switch (role) {
    case NameRole:
        return entry.box.name;
    case LabelRole:
        return label(index.row());
    case IpRole:
        return entry.box.ip;
    case DeviceIdRole:
        return entry.box.id;
    case CurrentRole:
        return !m_current.isNull() && entry.box.sameAs(m_current);
    case AnsweringRole:
        return entry.answering;
    case ShortcutRole:
        return QStringLiteral("Ctrl+%1").arg(index.row() + 1);
    case ChoosableRole:
        return !m_refusal || m_refusal(entry.box.ip).isEmpty();
    default:
        return {};
    }
}

QHash<int, QByteArray> RememberedDevices::roleNames() const
{
    return {
        { NameRole, QByteArrayLiteral("name") },
        { LabelRole, QByteArrayLiteral("label") },
        { IpRole, QByteArrayLiteral("ip") },
        { DeviceIdRole, QByteArrayLiteral("deviceId") },
        { CurrentRole, QByteArrayLiteral("current") },
        { AnsweringRole, QByteArrayLiteral("answering") },
        { ShortcutRole, QByteArrayLiteral("shortcut") },
        { ChoosableRole, QByteArrayLiteral("choosable") },
    };
}

QObject *RememberedDevices::notAnswering() const
{
    return m_notAnswering;
}

bool RememberedDevices::contains(const Box &box) const
{
    return std::any_of(m_entries.cbegin(), m_entries.cend(), [&box](const Entry &e) { return e.box.sameAs(box); });
}

void RememberedDevices::reload()
{
    sync();
}

void RememberedDevices::forget(const QString &ip, const QString &id)
{
    sync();
    const Box gone { id, QString(), ip };
    const int before = count();
    for (int row = count() - 1; row >= 0; --row) {
        if (!m_entries.at(row).box.sameAs(gone))
            continue;
        beginRemoveRows(QModelIndex(), row, row);
        m_entries.removeAt(row);
        endRemoveRows();
    }
    if (count() == before)
        return;
    rowsChanged(before);
    store();
}

void RememberedDevices::remember(const Box &box)
{
    sync();
    const int before = count();
    bool answering = false;
    // Removed and inserted rather than moved: a menu built from the rows keeps their order only so.
    for (int row = count() - 1; row >= 0; --row) {
        if (!m_entries.at(row).box.sameAs(box))
            continue;
        answering = answering || m_entries.at(row).answering;
        beginRemoveRows(QModelIndex(), row, row);
        m_entries.removeAt(row);
        endRemoveRows();
    }
    beginInsertRows(QModelIndex(), 0, 0);
    m_entries.prepend({ box, answering });
    endInsertRows();
    if (count() > kMax) {
        beginRemoveRows(QModelIndex(), kMax, count() - 1);
        m_entries.resize(kMax);
        endRemoveRows();
    }
    rowsChanged(before);
    store();
}

void RememberedDevices::setCurrent(const Box &box)
{
    m_current = box;
    if (count() > 0)
        emit dataChanged(index(0), index(count() - 1), { CurrentRole });
}

void RememberedDevices::refusalsChanged()
{
    if (count() > 0)
        emit dataChanged(index(0), index(count() - 1), { ChoosableRole });
}

void RememberedDevices::sweepStarted()
{
    for (int row = 0; row < count(); ++row) {
        if (!m_entries.at(row).answering)
            continue;
        m_entries[row].answering = false;
        emit dataChanged(index(row), index(row), { AnsweringRole });
    }
}

void RememberedDevices::heard(const Box &box, const std::function<bool()> &usable)
{
    // The current box moves only when the follower finds it, as its keys are unanswered.
    const auto movable = [&](const Entry &entry) {
        return !box.id.isEmpty() && entry.box.id == box.id && entry.box.ip != box.ip
            && !(!m_current.isNull() && entry.box.sameAs(m_current));
    };
    bool move = false;
    for (int row = 0; row < count(); ++row) {
        Entry &entry = m_entries[row];
        if (!entry.box.sameAs(box))
            continue;
        if (!entry.answering) {
            entry.answering = true;
            emit dataChanged(index(row), index(row), { AnsweringRole });
        }
        move = move || movable(entry);
    }
    // Only a move is written, so the list is read again only then, not at every reply.
    if (!move || !usable())
        return;
    sync();
    bool moved = false;
    for (int row = 0; row < count(); ++row) {
        Entry &entry = m_entries[row];
        if (!movable(entry))
            continue;
        entry.box.ip = box.ip;
        entry.answering = true;
        moved = true;
    }
    if (!moved)
        return;
    emit dataChanged(index(0), index(count() - 1), { IpRole, LabelRole, AnsweringRole });
    store();
}

QList<RememberedDevices::Entry> RememberedDevices::read()
{
    const auto warn = [this](const QString &line) {
        if (m_warned.size() < 2 * kMax && !m_warned.contains(line)) {
            m_warned.insert(line);
            qWarning("%s", qUtf8Printable(line));
        }
    };
    QList<Entry> entries;
    qint64 passedOver = 0;
    const std::optional<QList<QVariantMap>> stored = m_settings->rememberedDevices(kMax, &passedOver);
    if (!stored) {
        // A store from before the list: its one box, if it has a usable one.
        const Box box { m_settings->lastDeviceId(), m_settings->lastDeviceName(), m_settings->lastDeviceIp() };
        if (hostaddress::refusal(box.ip, {}).isEmpty())
            entries.append({ box });
        return entries;
    }
    if (passedOver > 0)
        warn(QStringLiteral("Ignoring %1 remembered devices after the first %2").arg(passedOver).arg(kMax));
    for (int i = 0; i < stored->size(); ++i) {
        const QVariantMap &map = stored->at(i);
        const QVariant id = map.value(QStringLiteral("id"));
        const QVariant name = map.value(QStringLiteral("name"));
        const QVariant ip = map.value(QStringLiteral("ip"));
        QString problem;
        if (!isText(id) || !isText(name) || !isText(ip))
            problem = QStringLiteral("not text");
        else
            problem = hostaddress::refusal(ip.toString(), {});
        const Box box { id.toString(), name.toString(), ip.toString() };
        if (problem.isEmpty()
            && std::any_of(entries.cbegin(), entries.cend(), [&box](const Entry &e) { return e.box.sameAs(box); }))
            problem = QStringLiteral("the same box as an entry before it");
        if (!problem.isEmpty()) {
            warn(QStringLiteral("Ignoring remembered device %1: %2").arg(i + 1).arg(problem));
            continue;
        }
        entries.append({ box });
    }
    return entries;
}

void RememberedDevices::sync()
{
    QList<Entry> stored = read();
    const bool same = std::equal(stored.cbegin(), stored.cend(), m_entries.cbegin(), m_entries.cend(),
                                 [](const Entry &a, const Entry &b) { return a.box == b.box; });
    if (same)
        return;
    // What this window heard of each box still holds.
    for (Entry &entry : stored) {
        entry.answering = std::any_of(m_entries.cbegin(), m_entries.cend(),
                                      [&entry](const Entry &e) { return e.answering && e.box.sameAs(entry.box); });
    }
    const int before = count();
    beginResetModel();
    m_entries = std::move(stored);
    endResetModel();
    if (count() != before)
        emit countChanged();
}

void RememberedDevices::store()
{
    QList<QVariantMap> boxes;
    for (const Entry &entry : std::as_const(m_entries))
        boxes.append({ { QStringLiteral("id"), entry.box.id },
                       { QStringLiteral("name"), entry.box.name },
                       { QStringLiteral("ip"), entry.box.ip } });
    m_settings->setRememberedDevices(boxes);
}

void RememberedDevices::rowsChanged(int countBefore)
{
    // Positions, and labels that tell equal names apart by their addresses, follow the rows.
    if (count() > 0)
        emit dataChanged(index(0), index(count() - 1), { LabelRole, ShortcutRole, CurrentRole });
    if (count() != countBefore)
        emit countChanged();
}

QString RememberedDevices::label(int row) const
{
    const auto shown = [this](int at) { return Box::label(m_entries.at(at).box.name); };
    const QString name = shown(row);
    for (int other = 0; other < count(); ++other) {
        if (other != row && shown(other) == name)
            return tr("%1 (%2)").arg(name, m_entries.at(row).box.ip);
    }
    return name;
}
