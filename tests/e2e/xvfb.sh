# SPDX-License-Identifier: Apache-2.0
# Sourced after tests/netns-pair.sh by the scripts that run the real app under a private X server.

for tool in Xvfb xdotool; do
    command -v "$tool" >/dev/null || { echo "$(basename "$0"): $tool is needed" >&2; exit 1; }
done

wait_for() { # <seconds> <command...>
    local end=$((SECONDS + $1)); shift
    until "$@"; do [ "$SECONDS" -lt "$end" ] || return 1; sleep 0.1; done
}

# The app's environment: settings in the temp dir, a real X server of its own, and no session
# bus unless the caller names one (so the app is never a media player of the desktop the test
# runs on). Run it in the background (app_env ... &): it replaces that subshell, so $! is the
# app itself and a kill reaches it.
app_env() {
    exec env HOME="$WORK" XDG_CONFIG_HOME="$WORK/config" XDG_RUNTIME_DIR="$WORK/runtime" \
        QT_QPA_PLATFORM=xcb DISPLAY="$DISPLAY_NAME" DBUS_SESSION_BUS_ADDRESS="unix:path=$WORK/no-session-bus" "$@"
}

# Starts Xvfb inside the app namespace (its abstract socket exists only there); sets DISPLAY_NAME.
# Usage: start_xvfb <screen> [Xvfb options]. Unless the options say otherwise, key repeat starts
# only after 10 s, so a held key stays one press and one release. -noreset: by default the server
# resets when its last client leaves, and an app started right after the previous one quit could
# be refused while it does.
start_xvfb() {
    screen=$1
    shift
    ip netns exec "$APP_NS" Xvfb -displayfd 3 -nolisten tcp -noreset -ardelay 10000 "$@" -screen 0 "$screen" 3>"$WORK/display" 2>"$WORK/xvfb.log" &
    tries=0
    until [ -s "$WORK/display" ]; do
        tries=$((tries + 1))
        [ "$tries" -lt 200 ] || { echo "$0: Xvfb did not start" >&2; exit 1; }
        sleep 0.05
    done
    DISPLAY_NAME=:$(cat "$WORK/display")
}

in_app() { ip netns exec "$APP_NS" env DISPLAY="$DISPLAY_NAME" "$@"; }

# Waits until the window titled Falquin is mapped; prints its id.
wait_window() {
    tries=0
    # A search can hang on a window that goes away under it (a previous run's): ask again.
    until w=$(in_app timeout 3 xdotool search --onlyvisible --name '^Falquin$' 2>/dev/null | head -1) && [ -n "$w" ]; do
        tries=$((tries + 1))
        [ "$tries" -lt 200 ] || { echo "$0: no Falquin window" >&2; return 1; }
        sleep 0.05
    done
    echo "$w"
}
