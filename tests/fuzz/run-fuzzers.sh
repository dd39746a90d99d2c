#!/bin/sh
# SPDX-License-Identifier: Apache-2.0
# Builds the libFuzzer targets with the "fuzz" preset (clang, address and undefined-behaviour
# checks) and runs each for a bounded time. Usage: run-fuzzers.sh [seconds per target, default 60]
# Exits non-zero when a target finds a crash; its input is left in the build dir.
# Needs clang and its fuzzer runtime (Debian: clang, libclang-rt-14-dev).
set -eu
seconds=${1:-60}
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
out=$root/build-fuzz
cd "$root"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

status=0
for target in imgrmsg keyack; do
    # New inputs go to a working corpus in the build dir; the committed seeds are only read.
    corpus="$out/corpus-$target"
    mkdir -p "$corpus"
    log="$out/fuzz_$target.log"
    echo "== fuzz_$target for ${seconds}s"
    if UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 "$out/tests/fuzz/fuzz_$target" -max_total_time="$seconds" \
        -dict="$here/$target.dict" -artifact_prefix="$out/crash-$target-" -print_final_stats=1 \
        "$corpus" "$here/corpus/$target" >"$log" 2>&1; then
        runs=$(sed -n 's/^Done \([0-9]*\) runs.*/\1/p' "$log" | tail -n 1)
        echo "fuzz_$target: ${runs:-?} executions, no crash"
    else
        status=1
        tail -n 40 "$log"
        echo "fuzz_$target: FAILED, see $log and $out/crash-$target-*"
    fi
done
exit "$status"
