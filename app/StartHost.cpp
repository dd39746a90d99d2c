// SPDX-License-Identifier: Apache-2.0
#include "StartHost.h"

#include "KeySender.h"
#include "Settings.h"

#include <QCommandLineParser>
#include <QtDebug>

namespace starthost {

QCommandLineOption hostOption()
{
    return QCommandLineOption(QStringLiteral("host"), QStringLiteral("IP address of the box to start on."),
                              QStringLiteral("ip"));
}

void configureParser(QCommandLineParser &parser, const QCommandLineOption &host)
{
    parser.addOption(host);
    parser.addPositionalArgument(QStringLiteral("ip"), QStringLiteral("Same as --host."), QStringLiteral("[ip]"));
}

QString resolve(QCommandLineParser &parser, const QCommandLineOption &host, const QStringList &arguments,
                Settings &settings)
{
    const QString stored = settings.lastDeviceIp();
    if (!parser.parse(arguments))
        qWarning("%s", qUtf8Printable(parser.errorText()));

    QString candidate = parser.value(host);
    const QStringList positional = parser.positionalArguments();
    if (candidate.isEmpty() && !positional.isEmpty())
        candidate = positional.first();
    if (candidate.isEmpty())
        return stored;
    if (!KeySender::isNumericAddress(candidate)) {
        qWarning("Ignoring device argument \"%s\": not an IP address", candidate.toLocal8Bit().constData());
        return stored;
    }
    if (stored != candidate) {
        settings.setLastDeviceIp(candidate);
        settings.setLastDeviceName(QString());
        // A box given by address is no longer the one discovery knew by its id.
        settings.setLastDeviceId(QString());
    }
    return candidate;
}

} // namespace starthost
