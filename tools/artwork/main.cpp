// SPDX-License-Identifier: Apache-2.0
// falquin-artwork: redraws the app icon and the wordmark into a source tree (or any directory).
#include "Artwork.h"

#include <QCommandLineParser>
#include <QDir>
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

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("falquin-artwork"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Draws app/app_icon.png and qml/images/orvantide_logo.png under the given directory."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("dir"), QStringLiteral("Output root, usually the source tree."));
    parser.process(app);
    if (parser.positionalArguments().size() != 1)
        parser.showHelp(2);

    const QDir root(parser.positionalArguments().first());
    const bool ok = save(artwork::appIcon(), root, QStringLiteral("app/app_icon.png"))
        && save(artwork::logo(), root, QStringLiteral("qml/images/orvantide_logo.png"));
    return ok ? 0 : 1;
}
