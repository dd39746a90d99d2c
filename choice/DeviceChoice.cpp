// SPDX-License-Identifier: Apache-2.0
#include "DeviceChoice.h"

#include "HostAddress.h"
#include "ImgrMsg.h"
#include "KeySender.h"
#include "Settings.h"

DeviceChoice::DeviceChoice(KeySender *keySender, Settings *settings, QObject *parent)
    : QObject(parent)
    , m_keySender(keySender)
    , m_settings(settings)
{
}

bool DeviceChoice::choose(const QString &ip, const QString &name, const QString &id)
{
    if (!hostaddress::refusal(ip).isEmpty())
        return false;
    const QString shown = imgr::shownName(name);
    // Host first: setting it clears the name.
    m_keySender->setHost(ip);
    m_keySender->setDeviceName(shown);
    m_settings->setLastDevice(ip, shown, id);
    return true;
}
