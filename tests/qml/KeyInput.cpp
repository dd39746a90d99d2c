// SPDX-License-Identifier: Apache-2.0
#include "KeyInput.h"

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
    QTest::simulateEvent(target, false, key, Qt::NoModifier, QString(), marked);
    QTest::simulateEvent(target, true, key, Qt::NoModifier, QString(), marked);
}

void KeyInput::type(QObject *window, const QString &text)
{
    QWindow *target = asWindow(window);
    for (const QChar c : text)
        QTest::keyClick(target, c.toLatin1());
}
