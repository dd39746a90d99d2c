#!/usr/bin/env python3
# SPDX-License-Identifier: Apache-2.0
"""A media key's way to the box: `playerctl next` to the "right" datagram leaving Falquin.

Run by `bench/run.sh media [--rounds N]`, which gives it a network namespace and a session bus
of its own. It starts the real falquin (offscreen, on a box at 127.0.0.1), answers its keys as
the box does, and times each round from playerctl's exec, and from the Next call on the bus
(dbus-monitor's clock), to the datagram's kernel timestamp on loopback.
"""
import argparse
import re
import select
import socket
import statistics
import struct
import subprocess
import sys
import time

SO_TIMESTAMPNS = getattr(socket, "SO_TIMESTAMPNS", 35)


def summary(label, samples):
    ms = sorted(s / 1e6 for s in samples)
    at = lambda p: ms[min(len(ms) - 1, int(p * len(ms)))]
    return "%s: median %.2f ms, p90 %.2f ms, p99 %.2f ms, max %.2f ms (%d rounds)" % (
        label, statistics.median(ms), at(0.9), at(0.99), ms[-1], len(ms))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--falquin", required=True)
    parser.add_argument("--rounds", type=int, default=200)
    parser.add_argument("--warmup", type=int, default=5)
    args = parser.parse_args()

    box = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    box.setsockopt(socket.SOL_SOCKET, SO_TIMESTAMPNS, 1)
    box.bind(("127.0.0.1", 31063))
    monitor = subprocess.Popen(["dbus-monitor", "--session", "interface='org.mpris.MediaPlayer2.Player'"],
                               stdout=subprocess.PIPE, text=True)
    app = subprocess.Popen([args.falquin, "--host", "127.0.0.1"], stdout=subprocess.DEVNULL)
    try:
        end = time.monotonic() + 30
        while subprocess.run(["playerctl", "-l"], capture_output=True, text=True).stdout.split() != ["falquin"]:
            if time.monotonic() > end or app.poll() is not None:
                sys.exit("media_keys: falquin did not show up on the bus")
            time.sleep(0.1)
        from_exec, to_bus, from_bus = [], [], []
        for i in range(args.warmup + args.rounds):
            began = time.time_ns()
            subprocess.run(["playerctl", "-p", "falquin", "next"], check=True)
            if not select.select([box], [], [], 5)[0]:
                sys.exit("media_keys: no datagram for round %d" % i)
            data, ancillary, _, sender = box.recvmsg(512, socket.CMSG_SPACE(16))
            seconds, nanoseconds = struct.unpack("qq", ancillary[0][2])
            left = seconds * 10**9 + nanoseconds
            if data[8:data.index(b"\0", 8)] != b"right":
                sys.exit("media_keys: got %r, not right" % data[8:40])
            box.sendto(b"Trox\x01\x01\x00" + data[7:8], sender)
            while "member=Next" not in (line := monitor.stdout.readline()):
                if not line:
                    sys.exit("media_keys: dbus-monitor ended")
            called = int(float(re.search(r"time=(\d+\.\d+)", line).group(1)) * 1e9)
            if i >= args.warmup:
                from_exec.append(left - began)
                to_bus.append(called - began)
                from_bus.append(left - called)
        print(summary("playerctl exec -> datagram", from_exec))
        # playerctl's own start, with the one GetAll that Falquin answers.
        print(summary("playerctl exec -> Next on the bus", to_bus))
        print(summary("Next on the bus -> datagram", from_bus))
        # The floor: playerctl's exec and libraries alone, no bus at all.
        alone = []
        for _ in range(args.rounds):
            began = time.monotonic_ns()
            subprocess.run(["playerctl", "--version"], stdout=subprocess.DEVNULL, check=True)
            alone.append(time.monotonic_ns() - began)
        print(summary("playerctl --version, exec -> exit", alone))
    finally:
        app.terminate()
        app.wait()
        monitor.terminate()
    return 0


if __name__ == "__main__":
    sys.exit(main())
