// SPDX-License-Identifier: Apache-2.0
#include "Display.h"
#include "KeyRepeatFilter.h"
#include "Logic.h"
#include "QuitSignals.h"
#include "Scene.h"

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

    // The settings, the key sender on the box to start on, the discovery objects and the follower.
    const Logic logic(QCoreApplication::arguments());

    // Last declared, so the scene is destroyed before every object it binds to.
    const std::unique_ptr<QQmlApplicationEngine> engine = scene::load(logic);

    return QGuiApplication::exec();
}
