// SPDX-License-Identifier: Apache-2.0
#include "KeyRepeatFilter.h"

#include <QCoreApplication>
#include <QKeyEvent>

namespace {

constexpr qint64 kLatePressMs = 1000;

bool isSeekKey(const QKeyEvent *event)
{
    return event->key() == Qt::Key_Left || event->key() == Qt::Key_Right;
}

// The same key with the same modifiers, not flagged as a repeat: what may pair with a release.
bool sameStroke(const QKeyEvent &press, const QKeyEvent &release)
{
    return press.key() == release.key() && press.modifiers() == release.modifiers() && !press.isAutoRepeat();
}

std::unique_ptr<QKeyEvent> copyOf(const QKeyEvent &event, bool repeat)
{
    auto copy = std::make_unique<QKeyEvent>(event.type(), event.key(), event.modifiers(), event.nativeScanCode(),
                                            event.nativeVirtualKey(), event.nativeModifiers(), event.text(), repeat,
                                            event.count(), event.device());
    copy->setTimestamp(event.timestamp());
    return copy;
}

} // namespace

KeyRepeatFilter::KeyRepeatFilter(QObject *parent)
    : QObject(parent)
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(kPairWindowMs);
    connect(&m_timer, &QTimer::timeout, this, &KeyRepeatFilter::flush);
}

KeyRepeatFilter::~KeyRepeatFilter() = default;

bool KeyRepeatFilter::eventFilter(QObject *watched, QEvent *event)
{
    if (m_delivering)
        return false;
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        break;
    case QEvent::ShortcutOverride:
        // Qt matches shortcuts before the window sees the press, so a held release must go
        // out now, or the shortcut's key would overtake it. Only a press of the same key may
        // still pair with it, and it comes to the window next: no shortcut uses Left or Right.
        if (m_held && !sameStroke(*static_cast<const QKeyEvent *>(event), *m_held))
            flush();
        return false;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::TouchBegin:
    case QEvent::TabletPress:
    case QEvent::FocusAboutToChange:
    case QEvent::FocusOut:
        // A pointer press or a focus change may act before the release would: decide it first.
        // A window losing focus still has its focused item then, so the release reaches it.
        if (m_held)
            flush();
        return false;
    default:
        return false;
    }
    auto *window = qobject_cast<QWindow *>(watched);
    if (!window)
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);

    if (m_held) {
        const bool pairs = event->type() == QEvent::KeyPress && window == m_window && key->key() == m_held->key()
            && !key->isAutoRepeat() && key->timestamp() >= m_held->timestamp()
            && key->timestamp() - m_held->timestamp() <= kPairGapMs;
        if (pairs) {
            m_timer.stop();
            const std::unique_ptr<QKeyEvent> release = std::move(m_held);
            deliver(window, *release, true);
            deliver(window, *key, true);
            return true;
        }
        // Anything else keeps its order behind the held release.
        flush();
    }

    if (!isSeekKey(key) || key->isAutoRepeat())
        return false;
    if (event->type() == QEvent::KeyRelease) {
        m_held = copyOf(*key, false);
        m_window = window;
        m_timer.start();
        return true;
    }
    // A press too late for the window, but with the timestamp of the release just let
    // through, is still the second half of a repeat pair.
    if (key->key() == m_lastKey && key->timestamp() == m_lastTimestamp && m_lastTimestamp != 0 && m_lastAt.isValid()
        && !m_lastAt.hasExpired(kLatePressMs)) {
        deliver(window, *key, true);
        return true;
    }
    return false;
}

void KeyRepeatFilter::flush()
{
    m_timer.stop();
    if (!m_held)
        return;
    const std::unique_ptr<QKeyEvent> release = std::move(m_held);
    m_lastKey = release->key();
    m_lastTimestamp = release->timestamp();
    m_lastAt.start();
    if (m_window)
        deliver(m_window, *release, false);
}

void KeyRepeatFilter::deliver(QWindow *window, const QKeyEvent &event, bool repeat)
{
    const std::unique_ptr<QKeyEvent> copy = copyOf(event, repeat);
    m_delivering = true;
    QCoreApplication::sendEvent(window, copy.get());
    m_delivering = false;
}
