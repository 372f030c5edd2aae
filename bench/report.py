#!/usr/bin/env python3
"""Turns the raw figures of bench/run.sh into its one table.

Usage: report.py RESULTS_FOLDER   (size.csv, window.csv, install.csv, remove.csv, memory.csv, writes.csv,
status.csv from the timer; usermac.json from Google Benchmark)
Every ratio is taken between figures of the same run; for alternated rounds it is the median of the
per-round ratios. Round -1 is the warm-up and is left out.
"""
import csv
import json
import os
import statistics
import sys

PAYLOAD = 604621
SIZES = [1000, 10000, 100000, 1000000]


def rows(folder, name):
    path = os.path.join(folder, name + ".csv")
    with open(path, newline="") as f:
        return [r for r in csv.reader(f) if r]


def rounds(folder, name):
    """{label: {round: (ms, exit code, peak bytes)}} without the warm-up round."""
    table = {}
    for r in rows(folder, name):
        if int(r[2]) < 0:
            continue
        extra = (int(r[4]), int(r[5])) if len(r) > 5 else (0, 0)
        table.setdefault(r[1], {})[int(r[2])] = (float(r[3]),) + extra
    return table


def median_of(table, label, field=0):
    return statistics.median(v[field] for v in table[label].values())


def paired(table, a, b, field=0):
    common = sorted(set(table[a]) & set(table[b]))
    return statistics.median(table[a][k][field] / table[b][k][field] for k in common), len(common)


def ratio_text(table, a, b):
    """The median of the per-round ratios, and the ratio of the fastest runs: other work on the machine
    only ever adds time, so the minima show the programs' own costs when the medians are disturbed."""
    ratio, _ = paired(table, a, b)
    fastest = min(v[0] for v in table[a].values()) / min(v[0] for v in table[b].values())
    return f"{ratio:.2f} (min {fastest:.2f})"


def failures(table):
    return [f"{label} round {k} exit {v[1]}" for label, runs in table.items() for k, v in runs.items() if v[1] != 0]


def verdict(value, limit, strict=False):
    met = value < limit if strict else value <= limit
    return "met" if met else "NOT met"


def against_nsis(line, install, remove):
    ratio, n = paired(install, "ours", "nsis-default")
    line("3 /install /quiet", f"{median_of(install, 'ours'):.1f} ms",
         f"NSIS zlib {median_of(install, 'nsis-default'):.1f} ms", ratio_text(install, "ours", "nsis-default"),
         "<= 0.75 (%d rounds)" % n,
         verdict(ratio, 0.75))
    ratio, n = paired(install, "ours", "nsis-stored")
    line("3 /install /quiet", f"{median_of(install, 'ours'):.1f} ms",
         f"NSIS stored {median_of(install, 'nsis-stored'):.1f} ms", ratio_text(install, "ours", "nsis-stored"),
         "< 1.00", verdict(ratio, 1.0, True))
    ratio, n = paired(remove, "ours", "nsis")
    line("3 /remove /quiet", f"{median_of(remove, 'ours'):.1f} ms", f"NSIS {median_of(remove, 'nsis'):.1f} ms",
         ratio_text(remove, "ours", "nsis"), "<= 0.75", verdict(ratio, 0.75))


