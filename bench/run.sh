#!/bin/sh
# SPDX-License-Identifier: Apache-2.0
# Builds and runs a benchmark in a network namespace of its own.
# Usage: bench/run.sh [roundtrip|switch|media] [arguments]   (the key round trip unless named)
set -eu
cd "$(dirname "$0")/.."
dir=${FALQUIN_BUILD_DIR:-build}
bench=bench_key_roundtrip
case "${1:-}" in
roundtrip) shift ;;
switch) bench=bench_switch; shift ;;
media)
    # playerctl next to the datagram, through the real window, on a session bus of its own.
    shift
    cmake --build "$dir" --target falquin
    exec tests/run-test.sh --netns dbus-run-session -- "$PWD/bench/media_keys.py" --falquin "$(cd "$dir" && pwd)/falquin" "$@"
    ;;
esac
cmake --build "$dir" --target "$bench"
tests/run-test.sh --netns "$dir/bench/$bench" "$@"
