#!/bin/bash
# SPDX-License-Identifier: Apache-2.0
# Writes docs/window.png: the whole window, the picker open over simulated boxes found by a
# real sweep. Everything runs in two network namespaces of its own (needs root).
# Usage: bash tools/screenshot/window.sh [build-dir]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build}
cmake --build "$build" --target falquin falquin-boxsim
. "$root/tests/netns-pair.sh"
. "$root/tests/e2e/xvfb.sh"

ip netns exec "$BOX_NS" "$build/tools/boxsim/falquin-boxsim" -a "$BOX_IP" \
    --box "id=0e0b0c5151a2,name=Living room,model=OTX-2,ip=$BOX_IP,tuners=2" \
    --box "id=0e0b0c5151a3,name=Attic,model=OTX-4,ip=$BOX_IP2,tuners=4" \
    --box "id=0e0b0c5151a4,name=Study,model=OTX-1,ip=10.77.$NET.7,tuners=1" \
    --box "id=0e0b0c5151a5,name=,model=OTX-0,ip=10.77.$NET.9,tuners=0" >"$WORK/sim.log" 2>&1 &
start_xvfb 340x920x24
app_env ip netns exec "$APP_NS" "$build/falquin" >"$WORK/app.log" 2>&1 &
wait_window >/dev/null
in_app xdotool mousemove --sync 5 900
sleep 9.5 # one full sweep
mkdir -p "$root/docs"
in_app import -window root "$root/docs/window.png"
echo "wrote $root/docs/window.png"
