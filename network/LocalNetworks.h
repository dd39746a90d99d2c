// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "Interfaces.h"

#include <QList>
#include <QObject>

#include <functional>
#include <memory>

// The machine's networks as the address rule sees them, kept between checks and read again only
// when they may have changed: reading them costs tens of microseconds, as much as a key's whole
// round trip. Where the system tells of every address and link change (a netlink socket on Linux,
// a routing socket on macOS), that is asked at each check, so a network that came up a moment ago
// is never missed; elsewhere every check reads them.
class LocalNetworks : public QObject
{
    Q_OBJECT

public:
    using Reader = std::function<QList<network::InterfaceInfo>()>;

    // reader is where the networks are read; tests bring their own, with watched false when the
    // system's change notices say nothing about what it returns.
    explicit LocalNetworks(Reader reader = network::localInterfaces, bool watched = true, QObject *parent = nullptr);
    ~LocalNetworks() override;

    // The networks as they are now.
    const QList<network::InterfaceInfo> &current();
    // Counts the reads that found the networks changed: what was decided on an older count may
    // be decided again.
    quint64 generation();
    // The next check reads them again: something (a sweep starting, a send that failed) says
    // they may have changed in a way no notice tells.
    void invalidate() { m_stale = true; }

signals:
    // A change was noticed while the event loop ran; current() has the new networks.
    void changed();

private:
    class Watch;

    void readIfStale();

    Reader m_reader;
    std::unique_ptr<Watch> m_watch;
    QList<network::InterfaceInfo> m_interfaces;
    quint64 m_generation = 0;
    bool m_stale = true;
};
