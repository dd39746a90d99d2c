// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QObject>
#include <QString>

class KeySender;
class Settings;

// The one way a box becomes the one the keys go to, whoever chooses it: the picker, the command
// line at start-up, the follower when the box moves. The scene reaches it as keySender.choice.
class DeviceChoice : public QObject
{
    Q_OBJECT

public:
    // Both must outlive it.
    DeviceChoice(KeySender *keySender, Settings *settings, QObject *parent = nullptr);

    // Points the key sender at ip under name (shown as the picker shows names) and remembers the
    // box with its discovery id, "" for a box known only by its address. An ip that the address
    // rule refuses changes nothing; otherwise everything is changed. Returns which it was.
    Q_INVOKABLE bool choose(const QString &ip, const QString &name, const QString &id = QString());

private:
    KeySender *m_keySender;
    Settings *m_settings;
};
