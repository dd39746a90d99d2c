// SPDX-License-Identifier: Apache-2.0
#include "MediaPlayer.h"

#include "Identity.h"
#include "KeySender.h"
#include "KeyTable.h"
#include "MprisAdaptors.h"
#include "Settings.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusObjectPath>

namespace {
const char kObjectPath[] = "/org/mpris/MediaPlayer2";
const char kServiceName[] = "org.mpris.MediaPlayer2.falquin";
const char kPlayerInterface[] = "org.mpris.MediaPlayer2.Player";
// The one "track": the chosen box. Outside /org/mpris, which the interface reserves.
const char kTrackId[] = "/com/orvantide/Falquin/ChosenBox";
} // namespace

MediaPlayer::MediaPlayer(KeySender *keySender, Settings *settings, QObject *parent)
    : QObject(parent)
    , m_keySender(keySender)
    , m_settings(settings)
{
    new MprisRootAdaptor(this);
    new MprisPlayerAdaptor(this);
    connect(m_keySender, &KeySender::hostChanged, this, &MediaPlayer::queueTitleAnnouncement);
    connect(m_keySender, &KeySender::deviceNameChanged, this, &MediaPlayer::queueTitleAnnouncement);
    connect(m_settings, &Settings::mediaKeysChanged, this, &MediaPlayer::apply);
}

MediaPlayer::~MediaPlayer()
{
    unregisterFromBus();
}

void MediaPlayer::start(const QDBusConnection &bus)
{
    if (m_bus)
        return;
    m_bus = bus;
    apply();
}

QString MediaPlayer::keyFor(Call call, qint64 offset)
{
    // The keys by the keyboard keys that send them in the window.
    const auto key = [](const char *sequence) { return KeyTable::forShortcut(QLatin1String(sequence))->command; };
    switch (call) {
    // Nothing tells what the box plays, so playing and pausing are one key.
    case Call::Play:
    case Call::Pause:
    case Call::PlayPause:
        return key("Return");
    // Taps: a seek on the box is a held key, and a call has no release to end it with.
    case Call::Next:
        return key("Right");
    case Call::Previous:
        return key("Left");
    case Call::Seek:
        return offset > 0 ? key("Right") : offset < 0 ? key("Left") : QString();
    case Call::Stop:
    case Call::SetPosition:
    case Call::OpenUri:
        break;
    }
    return {};
}

// Through sendKey like a click: the status light, the pressed look and a failure's toast
// follow, and with no box chosen the failure says so.
void MediaPlayer::call(Call call, qint64 offset)
{
    const QString key = keyFor(call, offset);
    if (!key.isEmpty())
        m_keySender->sendKey(key);
}

void MediaPlayer::raise()
{
    if (m_raise)
        m_raise();
}

QVariantMap MediaPlayer::metadata() const
{
    return {
        { QStringLiteral("mpris:trackid"), QVariant::fromValue(QDBusObjectPath(QLatin1String(kTrackId))) },
        { QStringLiteral("xesam:title"), shownName() },
        { QStringLiteral("xesam:artist"), QStringList { QLatin1String(identity::kApplication) } },
    };
}

void MediaPlayer::apply()
{
    if (!m_bus || m_settings->mediaKeys() == !m_service.isEmpty())
        return;
    if (m_service.isEmpty())
        registerOnBus();
    else
        unregisterFromBus();
}

void MediaPlayer::registerOnBus()
{
    if (!m_bus->isConnected()) {
        tell("no D-Bus session bus");
        return;
    }
    // The object before the name: a client that sees the name asks the object at once.
    if (!m_bus->registerObject(QLatin1String(kObjectPath), this, QDBusConnection::ExportAdaptors)) {
        tell("its object path is taken");
        return;
    }
    // A second window's player takes a name of its own, as other players' instances do.
    const QString name = QLatin1String(kServiceName);
    for (const QString &candidate :
         { name, name + QStringLiteral(".instance") + QString::number(QCoreApplication::applicationPid()) }) {
        if (m_bus->registerService(candidate)) {
            m_service = candidate;
            m_announcedTitle = shownName();
            return;
        }
    }
    m_bus->unregisterObject(QLatin1String(kObjectPath));
    tell("its bus name is taken");
}

void MediaPlayer::unregisterFromBus()
{
    if (m_service.isEmpty())
        return;
    m_bus->unregisterService(m_service);
    m_bus->unregisterObject(QLatin1String(kObjectPath));
    m_service.clear();
}

// Setting a host clears the name before the new one is set: one announcement for the lot,
// so a panel never shows the address in between.
void MediaPlayer::queueTitleAnnouncement()
{
    if (m_announcementQueued || m_service.isEmpty())
        return;
    m_announcementQueued = true;
    QMetaObject::invokeMethod(this, &MediaPlayer::announceTitle, Qt::QueuedConnection);
}

// QtDBus sends no PropertiesChanged by itself.
void MediaPlayer::announceTitle()
{
    m_announcementQueued = false;
    if (m_service.isEmpty() || shownName() == m_announcedTitle)
        return;
    m_announcedTitle = shownName();
    QDBusMessage signal
        = QDBusMessage::createSignal(QLatin1String(kObjectPath), QStringLiteral("org.freedesktop.DBus.Properties"),
                                     QStringLiteral("PropertiesChanged"));
    signal << QLatin1String(kPlayerInterface) << QVariantMap { { QStringLiteral("Metadata"), metadata() } }
           << QStringList();
    m_bus->send(signal);
}

void MediaPlayer::tell(const char *why)
{
    if (m_told)
        return;
    m_told = true;
    qInfo("The desktop's media keys do not reach Falquin: %s", why);
}

// As the device bar shows the box.
QString MediaPlayer::shownName() const
{
    if (!m_keySender->deviceName().isEmpty())
        return m_keySender->deviceName();
    if (!m_keySender->host().isEmpty())
        return m_keySender->host();
    return tr("no device configured");
}
