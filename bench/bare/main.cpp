// SPDX-License-Identifier: Apache-2.0
// The yardstick for start-up: the least a Qt Quick window costs on this Qt. Given a
// QML file, it loads that instead, to try what a piece of a scene costs to start.
#include <QGuiApplication>
#include <QQmlApplicationEngine>
#include <QUrl>

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    QQmlApplicationEngine engine;
    if (argc > 1)
        engine.load(QUrl::fromLocalFile(QString::fromLocal8Bit(argv[1])));
    else
        engine.loadData(
            QByteArrayLiteral("import QtQuick\n"
                              "import QtQuick.Controls.Basic\n"
                              "ApplicationWindow {\n"
                              "    width: 340; height: 920; visible: true\n"
                              "    title: \"Bare\"; color: \"#0f0f0f\"\n"
                              "    Rectangle { x: 40; y: 40; width: 100; height: 100; color: \"#f5871f\" }\n"
                              "}\n"));
    if (engine.rootObjects().isEmpty())
        return 1;
    return QGuiApplication::exec();
}
