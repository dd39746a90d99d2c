#!/bin/sh
# SPDX-License-Identifier: Apache-2.0
# Runs a sweep test across a veth pair: the app namespace (10.77.0.1/24) runs the test, the
# box namespace (10.77.0.2/24) is where the test starts the simulator. Both namespaces are made
# here and removed on exit, so nothing the sweep sends can reach a real network.
# Usage: run-veth-test.sh <falquin-boxsim> <command...>
set -eu
boxsim=$1
shift
. "$(dirname "$0")/../netns-pair.sh"

export FALQUIN_BOX_NETNS="$BOX_NS" FALQUIN_BOXSIM="$boxsim" FALQUIN_CLIENT_IFACE="$APP_IF"
status=0
ip netns exec "$APP_NS" "$@" || status=$?
exit "$status"
