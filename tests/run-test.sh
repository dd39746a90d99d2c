#!/bin/sh
# SPDX-License-Identifier: Apache-2.0
# Runs one test with a private, empty home, so settings never touch the developer's
# own store. With --netns the test runs in a fresh network namespace where only
# loopback is up: nothing it sends can leave the machine, and fixed ports are its own.
set -eu
netns=0
setup='ip link set lo up'
if [ "${1:-}" = --netns ]; then
    netns=1
    shift
fi
# --lan (after --netns): also a network that leads nowhere else, a veth pair whose ends both stay
# in the namespace, 10.77.9.1/24 on fqf0 and 10.77.9.2/24 on fqf1. Made here rather than by the
# test, which would have to fork once its threads run.
if [ "${1:-}" = --lan ]; then
    setup="$setup && ip link add fqf0 type veth peer name fqf1 \
        && ip addr add 10.77.9.1/24 brd + dev fqf0 && ip addr add 10.77.9.2/24 brd + dev fqf1 \
        && ip link set fqf0 up && ip link set fqf1 up"
    shift
fi
home=$(mktemp -d "${TMPDIR:-/tmp}/falquin-test.XXXXXX")
trap 'rm -rf "$home"' EXIT
mkdir -m 700 "$home/runtime"
export HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_RUNTIME_DIR="$home/runtime"
# No session bus: a window under test never becomes a media player of the desktop it runs on.
export DBUS_SESSION_BUS_ADDRESS="unix:path=$home/no-session-bus"
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
if [ "$netns" = 1 ]; then
    if [ "$(id -u)" = 0 ]; then userns=""; else userns="--map-root-user"; fi
    set -- unshare $userns --net sh -c "$setup"' && exec "$@"' netns "$@"
fi
"$@"
