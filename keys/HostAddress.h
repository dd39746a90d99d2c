// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "Interfaces.h"

#include <QList>
#include <QString>

// The one rule for what can be a box's address, wherever an address comes in: the command
// line, the picker, the stored setting, a discovery reply and the key sender.
//
// IPv4 is exactly four decimal numbers 0-255 without leading zeros; IPv6 is any RFC 4291 text
// form, "::" and a dotted-quad tail included, with an optional scope that names an interface
// ("fe80::1%eth0"). Refused, as no single box's address: 0.0.0.0/8, multicast, 240.0.0.0/4
// (255.255.255.255 included), "::", and the network and broadcast address of every IPv4 network
// of the given interfaces; "::ffff:a.b.c.d" as a.b.c.d. Text with spaces around it is refused
// too: a caller that takes typed text trims it first.
namespace hostaddress {

// Why text cannot be a box's address on a machine with these interfaces (short, translated,
// plain text), or an empty string when it can. The machine's networks change while the program
// runs: callers pass them as they are at the moment they decide (LocalNetworks::current()).
QString refusal(const QString &text, const QList<network::InterfaceInfo> &interfaces);
// Whether text is written as an IPv4 or IPv6 address at all, whether or not the rule then takes
// it: "255.255.255.255" is, "10.77.0.300" and "tv.local" are not.
bool isAddressText(const QString &text);

} // namespace hostaddress
