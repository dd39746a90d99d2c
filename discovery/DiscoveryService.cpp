// SPDX-License-Identifier: Apache-2.0
#include "DiscoveryService.h"

#include "DeviceIdentity.h"

#include <QHostAddress>
#include <QMutexLocker>
#include <QNetworkProxy>
#include <QThreadPool>
#include <QUdpSocket>
#include <QtConcurrent/QtConcurrentRun>

#include <utility>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {

constexpr quint32 DISCOVER_TIMEOUT_MS = brp::kSweepMs;
// Replies waiting for a GUI thread that falls behind a flood; past this, updates of boxes
// already listed are dropped (the sweep's list settles them at its end), never the wanted box.
constexpr qsizetype kMaxWaiting = 4 * brp::kMaxDevices;

// What the sweep will find out at its start, asked here so the picker can say it at once.
brp::SweepProblem foreseenProblem()
{
    QUdpSocket probe;
    probe.setProxy(QNetworkProxy::NoProxy);
    if (!probe.bind(QHostAddress::AnyIPv4, brp::kDiscoveryPort,
                    QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint))
        return brp::SweepProblem::PortUnavailable;
    if (brp::buildTargets(network::localInterfaces()).isEmpty())
        return brp::SweepProblem::NoNetwork;
    return brp::SweepProblem::None;
}

} // namespace

DiscoveryService::DiscoveryService(DeviceIdentity *identity, QObject *parent)
    : QObject(parent)
    , m_identity(identity)
    , m_stop(false)
    , m_listenMs(DISCOVER_TIMEOUT_MS)
{
    imgr::registerMetaTypes();
    connect(&m_watcher, &QFutureWatcherBase::finished, this, &DiscoveryService::onWatcherFinished);
}

DiscoveryService::~DiscoveryService()
{
    m_stop.store(true);
    // Nothing may reach the (half-destroyed) service any more, whatever the sweep returns.
    m_watcher.disconnect(this);
    m_watcher.waitForFinished();
}

void DiscoveryService::refresh()
{
    if (m_scanning)
        return;
    m_scanning = true;
    m_stop.store(false);
    setProblem(foreseenProblem());
    m_watcher.setFuture(QtConcurrent::run(
        QThreadPool::globalInstance(),
        [this](const QByteArray &id, unsigned int listenMs, std::atomic<bool> *stop) {
            brp::SweepHooks hooks;
            hooks.replies = [this](const QList<brp::Reply> &replies) { post(replies); };
            hooks.wanted = [this](const imgr::ImgrMsg &msg) {
                const QMutexLocker lock(&m_inboxMutex);
                return isWanted(msg);
            };
            Result result;
            result.devices = brp::brpDiscover(id, DeviceIdentity::clientName(), listenMs, stop,
                                              QHostAddress(QHostAddress::Broadcast), &result.problem, hooks);
            const QMutexLocker lock(&m_inboxMutex);
            m_result = std::move(result);
        },
        m_identity->deviceIdBytes(), m_listenMs, &m_stop));
    emit scanningChanged();
}

void DiscoveryService::setWantedId(const QString &id)
{
    const QMutexLocker lock(&m_inboxMutex);
    m_wantedId = id;
}

bool DiscoveryService::isWanted(const imgr::ImgrMsg &msg) const
{
    return !m_wantedId.isEmpty() && imgr::ImgrMsg::trimmed(msg.deviceId) == m_wantedId;
}

void DiscoveryService::post(const QList<brp::Reply> &replies)
{
    const QMutexLocker lock(&m_inboxMutex);
    for (const brp::Reply &reply : replies) {
        if (m_inbox.size() < kMaxWaiting || isWanted(reply.msg))
            m_inbox.append(reply);
    }
    // One wake-up for however many passes arrive before this thread gets to them: many boxes
    // answering at once arrive in a few batches, not one event each. It is queued before the
    // sweep's end, so every reply is handed on before finished.
    if (m_inbox.isEmpty() || m_takeQueued)
        return;
    m_takeQueued = true;
    QMetaObject::invokeMethod(this, &DiscoveryService::takeReplies, Qt::QueuedConnection);
}

void DiscoveryService::takeReplies()
{
    QList<brp::Reply> replies;
    {
        const QMutexLocker lock(&m_inboxMutex);
        replies.swap(m_inbox);
        m_takeQueued = false;
    }
    emit m_feed.arrived(replies);
}

QString DiscoveryService::problemText(brp::SweepProblem problem)
{
    switch (problem) {
    case brp::SweepProblem::PortUnavailable:
        return tr("UDP port %1 is taken by another program").arg(brp::kDiscoveryPort);
    case brp::SweepProblem::NoNetwork:
        return tr("no network to search");
    case brp::SweepProblem::None:
        break;
    }
    return {};
}

void DiscoveryService::setProblem(brp::SweepProblem problem)
{
    m_problem = problemText(problem);
}

void DiscoveryService::onWatcherFinished()
{
    // Nothing of the sweep stays behind once it is announced. A sweep that ended without its
    // result (it threw) reports an empty list.
    Result result;
    {
        const QMutexLocker lock(&m_inboxMutex);
        result = std::exchange(m_result, Result());
    }
    m_scanning = false;
    // Settled before the end is announced, so the picker never shows a stale reason.
    setProblem(result.problem);
    emit finished(result.devices);
    emit scanningChanged();
#if defined(__GLIBC__)
    // A flood leaves megabytes of freed heap in the sweep thread's arena, which glibc would
    // otherwise keep; once a sweep, it costs nothing to notice.
    malloc_trim(0);
#endif
}
