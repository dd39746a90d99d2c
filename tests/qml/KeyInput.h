// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QObject>
#include <QString>

// Real key events for any window of the test, through the same path the platform
// takes (shortcut map first, then the focused item). Qt Quick Test's own key
// functions reach only the test case's window and cannot mark an auto-repeat.
class KeyInput : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // window is a QQuickWindow (an ApplicationWindow in QML); modifiers a Qt.KeyboardModifiers value.
    Q_INVOKABLE void press(QObject *window, int key, int modifiers = 0);
    Q_INVOKABLE void release(QObject *window, int key, int modifiers = 0);
    Q_INVOKABLE void click(QObject *window, int key, int modifiers = 0);
    // The events the system sends while a key is held: a release and a press, flagged as
    // repeats, or (marked false) unflagged and sharing one timestamp, as Qt's X11 backend
    // delivers some of them; those go to the window directly, both before any other event.
    Q_INVOKABLE void autoRepeat(QObject *window, int key, bool marked = true);
    Q_INVOKABLE void type(QObject *window, const QString &text);
    // Presses and releases what a shortcut's sequence names ("G", "Num+5", "Return"); false
    // for a sequence Qt cannot read, which a Shortcut would take silently and never fire.
    Q_INVOKABLE bool sequence(QObject *window, const QString &portableText);
};
