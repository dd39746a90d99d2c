#!/usr/bin/env python3
# SPDX-License-Identifier: Apache-2.0
"""Start-up of Falquin against a bare Qt Quick window, in interleaved rounds.

Every start runs in a network namespace of its own (only loopback, so the picker's
discovery sweep reaches nothing), with its own Xvfb and an empty home, settings store
and runtime dir. Each program keeps one cache dir (XDG_CACHE_HOME: Qt's and Mesa's
shader caches) across its rounds, which the warm-up rounds fill, as a user's second
start finds it; --cold-cache gives every start an empty one instead.
bench_startup_probe watches the window from outside over X. Prints
the medians and their ratios as Markdown; with --check, exits 1 when a ratio is past
its goal. Needs root, or unprivileged user namespaces.
"""

import argparse
import json
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))

# metric: (label, unit, format, ratio goal)
METRICS = {
    "map_ms": ("exec → window mapped", "ms", "{:.0f}", 1.10),
    "frame_ms": ("exec → first drawn frame", "ms", "{:.0f}", 1.20),
    "rss_kib": ("RSS 2 s after map", "MiB", "{:.1f}", 1.10),
    "pss_kib": ("PSS 2 s after map", "MiB", "{:.1f}", None),
    "close_ms": ("close request → exit", "ms", "{:.1f}", 1.20),
    "idle_switches_per_s": ("context switches while idle", "/s", "{:.1f}", None),
}
# With both on one renderer, what is left is the cost of Falquin's own scene, held to tighter
# goals: a ratio, or for memory at most this many MiB above the bare window.
BACKEND_GOALS = {
    "software": {"map_ms": 1.15, "frame_ms": 1.15, "rss_kib": "+6"},
}
# Idle wake-ups are held to an absolute bound, not a ratio: none at all.
IDLE_GOAL = 0.0

MODES = {
    "box": ["--host", "127.0.0.1"],
    "picker": [],
}
# Each program's renderer: as shipped (Falquin picks Qt Quick's software renderer itself, the
# bare window gets Qt's default, OpenGL), or both forced onto the same one.
BACKENDS = {
    "shipped": ("Falquin: Qt Quick software renderer, bare window: Mesa llvmpipe (OpenGL)", {}),
    "gl": ("both on Mesa llvmpipe (OpenGL)", {"QSG_RHI_BACKEND": "opengl"}),
    "software": ("both on Qt Quick's software renderer", {"QT_QUICK_BACKEND": "software"}),
}
# The picker's sweep at start listens for replies for 8 s, its busy indicator spinning;
# idle begins once that is over.
IDLE_FROM = {"box": 0, "picker": 9}


