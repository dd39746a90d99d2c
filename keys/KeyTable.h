// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>

// Every key of the remote, once: the command it sends the box, its legend on the drawn face, the
// name a screen reader says, the keyboard keys that send it, and for Left and Right the seek it
// holds. The command-line tool's key list and help, the window's shortcuts and tool tips, and the
// drawn faces read it; the faces keep only where each key sits and how it looks.
class KeyTable : public QObject
{
    Q_OBJECT
    // Each shortcut of the window: { seqs, cmd } (the seek keys' own are the window's gesture).
    Q_PROPERTY(QVariantList shortcuts READ shortcutList CONSTANT)
    // The keys in the places of the drawn face, each list in its order: topRow (On, Off, Power),
    // mute, functionRow, upperFlank (Guide, Info), dpad (Up, Down, Left, Right, OK), lowerFlank
    // (Zap, Menu), numberPad (1 … 9, dot, 0, back). Each key: { command, legend, name, hold }.
    Q_PROPERTY(QVariantMap face READ face CONSTANT)
    // Every command the box is sent (commands()).
    Q_PROPERTY(QStringList commands READ commands CONSTANT)

public:
    struct Key
    {
        QString command;
        QString legend; // "" where the face draws a glyph
        const char *name; // untranslated; name() translates it
        QString nameArgument; // fills the name's %1 ("7" for "Digit %1")
        QStringList shortcuts; // Qt's portable key sequences, "Num+" for the keypad
        QString hold; // the seek the key holds: "rew", "ff"; "" for none
        const char *place; // where the drawn face has it
        int slot; // its position there, in reading order
    };

    explicit KeyTable(QObject *parent = nullptr);

    static const QList<Key> &keys();
    static const Key *find(const QString &command);
    // The key a keyboard key sends ("Left", "Return"); how the program names a key by its use.
    static const Key *forShortcut(const QString &sequence);
    // The seeks the keys hold: "rew", "ff".
    static QStringList holds();
    // What a screen reader says for the key, in the user's language.
    static QString name(const Key &key);
    // Every command the box is sent: each key's, then each seek's "down" and "up".
    static QStringList commands();
    static QString down(const QString &hold) { return hold + QLatin1String(" down"); }
    static QString up(const QString &hold) { return hold + QLatin1String(" up"); }
    // The seek whose "down" or "up" this command is, or "".
    static QString holdOf(const QString &command);

    // The command of the key that this keyboard key sends, or "".
    Q_INVOKABLE QString commandFor(const QString &sequence) const;
    // The seek that the key sending command holds, or "".
    Q_INVOKABLE QString seekOf(const QString &command) const;
    // The tool tip of the drawn key that sends command: its name, and its keyboard keys where
    // the name does not already say them ("Guide (G)", but "Up" and "Digit 7").
    Q_INVOKABLE QString toolTip(const QString &command) const;

    QVariantList shortcutList() const;
    QVariantMap face() const;
};
