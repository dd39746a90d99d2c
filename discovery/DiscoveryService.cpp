// SPDX-License-Identifier: Apache-2.0
#include "DiscoveryService.h"

#include "BrpDiscover.h"
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
    m_watcher.setFuture(QtConcurrent::run(QThreadPool::globalInstance(), &brp::brpDiscover, m_identity->deviceIdBytes(),
                                          kClientName, kDiscoverTimeoutMs, &m_stop,
                                          QHostAddress(QHostAddress::Broadcast)));
    emit scanningChanged();
}

void DiscoveryService::onWatcherFinished()
{
    // A sweep that ended without a result (it threw) reports an empty list rather than rethrowing here.
    const QFuture<QList<imgr::ImgrMsg>> future = m_watcher.future();
    const QList<imgr::ImgrMsg> devices = future.resultCount() > 0 ? future.resultAt(0) : QList<imgr::ImgrMsg>();
    emit finished(devices);
    emit scanningChanged();
}
