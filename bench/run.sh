#!/bin/sh
# SPDX-License-Identifier: Apache-2.0
# Builds and runs the benchmarks, each in a network namespace of its own.
set -eu
cd "$(dirname "$0")/.."
dir=${FALQUIN_BUILD_DIR:-build}
cmake --build "$dir" --target bench_key_roundtrip
tests/run-test.sh --netns "$dir/bench/bench_key_roundtrip" "$@"
