# SPDX-License-Identifier: Apache-2.0
# Sourced after xvfb.sh by the tests that reach the window as screen readers, switch access and
# voice control do: through the accessibility bus (AT-SPI). Both buses, the D-Bus session and
# the accessibility bus it hands out, are the test's own and live in the app namespace. A
# machine without them fails these tests; they never skip.

# The distribution's Python, which has pyatspi (python3-pyatspi), whatever python is first on PATH.
PYTHON=/usr/bin/python3
ATSPI_LAUNCHER=/usr/libexec/at-spi-bus-launcher
for tool in dbus-launch dbus-send "$ATSPI_LAUNCHER" "$PYTHON"; do
    command -v "$tool" >/dev/null || { echo "$(basename "$0"): $tool is needed (at-spi2-core, dbus-x11, python3-pyatspi)" >&2; exit 1; }
done
"$PYTHON" -c 'import pyatspi' 2>/dev/null || { echo "$(basename "$0"): $PYTHON has no pyatspi (python3-pyatspi)" >&2; exit 1; }

# Runs a command in the app namespace on the test's X server and session bus.
in_bus() { in_app env DBUS_SESSION_BUS_ADDRESS="$DBUS_SESSION_BUS_ADDRESS" "$@"; }

# Starts the session bus and the accessibility bus; sets DBUS_SESSION_BUS_ADDRESS. The launcher
# answers GetAddress only once the accessibility bus runs, so that is what is waited for.
start_buses() {
    eval "$(in_app dbus-launch --sh-syntax)"
    in_bus "$ATSPI_LAUNCHER" --launch-immediately >"$WORK/atspi.log" 2>&1 &
    wait_for 10 eval 'in_bus dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress 2>/dev/null | grep -q "unix:"' ||
        { echo "$(basename "$0"): the accessibility bus did not start" >&2; cat "$WORK/atspi.log" >&2; exit 1; }
}

# The app with its accessibility on and the source English, whatever the machine's language.
start_accessible_app() { # <log> <falquin>
    app_env DBUS_SESSION_BUS_ADDRESS="$DBUS_SESSION_BUS_ADDRESS" QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 \
        LANG=C.UTF-8 LC_ALL=C.UTF-8 LANGUAGE= ip netns exec "$APP_NS" "$2" >"$1" 2>&1 &
    app_pid=$!
}
# Ends the app as a session would, so nothing is left for the namespace's clean-up to kill.
stop_app() {
    kill "$app_pid"
    wait_for 10 eval '! kill -0 "$app_pid" 2>/dev/null' || { echo "$(basename "$0"): the app did not quit on SIGTERM" >&2; exit 1; }
    wait "$app_pid" 2>/dev/null || true
}

# True once an application named Falquin is on the accessibility bus.
app_on_bus() {
    in_bus "$PYTHON" -c 'import pyatspi, sys
desktop = pyatspi.Registry.getDesktop(0)
sys.exit(0 if any((app := desktop.getChildAtIndex(i)) is not None and app.name == "Falquin"
                  for i in range(desktop.childCount)) else 1)' 2>/dev/null
}
