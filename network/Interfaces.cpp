// SPDX-License-Identifier: Apache-2.0
#include "Interfaces.h"

namespace network {

QList<InterfaceInfo> localInterfaces()
{
    QList<InterfaceInfo> result;
    const QList<QNetworkInterface> all = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface &iface : all)
        result.append({ iface.humanReadableName(), iface.flags(), iface.addressEntries() });
    return result;
}

std::optional<Ipv4Network> ipv4Network(const QNetworkAddressEntry &entry)
{
    const int prefix = entry.prefixLength();
    if (entry.ip().protocol() != QAbstractSocket::IPv4Protocol || prefix < 0 || prefix > 32)
        return std::nullopt;
    const quint32 mask = prefix == 0 ? 0 : ~quint32(0) << (32 - prefix);
    return Ipv4Network { entry.ip().toIPv4Address() & mask, mask, prefix };
}

} // namespace network
