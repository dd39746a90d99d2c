// SPDX-License-Identifier: Apache-2.0
#include "DeviceChoice.h"

#include "ImgrMsg.h"
#include "KeySender.h"
#include "RememberedDevices.h"
#include "Settings.h"

DeviceChoice::DeviceChoice(KeySender *keySender, Settings *settings, QObject *parent)
    : QObject(parent)
    , m_keySender(keySender)
    , m_settings(settings)
    , m_remembered(new RememberedDevices(settings, this))
{
}

QObject *DeviceChoice::remembered() const
{
    return m_remembered;
}

bool DeviceChoice::choose(const QString &ip, const QString &name, const QString &id, bool remember)
{
    // The key sender's own rule, with the machine's networks as they are now.
    if (!m_keySender->addressProblem(ip).isEmpty())
        return false;
    const QString shown = imgr::shownName(name);
    // Host first: setting it clears the name.
    m_keySender->setHost(ip);
    m_keySender->setDeviceName(shown);
    m_settings->setLastDevice(ip, shown, id);
    if (remember)
        m_remembered->remember(ip, shown, id);
    return true;
}

bool DeviceChoice::switchTo(int row)
{
    if (row < 0 || row >= m_remembered->count())
        return false;
    // A copy: choosing reorders the list.
    const RememberedDevices::Entry entry = m_remembered->at(row);
    return choose(entry.ip, entry.name, entry.id);
}
