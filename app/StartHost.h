// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QCommandLineOption>
#include <QString>

class QCommandLineParser;
class Settings;

// Which box the program starts on: the remembered one, unless the command line
// names a valid address.
namespace starthost {

QCommandLineOption hostOption();
void configureParser(QCommandLineParser &parser, const QCommandLineOption &host);

// The value of --host, or else the first positional argument, or else empty.
QString candidate(const QCommandLineParser &parser, const QCommandLineOption &host);

// Applies a candidate to the remembered address: returns the start host and
// records a new valid address (with an empty name) in the settings.
QString resolve(const QString &candidate, const QString &stored, Settings &settings);

} // namespace starthost
