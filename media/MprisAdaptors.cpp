// SPDX-License-Identifier: Apache-2.0
#include "MprisAdaptors.h"

#include "Identity.h"

#include <QCoreApplication>

MprisRootAdaptor::MprisRootAdaptor(MediaPlayer *player)
    : QDBusAbstractAdaptor(player)
    , m_player(player)
{
}

QString MprisRootAdaptor::identity() const
{
    // Plasma passes over a player without one.
    return QLatin1String(identity::kApplication);
}

QString MprisRootAdaptor::desktopEntry() const
{
    // The installed desktop entry, without ".desktop": the panels take the icon from it.
    return QStringLiteral("com.orvantide.Falquin");
}

void MprisRootAdaptor::Raise()
{
    m_player->raise();
}

void MprisRootAdaptor::Quit()
{
    // Queued, so the caller has its reply before the window closes; the way out is the one
    // a closed window takes, so a held seek still gets its "up".
    QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit, Qt::QueuedConnection);
}

MprisPlayerAdaptor::MprisPlayerAdaptor(MediaPlayer *player)
    : QDBusAbstractAdaptor(player)
    , m_player(player)
{
}

void MprisPlayerAdaptor::SetPosition(const QDBusObjectPath &, qlonglong)
{
    m_player->call(MediaPlayer::Call::SetPosition);
}

void MprisPlayerAdaptor::OpenUri(const QString &)
{
    m_player->call(MediaPlayer::Call::OpenUri);
}
