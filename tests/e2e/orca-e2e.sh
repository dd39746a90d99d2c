#!/bin/bash
# SPDX-License-Identifier: Apache-2.0
# What a blind user hears: the real falquin and the Orca screen reader under their own X server
# and accessibility bus in one network namespace, against falquin-boxsim in another, driven by
# real key events. Orca's speech is read from its debug log (no audio is needed).
# Usage: orca-e2e.sh <falquin> <falquin-boxsim>
set -euo pipefail
falquin=$1
boxsim=$2
. "$(dirname "$0")/../netns-pair.sh"
. "$(dirname "$0")/xvfb.sh"
. "$(dirname "$0")/atspi.sh"
for tool in orca script unshare; do
    command -v "$tool" >/dev/null || { echo "orca-e2e: $tool is needed (orca, speech-dispatcher)" >&2; exit 1; }
done

speech=$WORK/orca.log
fail() {
    echo "FAIL: $*" >&2
    echo "--- what Orca said" >&2; grep -a 'SPEECH OUTPUT:' "$speech" >&2 || true
    echo "--- the end of Orca's log" >&2; tail -n 30 "$speech" >&2 || true
    echo "--- simulator" >&2; cat "$WORK/sim.log" >&2 || true
    echo "--- app" >&2; cat "$WORK/app.log" >&2 || true
    exit 1
}

# Den answers every key at BOX_IP except info and mute, which it never answers.
ip netns exec "$BOX_NS" "$boxsim" -a "$BOX_IP" --silent info --silent mute >"$WORK/sim.log" 2>&1 &
start_xvfb 340x920x24
start_buses

# Orca in a process namespace of its own, where it is the first process: --replace kills every
# process named orca of this user that it can see, and another test's Orca or a user's own must
# stay out of its reach. Its log goes to a terminal, which Python writes line by line, and from
# there to a file as it comes; written straight to a file it would sit in an 8 KiB buffer.
in_bus env HOME="$WORK" XDG_CONFIG_HOME="$WORK/config" XDG_RUNTIME_DIR="$WORK/runtime" \
    script -qfec "unshare --pid --fork --mount-proc orca --replace --debug-file=/dev/stdout" "$speech" \
    </dev/null >/dev/null 2>&1 &

# Lines of Orca's log so far; said_since <mark> <text>: Orca has said text since the mark.
mark() { wc -l <"$speech"; }
said_since() { tail -n +"$(($1 + 1))" "$speech" 2>/dev/null | grep -a 'SPEECH OUTPUT:' | grep -aqF -- "$2"; }
# Measured on a loaded 2-core machine: Orca up in 0.6 s, speaking within 0.25 s of a key, and a
# key's failure 2.3 s after it was pressed (its 2 s time-out); these deadlines are over 5 times that.
wait_said() { # <mark> <text> <what>
    wait_for 15 said_since "$1" "$2" || fail "Orca did not say \"$2\" ($3)"
}
wait_said 0 "Screen reader on." "Orca did not start"

# A box is stored, so the picker stays closed at start.
mkdir -p "$WORK/config/Orvantide"
printf '[General]\nlastDeviceIp=%s\nlastDeviceName=Den\n' "$BOX_IP" >"$WORK/config/Orvantide/Falquin.conf"
m=$(mark)
start_accessible_app "$WORK/app.log" "$falquin"
window=$(wait_window) || fail "the window did not show"
wait_for 20 app_on_bus || fail "Falquin is not on the accessibility bus"
in_app xdotool mousemove --sync 5 900 # off the drawn keys, whose tooltips Orca would read

# 1. The window gets the focus: where the keys go.
in_app xdotool windowfocus --sync "$window"
wait_said "$m" "Remote for Den panel" "the box, when the window is focused"

# 2. Ctrl+L opens the picker, by its name; Escape closes it and the focus is back on the remote.
m=$(mark)
in_app xdotool key ctrl+l
wait_said "$m" "Choose a device dialog" "the picker's name as it opens"
m=$(mark)
in_app xdotool key Escape
wait_said "$m" "Remote for Den panel" "the box again, after Escape"

# 3. A key the box answers says nothing; two it never answers each say why, the second while
# the first one's toast still shows.
m=$(mark)
in_app xdotool key --delay 300 m i v
wait_said "$m" "notification 'info': no response from Den" "the reason of the first unanswered key"
wait_said "$m" "notification 'mute': no response from Den" "the reason of the second unanswered key"
notifications=$(tail -n +"$((m + 1))" "$speech" | grep -a 'SPEECH OUTPUT:' | grep -ac "'notification " || true)
[ "$notifications" = 2 ] || fail "$notifications notifications for two failed keys and one acknowledged"
grep -q 'key="menu"' "$WORK/sim.log" || fail "the acknowledged key did not reach the box"
stop_app
echo "orca-e2e: 1 passed, 0 failed"
