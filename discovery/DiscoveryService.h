// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "BrpDiscover.h"
#include "ImgrMsg.h"
#include "ReplyFeed.h"

#include <QFutureWatcher>
#include <QList>
#include <QObject>
#include <QString>

#include <atomic>

class DeviceIdentity;

// Runs one discovery sweep at a time on the global thread pool and hands its replies back on
// this thread: each as it arrives (feed()), and the whole list when the sweep ends (finished).
class DiscoveryService : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool scanning READ isScanning NOTIFY scanningChanged)
    // Why the sweep cannot work (no port, no network); empty when it can. Known as the sweep
    // starts and settled as it ends, so both edges of scanning announce it.
    Q_PROPERTY(QString problem READ problem NOTIFY scanningChanged)

public:
    // identity must outlive the service.
    explicit DiscoveryService(DeviceIdentity *identity, QObject *parent = nullptr);
    // Stops a running sweep and waits for it; emits nothing.
    ~DiscoveryService() override;

    bool isScanning() const;
    QString problem() const { return m_problem; }
    const ReplyFeed *feed() const { return &m_feed; }
    // Starts a sweep unless one is running.
    Q_INVOKABLE void refresh();

signals:
    void scanningChanged();
    void finished(const QList<imgr::ImgrMsg> &devices);

private slots:
    void onWatcherFinished();

private:
    // What the sweep's thread hands over: a read pass's replies, or, last, the sweep's end.
    struct Batch
    {
        QList<brp::Reply> replies;
        bool last = false;
        QList<imgr::ImgrMsg> devices;
        brp::SweepProblem problem = brp::SweepProblem::None;
    };

    void onResultsReady(int begin, int end);
    void setProblem(brp::SweepProblem problem);

    DeviceIdentity *m_identity;
    QFutureWatcher<Batch> m_watcher;
    std::atomic<bool> m_stop;
    QString m_problem;
    ReplyFeed m_feed;
};
