// SPDX-License-Identifier: Apache-2.0
#include "StartHost.h"

#include "HostAddress.h"
#include "Settings.h"

#include <QCommandLineParser>
#include <QtDebug>

namespace starthost {

StartBox resolve(const QStringList &arguments, const Settings &settings)
{
    QCommandLineParser parser;
    const QCommandLineOption host(QStringLiteral("host"), QStringLiteral("IP address of the box to start on."),
                                  QStringLiteral("ip"));
    parser.addOption(host);
    parser.addPositionalArgument(QStringLiteral("ip"), QStringLiteral("Same as --host."), QStringLiteral("[ip]"));
    const QString stored = settings.lastDeviceIp();
    if (!parser.parse(arguments))
        qWarning("%s", qUtf8Printable(parser.errorText()));

    QString candidate = parser.value(host);
    const QStringList positional = parser.positionalArguments();
    if (candidate.isEmpty() && !positional.isEmpty())
        candidate = positional.first();
    // An older or hand-edited store may hold what the rule refuses: that counts as no box, so
    // the picker opens, and the store stays as it is until a box is chosen there.
    const auto storedBox = [&] {
        const QString problem = stored.isEmpty() ? QString() : hostaddress::refusal(stored);
        if (!problem.isEmpty()) {
            qWarning("Ignoring stored device address \"%s\": %s", qUtf8Printable(stored), qUtf8Printable(problem));
            return StartBox();
        }
        return stored.isEmpty() ? StartBox()
                                : StartBox { stored, settings.lastDeviceName(), settings.lastDeviceId(), false };
    };
    if (candidate.isEmpty())
        return storedBox();
    if (!hostaddress::isValid(candidate)) {
        qWarning("Ignoring device argument \"%s\": not an IP address", candidate.toLocal8Bit().constData());
        return storedBox();
    }
    // A box given by address has no name, and is no longer the one discovery knew by its id.
    if (stored != candidate)
        return { candidate, QString(), QString(), true };
    return { candidate, settings.lastDeviceName(), settings.lastDeviceId(), false };
}

} // namespace starthost
