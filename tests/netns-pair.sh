# SPDX-License-Identifier: Apache-2.0
# Sourced by the tests and tools that need a real network between the app and the simulator.
# Makes two network namespaces joined by a veth pair: "app" (10.77.0.1/24, its only way out
# leading to the box side, which forwards nothing) and "box" (10.77.0.2 and .3/24), with names
# unique to this run, and removes them, and every process left in them, on exit. Nothing sent
# in either namespace can reach a real network. Needs root.
# Sets: APP_NS BOX_NS APP_IF APP_IP BOX_IP BOX_IP2 NET (the third octet) WORK (a private temp dir).

if [ "$(id -u)" != 0 ]; then
    echo "$0: needs root to create network namespaces" >&2
    exit 1
fi

tag=$$
NET=0
APP_NS=falquin-app-$tag
BOX_NS=falquin-box-$tag
APP_IF=fqa$tag
BOX_IF=fqb$tag
APP_IP=10.77.$NET.1
BOX_IP=10.77.$NET.2
BOX_IP2=10.77.$NET.3
WORK=$(mktemp -d "${TMPDIR:-/tmp}/falquin-netns.XXXXXX")

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
ip link add "$APP_IF" netns "$APP_NS" type veth peer name "$BOX_IF" netns "$BOX_NS"
ip -n "$APP_NS" addr add "$APP_IP/24" brd + dev "$APP_IF"
ip -n "$BOX_NS" addr add "$BOX_IP/24" brd + dev "$BOX_IF"
ip -n "$BOX_NS" addr add "$BOX_IP2/24" brd + dev "$BOX_IF"
for ns in "$APP_NS" "$BOX_NS"; do ip -n "$ns" link set lo up; done
ip -n "$APP_NS" link set "$APP_IF" up
ip -n "$BOX_NS" link set "$BOX_IF" up
ip -n "$APP_NS" route add default via "$BOX_IP"
# Wait for the carrier on both ends, or the interface is not "running" yet.
tries=0
until ip -n "$APP_NS" link show "$APP_IF" | grep -q LOWER_UP && ip -n "$BOX_NS" link show "$BOX_IF" | grep -q LOWER_UP; do
    tries=$((tries + 1))
    [ "$tries" -lt 100 ] || { echo "$0: veth did not come up" >&2; exit 1; }
    sleep 0.05
done
mkdir -m 700 "$WORK/runtime"
