// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QList>
#include <QNetworkAddressEntry>
#include <QNetworkInterface>
#include <QString>

#include <optional>

// The machine's own networks, as the address rule and the sweep see them.
namespace network {

// What the program needs to know of one interface; tests make their own.
struct InterfaceInfo
{
    QString name;
    QNetworkInterface::InterfaceFlags flags;
    QList<QNetworkAddressEntry> entries;
};

QList<InterfaceInfo> localInterfaces();

// The IPv4 network an address entry is on.
struct Ipv4Network
{
    quint32 base = 0; // the network's own address
    quint32 mask = 0;
    int prefix = 0;

    bool contains(quint32 address) const { return (address & mask) == base; }
    quint32 broadcast() const { return base | ~mask; }
    // /31 and /32 networks have neither a network nor a broadcast address.
    bool hasEdges() const { return prefix <= 30; }
};

// Nothing for an entry that is not IPv4 or has no valid prefix.
std::optional<Ipv4Network> ipv4Network(const QNetworkAddressEntry &entry);

} // namespace network
