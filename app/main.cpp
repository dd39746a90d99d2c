// SPDX-License-Identifier: Apache-2.0
#include "DeviceIdentity.h"
#include "DiscoveryService.h"
#include "KeyRepeatFilter.h"
#include "KeySender.h"
#include "QuitSignals.h"
#include "RemoteDeviceModel.h"
#include "Settings.h"
#include "StartHost.h"

#include <QCommandLineParser>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QIcon>
#include <QQmlApplicationEngine>
#include <QQmlContext>

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    // The store that Settings opens is named by these two, so they come first.
    QGuiApplication::setOrganizationName(QStringLiteral("Orvantide"));
    QGuiApplication::setApplicationName(QStringLiteral("Falquin"));
    QGuiApplication::setApplicationVersion(QStringLiteral("1.1.1"));
    QGuiApplication::setWindowIcon(QIcon(QStringLiteral(":/app_icon.png")));
    if (QFontDatabase::addApplicationFont(QStringLiteral(":/qml/fonts/MaterialSymbolsRounded-Regular.ttf")) < 0)
        qWarning("Failed to register Material Symbols Rounded font");

    // SIGTERM and SIGINT end the loop like a closed window, so a held seek still gets its "up".
    QuitSignals quitSignals;
    KeyRepeatFilter keyRepeatFilter;
    app.installEventFilter(&keyRepeatFilter);

    Settings settings;
    KeySender keySender;

    QCommandLineParser parser;
    const QCommandLineOption hostOption = starthost::hostOption();
    starthost::configureParser(parser, hostOption);
    const QString startHost = starthost::resolve(parser, hostOption, QCoreApplication::arguments(), settings);

    // Host first: setting it clears the name.
    keySender.setHost(startHost);
    keySender.setDeviceName(settings.lastDeviceName());

    // Declared in creation order, so they go in reverse after the engine: the model, then the
    // service (which stops a running sweep and waits for it), then the identity it points at.
    DeviceIdentity identity;
    DiscoveryService discoveryService(&identity);
    RemoteDeviceModel remoteDeviceModel;
    QObject::connect(&discoveryService, &DiscoveryService::finished, &remoteDeviceModel,
                     &RemoteDeviceModel::setDevices);

    QQmlApplicationEngine engine;
    // Lets "import Falquin" resolve from the resources wherever the binary lives.
    engine.addImportPath(QStringLiteral("qrc:/"));
    engine.rootContext()->setContextProperty(QStringLiteral("settings"), &settings);
    engine.rootContext()->setContextProperty(QStringLiteral("keySender"), &keySender);
    engine.rootContext()->setContextProperty(QStringLiteral("discoveryService"), &discoveryService);
    engine.rootContext()->setContextProperty(QStringLiteral("remoteDeviceModel"), &remoteDeviceModel);
    QObject::connect(
        &engine, &QQmlApplicationEngine::objectCreationFailed, &app, [] { QCoreApplication::exit(1); },
        Qt::QueuedConnection);
    engine.load(QUrl(QStringLiteral("qrc:/qml/Main.qml")));

    return QGuiApplication::exec();
}