def one_start(args):
    """Runs inside a fresh network namespace: one Xvfb, one program, one probe line."""
    subprocess.run(["ip", "link", "set", "lo", "up"], check=True)
    work = tempfile.mkdtemp(prefix="falquin-startup.")
    xvfb = None
    try:
        runtime = os.path.join(work, "runtime")
        os.mkdir(runtime, 0o700)
        rfd, wfd = os.pipe()
        xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(wfd), "-nolisten", "tcp", "-screen", "0", "1280x1024x24"],
            pass_fds=[wfd], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(wfd)
        with os.fdopen(rfd) as pipe:
            display = pipe.readline().strip()
        if not display:
            sys.exit("startup: Xvfb did not start")
        env = {
            "PATH": os.environ.get("PATH", "/usr/bin:/bin"),
            "HOME": work,
            "XDG_CONFIG_HOME": os.path.join(work, "config"),
            "XDG_CACHE_HOME": args.cache or os.path.join(work, "cache"),
            "XDG_RUNTIME_DIR": runtime,
            "DISPLAY": ":" + display,
            "QT_QPA_PLATFORM": "xcb",
        }
        env.update(BACKENDS[args.backend][1])
        program = [args.falquin] + MODES[args.mode] if args.kind == "falquin" else [args.bare]
        probe = [args.probe, "--settle", str(args.settle), "--idle-from", str(IDLE_FROM[args.mode]),
                 "--idle", str(args.idle), "--"] + program
        # The program's own output is shown only when something went wrong.
        result = subprocess.run(probe, env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        if result.returncode != 0:
            sys.stderr.write(result.stderr)
            sys.exit("startup: the probe failed for %s (%s)" % (args.kind, args.mode))
        sys.stdout.write(result.stdout)
    finally:
        if xvfb:
            xvfb.terminate()
            xvfb.wait()
        shutil.rmtree(work, ignore_errors=True)


def start(args, kind, mode):
    userns = [] if os.geteuid() == 0 else ["--map-root-user"]
    command = ["unshare"] + userns + ["--net", "--", sys.executable, os.path.abspath(__file__),
                                      "--one", kind, "--mode", mode, "--backend", args.backend,
                                      "--settle", str(args.settle), "--idle", str(args.idle),
                                      "--falquin", args.falquin, "--bare", args.bare,
                                      "--probe", args.probe]
    if not args.cold_cache:
        command += ["--cache", os.path.join(args.caches, kind)]
    out = subprocess.run(command, stdout=subprocess.PIPE, text=True, check=True).stdout
    return json.loads(out.strip().splitlines()[-1])


def value(metric, sample):
    v = sample[metric]
    return v / 1024.0 if metric.endswith("_kib") else v


def report(results, modes, backend):
    goals = BACKEND_GOALS.get(backend, {})
    lines = []
    failures = []
    for mode in modes:
        title = "box given (`--host 127.0.0.1`)" if mode == "box" else "picker at start (empty store)"
        lines.append("\n**%s**, medians of %d rounds\n" % (title, len(results[mode]["falquin"])))
        lines.append("| metric | Falquin | bare window | ratio | goal |")
        lines.append("|---|---|---|---|---|")
        for metric, (label, unit, fmt, goal) in METRICS.items():
            goal = goals.get(metric, goal)
            f = statistics.median(value(metric, s) for s in results[mode]["falquin"])
            b = statistics.median(value(metric, s) for s in results[mode]["bare"])
            if metric == "idle_switches_per_s":
                ratio, goal_text = "—", "%g /s" % IDLE_GOAL
                if f > IDLE_GOAL:
                    failures.append("%s: %s is %.2f /s" % (mode, label, f))
            elif isinstance(goal, str):
                above, allowed = f - b, float(goal)
                ratio = "%+.1f %s" % (above, unit)
                goal_text = "≤ %+g %s" % (allowed, unit)
                if above > allowed:
                    failures.append("%s: %s is %+.1f %s (goal ≤ %+g %s)" % (mode, label, above, unit, allowed, unit))
            else:
                r = f / b if b else float("inf")
                ratio = "%.2f×" % r
                goal_text = "≤ %.2f×" % goal if goal else "—"
                if goal and r > goal:
                    failures.append("%s: %s is %.2f× (goal ≤ %.2f×)" % (mode, label, r, goal))
            lines.append("| %s | %s %s | %s %s | %s | %s |" % (
                label, fmt.format(f), unit, fmt.format(b), unit, ratio, goal_text))
    return "\n".join(lines), failures


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default=os.environ.get("FALQUIN_BUILD_DIR",
                                                          os.path.join(HERE, "..", "build")))
    parser.add_argument("--rounds", type=int, default=7, help="measured rounds (default 7)")
    parser.add_argument("--warmup", type=int, default=2, help="unmeasured first rounds (default 2)")
    parser.add_argument("--idle", type=float, default=10, help="seconds of idle to count switches over")
    parser.add_argument("--settle", type=float, default=2, help="seconds after the map to read memory")
    parser.add_argument("--modes", default="box,picker", help="box, picker or both (default)")
    parser.add_argument("--backend", choices=list(BACKENDS), default="shipped",
                        help="renderers: each program's own (default), or both on gl or software")
    parser.add_argument("--cold-cache", action="store_true",
                        help="an empty shader cache for every start, as at the very first start")
    parser.add_argument("--json", help="also write every sample to this file")
    parser.add_argument("--check", action="store_true", help="exit 1 when a ratio is past its goal")
    # Internal: one start inside its namespace.
    parser.add_argument("--one", choices=["falquin", "bare"], help=argparse.SUPPRESS)
    parser.add_argument("--mode", default="box", help=argparse.SUPPRESS)
    parser.add_argument("--falquin", help=argparse.SUPPRESS)
    parser.add_argument("--bare", help=argparse.SUPPRESS)
    parser.add_argument("--probe", help=argparse.SUPPRESS)
    parser.add_argument("--cache", help=argparse.SUPPRESS)
    args = parser.parse_args()

    if args.one:
        args.kind = args.one
        one_start(args)
        return 0

    build = os.path.abspath(args.build)
    args.falquin = args.falquin or os.path.join(build, "falquin")
    args.bare = args.bare or os.path.join(build, "bench", "bench_bare_window")
    args.probe = args.probe or os.path.join(build, "bench", "bench_startup_probe")
    for path in (args.falquin, args.bare, args.probe):
        if not os.access(path, os.X_OK):
            sys.exit("startup: %s is missing; build the targets falquin, bench_bare_window "
                     "and bench_startup_probe" % path)
    modes = [m for m in args.modes.split(",") if m]
    for m in modes:
        if m not in MODES:
            sys.exit("startup: unknown mode %s" % m)

    results = {m: {"falquin": [], "bare": []} for m in modes}
    caches = tempfile.TemporaryDirectory(prefix="falquin-startup-cache.")
    args.caches = caches.name
    began = time.monotonic()
    for r in range(args.warmup + args.rounds):
        for m in modes:
            # Alternate which one goes first, so neither always follows the other.
            order = ["falquin", "bare"] if r % 2 == 0 else ["bare", "falquin"]
            for kind in order:
                sample = start(args, kind, m)
                if sample.get("exit_status") != 0:
                    sys.exit("startup: %s (%s) exited with %s" % (kind, m, sample.get("exit_status")))
                if r >= args.warmup:
                    results[m][kind].append(sample)
        print("round %d/%d done (%.0f s)" % (r + 1, args.warmup + args.rounds,
                                               time.monotonic() - began), file=sys.stderr)

    if args.json:
        with open(args.json, "w") as out:
            json.dump(results, out, indent=1)
    table, failures = report(results, modes, args.backend)
    caches.cleanup()
    backend = BACKENDS[args.backend][0]
    print("Xvfb, %s, %s shader caches, %d warm-up + %d measured rounds, %d cores" % (
        backend, "cold" if args.cold_cache else "warm", args.warmup, args.rounds, os.cpu_count()))
    print(table)
    if args.check and failures:
        print("\nPast the goal:\n" + "\n".join("- " + f for f in failures))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
