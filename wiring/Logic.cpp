// SPDX-License-Identifier: Apache-2.0
#include "Logic.h"

#include "DeviceChoice.h"
#include "DeviceFollower.h"
#include "DeviceIdentity.h"
#include "DiscoveryService.h"
#include "KeySender.h"
#include "RemoteDeviceModel.h"
#include "Settings.h"
#include "StartHost.h"

Logic::Logic(const QStringList &arguments)
    : m_settings(std::make_unique<Settings>())
    , m_keySender(std::make_unique<KeySender>())
    , m_choice(std::make_unique<DeviceChoice>(m_keySender.get(), m_settings.get()))
{
    // A new address from the command line is a choice; the stored box is only resumed.
    const starthost::StartBox start = starthost::resolve(arguments, *m_settings);
    if (!start.ip.isEmpty())
        m_choice->choose(start.ip, start.name, start.id, start.given);

    m_identity = std::make_unique<DeviceIdentity>();
    m_discoveryService = std::make_unique<DiscoveryService>(m_identity.get());
    m_remoteDeviceModel = std::make_unique<RemoteDeviceModel>();
    // Rows appear as the boxes answer; the sweep's whole list settles them at its end.
    QObject::connect(m_discoveryService->feed(), &ReplyFeed::arrived, m_remoteDeviceModel.get(),
                     &RemoteDeviceModel::addReplies);
    QObject::connect(m_discoveryService.get(), &DiscoveryService::finished, m_remoteDeviceModel.get(),
                     &RemoteDeviceModel::setDevices);

    // Finds the chosen box again when it stops answering at its address.
    m_follower = std::make_unique<DeviceFollower>(m_keySender.get(), m_settings.get(), m_choice.get(),
                                                  m_discoveryService.get());
    // What the scene reaches beyond the key sender's own members.
    m_keySender->setFollower(m_follower.get());
    m_keySender->setChoice(m_choice.get());
}

Logic::~Logic() = default;
