#!/bin/bash
# SPDX-License-Identifier: Apache-2.0
# The real falquin, under its own X server in one network namespace, against falquin-boxsim
# playing two boxes in another, with real pointer and key events from xdotool.
# Usage: window-e2e.sh <falquin> <falquin-boxsim>
set -euo pipefail
falquin=$1
boxsim=$2
for tool in Xvfb xdotool; do
    command -v "$tool" >/dev/null || { echo "window-e2e: $tool is needed" >&2; exit 1; }
done
. "$(dirname "$0")/../netns-pair.sh"
. "$(dirname "$0")/xvfb.sh"

fail() {
    echo "FAIL: $*" >&2
    echo "--- simulator" >&2; cat "$WORK/sim.log" >&2 || true
    echo "--- app" >&2; cat "$WORK"/app*.log >&2 || true
    exit 1
}

# Den answers keys at BOX_IP, refusing "guide" and ignoring "info"; Attic only shows up in the list.
ip netns exec "$BOX_NS" "$boxsim" -a "$BOX_IP" --refuse guide --silent info \
    --box "id=0e0b0c5151a2,name=Den,model=OTX-2,ip=$BOX_IP,tuners=2" \
    --box "id=0e0b0c5151a3,name=Attic,model=OTX-4,ip=$BOX_IP2,tuners=4" >"$WORK/sim.log" 2>&1 &
start_xvfb 340x920x24

start_app() {
    app_env QT_LOGGING_RULES="falquin.toast.info=true" ip netns exec "$APP_NS" "$falquin" >"$WORK/app$1.log" 2>&1 &
    app_pid=$!
    window=$(wait_window) || fail "the window did not show"
    in_app xdotool windowfocus --sync "$window"
}
stop_app() {
    kill "$app_pid"
    wait "$app_pid" 2>/dev/null || true
}
setting() { sed -n "s/^$1=//p" "$WORK/config/Orvantide/Falquin.conf" 2>/dev/null; }
sim_keys() { sed -n 's/.* key="\(.*\)"$/\1/p' "$WORK/sim.log"; }
discovers() { grep -c ' DISCOVER ' "$WORK/sim.log" || true; }
click() { in_app xdotool mousemove --sync "$1" "$2" click 1; }

# The picker is centred on the 340 x 920 window; with two boxes listed, the rows'
# centres sit 67 and 19 pixels above the window's centre, the gear at the bar's right end.
row1=(170 393)
row2=(170 441)
gear=(320 20)

# 1. Nothing stored: the picker opens at start and sweeps; both boxes listed, sorted by name.
start_app 1
wait_for 15 grep -q "from=$APP_IP" "$WORK/sim.log" || fail "no DISCOVER reached the simulator"
sleep 9 # the sweep listens for 8 s
click "${row1[@]}"
wait_for 5 test "$(setting lastDeviceName)" = Attic || fail "first row is not Attic: $(setting lastDeviceName)"
[ "$(setting lastDeviceIp)" = "$BOX_IP2" ] || fail "Attic stored with ip $(setting lastDeviceIp)"

# The gear opens it again (a fresh sweep); the second row is Den.
before=$(discovers)
click "${gear[@]}"
wait_for 5 test "$(discovers)" -gt "$before" || fail "opening the picker did not sweep"
sleep 0.5
click "${row2[@]}"
wait_for 5 test "$(setting lastDeviceName)" = Den || fail "second row is not Den: $(setting lastDeviceName)"
[ "$(setting lastDeviceIp)" = "$BOX_IP" ] || fail "Den stored with ip $(setting lastDeviceIp)"

# 2. Keys: taps, a held Left, digits, the keypad; each must arrive exactly once, in order.
in_app xdotool mousemove --sync 5 900 # off the drawn keys
in_app xdotool key Up
in_app xdotool key Left
in_app xdotool keydown Left
sleep 1
in_app xdotool keyup Left
in_app xdotool key 4 2 KP_5 KP_Decimal KP_Enter Return BackSpace x n f
expected='up left rew down rew up #4 #2 #5 . ok ok back back ON OFF'
wait_for 5 test "$(sim_keys | wc -l)" -ge 14 || true
sleep 0.5
got=$(sim_keys | tr '\n' ' ' | sed 's/ $//')
[ "$got" = "$expected" ] || fail "keys: got '$got', expected '$expected'"

