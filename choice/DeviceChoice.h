// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "Box.h"

#include <QObject>
#include <QSet>
#include <QString>

class KeySender;
class LocalNetworks;
class RememberedDevices;
class Settings;

// The one owner of the box this window's keys go to, and the one way it becomes another, whoever
// chooses it: the picker, the device bar's menu and Ctrl+1 … Ctrl+8, the command line at start-up,
// the follower when the box moves. It tells the key sender the box's address, then its name, and
// remembers every box chosen.
class DeviceChoice : public QObject
{
    Q_OBJECT
    // The remembered boxes, most recently chosen first.
    Q_PROPERTY(QObject *remembered READ remembered CONSTANT)

public:
    // Both must outlive it.
    DeviceChoice(KeySender *keySender, Settings *settings, QObject *parent = nullptr);

    // The box the keys go to; a null one before any is chosen.
    const Box &current() const { return m_current; }
    RememberedDevices *rememberedDevices() const { return m_remembered; }
    // The machine's networks as the address rule sees them: the key sender's.
    LocalNetworks *networks() const;
    QObject *remembered() const;

    // Why text cannot be a box's address on this machine's networks as they are now (short,
    // translated, plain text), or "" when it can: what choose() asks, and the key sender at each key.
    Q_INVOKABLE QString addressProblem(const QString &text) const;
    // Makes the box at ip, under name (shown as the picker shows names) and with its discovery
    // id ("" for a box known only by its address), the one the keys go to: first the "up" of
    // every seek still held goes to the box that got its "down", then the key sender is pointed
    // there, and the box is stored as the current one and first of the remembered. Returns ""; or,
    // for an ip that the address rule refuses, the rule's reason, and nothing changes.
    Q_INVOKABLE QString choose(const QString &ip, const QString &name, const QString &id = QString());
    // Chooses the remembered box at position (0 for Ctrl+1) of the list as stored now.
    Q_INVOKABLE QString switchTo(int position);
    // Start-up's stored box, taken up again as it was: checked by the rule alone, so that one
    // that this machine's networks have since made unusable still fails at its first key with
    // the reason. Nothing is written.
    void resume(const Box &box);

signals:
    // current() is another box, or the same under another name or address.
    void currentChanged();

private:
    void endHolds();
    void setCurrent(const Box &box);

    KeySender *m_keySender;
    Settings *m_settings;
    RememberedDevices *m_remembered;
    Box m_current;
    // The seeks whose "down" went out and whose "up" is still owed: "rew", "ff".
    QSet<QString> m_held;
};
