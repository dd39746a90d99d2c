#!/bin/sh
# SPDX-License-Identifier: Apache-2.0
# Builds the libFuzzer targets with clang (address and undefined-behaviour checks) and runs each
# for a bounded time. Usage: run-fuzzers.sh [seconds per target, default 60] [build dir]
# Exits non-zero when a target finds a crash; its input is left in the build dir.
# Needs clang and its fuzzer runtime (Debian: clang, libclang-rt-14-dev) and Qt Core.
set -eu
seconds=${1:-60}
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
out=${2:-$root/build-fuzz}
cxx=${CXX_FUZZ:-$(command -v clang++ || command -v clang++-14)}
mkdir -p "$out"

if pkg-config --exists Qt6Core 2>/dev/null; then
    qt_cflags=$(pkg-config --cflags Qt6Core)
    qt_libs=$(pkg-config --libs Qt6Core)
else
    qtpaths=$(command -v qtpaths6 || echo /usr/lib/qt6/bin/qtpaths6)
    headers=$("$qtpaths" --query QT_INSTALL_HEADERS)
    qt_cflags="-I$headers -I$headers/QtCore"
    qt_libs="-L$("$qtpaths" --query QT_INSTALL_LIBS) -lQt6Core"
fi
flags="-std=c++17 -g -O1 -fPIC -fno-omit-frame-pointer -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined"

build() { # name, sources...
    name=$1
    shift
    # shellcheck disable=SC2086 # the flag lists are meant to split
    "$cxx" $flags $qt_cflags -I"$root/discovery" -I"$root/keys" "$@" $qt_libs -o "$out/$name"
}
build fuzz_imgrmsg "$here/fuzz_imgrmsg.cpp" "$root/discovery/ImgrMsg.cpp"
build fuzz_keyack "$here/fuzz_keyack.cpp" "$root/keys/KeyDatagram.cpp"

status=0
for target in imgrmsg keyack; do
    # New inputs go to a working corpus in the build dir; the committed seeds are only read.
    corpus="$out/corpus-$target"
    mkdir -p "$corpus"
    log="$out/fuzz_$target.log"
    echo "== fuzz_$target for ${seconds}s"
    if UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 "$out/fuzz_$target" -max_total_time="$seconds" \
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
