// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <QStringList>

#include <memory>

class DeviceFeed;
class KeyInput;
class KeyRepeatFilter;
class KeyService;
class Logic;
class QQmlEngine;

// Gives the QML tests the scene's context objects, made and connected by the app's
// own wiring, plus a box simulator on loopback that acknowledges every key.
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

    // The app's own objects, wired as the app wires them.
    std::unique_ptr<Logic> m_logic;
    std::unique_ptr<KeyService> m_boxSim;
    std::unique_ptr<DeviceFeed> m_deviceFeed;
    std::unique_ptr<KeyInput> m_keyInput;
    std::unique_ptr<KeyRepeatFilter> m_keyRepeatFilter;
    QStringList m_warnings;
};
