#!/usr/bin/python3
# SPDX-License-Identifier: Apache-2.0
# Presses the real window's controls through the accessibility bus alone, as switch access and
# voice control do. Run by atspi-e2e.sh:
#   atspi-e2e.py <simulator log> <settings file> <Den's address> <another address>
import os
import re
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

sim_log, settings_file, den_ip, other_ip = sys.argv[1:5]
# What the window does at once took under 0.1 s on a loaded 2-core machine; a sweep lasts 8 s.
QUICK, SWEEP = 10, 40
frame = None


def nodes(node):
    yield node
    for child in (node.getChildAtIndex(i) for i in range(node.childCount)):
        if child is not None:
            yield from nodes(child)


def fail(message):
    tree = [f"{n.getRoleName()} {n.name!r} {n.description!r} {showing(n)}" for n in nodes(frame)] if frame else []
    sys.exit("\n".join([f"FAIL: {message}", "--- the accessibility tree", *tree]))


def wait_for(what, probe, timeout=QUICK):
    end = time.monotonic() + timeout
    while True:
        try:
            found = probe()
        except GLib.Error:  # a node that went away while the tree changed
            found = None
        if found or time.monotonic() > end:
            return found or fail(f"{what}: not within {timeout} s")
        time.sleep(0.05)


def showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def find(role, name, root=None):
    return next((n for n in nodes(root or frame) if n.getRoleName() == role and n.name == name), None)


def actions(node):
    return [node.queryAction().getName(i) for i in range(node.queryAction().nActions)]


def act(node, action):
    if action not in actions(node) or not node.queryAction().doAction(actions(node).index(action)):
        fail(f"{action} on {node.name!r}: offered {actions(node)}")


def press(name, role="push button"):
    act(wait_for(f"{role} {name!r}", lambda: find(role, name)), "Press")


def picker(state):
    return lambda: ((dialog := find("dialog", "Choose a device")) is not None and showing(dialog)) == state


def remote_focused(name):
    return lambda: (pane := find("panel", name)) is not None and pane.getState().contains(pyatspi.STATE_FOCUSED)


def spinner(name):
    return lambda: find("animation", name, find("dialog", "Choose a device"))


def sim_lines(pattern):
    with open(sim_log, encoding="utf-8") as log:
        return [m.group(1) for m in map(re.compile(pattern).search, log) if m]


def sim_keys():
    return sim_lines(r' key="(.*)"$')


def stored():
    found = {}
    if os.path.exists(settings_file):
        with open(settings_file, encoding="utf-8") as settings:
            found = dict(line.rstrip("\n").split("=", 1) for line in settings if "=" in line)
    return found.get("lastDeviceIp"), found.get("lastDeviceName")


def xdotool(*args):
    subprocess.run(["xdotool", *args], check=True)


# No accessibility bus, or no app on it, fails the test here: it never skips.
desktop = pyatspi.Registry.getDesktop(0)
app = wait_for("Falquin on the accessibility bus", lambda: next(
    (a for a in map(desktop.getChildAtIndex, range(desktop.childCount)) if a is not None and a.name == "Falquin"), None), 20)
frame = wait_for("the window on the bus", lambda: find("frame", "Falquin", app))

# 1. Nothing stored: the picker is open, nothing in it or shown is unnamed; a row chooses its box.
wait_for("the picker open at start", picker(True))
wait_for("Den listed", lambda: find("push button", f"Den, {den_ip}"))
dialog = find("dialog", "Choose a device")
unnamed = [n.getRoleName() for n in [*nodes(dialog), *filter(showing, nodes(frame))] if not n.name]
if unnamed:
    fail(f"unnamed on the bus: {unnamed}")
press(f"Den, {den_ip}")
wait_for("Den stored by pressing its row", lambda: stored() == (den_ip, "Den"))
wait_for("the picker closed by the choice", picker(False))
wait_for("the focus back on the remote, named with the box", remote_focused("Remote for Den"))
wait_for("the device bar's text", lambda: find("label", "Den"))

# 2. A pressed drawn key sends one tap, Left's too; none offers to take the focus, or takes it.
keys = {"Up": "up", "Digit 5": "#5", "Left": "left", "Power": "POWER"}
for name in keys:
    press(name)
    if "SetFocus" in actions(find("push button", name)):
        fail(f"{name!r} offers SetFocus")
# Five times the hold threshold (400 ms): a press that had started a hold would have sent its "down".
time.sleep(2)
if sim_keys() != list(keys.values()):
    fail(f"keys at the box: {sim_keys()}, expected {list(keys.values())}")
wait_for("the remote still focused", remote_focused("Remote for Den"))
wait_for("the status light's outcome", lambda: find("image", "Status light: 'POWER' acknowledged"))
# The keyboard's Left still taps, and focus that the bus moves onto the device bar comes back.
xdotool("key", "Left")
wait_for("a keyboard Left at the box", lambda: sim_keys()[len(keys):] == ["left"])
act(find("label", "Den"), "SetFocus")
wait_for("the focus back on the remote from the device bar", remote_focused("Remote for Den"))

# 3. The gear opens the picker; Cancel closes it and changes nothing.
press("Choose device")
wait_for("the picker opened by the gear", picker(True))
press("Cancel")
wait_for("the picker closed by Cancel", picker(False))
wait_for("the focus back on the remote after Cancel", remote_focused("Remote for Den"))
if stored() != (den_ip, "Den"):
    fail(f"Cancel changed the stored box: {stored()}")

# 4. Once the search has ended, Refresh starts another, and the spinner says so.
press("Choose device")
wait_for("the picker opened again", picker(True))
wait_for("the spinner saying no search runs", spinner("Not searching"), SWEEP)
sweeps = len(sim_lines(r"( DISCOVER )"))
press("Refresh")
wait_for("a sweep started by Refresh", lambda: len(sim_lines(r"( DISCOVER )")) > sweeps)
wait_for("the spinner saying a search runs", spinner("Searching for devices"))

# 5. The field says why it refuses text that is no address; Connect takes a whole one.
field = find("text", "IP address")
xdotool("key", "ctrl+a", "type", "10.77")
wait_for("the refusal reason as the field's description", lambda: field.description not in ("", "192.168.1.50"))
xdotool("key", "ctrl+a", "type", other_ip)
wait_for("no reason for a whole address", lambda: field.description == "")
press("Connect")
wait_for("the typed address stored by Connect", lambda: stored() == (other_ip, ""))
wait_for("the remote named with the address", remote_focused(f"Remote for {other_ip}"))

# 6. The remembered boxes: the device bar opens their menu, an entry switches to its box, and a
# not-answering row's Forget button forgets it, all through the bus.
press("Remembered devices")
den_entry = wait_for("Den in the menu", lambda: next((n for n in nodes(app) if n.name == "Den, Ctrl+2" and showing(n)), None))
act(den_entry, "Press")
wait_for("Den chosen from the menu", lambda: stored() == (den_ip, "Den"))
wait_for("the focus back on the remote after the menu", remote_focused("Remote for Den"))
press("Choose device")
wait_for("the picker opened for forgetting", picker(True))
press(f"Forget (unnamed), {other_ip}")


def remembers(address):
    with open(settings_file, encoding="utf-8") as settings:
        return address in settings.read()


wait_for("the typed box forgotten", lambda: not remembers(other_ip))
