// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP into QCoreApplication::quit(), so the event loop ends
// normally and the scene can still settle what it owes the box (a held seek's "up").
// The handler only writes a byte to a pipe; the notifier reads it on the event loop.
// One instance per process. Where there are no POSIX signals it does nothing.
class QuitSignals : public QObject
{
    Q_OBJECT

public:
    explicit QuitSignals(QObject *parent = nullptr);
    ~QuitSignals() override;

private:
#if defined(Q_OS_UNIX)
    void onSignal();

    QSocketNotifier *m_notifier = nullptr;
#endif
};
