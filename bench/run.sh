#!/bin/sh
# SPDX-License-Identifier: Apache-2.0
# Builds and runs a benchmark in a network namespace of its own.
# Usage: bench/run.sh [roundtrip|switch] [arguments]   (the key round trip unless named)
set -eu
cd "$(dirname "$0")/.."
dir=${FALQUIN_BUILD_DIR:-build}
bench=bench_key_roundtrip
case "${1:-}" in
roundtrip) shift ;;
switch) bench=bench_switch; shift ;;
esac
cmake --build "$dir" --target "$bench"
tests/run-test.sh --netns "$dir/bench/$bench" "$@"
