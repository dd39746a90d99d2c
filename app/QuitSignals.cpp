// SPDX-License-Identifier: Apache-2.0
#include "QuitSignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int g_fds[2] = { -1, -1 };
const int kSignals[] = { SIGTERM, SIGINT };

void onUnixSignal(int)
{
    const int saved = errno;
    const char byte = 1;
    // A full pipe already has a quit pending; nothing is lost by dropping this one.
    [[maybe_unused]] const ssize_t written = ::write(g_fds[0], &byte, 1);
    errno = saved;
}

void setHandlers(void (*handler)(int))
{
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int sig : kSignals)
        ::sigaction(sig, &action, nullptr);
}

} // namespace

QuitSignals::QuitSignals(QObject *parent)
    : QObject(parent)
{
    if (g_fds[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_fds) != 0) {
        qWarning("Cannot watch for SIGTERM and SIGINT");
        return;
    }
    m_notifier = new QSocketNotifier(g_fds[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &QuitSignals::onSignal);
    setHandlers(onUnixSignal);
}

QuitSignals::~QuitSignals()
{
    if (!m_notifier)
        return;
    setHandlers(SIG_DFL);
    delete m_notifier;
    m_notifier = nullptr;
    ::close(g_fds[0]);
    ::close(g_fds[1]);
    g_fds[0] = g_fds[1] = -1;
}

void QuitSignals::onSignal()
{
    char buffer[16];
    while (::read(g_fds[1], buffer, sizeof buffer) > 0) { }
    QCoreApplication::quit();
}
