// SPDX-License-Identifier: Apache-2.0
#include "DiscoveryService.h"

#include "DeviceIdentity.h"

#include <QHostAddress>
#include <QNetworkProxy>
#include <QPromise>
#include <QThreadPool>
#include <QUdpSocket>
#include <QtConcurrent/QtConcurrentRun>

namespace {

constexpr quint32 DISCOVER_TIMEOUT_MS = 8000;

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
{
    imgr::registerMetaTypes();
    connect(&m_watcher, &QFutureWatcherBase::finished, this, &DiscoveryService::onWatcherFinished);
    connect(&m_watcher, &QFutureWatcherBase::resultsReadyAt, this, &DiscoveryService::onResultsReady);
}

DiscoveryService::~DiscoveryService()
{
    m_stop.store(true);
    // Nothing may reach the (half-destroyed) service any more, whatever the sweep returns.
    m_watcher.disconnect(this);
    m_watcher.waitForFinished();
}

bool DiscoveryService::isScanning() const
{
    return m_watcher.isRunning();
}

void DiscoveryService::refresh()
{
    if (isScanning())
        return;
    m_stop.store(false);
    setProblem(foreseenProblem());
    // One result per read pass that accepted anything: many boxes answering at once arrive in
    // a few batches, not one event each.
    m_watcher.setFuture(QtConcurrent::run(
        QThreadPool::globalInstance(),
        [](QPromise<Batch> &promise, const QByteArray &id, std::atomic<bool> *stop) {
            brp::SweepHooks hooks;
            hooks.replies = [&promise](const QList<brp::Reply> &replies) {
                Batch batch;
                batch.replies = replies;
                promise.addResult(std::move(batch));
            };
            Batch last;
            last.last = true;
            last.devices = brp::brpDiscover(id, DeviceIdentity::clientName(), DISCOVER_TIMEOUT_MS, stop,
                                            QHostAddress(QHostAddress::Broadcast), &last.problem, hooks);
            promise.addResult(std::move(last));
        },
        m_identity->deviceIdBytes(), &m_stop));
    emit scanningChanged();
}

void DiscoveryService::onResultsReady(int begin, int end)
{
    const QFuture<Batch> future = m_watcher.future();
    for (int i = begin; i < end; ++i) {
        const Batch batch = future.resultAt(i);
        if (!batch.replies.isEmpty())
            emit m_feed.arrived(batch.replies);
    }
}

void DiscoveryService::setProblem(brp::SweepProblem problem)
{
    if (problem == brp::SweepProblem::PortUnavailable)
        m_problem = tr("UDP port %1 is taken by another program").arg(brp::kDiscoveryPort);
    else if (problem == brp::SweepProblem::NoNetwork)
        m_problem = tr("no network to search");
    else
        m_problem.clear();
}

void DiscoveryService::onWatcherFinished()
{
    // A sweep that ended without its last batch (it threw) reports an empty list rather than rethrowing here.
    const QFuture<Batch> future = m_watcher.future();
    const int count = future.resultCount();
    const Batch last = count > 0 && future.resultAt(count - 1).last ? future.resultAt(count - 1) : Batch();
    // Settled before the end is announced, so the picker never shows a stale reason.
    setProblem(last.problem);
    emit finished(last.devices);
    emit scanningChanged();
}
