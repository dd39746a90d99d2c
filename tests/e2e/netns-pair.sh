# SPDX-License-Identifier: Apache-2.0
# Sourced by the scripts that run the real app against the simulator. Makes two network
# namespaces joined by a veth pair: "app" (10.77.N.1/24) and "box" (10.77.N.2 and .3/24), with
# names unique to this run, and removes them, and every process left in them, on exit. Nothing
# sent in either namespace can reach a real network. Needs root.
# Sets: APP_NS BOX_NS APP_IP BOX_IP BOX_IP2 WORK (a private temp dir).

if [ "$(id -u)" != 0 ]; then
    echo "$0: needs root to create network namespaces" >&2
    exit 1
fi

tag=$$
net=$((tag % 200 + 20))
APP_NS=falquin-app-$tag
BOX_NS=falquin-sim-$tag
APP_IP=10.77.$net.1
BOX_IP=10.77.$net.2
BOX_IP2=10.77.$net.3
WORK=$(mktemp -d "${TMPDIR:-/tmp}/falquin-e2e.XXXXXX")

netns_cleanup() {
    for ns in "$APP_NS" "$BOX_NS"; do
        for pid in $(ip netns pids "$ns" 2>/dev/null); do kill "$pid" 2>/dev/null || true; done
    done
    sleep 0.2
    for ns in "$APP_NS" "$BOX_NS"; do
        for pid in $(ip netns pids "$ns" 2>/dev/null); do kill -9 "$pid" 2>/dev/null || true; done
        ip netns del "$ns" 2>/dev/null || true
    done
    rm -rf "$WORK"
}
trap netns_cleanup EXIT
trap 'exit 130' INT TERM

ip netns add "$APP_NS"
ip netns add "$BOX_NS"
ip link add "fqa$tag" netns "$APP_NS" type veth peer name "fqs$tag" netns "$BOX_NS"
ip -n "$APP_NS" addr add "$APP_IP/24" brd + dev "fqa$tag"
ip -n "$BOX_NS" addr add "$BOX_IP/24" brd + dev "fqs$tag"
ip -n "$BOX_NS" addr add "$BOX_IP2/24" brd + dev "fqs$tag"
for ns in "$APP_NS" "$BOX_NS"; do ip -n "$ns" link set lo up; done
ip -n "$APP_NS" link set "fqa$tag" up
ip -n "$BOX_NS" link set "fqs$tag" up
tries=0
until ip -n "$APP_NS" link show "fqa$tag" | grep -q LOWER_UP && ip -n "$BOX_NS" link show "fqs$tag" | grep -q LOWER_UP; do
    tries=$((tries + 1))
    [ "$tries" -lt 100 ] || { echo "$0: veth did not come up" >&2; exit 1; }
    sleep 0.05
done

mkdir -m 700 "$WORK/runtime"
# The app's environment: settings in the temp dir, a real X server of its own.
app_env() {
    env HOME="$WORK" XDG_CONFIG_HOME="$WORK/config" XDG_RUNTIME_DIR="$WORK/runtime" \
        QT_QPA_PLATFORM=xcb QT_QUICK_BACKEND=software DISPLAY="$DISPLAY_NAME" "$@"
}

# Starts Xvfb inside the app namespace (its abstract socket exists only there); sets DISPLAY_NAME.
# Its key repeat starts only after 10 s, so a held key stays one press and one release.
start_xvfb() {
    ip netns exec "$APP_NS" Xvfb -displayfd 3 -nolisten tcp -ardelay 10000 -screen 0 "$1" 3>"$WORK/display" 2>"$WORK/xvfb.log" &
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
    until w=$(in_app xdotool search --onlyvisible --name '^Falquin$' 2>/dev/null | head -1) && [ -n "$w" ]; do
        tries=$((tries + 1))
        [ "$tries" -lt 200 ] || { echo "$0: no Falquin window" >&2; return 1; }
        sleep 0.05
    done
    echo "$w"
}
