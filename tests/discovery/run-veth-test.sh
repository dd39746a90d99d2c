#!/bin/sh
# SPDX-License-Identifier: Apache-2.0
# Runs a sweep test across a veth pair: the client namespace (10.77.0.1/24) runs the test, the
# box namespace (10.77.0.2/24) is where the test starts the simulator. Both namespaces are made
# here and removed on exit, so nothing the sweep sends can reach a real network.
# Usage: run-veth-test.sh <falquin-boxsim> <command...>
set -eu
if [ "$(id -u)" != 0 ]; then
    echo "run-veth-test.sh: needs root to create network namespaces" >&2
    exit 1
fi
boxsim=$1
shift
tag=$$
client=falquin-cli-$tag
box=falquin-box-$tag
cif=fqc$tag
bif=fqb$tag
cleanup() {
    # Only processes of the box namespace made above: simulators a failed test left behind.
    for pid in $(ip netns pids "$box" 2>/dev/null); do kill "$pid" 2>/dev/null || true; done
    ip netns del "$client" 2>/dev/null || true
    ip netns del "$box" 2>/dev/null || true
}
trap cleanup EXIT
trap 'exit 130' INT TERM

ip netns add "$client"
ip netns add "$box"
ip link add "$cif" netns "$client" type veth peer name "$bif" netns "$box"
ip -n "$client" addr add 10.77.0.1/24 brd + dev "$cif"
ip -n "$box" addr add 10.77.0.2/24 brd + dev "$bif"
for ns in "$client" "$box"; do ip -n "$ns" link set lo up; done
ip -n "$client" link set "$cif" up
ip -n "$box" link set "$bif" up
# The client's way out leads only to the box namespace, which forwards nothing.
ip -n "$client" route add default via 10.77.0.2

# Wait for the carrier on both ends, or the interface is not "running" yet.
tries=0
until ip -n "$client" link show "$cif" | grep -q LOWER_UP && ip -n "$box" link show "$bif" | grep -q LOWER_UP; do
    tries=$((tries + 1))
    [ "$tries" -lt 100 ] || { echo "run-veth-test.sh: veth did not come up" >&2; exit 1; }
    sleep 0.05
done

export FALQUIN_BOX_NETNS="$box" FALQUIN_BOXSIM="$boxsim" FALQUIN_CLIENT_IFACE="$cif"
status=0
ip netns exec "$client" "$@" || status=$?
exit "$status"
