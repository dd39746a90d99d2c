// SPDX-License-Identifier: Apache-2.0
// Renders the app's real window offscreen into a PNG for the docs, through the app's own scene
// setup. Fails on any QML warning, so a broken scene never makes it into the pictures.
//   falquin-screenshot remote <out.png>   the remote, a box chosen
//   falquin-screenshot picker <out.png>   the device picker open over four boxes
#include "DiscoveryService.h"
#include "ImgrMsg.h"
#include "KeySender.h"
#include "Logic.h"
#include "RemoteDeviceModel.h"
#include "Scene.h"

#include <QGuiApplication>
#include <QImage>
#include <QQmlApplicationEngine>
#include <QQuickWindow>
#include <QTimer>

#include <cstdio>

namespace {

imgr::ImgrMsg box(const char *id, const char *name, const char *ip, quint8 tuners)
{
    imgr::ImgrMsg msg;
    msg.msgType = 2;
    msg.shareFlags = imgr::SHARE_LIBRARY | (tuners ? imgr::SHARE_TUNER : 0);
    msg.deviceId = id;
    msg.ip = ip;
    msg.name = name;
    msg.numTuners = tuners;
    return msg;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    scene::setUpApplication();
    const QStringList args = QGuiApplication::arguments();
    const QString mode = args.value(1);
    if (args.size() != 3 || (mode != QLatin1String("remote") && mode != QLatin1String("picker"))) {
        std::fprintf(stderr, "usage: %s remote|picker <output.png>\n", qPrintable(args.first()));
        return 2;
    }

    // The app's own objects and connections; the tool runs with a private home of its own.
    const Logic logic({ args.first() });
    if (mode == QLatin1String("remote")) {
        // A documentation address, shown but not stored: the picker's picture, taken next in the
        // same home, needs no box stored. Nothing is sent, since no key is pressed.
        logic.keySender().setHost(QStringLiteral("192.0.2.10"));
        logic.keySender().setDeviceName(QStringLiteral("Living room"));
    }

    QStringList warnings;
    const auto engine = scene::load(logic);
    QObject::connect(engine.get(), &QQmlEngine::warnings, [&warnings](const QList<QQmlError> &errors) {
        for (const QQmlError &error : errors)
            warnings.append(error.toString());
    });
    auto *window
        = engine->rootObjects().isEmpty() ? nullptr : qobject_cast<QQuickWindow *>(engine->rootObjects().first());
    if (!window) {
        std::fprintf(stderr, "the main window was not created\n");
        return 1;
    }

    int result = 1;
    const auto grab = [&] {
        // Let the scene settle (images, the list, first frame) before grabbing it.
        QTimer::singleShot(500, &app, [&] {
            const QImage image = window->grabWindow();
            if (!warnings.isEmpty())
                std::fprintf(stderr, "QML warnings:\n%s\n", qPrintable(warnings.join(QLatin1Char('\n'))));
            else if (image.isNull() || !image.save(args.at(2)))
                std::fprintf(stderr, "could not write %s\n", qPrintable(args.at(2)));
            else
                result = 0;
            QGuiApplication::quit();
        });
    };
    if (mode == QLatin1String("picker")) {
        // The picker opened by itself and started a sweep, which finds nothing in a namespace of
        // its own; once it is over, the list shows the boxes a home network might have.
        DiscoveryService &discoveryService = logic.discoveryService();
        QObject::connect(&discoveryService, &DiscoveryService::scanningChanged, &app, [&] {
            if (discoveryService.isScanning())
                return;
            logic.remoteDeviceModel().setDevices({ box("0e0b0c5151a2", "Living room", "192.168.1.20", 2),
                                                   box("0e0b0c5151a3", "Attic", "192.168.1.21", 4),
                                                   box("0e0b0c5151a4", "Study", "192.168.1.22", 1),
                                                   box("0e0b0c5151a5", "", "192.168.1.23", 0) });
            grab();
        });
    } else {
        grab();
    }
    QGuiApplication::exec();
    return result;
}
