// SPDX-License-Identifier: Apache-2.0
// Starts the real executable under a private X server, inside the test's own
// network namespace, and closes its window the way a window manager would.
#include "KeyService.h"

#include <QDir>
#include <QLibraryInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>

#include <csignal>

namespace {

// The top-level window titled "Falquin" that takes close requests, or 0. Qt keeps
// other, hidden windows with the same name (its client leader among them).
Window findWindow(Display *display)
{
    Window root = DefaultRootWindow(display), parent = 0, *children = nullptr;
    unsigned count = 0;
    Window found = 0;
    if (!XQueryTree(display, root, &root, &parent, &children, &count))
        return 0;
    const Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    for (unsigned i = 0; i < count && !found; ++i) {
        char *name = nullptr;
        Atom *protocols = nullptr;
        int protocolCount = 0;
        if (XFetchName(display, children[i], &name) && name && QByteArray(name) == "Falquin"
            && XGetWMProtocols(display, children[i], &protocols, &protocolCount)) {
            for (int p = 0; p < protocolCount; ++p)
                found = protocols[p] == deleteWindow ? children[i] : found;
            XFree(protocols);
        }
        if (name)
            XFree(name);
    }
    XFree(children);
    return found;
}

// The largest edge of the icon the window shows a window manager (_NET_WM_ICON), or 0.
int iconSize(Display *display, Window window)
{
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char *data = nullptr;
    const Atom icon = XInternAtom(display, "_NET_WM_ICON", False);
    if (XGetWindowProperty(display, window, icon, 0, 1L << 20, False, XA_CARDINAL, &type, &format, &count, &after,
                           &data)
            != Success
        || !data)
        return 0;
    // Width, height, then that many pixels, for each size offered.
    int largest = 0;
    const auto *values = reinterpret_cast<const unsigned long *>(data);
    for (unsigned long i = 0; format == 32 && i + 2 <= count; i += 2 + values[i] * values[i + 1])
        largest = std::max(largest, int(values[i]));
    XFree(data);
    return largest;
}

// A close sent again to a window that just went away is harmless; Xlib's default
// handler would end the test over it.
int ignoreXErrors(Display *, XErrorEvent *)
{
    return 0;
}

void sendClose(Display *display, Window window)
{
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
}

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void closingTheWindowExitsCleanly();
    void commandLineHostIsRemembered();
    void aStoreThatCannotBeWrittenIsToldOnce();
    void exitCodeOneWhenTheWindowCannotBeCreated();
    void noDisplayIsOneLineAndExitCodeOne_data();
    void noDisplayIsOneLineAndExitCodeOne();
    void heldSeekEndsBeforeExit_data();
    void heldSeekEndsBeforeExit();

private:
    bool xdotool(const QStringList &args) const;
    QProcessEnvironment environment() const;
    int runAndClose(const QStringList &args, QByteArray *errors = nullptr,
                    const QString &binary = QStringLiteral(FALQUIN_BINARY), int *icon = nullptr);

    QProcess m_xvfb;
    QByteArray m_display;
    QProcessEnvironment m_extraEnvironment; // on top of the test's own, for one run
    Display *m_x = nullptr;
};

void TestStartup::initTestCase()
{
    // As a terminal's programs have it: a SIGHUP ignored here (nohup) would stay ignored in
    // falquin too, on purpose.
    std::signal(SIGHUP, SIG_DFL);
    // The server repeats a held key from 150 ms on, every 30 ms, as a desktop would.
    m_xvfb.start(QStringLiteral("Xvfb"),
                 { "-displayfd", "1", "-nolisten", "tcp", "-ardelay", "150", "-arinterval", "30", "-screen", "0",
                   "640x1024x24" });
    QVERIFY2(m_xvfb.waitForStarted(), "Xvfb is needed (package xvfb)");
    QTRY_VERIFY_WITH_TIMEOUT(m_xvfb.canReadLine(), 10000);
    m_display = ':' + m_xvfb.readLine().trimmed();
    m_x = XOpenDisplay(m_display.constData());
    QVERIFY(m_x);
    XSetErrorHandler(ignoreXErrors);
}

