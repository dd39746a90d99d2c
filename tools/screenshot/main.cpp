// SPDX-License-Identifier: Apache-2.0
// Renders the app's window offscreen, as a user first sees it, into a PNG for the docs.
#include "KeySender.h"
#include "Settings.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <QQuickWindow>
#include <QTimer>

#include <cstdio>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QGuiApplication::setOrganizationName(QStringLiteral("Orvantide"));
    QGuiApplication::setApplicationName(QStringLiteral("Falquin"));
    const QStringList args = QGuiApplication::arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: %s <output.png>\n", qPrintable(args.first()));
        return 2;
    }
    if (QFontDatabase::addApplicationFont(QStringLiteral(":/qml/fonts/MaterialSymbolsRounded-Regular.ttf")) < 0)
        qFatal("icon font missing from the resources");

    // The same context objects as the app; with no host configured nothing is sent.
    Settings settings;
    KeySender keySender;
    QQmlApplicationEngine engine;
    engine.addImportPath(QStringLiteral("qrc:/"));
    engine.rootContext()->setContextProperty(QStringLiteral("settings"), &settings);
    engine.rootContext()->setContextProperty(QStringLiteral("keySender"), &keySender);
    engine.load(QUrl(QStringLiteral("qrc:/qml/Main.qml")));
    auto *window = engine.rootObjects().isEmpty() ? nullptr : qobject_cast<QQuickWindow *>(engine.rootObjects().first());
    if (!window)
        qFatal("Main.qml did not create a window");

    int result = 1;
    // Let the scene settle (images, first frame) before grabbing it.
    QTimer::singleShot(500, &app, [&] {
        const QImage image = window->grabWindow();
        if (image.isNull() || !image.save(args.at(1)))
            std::fprintf(stderr, "could not write %s\n", qPrintable(args.at(1)));
        else
            result = 0;
        QGuiApplication::quit();
    });
    QGuiApplication::exec();
    return result;
}
