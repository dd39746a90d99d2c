// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "MediaPlayer.h"

#include <QDBusAbstractAdaptor>
#include <QDBusObjectPath>
#include <QStringList>
#include <QVariantMap>

// The two MPRIS interfaces of MediaPlayer, children of it. Every property is read-only, so a
// write gets QtDBus's error reply and changes nothing.
class MprisRootAdaptor : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
    Q_PROPERTY(bool CanQuit READ yes)
    Q_PROPERTY(bool CanRaise READ yes)
    Q_PROPERTY(bool HasTrackList READ no)
    Q_PROPERTY(QString Identity READ identity)
    Q_PROPERTY(QString DesktopEntry READ desktopEntry)
    Q_PROPERTY(QStringList SupportedUriSchemes READ none)
    Q_PROPERTY(QStringList SupportedMimeTypes READ none)

public:
    explicit MprisRootAdaptor(MediaPlayer *player);

    bool yes() const { return true; }
    bool no() const { return false; }
    QString identity() const;
    QString desktopEntry() const;
    QStringList none() const { return {}; }

public slots:
    void Raise();
    void Quit();

private:
    MediaPlayer *m_player;
};

class MprisPlayerAdaptor : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
    // Falquin cannot know what the box plays, and "Playing" would take the media keys from a
    // music player that plays.
    Q_PROPERTY(QString PlaybackStatus READ playbackStatus)
    Q_PROPERTY(double Rate READ rate)
    Q_PROPERTY(double MinimumRate READ rate)
    Q_PROPERTY(double MaximumRate READ rate)
    Q_PROPERTY(QVariantMap Metadata READ metadata)
    Q_PROPERTY(qlonglong Position READ position)
    Q_PROPERTY(bool CanGoNext READ yes)
    Q_PROPERTY(bool CanGoPrevious READ yes)
    Q_PROPERTY(bool CanPlay READ yes)
    Q_PROPERTY(bool CanPause READ yes)
    Q_PROPERTY(bool CanSeek READ yes)
    Q_PROPERTY(bool CanControl READ yes)

public:
    explicit MprisPlayerAdaptor(MediaPlayer *player);

    QString playbackStatus() const { return QStringLiteral("Paused"); }
    double rate() const { return 1.0; }
    QVariantMap metadata() const { return m_player->metadata(); }
    qlonglong position() const { return 0; }
    bool yes() const { return true; }

public slots:
    void Next() { m_player->call(MediaPlayer::Call::Next); }
    void Previous() { m_player->call(MediaPlayer::Call::Previous); }
    void Pause() { m_player->call(MediaPlayer::Call::Pause); }
    void PlayPause() { m_player->call(MediaPlayer::Call::PlayPause); }
    void Stop() { m_player->call(MediaPlayer::Call::Stop); }
    void Play() { m_player->call(MediaPlayer::Call::Play); }
    void Seek(qlonglong Offset) { m_player->call(MediaPlayer::Call::Seek, Offset); }
    void SetPosition(const QDBusObjectPath &TrackId, qlonglong Position);
    void OpenUri(const QString &Uri);

signals:
    // Part of the interface; never sent, as the position never moves.
    void Seeked(qlonglong Position);

private:
    MediaPlayer *m_player;
};
