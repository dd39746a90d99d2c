// SPDX-License-Identifier: Apache-2.0
#include "KeyInput.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QKeySequence>
#include <QTest>
#include <QWindow>

namespace {

QWindow *asWindow(QObject *object)
{
    auto *window = qobject_cast<QWindow *>(object);
    if (!window)
        qFatal("KeyInput: not a window");
    return window;
}

} // namespace

void KeyInput::press(QObject *window, int key, int modifiers)
{
    QTest::keyPress(asWindow(window), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
}

void KeyInput::release(QObject *window, int key, int modifiers)
{
    QTest::keyRelease(asWindow(window), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
}

void KeyInput::click(QObject *window, int key, int modifiers)
{
    QTest::keyClick(asWindow(window), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
}

void KeyInput::autoRepeat(QObject *window, int key, bool marked)
{
    QWindow *target = asWindow(window);
    if (marked) {
        QTest::simulateEvent(target, false, key, Qt::NoModifier, QString(), true);
        QTest::simulateEvent(target, true, key, Qt::NoModifier, QString(), true);
        return;
    }
    // X11's pair: one timestamp, both read in one batch. The platform path stamps each
    // event with the time it was made and runs the event loop between them, so a slow
    // moment (a sanitizer build) would split the pair; deliver it as X11 does instead.
    static QElapsedTimer clock;
    if (!clock.isValid())
        clock.start();
    const auto timestamp = quint64(clock.elapsed());
    for (const QEvent::Type type : { QEvent::KeyRelease, QEvent::KeyPress }) {
        QKeyEvent event(type, key, Qt::NoModifier);
        event.setTimestamp(timestamp);
        QCoreApplication::sendEvent(target, &event);
    }
    QCoreApplication::processEvents();
}

void KeyInput::type(QObject *window, const QString &text)
{
    QWindow *target = asWindow(window);
    for (const QChar c : text)
        QTest::keyClick(target, c.toLatin1());
}

bool KeyInput::sequence(QObject *window, const QString &portableText)
{
    const QKeySequence sequence(portableText, QKeySequence::PortableText);
    if (sequence.count() != 1)
        return false;
    const QKeyCombination combination = sequence[0];
    QTest::keyClick(asWindow(window), combination.key(), combination.keyboardModifiers());
    return true;
}