void TestStartup::cleanupTestCase()
{
    if (m_x)
        XCloseDisplay(m_x);
    m_xvfb.terminate();
    m_xvfb.waitForFinished();
}

QProcessEnvironment TestStartup::environment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(m_display));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(m_extraEnvironment);
    return env;
}

// Runs falquin until its window shows, closes the window, returns the exit code.
int TestStartup::runAndClose(const QStringList &args, QByteArray *errors, const QString &binary, int *icon)
{
    QProcess falquin;
    falquin.setProcessEnvironment(environment());
    falquin.start(binary, args);
    if (!falquin.waitForStarted())
        return -1;
    Window window = 0;
    for (int i = 0; i < 200 && !window && falquin.state() == QProcess::Running; ++i) {
        QTest::qWait(50);
        window = findWindow(m_x);
    }
    if (!window) {
        falquin.kill();
        falquin.waitForFinished();
        qWarning("no window: %s", falquin.readAllStandardError().constData());
        return -1;
    }
    // The icon comes once the window has drawn itself.
    for (int i = 0; icon && i < 100 && !(*icon = iconSize(m_x, window)); ++i)
        QTest::qWait(50);
    // A close that arrives while the window is still being set up can be lost, as
    // with a real window manager; ask again until the process is gone.
    for (int i = 0; i < 30 && falquin.state() == QProcess::Running; ++i) {
        sendClose(m_x, window);
        falquin.waitForFinished(500);
    }
    if (falquin.state() != QProcess::NotRunning && !falquin.waitForFinished(5000)) {
        falquin.kill();
        falquin.waitForFinished();
        return -2;
    }
    const QByteArray stderrText = falquin.readAllStandardError();
    if (errors)
        *errors = stderrText;
    if (falquin.exitStatus() != QProcess::NormalExit) {
        qWarning("falquin crashed: %s", stderrText.right(4000).constData());
        return -3;
    }
    return falquin.exitCode();
}

void TestStartup::closingTheWindowExitsCleanly()
{
    // A copy away from the build tree, as installed: the QML module must come from
    // the resources alone, with no module file beside the binary.
    // FALQUIN_BINARY in the environment runs another build of it, such as a packaged one.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString copy = dir.filePath("falquin");
    QVERIFY(QFile::copy(qEnvironmentVariable("FALQUIN_BINARY", QStringLiteral(FALQUIN_BINARY)), copy));
    QByteArray errors;
    int icon = 0;
    QCOMPARE(runAndClose({ "--host", "127.0.0.1" }, &errors, copy, &icon), 0);
    QVERIFY2(icon >= 64, qPrintable(QStringLiteral("window icon of %1 px").arg(icon)));
    QVERIFY2(!errors.contains("qrc:/") && !errors.contains("Failed") && !errors.contains("rror"), errors.constData());
}

void TestStartup::commandLineHostIsRemembered()
{
    QSettings store(QDir(qEnvironmentVariable("XDG_CONFIG_HOME")).filePath("Orvantide/Falquin.conf"),
                    QSettings::IniFormat);
    store.setValue("lastDeviceIp", "127.0.0.1");
    store.setValue("lastDeviceName", "Den");
    store.sync();

    QCOMPARE(runAndClose({ "--host", "127.0.0.9" }), 0);
    store.sync();
    QCOMPARE(store.value("lastDeviceIp").toString(), QStringLiteral("127.0.0.9"));
    QCOMPARE(store.value("lastDeviceName").toString(), QString());

    // A run with no arguments keeps what the last one chose.
    store.setValue("lastDeviceName", "Den");
    store.sync();
    QCOMPARE(runAndClose({}), 0);
    store.sync();
    QCOMPARE(store.value("lastDeviceIp").toString(), QStringLiteral("127.0.0.9"));
    QCOMPARE(store.value("lastDeviceName").toString(), QStringLiteral("Den"));
}

