// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "BrpDiscover.h"

#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>

#include <functional>
#include <optional>

class DeviceChoice;
class DiscoveryService;
class KeySender;

// Keeps the key sender on the remembered box when the box takes a new address (DHCP): when a
// key sent to the current host goes unanswered, it sweeps for the box's id and switches the
// moment the box answers from a new address of its own. The lost key is never resent, and a box
// with another id is never taken. Every sweep's replies also tell the remembered boxes which of
// them answer, and move one that answers, by the same rule, from a new address.
class DeviceFollower : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool searching READ isSearching NOTIFY searchingChanged)

public:
    // Milliseconds on a clock that never goes back; tests bring their own.
    using Clock = std::function<qint64()>;
    // A box that does not answer is looked for again no sooner than this.
    static constexpr qint64 kSearchIntervalMs = 30000;

    // Follows the box that choice points keySender at, by that box's id, and moves it with
    // choice; all three must outlive it.
    DeviceFollower(KeySender *keySender, DeviceChoice *choice, DiscoveryService *discovery, Clock clock = {},
                   QObject *parent = nullptr);

    bool isSearching() const { return m_searching; }

    // Why a reply that names claimed as its address and came from sender cannot be taken as a
    // box's address on one of these networks; empty when it can.
    static QString refusal(const QString &claimed, const QHostAddress &sender,
                           const QList<network::InterfaceInfo> &interfaces);

    void onUnanswered(const QString &keys, const QString &host);
    void onReplies(const QList<brp::Reply> &replies);

signals:
    void searchingChanged();
    // The box was found at a new address, and everything now points there; message says so.
    void moved(const QString &message);

private:
    void onScanningChanged();
    void onChoiceChanged();
    void setSearching(bool searching);
    void adopt(const imgr::ImgrMsg &reply, const QString &ip);

    KeySender *m_keySender;
    DeviceChoice *m_choice;
    DiscoveryService *m_discovery;
    Clock m_clock;
    bool m_searching = false;
    bool m_adopting = false;
    // A sweep was already running when the search began: its replies from then on count, and a
    // sweep of the search's own follows it.
    bool m_sweepOwed = false;
    QString m_id;
    std::optional<qint64> m_searchedAt;
    QSet<QString> m_warned; // one log line per kind of bad reply and search
};
