// SPDX-License-Identifier: Apache-2.0
#include "Scene.h"

#include "DeviceChoice.h"
#include "DeviceFollower.h"
#include "DiscoveryService.h"
#include "FoundDevices.h"
#include "Identity.h"
#include "KeySender.h"
#include "KeyTable.h"
#include "Logic.h"
#include "RemoteDeviceModel.h"
#include "Settings.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QIcon>
#include <QLocale>
#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <QQuickWindow>
#include <QTranslator>
#include <QtConcurrent/QtConcurrentRun>
#include <QtQml/qqmlextensionplugin.h>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

Q_IMPORT_QML_PLUGIN(FalquinPlugin)

namespace scene {

namespace {

QFuture<void> g_iconFont;

} // namespace

void setUpApplication()
{
    identity::apply();
    QGuiApplication::setApplicationVersion(QStringLiteral(FALQUIN_VERSION));
    // Lets Wayland shells match the window to the installed desktop entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("com.orvantide.Falquin"));
    // The remote is flat 2D (rounded keys, text, one image, a few fades): Qt Quick's software
    // renderer draws it without starting OpenGL, whose driver (LLVM, with Mesa's software GL)
    // costs tens of ms and megabytes before the first frame. Either variable still chooses.
    if (qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND") && qEnvironmentVariableIsEmpty("QSG_RHI_BACKEND"))
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    // Registering it starts the system's font configuration, milliseconds of parsing that the
    // rest of the start-up need not wait for (QFontDatabase is thread-safe); the window waits
    // for it before its first text.
    g_iconFont = QtConcurrent::run([] {
        if (QFontDatabase::addApplicationFont(QStringLiteral(":/Falquin/fonts/MaterialSymbolsRounded-Regular.ttf")) < 0)
            qWarning("Failed to register Material Symbols Rounded font");
    });

    // English is the source language: without a catalogue for the locale the texts stay as written.
    auto *translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(QLocale(), QStringLiteral("falquin"), QStringLiteral("_"), QStringLiteral(":/i18n")))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

namespace {

// What the window can do without until it has drawn itself once.
void afterFirstFrame()
{
    // Decoding it loads Qt's image-format plugins: nothing the first frame should wait for.
    QGuiApplication::setWindowIcon(QIcon(QStringLiteral(":/app_icon.png")));
#if defined(__GLIBC__)
    // Start-up leaves megabytes of freed heap (QML compilation, image and font loading)
    // that glibc would otherwise keep for the whole session.
    malloc_trim(0);
#endif
}

} // namespace

void prepareEngine(QQmlEngine &engine, const Logic &logic)
{
    // Lets "import Falquin" resolve from the resources wherever the binary lives.
    engine.addImportPath(QStringLiteral("qrc:/"));
    QQmlContext *context = engine.rootContext();
    context->setContextProperty(QStringLiteral("settings"), &logic.settings());
    context->setContextProperty(QStringLiteral("keySender"), &logic.keySender());
    context->setContextProperty(QStringLiteral("discoveryService"), &logic.discoveryService());
    context->setContextProperty(QStringLiteral("remoteDeviceModel"), &logic.remoteDeviceModel());
}

void waitForIconFont()
{
    g_iconFont.waitForFinished();
}

QVariantMap windowProperties(const Logic &logic)
{
    return {
        { QStringLiteral("choice"), QVariant::fromValue<QObject *>(&logic.choice()) },
        { QStringLiteral("foundDevices"), QVariant::fromValue<QObject *>(&logic.foundDevices()) },
        { QStringLiteral("follower"), QVariant::fromValue<QObject *>(&logic.follower()) },
        { QStringLiteral("keyTable"), QVariant::fromValue<QObject *>(&logic.keyTable()) },
    };
}

std::unique_ptr<QQmlApplicationEngine> load(const Logic &logic)
{
    auto engine = std::make_unique<QQmlApplicationEngine>();
    prepareEngine(*engine, logic);
    waitForIconFont();
    engine->setInitialProperties(windowProperties(logic));
    QObject::connect(
        engine.get(), &QQmlApplicationEngine::objectCreationFailed, QCoreApplication::instance(),
        [] { QCoreApplication::exit(1); }, Qt::QueuedConnection);
    engine->load(QUrl(QStringLiteral("qrc:/Falquin/Main.qml")));
    if (auto *window = qobject_cast<QQuickWindow *>(engine->rootObjects().value(0)))
        QObject::connect(window, &QQuickWindow::frameSwapped, window, &afterFirstFrame, Qt::SingleShotConnection);
    return engine;
}

} // namespace scene
