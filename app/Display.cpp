// SPDX-License-Identifier: Apache-2.0
#include "Display.h"

#include <QCoreApplication>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <cstring>

// The desktops where Qt picks xcb or wayland by itself; macOS and Windows always have a display.
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN) && !defined(Q_OS_ANDROID)
#define FALQUIN_X11_OR_WAYLAND
#endif

namespace display {

namespace {

QtMessageHandler g_previous = nullptr;

[[noreturn]] void fail(const char *reason)
{
    std::fprintf(stderr, "falquin: cannot open a display (%s)\n", reason);
    std::fflush(stderr);
    // Not exit(): this can run inside QGuiApplication's constructor, with Qt half set up.
    std::_Exit(1);
}

void onMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    // Only while the application object is being made: a fatal error later is another matter.
    if (QCoreApplication::startingUp() && !QCoreApplication::closingDown()) {
        // The platform plugin's own first complaint ("could not connect to display :1") says
        // more than the fatal advice that follows it.
        static QString firstComplaint;
        if (firstComplaint.isEmpty() && context.category && std::strncmp(context.category, "qt.qpa.", 7) == 0)
            firstComplaint = message.trimmed();
        if (type == QtFatalMsg)
            fail(qPrintable(firstComplaint.isEmpty() ? message.section(u'\n', 0, 0) : firstComplaint));
    }
    g_previous(type, context, message);
}

#if defined(FALQUIN_X11_OR_WAYLAND)
bool isSet(const char *name)
{
    return !qEnvironmentVariableIsEmpty(name);
}

// Qt also takes the platform ("-platform name") and the X display ("-display :1") from the
// command line, with one dash or two.
bool choiceOnCommandLine(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        const char *option = argv[i][0] == '-' && argv[i][1] == '-' ? argv[i] + 1 : argv[i];
        if (std::strcmp(option, "-platform") == 0 || std::strcmp(option, "-display") == 0)
            return true;
    }
    return false;
}
#endif

} // namespace

void exitUnlessOpenable([[maybe_unused]] int argc, [[maybe_unused]] char *argv[])
{
#if defined(FALQUIN_X11_OR_WAYLAND)
    // Only Qt's own choice of X11 or Wayland is judged here; a platform that is asked for
    // (offscreen, vnc, ...) and a Wayland session, which may use the default socket, go to Qt.
    if (!isSet("QT_QPA_PLATFORM") && !choiceOnCommandLine(argc, argv) && !isSet("DISPLAY") && !isSet("WAYLAND_DISPLAY")
        && qgetenv("XDG_SESSION_TYPE") != "wayland")
        fail("neither DISPLAY nor WAYLAND_DISPLAY is set");
#endif
    g_previous = qInstallMessageHandler(onMessage);
}

} // namespace display
