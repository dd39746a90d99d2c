#!/bin/sh
# SPDX-License-Identifier: Apache-2.0
# Builds and runs the discovery benchmark: this side in one network namespace, the simulator in
# another across a veth pair, both made here and removed on exit. Needs root.
# Usage: bench/run-discovery.sh [rounds]
set -eu
cd "$(dirname "$0")/.."
dir=${FALQUIN_BUILD_DIR:-build}
case $dir in
/*) ;;
*) dir=$PWD/$dir ;;
esac
cmake --build "$dir" --target bench_discovery falquin-boxsim
. tests/netns-pair.sh
export FALQUIN_BOX_NETNS="$BOX_NS" FALQUIN_BOXSIM="$dir/tools/boxsim/falquin-boxsim"
export HOME="$WORK" XDG_CONFIG_HOME="$WORK/config" XDG_RUNTIME_DIR="$WORK/runtime"
ip netns exec "$APP_NS" "$dir/bench/bench_discovery" "$@"
