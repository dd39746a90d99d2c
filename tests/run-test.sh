#!/bin/sh
# SPDX-License-Identifier: Apache-2.0
# Runs one test with a private, empty home, so settings never touch the developer's
# own store. With --netns the test runs in a fresh network namespace where only
# loopback is up: nothing it sends can leave the machine, and fixed ports are its own.
set -eu
netns=0
if [ "${1:-}" = --netns ]; then
    netns=1
    shift
fi
home=$(mktemp -d "${TMPDIR:-/tmp}/falquin-test.XXXXXX")
trap 'rm -rf "$home"' EXIT
mkdir -m 700 "$home/runtime"
export HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_RUNTIME_DIR="$home/runtime"
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
if [ "$netns" = 1 ]; then
    if [ "$(id -u)" = 0 ]; then userns=""; else userns="--map-root-user"; fi
    set -- unshare $userns --net sh -c 'ip link set lo up && exec "$@"' netns "$@"
fi
"$@"
