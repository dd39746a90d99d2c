#!/bin/sh
# SPDX-License-Identifier: Apache-2.0
# Writes docs/remote.png and docs/window.png from a build tree: sh tools/screenshot/screenshot.sh [build-dir]
# The tool runs in a network namespace of its own (with a private home), like the tests:
# the picker it shows starts a device search.
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build}
cmake --build "$build" --target falquin-screenshot
mkdir -p "$root/docs"
for shot in remote:remote picker:window; do
    "$root/tests/run-test.sh" --netns "$build/tools/screenshot/falquin-screenshot" "${shot%%:*}" "$root/docs/${shot##*:}.png"
    echo "wrote $root/docs/${shot##*:}.png"
done
