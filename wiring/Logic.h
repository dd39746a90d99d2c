// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QStringList>

#include <memory>

class DeviceChoice;
class DeviceFollower;
class DeviceIdentity;
class DiscoveryService;
class FoundDevices;
class KeySender;
class KeyTable;
class RemoteDeviceModel;
class Settings;

// The logic objects of one run, made in the program's start-up order and connected as the
// window needs them: the settings, the key sender and the choice, pointed at the box to start on;
// then the discovery identity, service and device list, the picker's view of that list, and the
// follower; and the table of the remote's keys. Whoever shows the window (the app, the screenshot tool, the QML tests)
// owns one and destroys the scene's engine first.
class Logic
{
public:
    // arguments is a command line, the program first: a --host or positional address chooses
    // the box to start on, as falquin's own does.
    explicit Logic(const QStringList &arguments);
    // Destroys them in reverse: the service, on its way, stops a running sweep and waits for it.
    ~Logic();

    Settings &settings() const { return *m_settings; }
    KeySender &keySender() const { return *m_keySender; }
    DeviceChoice &choice() const { return *m_choice; }
    DiscoveryService &discoveryService() const { return *m_discoveryService; }
    RemoteDeviceModel &remoteDeviceModel() const { return *m_remoteDeviceModel; }
    FoundDevices &foundDevices() const { return *m_foundDevices; }
    DeviceFollower &follower() const { return *m_follower; }
    KeyTable &keyTable() const { return *m_keyTable; }

private:
    std::unique_ptr<Settings> m_settings;
    std::unique_ptr<KeySender> m_keySender;
    std::unique_ptr<DeviceChoice> m_choice;
    std::unique_ptr<DeviceIdentity> m_identity;
    std::unique_ptr<DiscoveryService> m_discoveryService;
    std::unique_ptr<RemoteDeviceModel> m_remoteDeviceModel;
    std::unique_ptr<FoundDevices> m_foundDevices;
    std::unique_ptr<DeviceFollower> m_follower;
    std::unique_ptr<KeyTable> m_keyTable;
};