// --host writes the store at start; where it cannot, the window still starts on that box and
// says so once (the toast's log line), for the address, the name and the id together.
void TestStartup::aStoreThatCannotBeWrittenIsToldOnce()
{
    QTemporaryDir config;
    QVERIFY(config.isValid());
    QVERIFY(QDir(config.path()).mkpath(QStringLiteral("Orvantide/Falquin.conf")));
    m_extraEnvironment.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
    m_extraEnvironment.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("falquin.toast.info=true"));
    const auto restore = qScopeGuard([this] { m_extraEnvironment.clear(); });
    QByteArray errors;
    QCOMPARE(runAndClose({ "--host", "127.0.0.9" }, &errors), 0);
    const QByteArray toast
        = "could not save the chosen box: " + config.filePath("Orvantide/Falquin.conf").toUtf8() + " cannot be written";
    QVERIFY2(errors.count(toast) == 1, errors.constData());
}

void TestStartup::exitCodeOneWhenTheWindowCannotBeCreated()
{
    // A copy of the binary whose qt.conf points the QML imports at an empty
    // folder: the main window's imports fail and no root object is created.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString copy = dir.filePath("falquin");
    QVERIFY(QFile::copy(QStringLiteral(FALQUIN_BINARY), copy));
    QVERIFY(QDir(dir.path()).mkdir("imports"));
    QFile conf(dir.filePath("qt.conf"));
    QVERIFY(conf.open(QIODevice::WriteOnly));
    conf.write("[Paths]\nPlugins=" + QLibraryInfo::path(QLibraryInfo::PluginsPath).toUtf8()
               + "\nQmlImports=" + dir.filePath("imports").toUtf8() + "\n");
    conf.close();

    QProcess falquin;
    QProcessEnvironment env = environment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    falquin.setProcessEnvironment(env);
    falquin.start(copy, { "--host", "127.0.0.1" });
    QVERIFY(falquin.waitForFinished(10000));
    QCOMPARE(falquin.exitStatus(), QProcess::NormalExit);
    QCOMPARE(falquin.exitCode(), 1);
}

void TestStartup::noDisplayIsOneLineAndExitCodeOne_data()
{
    QTest::addColumn<QString>("display"); // empty: unset
    QTest::addColumn<QString>("platform"); // empty: unset, Qt chooses
    QTest::addColumn<QStringList>("qtArgs");
    QTest::addColumn<QString>("lastLine");
    QTest::addColumn<bool>("onlyLine");
    QTest::newRow("nothing names a display")
        << ""
        << "" << QStringList() << "falquin: cannot open a display (neither DISPLAY nor WAYLAND_DISPLAY is set)" << true;
    // Qt's plugin reports first; the program's line still ends it, with the reason.
    QTest::newRow("display not there") << ":64999"
                                       << "" << QStringList()
                                       << "falquin: cannot open a display (could not connect to display :64999)"
                                       << false;
    QTest::newRow("display named on the command line")
        << ""
        << "" << QStringList { "-display", ":64998" }
        << "falquin: cannot open a display (could not connect to display :64998)" << false;
    QTest::newRow("xcb asked for, no display")
        << ""
        << "xcb" << QStringList() << "falquin: cannot open a display (could not connect to display)" << false;
}

