// SPDX-License-Identifier: Apache-2.0
#include "DiscoveryService.h"

#include "DeviceIdentity.h"

#include <QHostAddress>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>

namespace {
constexpr quint32 kDiscoverTimeoutMs = 8000;
const QByteArray kClientName = QByteArrayLiteral("Falquin");
} // namespace

DiscoveryService::DiscoveryService(DeviceIdentity *identity, QObject *parent)
    : QObject(parent)
    , m_identity(identity)
    , m_stop(false)
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

bool DiscoveryService::isScanning() const
{
    return m_watcher.isRunning();
}

void DiscoveryService::refresh()
{
    if (isScanning())
        return;
    m_stop.store(false);
    m_watcher.setFuture(
        QtConcurrent::run(QThreadPool::globalInstance(), [id = m_identity->deviceIdBytes(), stop = &m_stop] {
            Outcome outcome;
            outcome.devices = brp::brpDiscover(id, kClientName, kDiscoverTimeoutMs, stop,
                                               QHostAddress(QHostAddress::Broadcast), &outcome.problem);
            return outcome;
        }));
    emit scanningChanged();
}

void DiscoveryService::onWatcherFinished()
{
    // A sweep that ended without a result (it threw) reports an empty list rather than rethrowing here.
    const QFuture<Outcome> future = m_watcher.future();
    const Outcome outcome = future.resultCount() > 0 ? future.resultAt(0) : Outcome();
    QString problem;
    if (outcome.problem == brp::SweepProblem::PortUnavailable)
        problem = tr("UDP port %1 is taken by another program").arg(brp::kDiscoveryPort);
    else if (outcome.problem == brp::SweepProblem::NoNetwork)
        problem = tr("no network to search");
    // Set before the end is announced, so the picker never shows a stale reason.
    if (problem != m_problem) {
        m_problem = problem;
        emit problemChanged();
    }
    emit finished(outcome.devices);
    emit scanningChanged();
}