# 3. A refused key and an ignored one: the toast says why.
in_app xdotool key g
wait_for 5 grep -q "'guide': device could not parse the key string" "$WORK/app1.log" || fail "no toast for the refused key"
in_app xdotool key i
wait_for 5 grep -q "'info': no response from Den" "$WORK/app1.log" || fail "no toast for the ignored key"
stop_app

# 4. Restart: Den is back, no picker (keys go out at once) and no sweep.
before=$(discovers)
sent=$(sim_keys | wc -l)
start_app 2
sleep 1.5
in_app xdotool key m
# A sanitizer build can take seconds more to send it; a picker in the way would swallow it.
wait_for 15 test "$(sim_keys | wc -l)" -gt "$sent" || fail "no key after the restart: the picker is in the way?"
[ "$(sim_keys | tail -1)" = menu ] || fail "after restart got $(sim_keys | tail -1)"
[ "$(discovers)" = "$before" ] || fail "the restarted app swept: it opened the picker"
stop_app
grep -q 'falquin.toast' "$WORK/app2.log" && fail "a key failed after the restart"

# 5. Several boxes: Far is on another network, behind the box side, where no sweep reaches; it is
# typed on the command line, so it is remembered first and Den second. Ctrl+2 goes back and forth
# with no sweep, and a switch during a held seek sends its "up" to the box it started on.
FAR_IP=10.77.$((NET + 1)).2
ip -n "$BOX_NS" addr add "$FAR_IP/24" dev "$BOX_IF"
ip netns exec "$BOX_NS" "$boxsim" -a "$FAR_IP" >"$WORK/far.log" 2>&1 &
far_keys() { sed -n 's/.* key="\(.*\)"$/\1/p' "$WORK/far.log"; }
wait_for 5 grep -q "key service on" "$WORK/far.log" || fail "the second simulator did not start: $(cat "$WORK/far.log")"
before=$(discovers)
sent=$(sim_keys | wc -l)
app_env QT_LOGGING_RULES="falquin.toast.info=true" ip netns exec "$APP_NS" "$falquin" --host "$FAR_IP" >"$WORK/app3.log" 2>&1 &
app_pid=$!
window=$(wait_window) || fail "the window did not show"
in_app xdotool windowfocus --sync "$window"
sleep 1.5
in_app xdotool key m
wait_for 15 test "$(far_keys | wc -l)" -ge 1 || fail "no key reached Far"
in_app xdotool key ctrl+2
wait_for 5 test "$(setting lastDeviceIp)" = "$BOX_IP" || fail "Ctrl+2 did not go back to Den: $(setting lastDeviceIp)"
in_app xdotool key m
in_app xdotool keydown Right
sleep 1
in_app xdotool key ctrl+2
in_app xdotool keyup Right
in_app xdotool key m
wait_for 5 test "$(far_keys | wc -l)" -ge 2 || true
sleep 0.5
got=$(sim_keys | tail -n +$((sent + 1)) | tr '\n' ' ' | sed 's/ $//')
[ "$got" = 'menu ff down ff up' ] || fail "Den got '$got', expected 'menu ff down ff up'"
got=$(far_keys | tr '\n' ' ' | sed 's/ $//')
[ "$got" = 'menu menu' ] || fail "Far got '$got', expected 'menu menu'"
[ "$(setting lastDeviceIp)" = "$FAR_IP" ] || fail "Far is not the current box: $(setting lastDeviceIp)"
wait_for 5 grep -q "Keys now go to $FAR_IP" "$WORK/app3.log" || fail "no toast named the box switched to"
[ "$(discovers)" = "$before" ] || fail "switching swept"
stop_app
echo "window-e2e: 1 passed, 0 failed"
