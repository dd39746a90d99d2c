// SPDX-License-Identifier: Apache-2.0
// falquin-artwork: redraws the app icon and the wordmark into a source tree (or any directory),
// and draws the installed icons: the hicolor theme's sizes and the macOS .icns.
#include "Artwork.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <cstdio>

namespace {

bool save(const QImage &image, const QDir &root, const QString &relative)
{
    const QString path = root.filePath(relative);
    if (!QDir().mkpath(QFileInfo(path).absolutePath()) || !image.save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("wrote %s\n", qPrintable(path));
    return true;
}

bool saveIcns(const QString &path)
{
    QFile file(path);
    if (!QDir().mkpath(QFileInfo(path).absolutePath()) || !file.open(QIODevice::WriteOnly)
        || file.write(artwork::appIconIcns()) < 0 || !file.flush()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("wrote %s\n", qPrintable(path));
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("falquin-artwork"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Draws app/app_icon.png and qml/images/orvantide_logo.png under the given directory; "
                       "with --hicolor or --icns, the installed icons (the build does this)."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("dir"), QStringLiteral("Output root, usually the source tree."),
                                 QStringLiteral("[dir]"));
    const QCommandLineOption hicolor(QStringLiteral("hicolor"),
                                     QStringLiteral("Also draw the icon as <dir>/<N>x<N>/apps/<icon-name>.png."),
                                     QStringLiteral("dir"));
    const QCommandLineOption iconName(QStringLiteral("icon-name"), QStringLiteral("File name of the theme icons."),
                                      QStringLiteral("name"));
    const QCommandLineOption icns(QStringLiteral("icns"), QStringLiteral("Also write the icon as a macOS .icns."),
                                  QStringLiteral("file"));
    parser.addOptions({ hicolor, iconName, icns });
    parser.process(app);
    const QStringList positional = parser.positionalArguments();
    const bool extras = parser.isSet(hicolor) || parser.isSet(icns);
    if (positional.size() > 1 || (positional.isEmpty() && !extras)
        || (parser.isSet(hicolor) && parser.value(iconName).isEmpty()))
        parser.showHelp(2);

    bool ok = true;
    if (!positional.isEmpty()) {
        const QDir root(positional.first());
        ok = save(artwork::appIcon(), root, QStringLiteral("app/app_icon.png"))
            && save(artwork::logo(), root, QStringLiteral("qml/images/orvantide_logo.png"));
    }
    if (ok && parser.isSet(hicolor)) {
        const QDir theme(parser.value(hicolor));
        for (const int size : artwork::kThemeIconSizes) {
            ok = ok
                && save(artwork::appIcon(size), theme,
                        QStringLiteral("%1x%1/apps/%2.png").arg(size).arg(parser.value(iconName)));
        }
    }
    if (ok && parser.isSet(icns))
        ok = saveIcns(parser.value(icns));
    return ok ? 0 : 1;
}
