// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <QStringList>

#include <memory>

class KeySender;
class KeyService;
class QQmlEngine;
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
    QList<QPair<QString, QObject *>> contextObjects() const;

    std::unique_ptr<Settings> m_settings;
    std::unique_ptr<KeySender> m_keySender;
    std::unique_ptr<KeyService> m_boxSim;
    QStringList m_warnings;
};
