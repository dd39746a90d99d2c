// SPDX-License-Identifier: Apache-2.0
#include "DeviceChoice.h"

#include "HostAddress.h"
#include "ImgrMsg.h"
#include "KeySender.h"
#include "KeyTable.h"
#include "LocalNetworks.h"
#include "RememberedDevices.h"
#include "Settings.h"

#include <utility>

DeviceChoice::DeviceChoice(KeySender *keySender, Settings *settings, QObject *parent)
    : QObject(parent)
    , m_keySender(keySender)
    , m_settings(settings)
    , m_remembered(new RememberedDevices(settings, this))
{
    m_remembered->setRefusal([this](const QString &ip) { return addressProblem(ip); });
    connect(networks(), &LocalNetworks::changed, m_remembered, &RememberedDevices::refusalsChanged);
    // Whoever sent it (a drawn key, the keyboard), a seek's "down" owes its box an "up".
    connect(keySender, &KeySender::keySent, this, [this](const QString &keys) {
        const QString seek = KeyTable::holdOf(keys);
        if (seek.isEmpty())
            return;
        if (keys == KeyTable::down(seek))
            m_held.insert(seek);
        else
            m_held.remove(seek);
    });
}

QObject *DeviceChoice::remembered() const
{
    return m_remembered;
}

LocalNetworks *DeviceChoice::networks() const
{
    return m_keySender->networks();
}

QString DeviceChoice::addressProblem(const QString &text) const
{
    return hostaddress::refusal(text, networks()->current());
}

QString DeviceChoice::choose(const QString &ip, const QString &name, const QString &id)
{
    const QString problem = addressProblem(ip);
    if (!problem.isEmpty())
        return problem;
    const Box box { id, imgr::shownName(name), ip };
    endHolds();
    setCurrent(box);
    m_settings->setLastDevice(box.ip, box.name, box.id);
    m_remembered->remember(box);
    return {};
}

QString DeviceChoice::switchTo(int position)
{
    m_remembered->reload();
    if (position < 0 || position >= m_remembered->count())
        return tr("No remembered device %1").arg(position + 1);
    // A copy: choosing reorders the list.
    const Box box = m_remembered->at(position);
    return choose(box.ip, box.name, box.id);
}

void DeviceChoice::resume(const Box &box)
{
    if (!hostaddress::refusal(box.ip, {}).isEmpty())
        return;
    setCurrent({ box.id, imgr::shownName(box.name), box.ip });
}

void DeviceChoice::endHolds()
{
    // Each "up" goes out while the key sender still points at the box that got the "down".
    const QSet<QString> held = std::exchange(m_held, {});
    for (const QString &seek : held)
        m_keySender->sendKey(KeyTable::up(seek));
    m_held.clear();
}

void DeviceChoice::setCurrent(const Box &box)
{
    // Host first: setting it clears the name.
    m_keySender->setHost(box.ip);
    m_keySender->setDeviceName(box.name);
    m_remembered->setCurrent(box);
    if (box == m_current)
        return;
    m_current = box;
    emit currentChanged();
}
