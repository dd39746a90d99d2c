// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "ImgrMsg.h"

#include <QList>
#include <QObject>
#include <QVariantList>

class DiscoveryService;
class RememberedDevices;
class RemoteDeviceModel;
class Settings;

// Fills the real device model as a sweep would, with replies made up by the test. The boxes it
// shows stand for the network: a real sweep, which finds nothing in the test's namespace, leaves
// them listed at its end, as boxes that are there would be.
class DeviceFeed : public QObject
{
    Q_OBJECT

public:
    DeviceFeed(RemoteDeviceModel *model, DiscoveryService *service, RememberedDevices *remembered, Settings *settings,
               QObject *parent = nullptr);

    // Each entry: { name, ip, tuners, model, id }; missing fields stay empty (tuners 0).
    Q_INVOKABLE void show(const QVariantList &boxes);
    // A test starts with no box remembered by the ones before it.
    Q_INVOKABLE void forgetRemembered();
    // Stores the remembered boxes as another window, or an older version, would have: each entry
    // { ip, name, id }. The window sees them once it reads the list again.
    Q_INVOKABLE void storeRemembered(const QVariantList &boxes);

private:
    RemoteDeviceModel *m_model;
    RememberedDevices *m_remembered;
    Settings *m_settings;
    QList<imgr::ImgrMsg> m_boxes;
};
