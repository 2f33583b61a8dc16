#!/usr/bin/env python3
"""Runs the tools side by side on the inputs of make_inputs, in rotating order,
and prints one table row per workload and tool.

Called by run.sh, which builds everything first; see run.sh for the options."""
import argparse
import os
import statistics
import subprocess
import sys
import tempfile
import time

MIB = 1 << 20


def parse_args():
    p = argparse.ArgumentParser()
    p.add_argument("--inputs", required=True)
    p.add_argument("--rounds", type=int, default=5)
    p.add_argument("--zebrin", required=True)
    p.add_argument("--zebrin-package", default="", help="built as the Debian package builds it")
    p.add_argument("--zebrin-linux", default="")
    p.add_argument("--zebrin-reads", default="", help="zebrin that never maps")
    p.add_argument("--zebrin-mapped", default="", help="zebrin that always maps, without the trial")
    p.add_argument("--read-floor", required=True)
    p.add_argument("--map-floor", default="")
    p.add_argument("--print-floor", required=True)
    p.add_argument("--read-floor32", default="", help="i386 build, the floor of zebrin-linux")
    p.add_argument("--map-floor32", default="")
    p.add_argument("--print-floor32", default="")
    p.add_argument("--only", default="", help="comma-separated workload keys")
    return p.parse_args()