def main():
    folder = sys.argv[1]
    out = []
    problems = []

    def line(figure, ours, reference, ratio, target, result):
        out.append((figure, ours, reference, ratio, target, result))

    # 1. size
    sizes = {r[1]: int(r[2]) for r in rows(folder, "size")}
    ours = sizes["OrvandelSetup"]
    line("1 exe size", f"{ours} B", f"NSIS {sizes['nsis-default']} B (zlib)", f"{ours / sizes['nsis-default']:.2f}",
         "", "")
    overhead, nsis_overhead = ours - PAYLOAD, sizes["nsis-stored"] - PAYLOAD
    line("1 overhead over payload", f"{overhead} B", f"NSIS stored {nsis_overhead} B",
         f"{overhead / nsis_overhead:.2f}", "<= 65536 B", f"{verdict(overhead, 65536)} ({overhead / 65536:.2f}x)")

    # 2. start-up
    window = rounds(folder, "window")
    ratio, n = paired(window, "ours", "reference")
    line("2 start-up to visible window", f"{median_of(window, 'ours'):.1f} ms",
         f"reference {median_of(window, 'reference'):.1f} ms", ratio_text(window, "ours", "reference"),
         "<= 1.10 (%d pairs)" % n,
         verdict(ratio, 1.10))

    # 3. install and remove
    install = rounds(folder, "install")
    remove = rounds(folder, "remove")
    problems += failures(install) + failures(remove)
    if "nsis-default" in install:
        against_nsis(line, install, remove)
    else:
        # NSIS makes 32-bit installers only, which a machine without 32-bit Wine cannot run.
        line("3 /install /quiet", f"{median_of(install, 'ours'):.1f} ms", "NSIS not run (32-bit only)", "", "", "")
        line("3 /remove /quiet", f"{median_of(remove, 'ours'):.1f} ms", "NSIS not run (32-bit only)", "", "", "")
    writes = rounds(folder, "writes")
    ratio, n = paired(writes, "flushed", "unflushed")
    flush_cost = median_of(writes, "flushed") - median_of(writes, "unflushed")
    line("3 flush of the 7 files", f"{median_of(writes, 'flushed'):.2f} ms flushed",
         f"{median_of(writes, 'unflushed'):.2f} ms unflushed", f"{ratio:.2f}",
         "", f"costs {flush_cost:.2f} ms = {100 * flush_cost / median_of(install, 'ours'):.1f}% of an install")

    # 4. user.mac under Wine
    status = rounds(folder, "status")
    problems += failures(status)
    ratio, n = paired(status, "million", "small")
    extra = median_of(status, "million") - median_of(status, "small")
    line("4 /status, 1M-line user.mac (Wine)", f"{median_of(status, 'million'):.1f} ms",
         f"3-line {median_of(status, 'small'):.1f} ms", ratio_text(status, "million", "small"), "",
         f"{extra * 1e6 / SIZES[-1]:.0f} ns/line more")

    # 4. user.mac natively
    with open(os.path.join(folder, "usermac.json")) as f:
        bench = json.load(f)["benchmarks"]
    # The median of the repetitions, which ran interleaved at random with every other benchmark's.
    runs = {}
    counters = {}
    for b in bench:
        if b.get("run_type") != "iteration":
            continue
        name = b["run_name"]
        for suffix in ("/real_time", "/iterations:1", "/repeats:1"):
            name = name.replace(suffix, "")
        us = b["real_time"] * {"ns": 1e-3, "us": 1.0, "ms": 1e3, "s": 1e6}[b["time_unit"]]
        runs.setdefault(name, []).append(us)
        counters[name] = b
    times = {name: statistics.median(us) for name, us in runs.items()}
    repetitions = max(len(us) for us in runs.values())

    def per_line(name, lines):
        return times[name] * 1000.0 / lines

    # The goal is set for the largest file; the smaller ones show how the cost grows.
    for op, yardstick, args, target in [("Status", "Read", "", 2.0), ("InstallEdit", "ReadWrite", "/0", 2.0),
                                        ("RemoveEdit", "ReadWrite", "/0", 2.0), ("InstallEdit", "ReadWrite", "/1", 0),
                                        ("RemoveEdit", "ReadWrite", "/1", 0)]:
        ns = [per_line(f"{op}/{n}{args}", n) for n in SIZES]
        ratios = [times[f"{op}/{n}{args}"] / times[f"{yardstick}/{n}{args}"] for n in SIZES]
        flush = {"": "", "/1": ", flushed", "/0": ", not flushed"}[args]
        linear = f"per line max/min {max(ns) / min(ns):.2f}"
        line(f"4 {op}{flush} (native)", "ns/line " + " ".join(f"{v:.0f}" for v in ns),
             f"{yardstick} x " + " ".join(f"{r:.2f}" for r in ratios), f"{ratios[-1]:.2f}",
             f"<= {target:.1f} at {SIZES[-1]} lines" if target else "",
             f"{verdict(ratios[-1], target)}; {linear}" if target else linear)
    for stage in ("Split", "Purge", "Join"):
        if f"{stage}/{SIZES[-1]}" in times:
            ns = [per_line(f"{stage}/{n}", n) for n in SIZES]
            line(f"4 stage {stage} (native)", "ns/line " + " ".join(f"{v:.0f}" for v in ns), "", "", "", "")
    # Peak heap: every allocation of the benchmark program counted, beyond what was in use before.
    for op in ("Status", "InstallEdit", "FirstInstallEdit", "RemoveEdit"):
        if f"Peak{op}/{SIZES[-1]}" not in counters:
            continue
        peak = [counters[f"Peak{op}/{n}"]["peak_bytes"] for n in SIZES]
        size = [counters[f"Peak{op}/{n}"]["file_bytes"] for n in SIZES]
        within = all(p <= 2.5 * s + 65536 for p, s in zip(peak, size))
        line(f"4 peak heap, {op} (native)", "KiB " + " ".join(f"{p / 1024:.0f}" for p in peak),
             "file KiB " + " ".join(f"{s / 1024:.0f}" for s in size), f"{peak[-1] / size[-1]:.2f}",
             "<= 2.5 x file + 64 KiB", f"{'met' if within else 'NOT met'}; x " +
             " ".join(f"{p / s:.2f}" for p, s in zip(peak, size)))

    # 5. peak memory
    memory = rounds(folder, "memory")
    problems += failures(memory)
    ours_peak = median_of(memory, "ours", 2)
    nsis_peak = median_of(memory, "nsis-default", 2) if "nsis-default" in memory else 0
    if ours_peak and not nsis_peak:
        line("5 peak working set, install", f"{ours_peak / 2**20:.1f} MiB", "NSIS not run (32-bit only)", "", "", "")
    elif ours_peak and nsis_peak:
        line("5 peak working set, install", f"{ours_peak / 2**20:.1f} MiB", f"NSIS zlib {nsis_peak / 2**20:.1f} MiB",
             f"{ours_peak / nsis_peak:.2f}", "", "")
    else:
        line("5 peak working set, install", "not reported", "", "", "", "")

    headers = ("Figure", "Ours", "Yardstick (same run)", "Ratio", "Target", "Result")
    widths = [max(len(str(r[i])) for r in out + [headers]) for i in range(len(headers))]
    print(" | ".join(h.ljust(w) for h, w in zip(headers, widths)))
    print("-+-".join("-" * w for w in widths))
    for r in out:
        print(" | ".join(str(c).ljust(w) for c, w in zip(r, widths)))
    native = [b for b in bench if b.get("run_type") == "iteration"]
    print(f"\nNative timings: median of {repetitions} repetitions, interleaved at random with the other "
          f"benchmarks'; sizes {', '.join(map(str, SIZES))} lines. "
          f"Wine timings: {len(window['ours'])} alternated rounds after a warm-up; ratio = median of the "
          f"per-round ratios (min = ratio of the fastest runs).")
    load = os.path.join(folder, "load.txt")
    if os.path.exists(load):
        with open(load) as f:
            print("Load average (1, 5, 15 min) before and after the Wine runs: " + " / ".join(
                " ".join(l.split()[:3]) for l in f if l.strip()))
    if problems:
        print("\nRuns that did not succeed: " + "; ".join(problems))
        return 1
    return 0 if native else 1


if __name__ == "__main__":
    sys.exit(main())
