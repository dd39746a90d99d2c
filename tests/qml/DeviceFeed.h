// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "ImgrMsg.h"

#include <QList>
#include <QObject>
#include <QVariantList>

class DiscoveryService;
class RemoteDeviceModel;

// Fills the real device model as a sweep would, with replies made up by the test. The boxes it
// shows stand for the network: a real sweep, which finds nothing in the test's namespace, leaves
// them listed at its end, as boxes that are there would be.
class DeviceFeed : public QObject
{
    Q_OBJECT

public:
    DeviceFeed(RemoteDeviceModel *model, DiscoveryService *service, QObject *parent = nullptr);

    // Each entry: { name, ip, tuners, model, id }; missing fields stay empty (tuners 0).
    Q_INVOKABLE void show(const QVariantList &boxes);

private:
    RemoteDeviceModel *m_model;
    QList<imgr::ImgrMsg> m_boxes;
};
