// SPDX-License-Identifier: Apache-2.0
#include "HostAddress.h"

#include <QCoreApplication>
#include <QHostAddress>

namespace hostaddress {

QString refusal(const QString &text)
{
    if (QHostAddress(text).isNull())
        return QCoreApplication::translate("HostAddress", "Not a numeric IP address");
    return {};
}

} // namespace hostaddress
