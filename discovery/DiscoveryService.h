// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "BrpDiscover.h"
#include "ImgrMsg.h"

#include <QFutureWatcher>
#include <QList>
#include <QObject>
#include <QString>

#include <atomic>

class DeviceIdentity;

// Runs one discovery sweep at a time on the global thread pool and hands its list back on this thread.
class DiscoveryService : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool scanning READ isScanning NOTIFY scanningChanged)
    // Why the last sweep could not work (no port, no network); empty when it could.
    Q_PROPERTY(QString problem READ problem NOTIFY problemChanged)

public:
    // identity must outlive the service.
    explicit DiscoveryService(DeviceIdentity *identity, QObject *parent = nullptr);
    // Stops a running sweep and waits for it; emits nothing.
    ~DiscoveryService() override;

    bool isScanning() const;
    QString problem() const { return m_problem; }
    // Starts a sweep unless one is running.
    Q_INVOKABLE void refresh();

signals:
    void scanningChanged();
    void finished(const QList<imgr::ImgrMsg> &devices);
    void problemChanged();

private slots:
    void onWatcherFinished();

private:
    struct Outcome
    {
        QList<imgr::ImgrMsg> devices;
        brp::SweepProblem problem = brp::SweepProblem::None;
    };

    DeviceIdentity *m_identity;
    QFutureWatcher<Outcome> m_watcher;
    std::atomic<bool> m_stop;
    QString m_problem;
};
