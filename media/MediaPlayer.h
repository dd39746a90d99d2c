// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QVariantMap>

#include <functional>
#include <optional>

class KeySender;
class Settings;

// Falquin as a media player on the session bus (MPRIS), so the desktop's media keys, a
// headset's button and the panels' media controls send keys to the chosen box while the
// window is in the background. On the bus while the settings' mediaKeys is on.
class MediaPlayer : public QObject
{
    Q_OBJECT

public:
    // What a client can ask for; each sends at most one key (keyFor).
    enum class Call { Play, Pause, PlayPause, Stop, Next, Previous, Seek, SetPosition, OpenUri };

    MediaPlayer(KeySender *keySender, Settings *settings, QObject *parent = nullptr);
    ~MediaPlayer() override;

    // Meets the bus: on it while the setting is on, off it the moment it turns off. Called once;
    // without a bus, or when the name is taken, one info line and nothing more.
    void start(const QDBusConnection &bus);
    // The bus name held now, or "" while off the bus.
    QString serviceName() const { return m_service; }
    // How Raise shows the window; without it Raise does nothing.
    void setRaise(std::function<void()> raise) { m_raise = std::move(raise); }

    // The key a call sends, "" for none; offset is Seek's, in microseconds.
    static QString keyFor(Call call, qint64 offset = 0);

    // For the adaptors.
    void call(Call call, qint64 offset = 0);
    void raise();
    QVariantMap metadata() const;

private:
    void apply();
    void registerOnBus();
    void unregisterFromBus();
    void queueTitleAnnouncement();
    void announceTitle();
    void tell(const char *why);
    QString shownName() const;

    KeySender *m_keySender;
    Settings *m_settings;
    std::optional<QDBusConnection> m_bus;
    QString m_service;
    QString m_announcedTitle;
    std::function<void()> m_raise;
    bool m_announcementQueued = false;
    bool m_told = false;
};
