// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWindow>

#include <memory>

class QKeyEvent;

// Marks the system's auto-repeat of Left and Right as such, even when the platform
// does not. X11 repeats a held key as a release and a press sharing one timestamp,
// and under load Qt does not always flag the pair. An unflagged release of these
// keys is held back for a few milliseconds: a press of the same key that carries
// the release's timestamp, or follows within that time and at most kPairGapMs later
// by timestamp, turns both into flagged repeats; otherwise the release goes on as
// it came. A later key (a shortcut is matched before the window sees its press), a
// pointer press or a focus change lets a held release go at once, so that events keep
// the order in which they were made. Install on the application.
class KeyRepeatFilter : public QObject
{
    Q_OBJECT

public:
    // How long a release waits for the press of a repeat pair.
    static constexpr int kPairWindowMs = 10;
    // How far apart by timestamp a pair may lie when the timestamps differ. Two real
    // strokes of one key, even scripted ones, lie further apart.
    static constexpr quint64 kPairGapMs = 2;

    explicit KeyRepeatFilter(QObject *parent = nullptr);
    ~KeyRepeatFilter() override;

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void flush();
    void deliver(QWindow *window, const QKeyEvent &event, bool repeat);

    QTimer m_timer;
    QPointer<QWindow> m_window;
    std::unique_ptr<QKeyEvent> m_held; // the release being held back
    // The last release let through: a late press carrying its timestamp is still a repeat.
    int m_lastKey = 0;
    quint64 m_lastTimestamp = 0;
    QElapsedTimer m_lastAt;
    bool m_delivering = false;
};
