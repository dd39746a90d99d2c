// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QString>
#include <QStringList>

class Settings;

// Which box the program starts on: the remembered one, unless the command line names a valid
// address, which is then a box of its own.
namespace starthost {

struct StartBox
{
    QString ip; // empty: no box, and the picker opens
    QString name;
    QString id;
    bool given = false; // a new box from the command line rather than the stored one
};

// Parses the command line (arguments[0] is the program; a parse error is logged, and whatever
// was recognised still counts). Reads the settings and writes nothing: choosing the box is the
// caller's.
StartBox resolve(const QStringList &arguments, const Settings &settings);

} // namespace starthost
