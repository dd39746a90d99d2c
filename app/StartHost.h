// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QCommandLineOption>
#include <QString>
#include <QStringList>

class QCommandLineParser;
class Settings;

// Which box the program starts on: the remembered one, unless the command line
// names a valid address, which is then remembered in its place.
namespace starthost {

QCommandLineOption hostOption();
void configureParser(QCommandLineParser &parser, const QCommandLineOption &host);

// Parses the arguments into the configured parser (a parse error is logged, and
// whatever was recognised still counts) and returns the start host, writing a
// new valid address and an empty name to the settings.
QString resolve(QCommandLineParser &parser, const QCommandLineOption &host, const QStringList &arguments,
                Settings &settings);

} // namespace starthost
