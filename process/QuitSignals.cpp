// SPDX-License-Identifier: Apache-2.0
#include "QuitSignals.h"

#if defined(Q_OS_UNIX)

#include <QCoreApplication>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <iterator>
#include <unistd.h>

namespace {

// pipe() and fcntl() rather than pipe2() or socket flags, which macOS lacks.
int g_fds[2] = { -1, -1 };
constexpr int kReadEnd = 0;
constexpr int kWriteEnd = 1;
// SIGHUP: the terminal that started the program was closed.
const int kSignals[] = { SIGTERM, SIGINT, SIGHUP };
struct sigaction g_previous[std::size(kSignals)];

void onUnixSignal(int)
{
    const int saved = errno;
    const char byte = 1;
    // A full pipe already has a quit pending; nothing is lost by dropping this one.
    [[maybe_unused]] const ssize_t written = ::write(g_fds[kWriteEnd], &byte, 1);
    errno = saved;
}

void installHandlers()
{
    struct sigaction action = {};
    action.sa_handler = onUnixSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < std::size(kSignals); ++i) {
        ::sigaction(kSignals[i], nullptr, &g_previous[i]);
        // Started by nohup: the program is meant to outlive its terminal.
        if (kSignals[i] == SIGHUP && g_previous[i].sa_handler == SIG_IGN)
            continue;
        ::sigaction(kSignals[i], &action, nullptr);
    }
}

void restoreHandlers()
{
    for (std::size_t i = 0; i < std::size(kSignals); ++i)
        ::sigaction(kSignals[i], &g_previous[i], nullptr);
}

// Neither end may reach a program this one starts, and neither may block: not the
// handler's write, nor the drain's last read.
bool makePrivateAndNonBlocking(int fd)
{
    const int fdFlags = ::fcntl(fd, F_GETFD);
    const int statusFlags = ::fcntl(fd, F_GETFL);
    return fdFlags >= 0 && statusFlags >= 0 && ::fcntl(fd, F_SETFD, fdFlags | FD_CLOEXEC) == 0
        && ::fcntl(fd, F_SETFL, statusFlags | O_NONBLOCK) == 0;
}

void closePipe()
{
    for (int &fd : g_fds) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

} // namespace

QuitSignals::QuitSignals(QObject *parent)
    : QObject(parent)
{
    if (g_fds[kReadEnd] >= 0) {
        qWarning("Cannot watch for SIGTERM, SIGINT and SIGHUP");
        return;
    }
    if (::pipe(g_fds) != 0 || !makePrivateAndNonBlocking(g_fds[kReadEnd])
        || !makePrivateAndNonBlocking(g_fds[kWriteEnd])) {
        closePipe();
        qWarning("Cannot watch for SIGTERM, SIGINT and SIGHUP");
        return;
    }
    m_notifier = new QSocketNotifier(g_fds[kReadEnd], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &QuitSignals::onSignal);
    installHandlers();
}

QuitSignals::~QuitSignals()
{
    if (!m_notifier)
        return;
    restoreHandlers();
    delete m_notifier;
    m_notifier = nullptr;
    closePipe();
}

void QuitSignals::onSignal()
{
    char buffer[16];
    while (::read(g_fds[kReadEnd], buffer, sizeof buffer) > 0) { }
    QCoreApplication::quit();
}

#else

QuitSignals::QuitSignals(QObject *parent)
    : QObject(parent)
{
}

QuitSignals::~QuitSignals() = default;

#endif
