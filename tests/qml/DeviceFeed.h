// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QObject>
#include <QVariantList>

class RemoteDeviceModel;

// Fills the real device model as a sweep would, with replies made up by the test.
class DeviceFeed : public QObject
{
    Q_OBJECT

public:
    explicit DeviceFeed(RemoteDeviceModel *model, QObject *parent = nullptr);

    // Each entry: { name, ip, tuners, model, id }; missing fields stay empty (tuners 0).
    Q_INVOKABLE void show(const QVariantList &boxes);

private:
    RemoteDeviceModel *m_model;
};
