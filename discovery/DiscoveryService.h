// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "ImgrMsg.h"

#include <QFutureWatcher>
#include <QList>
#include <QObject>

#include <atomic>

class DeviceIdentity;

// Runs one discovery sweep at a time on the global thread pool and hands its list back on this thread.
class DiscoveryService : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool scanning READ isScanning NOTIFY scanningChanged)

public:
    // identity must outlive the service.
    explicit DiscoveryService(DeviceIdentity *identity, QObject *parent = nullptr);
    // Stops a running sweep and waits for it; emits nothing.
    ~DiscoveryService() override;

    bool isScanning() const;
    // Starts a sweep unless one is running.
    Q_INVOKABLE void refresh();

signals:
    void scanningChanged();
    void finished(const QList<imgr::ImgrMsg> &devices);

private slots:
    void onWatcherFinished();

private:
    DeviceIdentity *m_identity;
    QFutureWatcher<QList<imgr::ImgrMsg>> m_watcher;
    std::atomic<bool> m_stop;
};
