// SPDX-License-Identifier: Apache-2.0
#include "LocalNetworks.h"

#include <QSocketNotifier>

#include <algorithm>

#if defined(Q_OS_LINUX)
#include <cerrno>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>
#include <unistd.h>
#define FALQUIN_ROUTE_WATCH
#elif defined(Q_OS_DARWIN)
#include <cerrno>
#include <fcntl.h>
#include <net/route.h>
#include <sys/socket.h>
#include <unistd.h>
#define FALQUIN_ROUTE_WATCH
#endif

namespace {

bool sameInterfaces(const QList<network::InterfaceInfo> &a, const QList<network::InterfaceInfo> &b)
{
    return std::equal(a.cbegin(), a.cend(), b.cbegin(), b.cend(), [](const auto &x, const auto &y) {
        return x.name == y.name && x.flags == y.flags && x.entries == y.entries;
    });
}

} // namespace

// The system's notices of address and link changes, read without waiting.
class LocalNetworks::Watch
{
public:
    Watch()
    {
#if defined(Q_OS_LINUX)
        m_fd = ::socket(AF_NETLINK, SOCK_RAW | SOCK_NONBLOCK | SOCK_CLOEXEC, NETLINK_ROUTE);
        if (m_fd < 0)
            return;
        sockaddr_nl local {};
        local.nl_family = AF_NETLINK;
        local.nl_groups = RTMGRP_LINK | RTMGRP_IPV4_IFADDR | RTMGRP_IPV6_IFADDR;
        if (::bind(m_fd, reinterpret_cast<sockaddr *>(&local), sizeof local) != 0) {
            ::close(m_fd);
            m_fd = -1;
        }
#elif defined(Q_OS_DARWIN)
        m_fd = ::socket(PF_ROUTE, SOCK_RAW, AF_UNSPEC);
        if (m_fd >= 0 && ::fcntl(m_fd, F_SETFL, ::fcntl(m_fd, F_GETFL) | O_NONBLOCK) != 0) {
            ::close(m_fd);
            m_fd = -1;
        }
#endif
    }

    ~Watch()
    {
#if defined(FALQUIN_ROUTE_WATCH)
        if (m_fd >= 0)
            ::close(m_fd);
#endif
    }

    bool isValid() const
    {
        return m_fd >= 0;
    }
    int descriptor() const
    {
        return m_fd;
    }

    // Whether any notice came since the last call; reads them all. A notice the system had to
    // drop (its buffer overflowed) counts as one.
    bool drain()
    {
        bool any = false;
#if defined(FALQUIN_ROUTE_WATCH)
        char buffer[8192];
        for (;;) {
            const ssize_t got = ::recv(m_fd, buffer, sizeof buffer, 0);
            if (got > 0) {
                any = true;
                continue;
            }
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
                any = true;
            break;
        }
#endif
        return any;
    }

private:
    int m_fd = -1;
};

LocalNetworks::LocalNetworks(Reader reader, bool watched, QObject *parent)
    : QObject(parent)
    , m_reader(std::move(reader))
{
    if (!watched)
        return;
    m_watch = std::make_unique<Watch>();
    if (!m_watch->isValid()) {
        m_watch.reset();
        return;
    }
    // Also while nothing is sent, so that whoever shows what the rule allows can follow.
    auto *notifier = new QSocketNotifier(qintptr(m_watch->descriptor()), QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [this] {
        if (!m_watch->drain())
            return;
        const quint64 before = m_generation;
        m_stale = true;
        readIfStale();
        if (m_generation != before)
            emit changed();
    });
}

LocalNetworks::~LocalNetworks() = default;

const QList<network::InterfaceInfo> &LocalNetworks::current()
{
    readIfStale();
    return m_interfaces;
}

quint64 LocalNetworks::generation()
{
    readIfStale();
    return m_generation;
}

void LocalNetworks::readIfStale()
{
    // Without the system's notices nothing says the last read still holds.
    if (!m_watch || m_watch->drain())
        m_stale = true;
    if (!m_stale)
        return;
    m_stale = false;
    QList<network::InterfaceInfo> now = m_reader();
    if (m_generation > 0 && sameInterfaces(now, m_interfaces))
        return;
    m_interfaces = std::move(now);
    ++m_generation;
}
