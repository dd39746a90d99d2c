// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "BrpDiscover.h"
#include "ImgrMsg.h"
#include "ReplyFeed.h"

#include <QFutureWatcher>
#include <QList>
#include <QMutex>
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

    // From refresh() until the sweep's end has been announced here: a refresh() in between,
    // once the sweep's thread is done, must not start another one over its last replies.
    bool isScanning() const { return m_scanning; }
    QString problem() const { return m_problem; }
    const ReplyFeed *feed() const { return &m_feed; }
    // Starts a sweep unless one is running.
    Q_INVOKABLE void refresh();

    // Replies with this id reach feed() even once the sweep's list is full: the box being
    // looked for. Empty for none; a running sweep sees the change at once.
    void setWantedId(const QString &id);
    // How long each sweep listens (brp::kSweepMs unless a test wants less).
    void setListenMs(unsigned int ms) { m_listenMs = ms; }
    // Why a sweep cannot work, as the picker and the command-line tool say it; "" for None.
    static QString problemText(brp::SweepProblem problem);

signals:
    void scanningChanged();
    void finished(const QList<imgr::ImgrMsg> &devices);

private slots:
    void onWatcherFinished();

private:
    // What a sweep ends with: its list and why it could not work.
    struct Result
    {
        QList<imgr::ImgrMsg> devices;
        brp::SweepProblem problem = brp::SweepProblem::None;
    };

    // On the sweep's thread: keeps a read pass's replies until this thread takes them.
    void post(const QList<brp::Reply> &replies);
    bool isWanted(const imgr::ImgrMsg &msg) const; // with m_inboxMutex held
    void takeReplies();
    void setProblem(brp::SweepProblem problem);

    DeviceIdentity *m_identity;
    QFutureWatcher<void> m_watcher;
    std::atomic<bool> m_stop;
    bool m_scanning = false;
    unsigned int m_listenMs;
    QString m_problem;
    ReplyFeed m_feed;
    // Shared with the sweep's thread. Replies and the result wait here rather than in the
    // future, which would keep all of them until the next sweep: each is freed once handed on.
    QMutex m_inboxMutex;
    QList<brp::Reply> m_inbox;
    bool m_takeQueued = false;
    Result m_result;
    QString m_wantedId;
};
