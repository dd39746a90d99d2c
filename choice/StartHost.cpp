// SPDX-License-Identifier: Apache-2.0
#include "StartHost.h"

#include "HostAddress.h"
#include "Settings.h"
#include "ShownText.h"

#include <QCommandLineParser>
#include <QtDebug>

namespace starthost {

Start resolve(const QStringList &arguments, const Settings &settings, const QList<network::InterfaceInfo> &interfaces)
{
    QCommandLineParser parser;
    const QCommandLineOption host(QStringLiteral("host"), QStringLiteral("IP address of the box to start on."),
                                  QStringLiteral("ip"));
    parser.addOption(host);
    parser.addPositionalArgument(QStringLiteral("ip"), QStringLiteral("Same as --host."), QStringLiteral("[ip]"));
    const QString stored = settings.lastDeviceIp();
    if (!parser.parse(arguments))
        qWarning("%s", qUtf8Printable(shown::printable(parser.errorText())));

    QString candidate = parser.value(host);
    const QStringList positional = parser.positionalArguments();
    if (candidate.isEmpty() && !positional.isEmpty())
        candidate = positional.first();
    // An older or hand-edited store may hold what the rule refuses: that counts as no box, so
    // the picker opens, and the store stays as it is until a box is chosen there.
    // A stored box is checked by the rule alone: one that the networks around it have since made
    // a network's own or broadcast address is resumed, and its first key says why it cannot go.
    const auto storedBox = [&] {
        const QString problem = stored.isEmpty() ? QString() : hostaddress::refusal(stored, {});
        if (!problem.isEmpty()) {
            qWarning("Ignoring stored device address \"%s\": %s", qUtf8Printable(shown::excerpt(stored)),
                     qUtf8Printable(problem));
            return Start();
        }
        return Start { { settings.lastDeviceId(), settings.lastDeviceName(), stored }, false };
    };
    if (candidate.isEmpty())
        return storedBox();
    const QString problem = hostaddress::refusal(candidate, interfaces);
    if (!problem.isEmpty()) {
        // Text that is no address at all is just that; an address that reaches no single box says why.
        const QString why = hostaddress::isAddressText(candidate) ? problem : QStringLiteral("not an IP address");
        qWarning("Ignoring device argument \"%s\": %s", shown::excerpt(candidate).toLocal8Bit().constData(),
                 why.toLocal8Bit().constData());
        return storedBox();
    }
    // A box given by address has no name, and is no longer the one discovery knew by its id.
    if (stored != candidate)
        return { { QString(), QString(), candidate }, true };
    return { { settings.lastDeviceId(), settings.lastDeviceName(), candidate }, false };
}

} // namespace starthost
