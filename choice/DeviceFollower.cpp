// SPDX-License-Identifier: Apache-2.0
#include "DeviceFollower.h"

#include "DeviceChoice.h"
#include "DiscoveryService.h"
#include "HostAddress.h"
#include "KeySender.h"
#include "RememberedDevices.h"
#include "ShownText.h"

#include <QElapsedTimer>

namespace {

qint64 monotonicMs()
{
    static const QElapsedTimer start = [] {
        QElapsedTimer timer;
        timer.start();
        return timer;
    }();
    return start.elapsed();
}

// Whether address lies inside the network of entry; the address rule has already refused the
// network's own address and its broadcast.
bool isOn(quint32 address, const QNetworkAddressEntry &entry)
{
    const auto net = network::ipv4Network(entry);
    return net && net->contains(address);
}

} // namespace

DeviceFollower::DeviceFollower(KeySender *keySender, DeviceChoice *choice, DiscoveryService *discovery, Clock clock,
                               QObject *parent)
    : QObject(parent)
    , m_keySender(keySender)
    , m_choice(choice)
    , m_discovery(discovery)
    , m_clock(clock ? std::move(clock) : Clock(monotonicMs))
{
    connect(keySender->timeouts(), &KeyTimeouts::unanswered, this, &DeviceFollower::onUnanswered);
    connect(discovery->feed(), &ReplyFeed::arrived, this, &DeviceFollower::onReplies);
    connect(discovery, &DiscoveryService::scanningChanged, this, &DeviceFollower::onScanningChanged);
    // The user's own choice during a search wins.
    connect(choice, &DeviceChoice::currentChanged, this, &DeviceFollower::onChoiceChanged);
}

QString DeviceFollower::refusal(const QString &claimed, const QHostAddress &sender,
                                const QList<network::InterfaceInfo> &interfaces)
{
    const QString why = hostaddress::refusal(claimed, interfaces);
    if (!why.isEmpty())
        return why;
    const QHostAddress address(claimed);
    if (address.protocol() != QAbstractSocket::IPv4Protocol)
        return QStringLiteral("not an IPv4 address");
    bool senderIsIPv4 = false;
    const quint32 from = sender.toIPv4Address(&senderIsIPv4);
    if (!senderIsIPv4 || from != address.toIPv4Address())
        return QStringLiteral("sent from %1").arg(sender.toString());
    // The rule above refused what is no host's address anywhere; a box is never this machine.
    if (address.isLoopback())
        return QStringLiteral("not a host's address");
    for (const network::InterfaceInfo &iface : interfaces) {
        if (!iface.flags.testFlag(QNetworkInterface::IsUp) || iface.flags.testFlag(QNetworkInterface::IsLoopBack))
            continue;
        for (const QNetworkAddressEntry &entry : iface.entries) {
            if (isOn(from, entry))
                return {};
        }
    }
    return QStringLiteral("not a host on this machine's networks");
}

void DeviceFollower::onUnanswered(const QString &keys, const QString &host)
{
    Q_UNUSED(keys)
    // A key lost on the way to a previous box says nothing about the current one.
    if (m_searching || host.isEmpty() || host != m_keySender->host())
        return;
    // This window's box: another window may have stored another one since.
    const QString id = m_choice->current().id;
    if (id.isEmpty())
        return;
    const qint64 now = m_clock();
    // A clock seen going back cannot tell how long ago the last search was: allow one.
    if (m_searchedAt && now >= *m_searchedAt && now - *m_searchedAt < kSearchIntervalMs)
        return;
    m_searchedAt = now;
    m_id = id;
    // Its replies count even after a flood of other ids has filled the sweep's list.
    m_discovery->setWantedId(id);
    m_warned.clear();
    m_sweepOwed = m_discovery->isScanning();
    setSearching(true);
    if (!m_sweepOwed)
        m_discovery->refresh();
}

void DeviceFollower::onReplies(const QList<brp::Reply> &replies)
{
    const auto networks
        = [this]() -> const QList<network::InterfaceInfo> & { return m_keySender->networks()->current(); };
    // Every sweep tells which remembered boxes answer, and where the others have moved to.
    for (const brp::Reply &reply : replies) {
        const Box box = Box::fromReply(reply.msg);
        m_choice->rememberedDevices()->heard(box, [&] { return refusal(box.ip, reply.sender, networks()).isEmpty(); });
    }
    if (!m_searching)
        return;
    for (const brp::Reply &reply : replies) {
        if (imgr::ImgrMsg::trimmed(reply.msg.deviceId) != m_id)
            continue;
        const QString ip = imgr::ImgrMsg::trimmed(reply.msg.ip);
        const QString why = refusal(ip, reply.sender, networks());
        if (!why.isEmpty()) {
            const QString line = QStringLiteral("Ignoring a reply for %1 that gives the address \"%2\": %3")
                                     .arg(shown::excerpt(m_id), shown::excerpt(ip), why);
            if (m_warned.size() < 16 && !m_warned.contains(line)) {
                m_warned.insert(line);
                qWarning("%s", qUtf8Printable(line));
            }
            continue;
        }
        // Still where it was: the key was lost on the way, the box did not move.
        if (QHostAddress(ip) == QHostAddress(m_keySender->host())) {
            setSearching(false);
            return;
        }
        adopt(reply.msg, ip);
        return;
    }
}

void DeviceFollower::adopt(const imgr::ImgrMsg &reply, const QString &ip)
{
    // As the picker stores a listed name; one with nothing visible left keeps the name it had.
    const QString replyName = imgr::shownName(imgr::ImgrMsg::trimmed(reply.name));
    const QString name = replyName.isEmpty() ? m_keySender->deviceName() : replyName;
    m_adopting = true;
    const bool chosen = m_choice->choose(ip, name, m_id).isEmpty();
    m_adopting = false;
    setSearching(false);
    // One arg() for both, so a name holding "%2" stays as it is.
    if (chosen)
        emit moved(tr("%1 is now at %2").arg(name.isEmpty() ? imgr::formatId(m_id) : name, ip));
}

void DeviceFollower::onScanningChanged()
{
    if (m_discovery->isScanning())
        m_choice->rememberedDevices()->sweepStarted();
    if (!m_searching || m_discovery->isScanning())
        return;
    if (m_sweepOwed) {
        m_sweepOwed = false;
        // After the service has finished announcing the end of the sweep before.
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (m_searching)
                    m_discovery->refresh();
            },
            Qt::QueuedConnection);
        return;
    }
    setSearching(false);
}

void DeviceFollower::onChoiceChanged()
{
    if (m_searching && !m_adopting)
        setSearching(false);
}

void DeviceFollower::setSearching(bool searching)
{
    if (!searching) {
        m_sweepOwed = false;
        m_discovery->setWantedId(QString());
    }
    if (searching == m_searching)
        return;
    m_searching = searching;
    emit searchingChanged();
}
