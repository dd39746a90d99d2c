// SPDX-License-Identifier: Apache-2.0
#include "DeviceFollower.h"
#include "DeviceIdentity.h"
#include "DiscoveryService.h"
#include "Display.h"
#include "KeyRepeatFilter.h"
#include "KeySender.h"
#include "QuitSignals.h"
#include "RemoteDeviceModel.h"
#include "Scene.h"
#include "Settings.h"
#include "StartHost.h"

#include <QCommandLineParser>
#include <QGuiApplication>
#include <QQmlApplicationEngine>

int main(int argc, char *argv[])
{
    display::exitUnlessOpenable(argc, argv);
    QGuiApplication app(argc, argv);
    scene::setUpApplication();

    // SIGTERM, SIGINT and SIGHUP end the loop like a closed window, so a held seek still gets its "up".
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
    // Rows appear as the boxes answer; the sweep's whole list settles them at its end.
    QObject::connect(discoveryService.feed(), &ReplyFeed::arrived, &remoteDeviceModel, &RemoteDeviceModel::addReplies);
    QObject::connect(&discoveryService, &DiscoveryService::finished, &remoteDeviceModel,
                     &RemoteDeviceModel::setDevices);
    // Finds the remembered box again when it stops answering at its address; the scene sees
    // it as keySender.follower.
    DeviceFollower follower(&keySender, &settings, &discoveryService);
    keySender.setFollower(&follower);

    // Last declared, so the scene is destroyed before every object it binds to.
    const std::unique_ptr<QQmlApplicationEngine> engine
        = scene::load({ &settings, &keySender, &discoveryService, &remoteDeviceModel });

    return QGuiApplication::exec();
}
