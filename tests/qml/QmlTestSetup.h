// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <QStringList>

#include <memory>

class DeviceFeed;
class DeviceFollower;
class DeviceIdentity;
class DiscoveryService;
class KeyInput;
class KeyRepeatFilter;
class KeySender;
class KeyService;
class QQmlEngine;
class RemoteDeviceModel;
class Settings;

// Gives the QML tests the scene's context objects, made from C++ exactly as the
// app makes them, plus a box simulator on loopback that acknowledges every key.
// Any QML warning during the run (a binding loop, a missing property) fails it.
class QmlTestSetup : public QObject
{
    Q_OBJECT

public:
    QmlTestSetup();
    ~QmlTestSetup() override;

public slots:
    void applicationAvailable();
    void qmlEngineAvailable(QQmlEngine *engine);
    void cleanupTestCase();

private:
    // Name and object of each context property the scene and the tests reach.
    QList<QPair<QString, QObject *>> testObjects() const;

    std::unique_ptr<Settings> m_settings;
    std::unique_ptr<KeySender> m_keySender;
    std::unique_ptr<KeyService> m_boxSim;
    // The picker's discovery objects. The service is not wired to the model: the
    // list shows what deviceFeed puts there, never a sweep's empty result mid-test.
    std::unique_ptr<DeviceIdentity> m_identity;
    std::unique_ptr<DiscoveryService> m_discoveryService;
    std::unique_ptr<RemoteDeviceModel> m_deviceModel;
    std::unique_ptr<DeviceFollower> m_follower;
    std::unique_ptr<DeviceFeed> m_deviceFeed;
    std::unique_ptr<KeyInput> m_keyInput;
    std::unique_ptr<KeyRepeatFilter> m_keyRepeatFilter;
    QStringList m_warnings;
};
