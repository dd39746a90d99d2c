// SPDX-License-Identifier: Apache-2.0
// falquin-cli: Falquin's box list and keys for shell scripts, cron jobs and home automation.
#include "Cli.h"
#include "Identity.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QTextStream>

#include <csignal>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    // Falquin's own settings store, for the box it remembers.
    identity::apply();

    // The sweep's per-network info lines are for the app's log, not a script's output;
    // QT_LOGGING_RULES still turns them on.
    QLoggingCategory::setFilterRules(QStringLiteral("default.info=false"));

#if defined(Q_OS_UNIX)
    // A reader that goes away (`| head`) must not end the program before a held seek's "up"
    // went out: the failed write is reported by the exit status instead.
    std::signal(SIGPIPE, SIG_IGN);
#endif

    QTextStream out(stdout);
    QTextStream err(stderr);
    return cli::run(QCoreApplication::arguments(), out, err);
}
