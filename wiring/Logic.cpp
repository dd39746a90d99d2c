// SPDX-License-Identifier: Apache-2.0
#include "Logic.h"

#include "DeviceChoice.h"
#include "DeviceFollower.h"
#include "DeviceIdentity.h"
#include "DiscoveryService.h"
#include "FoundDevices.h"
#include "KeySender.h"
#include "KeyTable.h"
#include "LocalNetworks.h"
#include "RemoteDeviceModel.h"
#include "Settings.h"
#include "StartHost.h"

Logic::Logic(const QStringList &arguments)
    : m_settings(std::make_unique<Settings>())
    , m_keySender(std::make_unique<KeySender>())
    , m_choice(std::make_unique<DeviceChoice>(m_keySender.get(), m_settings.get()))
{
    // A new address from the command line is a choice; the stored box is only resumed.
    const starthost::Start start = starthost::resolve(arguments, *m_settings, m_keySender->networks()->current());
    if (start.given)
        m_choice->choose(start.box.ip, start.box.name, start.box.id);
    else if (!start.box.isNull())
        m_choice->resume(start.box);

    m_identity = std::make_unique<DeviceIdentity>();
    m_discoveryService = std::make_unique<DiscoveryService>(m_identity.get());
    m_remoteDeviceModel = std::make_unique<RemoteDeviceModel>();
    // Rows appear as the boxes answer; the sweep's whole list settles them at its end.
    QObject::connect(m_discoveryService->feed(), &ReplyFeed::arrived, m_remoteDeviceModel.get(),
                     &RemoteDeviceModel::addReplies);
    QObject::connect(m_discoveryService.get(), &DiscoveryService::finished, m_remoteDeviceModel.get(),
                     &RemoteDeviceModel::setDevices);
    // A sweep is where a network that came up or went down shows first.
    QObject::connect(m_discoveryService.get(), &DiscoveryService::scanningChanged, m_keySender->networks(), [this] {
        if (m_discoveryService->isScanning())
            m_keySender->networks()->invalidate();
    });
    m_foundDevices = std::make_unique<FoundDevices>(m_remoteDeviceModel.get(), m_choice.get());

    // Finds the chosen box again when it stops answering at its address.
    m_follower = std::make_unique<DeviceFollower>(m_keySender.get(), m_choice.get(), m_discoveryService.get());
    m_keyTable = std::make_unique<KeyTable>();
}

Logic::~Logic() = default;
