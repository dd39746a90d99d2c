#!/bin/bash
# SPDX-License-Identifier: Apache-2.0
# The real falquin as a media player: under its own X server and a session bus of its own
# (dbus-run-session) in one network namespace, driven by playerctl, against falquin-boxsim in
# another; then once more with no bus at all.
# Usage: media-keys-e2e.sh <falquin> <falquin-boxsim>
set -euo pipefail
falquin=$1
boxsim=$2
for tool in playerctl dbus-run-session gdbus xwininfo xev; do command -v "$tool" >/dev/null || { echo "$tool is needed" >&2; exit 1; }; done
. "$(dirname "$0")/../netns-pair.sh"
. "$(dirname "$0")/xvfb.sh"

fail() {
    echo "FAIL: $*" >&2
    echo "--- simulator" >&2; cat "$WORK/sim.log" >&2 || true
    echo "--- app" >&2; cat "$WORK"/app*.log >&2 || true
    exit 1
}
sim_keys() { sed -n 's/.* key="\(.*\)"$/\1/p' "$WORK/sim.log" | tr '\n' ' ' | sed 's/ $//'; }
keys_are() { test "$(sim_keys)" = "$1"; }
setting() { sed -n "s/^$1=//p" "$WORK/config/Orvantide/Falquin.conf" 2>/dev/null; }
click() { in_app xdotool mousemove --sync "$1" "$2" click 1; }
# The device bar's box name, and the media keys entry of the menu it opens (under Den and Attic).
box_name=(40 20)
media_entry=(100 144)

ip netns exec "$BOX_NS" "$boxsim" -a "$BOX_IP" >"$WORK/sim.log" 2>&1 &
start_xvfb 340x920x24
# Den, chosen last, and Attic before it, as the picker leaves them.
mkdir -p "$WORK/config/Orvantide"
printf '%s\n' '[General]' "lastDeviceIp=$BOX_IP" lastDeviceName=Den '[rememberedDevices]' "1\\ip=$BOX_IP" \
    '1\name=Den' "2\\ip=$BOX_IP2" '2\name=Attic' size=2 >"$WORK/config/Orvantide/Falquin.conf"

# The bus lives in the app namespace (its socket is abstract) as long as the namespace does.
in_app dbus-run-session -- sh -c 'echo "$DBUS_SESSION_BUS_ADDRESS" >"$0"; exec sleep 600' "$WORK/bus" 2>"$WORK/bus.log" &
wait_for 10 test -s "$WORK/bus" || fail "no session bus: $(cat "$WORK/bus.log")"
bus=$(cat "$WORK/bus")
in_bus() { in_app env DBUS_SESSION_BUS_ADDRESS="$bus" "$@"; }
listed() { in_bus playerctl -l 2>/dev/null | grep -qx falquin; }
mpris() { # <interface.method> [args]
    in_bus gdbus call --session --dest org.mpris.MediaPlayer2.falquin --object-path /org/mpris/MediaPlayer2 --method "$@" >/dev/null
}

app_env DBUS_SESSION_BUS_ADDRESS="$bus" ip netns exec "$APP_NS" "$falquin" >"$WORK/app1.log" 2>&1 &
app_pid=$!
window=$(wait_window) || fail "the window did not show"
in_app xdotool windowfocus --sync "$window"
wait_for 10 listed || fail "playerctl does not list falquin"
[ "$(in_bus playerctl -p falquin status)" = Paused ] || fail "status is not Paused"
[ "$(in_bus playerctl -p falquin metadata xesam:title)" = Den ] || fail "the title is not Den"
in_bus playerctl -p falquin --follow metadata xesam:title >"$WORK/titles" 2>&1 &

# 1. Each command is its one key.
for command in play-pause next previous "position 10+"; do
    in_bus playerctl -p falquin $command || fail "playerctl $command"
done
wait_for 5 keys_are "ok right left right" || fail "keys: got '$(sim_keys)'"

# 2. Ctrl+2 and back: the panels hear each box's name, and nothing in between.
in_app xdotool key ctrl+2
wait_for 5 grep -qx Attic "$WORK/titles" || fail "no Attic title after Ctrl+2"
in_app xdotool key ctrl+2
wait_for 5 eval 'test "$(tr "\n" " " <"$WORK/titles")" = "Den Attic Den "' || fail "titles: $(cat "$WORK/titles")"

# 3. Raise brings the window up from under another one (xev's); xwininfo lists the top one first.
on_top() { in_app xwininfo -root -children | grep -m1 '^ *0x' | grep -q "$1"; }
in_app xev -geometry 340x920+0+0 >/dev/null 2>&1 &
wait_for 5 on_top '"Event Tester"' || fail "xev's window did not come up"
mpris org.mpris.MediaPlayer2.Raise || fail "Raise"
wait_for 5 on_top "^ *$(printf 0x%x "$window") " || fail "Raise did not raise the window"

# 4. The menu's entry takes the player off the bus, and brings it back.
toggle() { click "${box_name[@]}" && sleep 0.5 && click "${media_entry[@]}"; }
toggle
wait_for 5 eval '! listed' || fail "still on the bus after the entry was unchecked"
[ "$(setting mediaKeys)" = false ] || fail "mediaKeys stored as '$(setting mediaKeys)'"
toggle
wait_for 5 listed || fail "not back on the bus after the entry was checked"

# 5. Quit during a held seek: the seek gets its "up", and Falquin ends as a closed window does.
in_app xdotool keydown Right
wait_for 5 keys_are "ok right left right ff down" || fail "no seek: '$(sim_keys)'"
mpris org.mpris.MediaPlayer2.Quit || fail "Quit"
status=0
wait "$app_pid" || status=$?
in_app xdotool keyup Right
[ "$status" = 0 ] || fail "Quit ended with $status"
wait_for 5 keys_are "ok right left right ff down ff up" || fail "no 'ff up' at Quit: '$(sim_keys)'"

# 6. No session bus: the window starts and sends keys, with one line in the log at most.
app_env ip netns exec "$APP_NS" "$falquin" >"$WORK/app2.log" 2>&1 &
app_pid=$!
window=$(wait_window) || fail "no window without a session bus"
in_app xdotool windowfocus --sync "$window"
sleep 1
in_app xdotool key m
wait_for 5 keys_are "ok right left right ff down ff up menu" || fail "no key without a bus: '$(sim_keys)'"
[ "$(wc -l <"$WORK/app2.log")" -le 1 ] || fail "more than one line without a bus"
kill "$app_pid"
wait "$app_pid" 2>/dev/null || true
echo "media-keys-e2e: 1 passed, 0 failed"
