// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "Box.h"
#include "ImgrMsg.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class QTextStream;

// falquin-cli: lists the boxes and sends them keys from a shell script.
namespace cli {

// The exit codes scripts rely on; the manual page lists them.
enum ExitCode {
    kOk = 0,
    kKeyFailed = 1, // a key was refused or not answered
    kUsage = 2, // bad arguments, an unknown key word, an ambiguous or invalid box
    kNoBox = 3, // no box answered, none matched, or none is configured
    kNoNetwork = 4, // the network cannot be used: no interface, a port taken, a send that failed
    kOutputFailed = 5, // the standard output could not be written (a reader that went away)
};

// The key words the program sends: the same command strings as the drawn remote.
const QStringList &keyWords();

// One box as `list` prints it: display id, address, name, tuner label and model, tab-separated.
// A remembered box, which did not answer, has neither tuner label nor model.
QString describe(const imgr::ImgrMsg &reply);
QString describe(const Box &box);
// The same box as one compact JSON object: id, ip, name, tuners (the count, null for a box that
// did not answer) and model.
QByteArray describeJson(const imgr::ImgrMsg &reply);
QByteArray describeJson(const Box &box);

// Which box of those seen so far a --box argument names: by id, raw or grouped (any case), or
// else by exact name.
struct BoxMatch
{
    enum Kind { None, Found, Ambiguous };
    Kind kind = None;
    Box box;
};
BoxMatch matchBox(const QList<Box> &seen, const QString &query);

// Runs one command line (arguments[0] is the program) and returns its exit code; a failed write to
// out makes it kOutputFailed once the command has done what it owes the box. Needs a
// QCoreApplication whose organization and application name select Falquin's settings; send and
// hold run its event loop until their keys are answered.
int run(const QStringList &arguments, QTextStream &out, QTextStream &err);

} // namespace cli
