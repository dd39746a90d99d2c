// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "Box.h"
#include "Interfaces.h"

#include <QStringList>

class Settings;

// Which box the program starts on: the remembered one, unless the command line names a valid
// address, which is then a box of its own.
namespace starthost {

struct Start
{
    Box box; // null: no box, and the picker opens
    bool given = false; // a new box from the command line rather than the stored one
};

// Parses the command line (arguments[0] is the program; a parse error is logged, and whatever
// was recognised still counts), checking a given address against these networks. Reads the
// settings and writes nothing: choosing the box is the caller's.
Start resolve(const QStringList &arguments, const Settings &settings, const QList<network::InterfaceInfo> &interfaces);

} // namespace starthost
