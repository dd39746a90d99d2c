// SPDX-License-Identifier: Apache-2.0
#include "Display.h"
#include "KeyRepeatFilter.h"
#include "Logic.h"
#include "QuitSignals.h"
#include "Scene.h"

#include <QGuiApplication>
#include <QQmlApplicationEngine>

#if defined(FALQUIN_MEDIA_KEYS)
#include "MediaPlayer.h"

#include <QQuickWindow>
#endif

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

    // Declared after the logic, so the scene is destroyed before every object it binds to.
    const std::unique_ptr<QQmlApplicationEngine> engine = scene::load(logic);

#if defined(FALQUIN_MEDIA_KEYS)
    // The desktop's media keys, also while the window is in the background. Made here, not in
    // Logic, so that no test or tool that shows the window lands on a session bus.
    MediaPlayer mediaPlayer(&logic.keySender(), &logic.settings());
    if (auto *window = qobject_cast<QQuickWindow *>(engine->rootObjects().value(0))) {
        mediaPlayer.setRaise([window] {
            window->setWindowStates(window->windowStates() & ~Qt::WindowMinimized);
            window->show();
            window->raise();
            window->requestActivate();
        });
        // The bus is met after the first frame, which it would only delay.
        QObject::connect(
            window, &QQuickWindow::frameSwapped, &mediaPlayer,
            [&mediaPlayer] { mediaPlayer.start(QDBusConnection::sessionBus()); }, Qt::SingleShotConnection);
    }
#endif

    return QGuiApplication::exec();
}