def workloads(a):
    """(key, title, compared bytes, floor, tools)

    A tool is (label, argv, sink); sink "null" sends standard output to
    /dev/null, "pipe" through a pipe into cat > /dev/null. The floor is the
    label every other figure of the row group is divided by, round by round
    (its i386 build for zebrin-linux)."""
    d = a.inputs
    def f(name):
        return os.path.join(d, name)
    def size(name):
        return os.path.getsize(f(name))

    def zebrins(sw, x, y, sink):
        tools = [("zebrin", [a.zebrin] + sw + [f(x), f(y)], sink)]
        if a.zebrin_package:
            tools.append(("zebrin (package)", [a.zebrin_package] + sw + [f(x), f(y)], sink))
        if a.zebrin_linux:
            tools.append(("zebrin-linux", [a.zebrin_linux] + sw + [f(x), f(y)], sink))
        if a.zebrin_reads:
            tools.append(("zebrin reads", [a.zebrin_reads] + sw + [f(x), f(y)], sink))
        if a.zebrin_mapped:
            tools.append(("zebrin mapped", [a.zebrin_mapped] + sw + [f(x), f(y)], sink))
        return tools

    def floors(x, y, sink, kinds):
        out = []
        for kind, native, i386 in (("read", a.read_floor, a.read_floor32),
                                   ("mapped", a.map_floor, a.map_floor32),
                                   ("print", a.print_floor, a.print_floor32)):
            if kind in kinds and native:
                out.append((kind + " floor", [native, f(x), f(y)], sink))
                if a.zebrin_linux and i386:
                    out.append((kind + " floor i386", [i386, f(x), f(y)], sink))
        return out

    big = size("eq1")
    w = []
    w.append(("equal", "two equal files of %d MiB" % (big // MIB), big,
              "mapped floor" if a.map_floor else "read floor",
              zebrins([], "eq1", "eq2", "null") + [("cmp", ["cmp", f("eq1"), f("eq2")], "pipe")]
              + floors("eq1", "eq2", "null", ["read", "mapped"])))
    w.append(("permib", "%d MiB, one differing byte per MiB" % (big // MIB), big, "print floor",
              zebrins([], "eq1", "mib2", "null") + [("cmp -l", ["cmp", "-l", f("eq1"), f("mib2")], "pipe")]
              + floors("eq1", "mib2", "null", ["read", "print"])))
    for key, x, y, what in (("all", "all1", "all2", "every byte"),
                            ("alt", "alt1", "alt2", "every other byte")):
        n = size(x)
        for sink, where in (("null", "to /dev/null"), ("pipe", "through a pipe")):
            cmp_label = "cmp -l" + (" (piped)" if sink == "null" else "")
            w.append(("%s-%s" % (key, sink), "%d MiB, %s different, %s" % (n // MIB, what, where),
                      n, "print floor",
                      zebrins([], x, y, sink) + [(cmp_label, ["cmp", "-l", f(x), f(y)], "pipe")]
                      + floors(x, y, sink, ["print"])))
    w.append(("adv", "-s adversarial: 4 MiB of zeros, one late byte different", size("adv1"),
              "read floor", zebrins(["-s"], "adv1", "adv2", "null")
              + [("cmp -l", ["cmp", "-l", f("adv1"), f("adv2")], "pipe")]
              + floors("adv1", "adv2", "null", ["read"])))
    w.append(("shift", "-s shifted: %d MiB, file 2 behind 1000 extra bytes" % (size("shift1") // MIB),
              size("shift1"), "read floor", zebrins(["-s"], "shift1", "shift2", "null")
              + [("cmp -i 0:1000", ["cmp", "-i", "0:1000", f("shift1"), f("shift2")], "pipe")]
              + floors("shift1", "shift2", "null", ["read"])))
    # Small buffer sizes beside the defaults, on the same pair: each is divided
    # by the defaults' time of the same round (zebrin-linux's by its own).
    def settings(sw, extras, x, y):
        tools = []
        for label, prog in (("zebrin", a.zebrin), ("zebrin-linux", a.zebrin_linux)):
            for extra in extras if prog else []:
                tools.append((" ".join([label] + sw + extra), [prog] + sw + extra + [f(x), f(y)],
                              "null"))
        return tools
    small_l2 = [[]] + [["-l2=" + v] for v in ("0x1000", "0x100", "0x10", "1")]
    tuning = size("teq1")
    w.append(("tune-equal", "two equal files of %d MiB (× the defaults)" % (tuning // MIB), tuning,
              "zebrin", settings([], small_l2, "teq1", "teq2")))
    w.append(("tune-permib", "%d MiB, one differing byte per MiB (× the defaults)" % (tuning // MIB),
              tuning, "zebrin", settings([], small_l2, "teq1", "tmib2")))
    w.append(("tune-shift", "-s shifted: %d MiB, file 2 behind 20 extra bytes (× -s with the defaults)"
              % (tuning // MIB), tuning, "zebrin -s",
              settings(["-s"], [[], ["-l2=0x40"]], "tshift1", "tshift2")))
    if a.only:
        keep = a.only.split(",")
        w = [x for x in w if x[0] in keep]
    return w


def run_once(argv, sink, rss_file):
    """Wall time of one run (pipeline included) and the tool's peak RSS in KiB."""
    cmd = ["/usr/bin/time", "-f", "%M", "-o", rss_file, "--"] + argv
    with open(os.devnull, "wb") as null:
        start = time.perf_counter()
        if sink == "null":
            p = subprocess.Popen(cmd, stdout=null, stderr=null)
            p.wait()
        else:
            p = subprocess.Popen(cmd, stdout=subprocess.PIPE, stderr=null)
            c = subprocess.Popen(["cat"], stdin=p.stdout, stdout=null)
            p.stdout.close()
            p.wait()
            c.wait()
        elapsed = time.perf_counter() - start
    with open(rss_file) as r:
        lines = [l for l in r.read().split() if l.isdigit()]
    return elapsed, int(lines[-1]) if lines else 0


def floor_of(label, floor, times):
    """zebrin-linux is an i386 program: its floor is the i386 build of the floor,
    or, where zebrin with the defaults is the floor, zebrin-linux with them."""
    if label.startswith("zebrin-linux") and floor.startswith("zebrin"):
        return "zebrin-linux" + floor[len("zebrin"):]
    if (label == "zebrin-linux" or label.endswith(" i386")) and floor + " i386" in times:
        return floor + " i386"
    return floor


def warm(paths):
    for p in paths:
        with open(p, "rb") as fh:
            while fh.read(MIB * 16):
                pass


def fmt_ratio(values):
    return "%.2f (%.2f–%.2f)" % (statistics.median(values), min(values), max(values))


def main():
    a = parse_args()
    rss_file = tempfile.mktemp(prefix="zebrin-bench-rss-")
    rows = []
    print("| workload | tool | median s | min–max s | MiB/s | max RSS MiB | × floor, median (min–max) |")
    print("|---|---|---:|---:|---:|---:|---:|")
    for key, title, nbytes, floor, tools in workloads(a):
        warm(sorted({x for t in tools for x in t[1] if x.startswith(a.inputs)}))
        for label, argv, sink in tools:  # one untimed run each
            run_once(argv, sink, rss_file)
        times = {t[0]: [] for t in tools}
        rss = {t[0]: [] for t in tools}
        for r in range(a.rounds):
            order = tools[r % len(tools):] + tools[:r % len(tools)]
            for label, argv, sink in order:
                t, m = run_once(argv, sink, rss_file)
                times[label].append(t)
                rss[label].append(m)
        for label, _, _ in tools:
            ts = times[label]
            ratios = [t / fl for t, fl in zip(ts, times[floor_of(label, floor, times)])]
            med = statistics.median(ts)
            print("| %s | %s | %.3f | %.3f–%.3f | %.0f | %.1f | %s |" % (
                title if label == tools[0][0] else "", label, med, min(ts), max(ts),
                nbytes / MIB / med, max(rss[label]) / 1024, fmt_ratio(ratios)), flush=True)
            rows.append((key, label, statistics.median(ratios), max(rss[label]) / 1024, med, ts))
    os.unlink(rss_file)
    check_targets(rows)


def check_targets(rows):
    """The targets, each as met or missed."""
    by = {(k, l): (ratio, rss, med) for k, l, ratio, rss, med, _ in rows}
    times = {(k, l): ts for k, l, _, _, _, ts in rows}
    def ratio(k, l):
        return by[(k, l)][0] if (k, l) in by else None
    def versus(k, l, other):
        """Median of the round-by-round ratios of l's time to other's."""
        if (k, l) not in times or (k, other) not in times:
            return None
        return statistics.median(t / o for t, o in zip(times[(k, l)], times[(k, other)]))
    print()
    print("Targets (ratios are medians of the round-by-round ratios):")
    def say(ok, text):
        print("- %s: %s" % ("met" if ok else "MISSED", text))
    for l in ("zebrin", "zebrin mapped"):
        r = versus("equal", l, "mapped floor")
        if r is not None:
            say(r <= 1.15, "equal files, %s %.2f × mapped floor (≤ 1.15)" % (l, r))
    if versus("equal", "zebrin", "mapped floor") is not None:
        print("- equal files, zebrin %.2f × read floor, the mapped floor %.2f × the read floor"
              % (versus("equal", "zebrin", "read floor"),
                 versus("equal", "mapped floor", "read floor")))
        c = by[("equal", "cmp")][2] / by[("equal", "zebrin")][2]
        print("- stretch: equal files, cmp takes %.2f × zebrin's median time (> 1 is faster than cmp)" % c)
    for k in ("all-null", "alt-null"):
        if ratio(k, "zebrin") is not None:
            say(ratio(k, "zebrin") <= 1.25, "%s, zebrin %.2f × print floor (≤ 1.25)" % (k, ratio(k, "zebrin")))
    for k in ("all-pipe", "alt-pipe"):
        if (k, "zebrin") in by:
            s = by[(k, "cmp -l")][2] / by[(k, "zebrin")][2]
            say(s >= 3, "%s, zebrin %.1f × faster than cmp -l (≥ 3)" % (k, s))
    if ("adv", "zebrin") in by:
        say(by[("adv", "zebrin")][2] < 0.1, "-s adversarial whole run %.3f s (< 0.1)" % by[("adv", "zebrin")][2])
    for k in ("permib", "all-null", "all-pipe", "alt-null", "alt-pipe", "adv", "shift"):
        r = versus(k, "zebrin", "zebrin reads")
        if r is not None:
            say(r <= 1.05, "%s, zebrin %.2f × zebrin reads (≤ 1.05)" % (k, r))
        r = versus(k, "zebrin mapped", "zebrin reads")
        if r is not None:
            print("- %s, zebrin mapped %.2f × zebrin reads" % (k, r))
    tuned = [(r, l) for (k, l), (r, _, _) in by.items() if k.startswith("tune-")]
    if tuned:
        r, l = max(tuned)
        say(r <= 2, "small -l2, every setting within 2 × the defaults: the slowest, %s, %.2f × (≤ 2)"
            % (l, r))
    native = [(k, l, v) for (k, l), v in by.items() if l == "zebrin" or l.startswith("zebrin ")]
    plain = [v[1] for k, l, v in native if k not in ("adv", "shift", "tune-shift")]
    sync = [v[1] for k, l, v in native if k in ("adv", "shift", "tune-shift")]
    # Mapped pages count in the RSS while they are mapped.
    if plain:
        say(max(plain) <= 16, "peak RSS without -s %.1f MiB (≤ 16)" % max(plain))
    if sync:
        say(max(sync) <= 16, "peak RSS with -s %.1f MiB (≤ 16)" % max(sync))


if __name__ == "__main__":
    sys.exit(main())
