// SPDX-License-Identifier: Apache-2.0
#include "StartHost.h"

#include "HostAddress.h"
#include "Settings.h"
#include "ShownText.h"

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
        qWarning("%s", qUtf8Printable(shown::printable(parser.errorText())));

    QString candidate = parser.value(host);
    const QStringList positional = parser.positionalArguments();
    if (candidate.isEmpty() && !positional.isEmpty())
        candidate = positional.first();
    const QList<network::InterfaceInfo> interfaces = network::localInterfaces();
    // An older or hand-edited store may hold what the rule refuses: that counts as no box, so
    // the picker opens, and the store stays as it is until a box is chosen there.
    const auto storedHost = [&stored, &interfaces] {
        const QString problem = stored.isEmpty() ? QString() : hostaddress::refusal(stored, interfaces);
        if (problem.isEmpty())
            return stored;
        qWarning("Ignoring stored device address \"%s\": %s", qUtf8Printable(shown::excerpt(stored)),
                 qUtf8Printable(problem));
        return QString();
    };
    if (candidate.isEmpty())
        return storedHost();
    const QString problem = hostaddress::refusal(candidate, interfaces);
    if (!problem.isEmpty()) {
        qWarning("Ignoring device argument \"%s\": %s", shown::excerpt(candidate).toLocal8Bit().constData(),
                 problem.toLocal8Bit().constData());
        return storedHost();
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
