#!/bin/bash
# SPDX-License-Identifier: Apache-2.0
# The real falquin under its own X server and accessibility bus in one network namespace,
# against falquin-boxsim in another, pressed through the bus by a real AT-SPI client.
# Usage: atspi-e2e.sh <falquin> <falquin-boxsim>
set -euo pipefail
falquin=$1
boxsim=$2
. "$(dirname "$0")/../netns-pair.sh"
. "$(dirname "$0")/xvfb.sh"
. "$(dirname "$0")/atspi.sh"

fail() {
    echo "FAIL: $*" >&2
    echo "--- simulator" >&2; cat "$WORK/sim.log" >&2 || true
    echo "--- app" >&2; cat "$WORK/app.log" >&2 || true
    exit 1
}

# Den answers keys at BOX_IP; the second address only shows up in the list.
ip netns exec "$BOX_NS" "$boxsim" -a "$BOX_IP" \
    --box "id=0e0b0c5151a2,name=Den,model=OTX-2,ip=$BOX_IP,tuners=2" \
    --box "id=0e0b0c5151a3,name=Attic,model=OTX-4,ip=$BOX_IP2,tuners=4" >"$WORK/sim.log" 2>&1 &
start_xvfb 340x920x24
start_buses

# Nothing stored: the picker opens at start.
start_accessible_app "$WORK/app.log" "$falquin"
window=$(wait_window) || fail "the window did not show"
in_app xdotool windowfocus --sync "$window"
in_app xdotool mousemove --sync 5 900 # off the drawn keys
in_bus "$PYTHON" "$(dirname "$0")/atspi-e2e.py" "$WORK/sim.log" "$WORK/config/Orvantide/Falquin.conf" "$BOX_IP" "$BOX_IP2" ||
    fail "the accessibility client"
stop_app
echo "atspi-e2e: 1 passed, 0 failed"
