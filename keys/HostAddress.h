// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QString>

// The one rule for what can be a box's address, wherever an address comes in: the command
// line, the picker, the stored setting and the key sender.
namespace hostaddress {

// Why text cannot be a box's address (short, translated, plain text), or an empty string when it can.
QString refusal(const QString &text);
inline bool isValid(const QString &text)
{
    return refusal(text).isEmpty();
}

} // namespace hostaddress
