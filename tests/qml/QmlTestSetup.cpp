// SPDX-License-Identifier: Apache-2.0
#include "QmlTestSetup.h"

#include "DeviceChoice.h"
#include "DeviceFeed.h"
#include "KeyInput.h"
#include "KeyRepeatFilter.h"
#include "KeySender.h"
#include "KeyService.h"
#include "Logic.h"
#include "Scene.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QHostAddress>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQmlError>

QmlTestSetup::QmlTestSetup() = default;
QmlTestSetup::~QmlTestSetup() = default;

void QmlTestSetup::applicationAvailable()
{
    scene::setUpApplication();
    scene::waitForIconFont();
    // Without the font every glyph legend would render as a box.
    if (!QFontDatabase::families().contains(QStringLiteral("Material Symbols Rounded")))
        qFatal("icon font missing from the resources");

    // The home is private and empty: no box to start on.
    m_logic = std::make_unique<Logic>(QStringList { QCoreApplication::applicationFilePath() });
    m_logic->keySender().setHost(QStringLiteral("127.0.0.1"));
    m_boxSim = std::make_unique<KeyService>();
    // The box's fixed port: the test runs in a network namespace of its own.
    if (!m_boxSim->listen(QHostAddress::LocalHost, 31063))
        qFatal("box simulator cannot listen: %s", qPrintable(m_boxSim->errorString()));
    // With only loopback up a sweep has nowhere to broadcast: it just listens out its time.
    m_deviceFeed = std::make_unique<DeviceFeed>(&m_logic->remoteDeviceModel(), &m_logic->discoveryService(),
                                                m_logic->choice().rememberedDevices(), &m_logic->settings());
    m_keyInput = std::make_unique<KeyInput>();
    // As the app does: the window sees the platform's key events only through it.
    m_keyRepeatFilter = std::make_unique<KeyRepeatFilter>();
    qApp->installEventFilter(m_keyRepeatFilter.get());
}

void QmlTestSetup::qmlEngineAvailable(QQmlEngine *engine)
{
    // The engine reports binding loops, missing properties and script errors here
    // (and still prints them). A message handler would not do: Qt Quick Test
    // replaces it with its own, which forwards nothing, once the first test starts.
    connect(engine, &QQmlEngine::warnings, this, [this](const QList<QQmlError> &errors) {
        for (const QQmlError &error : errors)
            m_warnings.append(error.toString());
    });
    scene::prepareEngine(*engine, *m_logic);
    // The tests' own helpers, beside the app's four, and what the scene's loader hands the window.
    for (const auto &[name, object] : testObjects())
        engine->rootContext()->setContextProperty(name, object);
    engine->rootContext()->setContextProperty(QStringLiteral("windowProperties"), scene::windowProperties(*m_logic));
}

void QmlTestSetup::cleanupTestCase()
{
    m_keyRepeatFilter.reset();
    m_keyInput.reset();
    m_deviceFeed.reset();
    m_boxSim.reset();
    m_logic.reset();
    if (!m_warnings.isEmpty())
        qFatal("%lld QML warning(s) during the tests fail the run; the first: %s",
               static_cast<long long>(m_warnings.size()), qPrintable(m_warnings.first()));
}

QList<QPair<QString, QObject *>> QmlTestSetup::testObjects() const
{
    return {
        { QStringLiteral("boxSim"), m_boxSim.get() },
        { QStringLiteral("deviceFeed"), m_deviceFeed.get() },
        { QStringLiteral("keyInput"), m_keyInput.get() },
    };
}
