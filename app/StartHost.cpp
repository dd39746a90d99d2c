// SPDX-License-Identifier: Apache-2.0
#include "StartHost.h"

#include "Settings.h"

#include <QCommandLineParser>
#include <QHostAddress>
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

QString candidate(const QCommandLineParser &parser, const QCommandLineOption &host)
{
    QString value = parser.value(host);
    const QStringList positional = parser.positionalArguments();
    if (value.isEmpty() && !positional.isEmpty())
        value = positional.first();
    return value;
}

QString resolve(const QString &candidate, const QString &stored, Settings &settings)
{
    if (candidate.isEmpty())
        return stored;
    if (QHostAddress(candidate).isNull()) {
        qWarning("Ignoring device argument \"%s\": not an IP address", candidate.toLocal8Bit().constData());
        return stored;
    }
    if (stored != candidate) {
        settings.setLastDeviceIp(candidate);
        settings.setLastDeviceName(QString());
    }
    return candidate;
}

} // namespace starthost
