// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QCoreApplication>
#include <QString>

// Who the program is to the system: the names that select its settings store, its player on the
// desktop's bus, and the client name in every discovery request.
namespace identity {

inline constexpr char kOrganization[] = "Orvantide";
inline constexpr char kApplication[] = "Falquin";

// Call right after the application object exists, before the first Settings: the store is
// named by these.
inline void apply()
{
    QCoreApplication::setOrganizationName(QLatin1String(kOrganization));
    QCoreApplication::setApplicationName(QLatin1String(kApplication));
}

} // namespace identity
