// SPDX-License-Identifier: Apache-2.0
#include "RememberedDevices.h"

#include "HostAddress.h"
#include "ImgrMsg.h"
#include "Settings.h"

#include <QSortFilterProxyModel>

namespace {

bool sameBox(const RememberedDevices::Entry &entry, const QString &ip, const QString &id)
{
    if (!id.isEmpty() && entry.id == id)
        return true;
    return (id.isEmpty() || entry.id.isEmpty()) && entry.ip == ip;
}

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
    load();
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
        return entry.name;
    case LabelRole:
        return label(index.row());
    case IpRole:
        return entry.ip;
    case DeviceIdRole:
        return entry.id;
    case CurrentRole:
        return index.row() == m_current;
    case AnsweringRole:
        return entry.answering;
    case RowRole:
        return index.row();
    default:
        return {};
    }
}

QHash<int, QByteArray> RememberedDevices::roleNames() const
{
    return {
        { NameRole, QByteArrayLiteral("name") },       { LabelRole, QByteArrayLiteral("label") },
        { IpRole, QByteArrayLiteral("ip") },           { DeviceIdRole, QByteArrayLiteral("deviceId") },
        { CurrentRole, QByteArrayLiteral("current") }, { AnsweringRole, QByteArrayLiteral("answering") },
        { RowRole, QByteArrayLiteral("row") },
    };
}

QObject *RememberedDevices::notAnswering() const
{
    return m_notAnswering;
}

int RememberedDevices::rowOf(const QString &ip, const QString &id) const
{
    for (int row = 0; row < count(); ++row) {
        if (sameBox(m_entries.at(row), ip, id))
            return row;
    }
    return -1;
}

void RememberedDevices::forget(int row)
{
    if (row < 0 || row >= count())
        return;
    beginRemoveRows(QModelIndex(), row, row);
    m_entries.removeAt(row);
    if (m_current == row)
        m_current = -1;
    else if (m_current > row)
        --m_current;
    endRemoveRows();
    emit countChanged();
    // Labels that told two equal names apart by their addresses may no longer need to.
    if (count() > 0)
        emit dataChanged(index(0), index(count() - 1), { LabelRole });
    store();
}

void RememberedDevices::remember(const QString &ip, const QString &name, const QString &id)
{
    // Row by row rather than a reset, so that the menu keeps its items (a switch stays instant).
    QList<int> matches;
    for (int row = 0; row < count(); ++row) {
        if (sameBox(m_entries.at(row), ip, id))
            matches.append(row);
    }
    const int before = count();
    bool answering = false;
    for (qsizetype i = matches.size() - 1; i >= 1; --i) {
        answering = answering || m_entries.at(matches[i]).answering;
        beginRemoveRows(QModelIndex(), matches[i], matches[i]);
        m_entries.removeAt(matches[i]);
        endRemoveRows();
    }
    if (matches.isEmpty()) {
        beginInsertRows(QModelIndex(), 0, 0);
        m_entries.prepend({});
        endInsertRows();
    } else if (matches.first() > 0) {
        beginMoveRows(QModelIndex(), matches.first(), matches.first(), QModelIndex(), 0);
        m_entries.move(matches.first(), 0);
        endMoveRows();
    }
    Entry &entry = m_entries.first();
    entry = { id, name, ip, entry.answering || answering };
    while (count() > kMax) {
        beginRemoveRows(QModelIndex(), count() - 1, count() - 1);
        m_entries.removeLast();
        endRemoveRows();
    }
    m_current = 0;
    emit dataChanged(index(0), index(count() - 1));
    if (count() != before)
        emit countChanged();
    store();
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

void RememberedDevices::heard(const QString &id, const QString &ip, const std::function<bool()> &usable)
{
    bool moved = false;
    for (int row = 0; row < count(); ++row) {
        Entry &entry = m_entries[row];
        if (!sameBox(entry, ip, id))
            continue;
        QList<int> roles;
        if (!entry.answering) {
            entry.answering = true;
            roles.append(AnsweringRole);
        }
        // The current box moves only when the follower finds it, as its keys are unanswered.
        if (!id.isEmpty() && entry.id == id && entry.ip != ip && row != m_current && usable()) {
            entry.ip = ip;
            roles << IpRole << LabelRole;
            moved = true;
        }
        if (!roles.isEmpty())
            emit dataChanged(index(row), index(row), roles);
    }
    if (moved)
        store();
}

void RememberedDevices::load()
{
    const std::optional<QList<QVariantMap>> stored = m_settings->rememberedDevices();
    const QString currentIp = m_settings->lastDeviceIp();
    const QString currentId = m_settings->lastDeviceId();
    if (!stored) {
        // A store from before the list: its one box, if it has a usable one.
        if (hostaddress::refusal(currentIp, {}).isEmpty())
            m_entries.append({ currentId, m_settings->lastDeviceName(), currentIp });
    } else {
        for (int i = 0; i < stored->size() && m_entries.size() < kMax; ++i) {
            const QVariantMap &box = stored->at(i);
            const QVariant id = box.value(QStringLiteral("id"));
            const QVariant name = box.value(QStringLiteral("name"));
            const QVariant ip = box.value(QStringLiteral("ip"));
            QString problem;
            if (!isText(id) || !isText(name) || !isText(ip))
                problem = QStringLiteral("not text");
            else
                problem = hostaddress::refusal(ip.toString(), {});
            if (problem.isEmpty() && rowOf(ip.toString(), id.toString()) >= 0)
                problem = QStringLiteral("the same box as an entry before it");
            if (!problem.isEmpty()) {
                qWarning("Ignoring remembered device %d: %s", i + 1, qUtf8Printable(problem));
                continue;
            }
            m_entries.append({ id.toString(), name.toString(), ip.toString() });
        }
    }
    m_current = currentIp.isEmpty() ? -1 : rowOf(currentIp, currentId);
}

void RememberedDevices::store()
{
    QList<QVariantMap> boxes;
    for (const Entry &entry : std::as_const(m_entries))
        boxes.append({ { QStringLiteral("id"), entry.id },
                       { QStringLiteral("name"), entry.name },
                       { QStringLiteral("ip"), entry.ip } });
    m_settings->setRememberedDevices(boxes);
}

QString RememberedDevices::label(int row) const
{
    const auto shown = [this](int at) {
        const QString name = imgr::shownName(m_entries.at(at).name);
        return name.isEmpty() ? tr("(unnamed)") : name;
    };
    const QString name = shown(row);
    for (int other = 0; other < count(); ++other) {
        if (other != row && shown(other) == name)
            return tr("%1 (%2)").arg(name, m_entries.at(row).ip);
    }
    return name;
}
