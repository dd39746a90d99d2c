// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QObject>
#include <QString>

class KeySender;
class RememberedDevices;
class Settings;

// The one way a box becomes the one the keys go to, whoever chooses it: the picker, the device
// bar's menu and Ctrl+1 … Ctrl+8, the command line at start-up, the follower when the box moves.
// Every box chosen is remembered. The scene reaches it as keySender.choice.
class DeviceChoice : public QObject
{
    Q_OBJECT
    // The remembered boxes, most recently chosen first.
    Q_PROPERTY(QObject *remembered READ remembered CONSTANT)

public:
    // Both must outlive it.
    DeviceChoice(KeySender *keySender, Settings *settings, QObject *parent = nullptr);

    RememberedDevices *rememberedDevices() const { return m_remembered; }
    QObject *remembered() const;

    // Points the key sender at ip under name (shown as the picker shows names) and stores the box
    // with its discovery id, "" for a box known only by its address, as the current one and first
    // of the remembered. An ip that the address rule refuses changes nothing; otherwise everything
    // is changed. Returns which it was. Start-up resumes the stored box without remember.
    Q_INVOKABLE bool choose(const QString &ip, const QString &name, const QString &id = QString(),
                            bool remember = true);
    // Chooses the remembered box in this row.
    Q_INVOKABLE bool switchTo(int row);

private:
    KeySender *m_keySender;
    Settings *m_settings;
    RememberedDevices *m_remembered;
};
