// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QString>

// The one rule for what can be a box's address, wherever an address comes in: the command
// line, the picker, the stored setting and the key sender.
//
// IPv4 is exactly four decimal numbers 0-255 without leading zeros; IPv6 is any RFC 4291 text
// form, "::" and a dotted-quad tail included, with an optional scope ("fe80::1%eth0"). The
// unspecified, broadcast and multicast addresses are refused. Text with spaces around it is
// refused too: a caller that takes typed text trims it first.
namespace hostaddress {

// Why text cannot be a box's address (short, translated, plain text), or an empty string when it can.
QString refusal(const QString &text);
inline bool isValid(const QString &text)
{
    return refusal(text).isEmpty();
}

} // namespace hostaddress