void TestStartup::noDisplayIsOneLineAndExitCodeOne()
{
    QFETCH(QString, display);
    QFETCH(QString, platform);
    QFETCH(QStringList, qtArgs);
    QFETCH(QString, lastLine);
    QFETCH(bool, onlyLine);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : { "DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_SESSION_TYPE" })
        env.remove(QString::fromLatin1(name));
    if (!display.isEmpty())
        env.insert(QStringLiteral("DISPLAY"), display);
    if (!platform.isEmpty())
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
    QProcess falquin;
    falquin.setProcessEnvironment(env);
    falquin.start(QStringLiteral(FALQUIN_BINARY), qtArgs + QStringList { "--host", "127.0.0.1" });
    QVERIFY(falquin.waitForFinished(10000));
    const QStringList lines = QString::fromUtf8(falquin.readAllStandardError()).trimmed().split(u'\n');
    QVERIFY2(falquin.exitStatus() == QProcess::NormalExit, "Qt's abort, not an exit");
    QCOMPARE(falquin.exitCode(), 1);
    QCOMPARE(lines.last(), lastLine);
    if (onlyLine)
        QCOMPARE(lines.size(), 1);
}

bool TestStartup::xdotool(const QStringList &args) const
{
    QProcess tool;
    tool.setProcessEnvironment(environment());
    tool.start(QStringLiteral("xdotool"), args);
    return tool.waitForFinished(5000) && tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
}

void TestStartup::heldSeekEndsBeforeExit_data()
{
    QTest::addColumn<bool>("pointer"); // the drawn Left key held with the mouse, else the keyboard's Left
    QTest::addColumn<QString>("end");
    for (const bool pointer : { false, true }) {
        for (const char *end : { "close", "SIGTERM", "SIGINT", "SIGHUP", "Ctrl+Q" })
            QTest::addRow("%s, %s", pointer ? "pointer" : "keyboard", end) << pointer << QString::fromLatin1(end);
    }
}

// Whatever ends the program mid-seek, the box gets its "rew up" before the process is gone.
void TestStartup::heldSeekEndsBeforeExit()
{
    QFETCH(bool, pointer);
    QFETCH(QString, end);
    KeyService box;
    QVERIFY(box.listen(QHostAddress::LocalHost, 31063));
    QStringList keys;
    connect(&box, &KeyService::keyReceived, this, [&keys](quint8, const QString &key) { keys << key; });

    QProcess falquin;
    falquin.setProcessEnvironment(environment());
    falquin.start(QStringLiteral(FALQUIN_BINARY), { "--host", "127.0.0.1" });
    QVERIFY(falquin.waitForStarted());
    const auto cleanup = qScopeGuard([&] {
        xdotool({ "keyup", "Left", "mouseup", "1" });
        if (falquin.state() != QProcess::NotRunning) {
            falquin.kill();
            falquin.waitForFinished();
        }
    });
    Window window = 0;
    for (int i = 0; i < 200 && !window && falquin.state() == QProcess::Running; ++i) {
        QTest::qWait(50);
        window = findWindow(m_x);
    }
    QVERIFY(window);
    const QString id = QString::number(window);
    QVERIFY(xdotool({ "windowfocus", "--sync", id }));
    QTest::qWait(300); // the scene settles its focus
    if (pointer) // the drawn Left key at the window's initial size
        QVERIFY(xdotool({ "mousemove", "--window", id, "104", "456", "mousedown", "1" }));
    else
        QVERIFY(xdotool({ "keydown", "Left" }));
    QTRY_COMPARE_WITH_TIMEOUT(keys, QStringList { "rew down" }, 3000);
    QTest::qWait(300); // well into the server's auto-repeat

    if (end == QLatin1String("close"))
        sendClose(m_x, window);
    else if (end == QLatin1String("SIGTERM"))
        ::kill(pid_t(falquin.processId()), SIGTERM);
    else if (end == QLatin1String("SIGINT"))
        ::kill(pid_t(falquin.processId()), SIGINT);
    else if (end == QLatin1String("SIGHUP"))
        ::kill(pid_t(falquin.processId()), SIGHUP);
    else
        QVERIFY(xdotool({ "key", "ctrl+q" }));
    QVERIFY(falquin.waitForFinished(5000));
    QCOMPARE(falquin.exitStatus(), QProcess::NormalExit);
    QCOMPARE(falquin.exitCode(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(keys, (QStringList { "rew down", "rew up" }), 2000);
}

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
