#!/usr/bin/env python3
"""Runs the benchmark program with repetitions, then prints every figure as its median with the
fastest and slowest repetition, the ratio of each file operation to its raw reference from the
same run, and whether each performance target is met.

Usage: report.py BENCH_BINARY [--repetitions N] [--out DIR] [--filter REGEX]
Writes DIR/bench.json (Google Benchmark's own output) and DIR/bench.md (the tables below).
"""

import argparse
import json
import os
import subprocess
import sys

TO_MICROSECONDS = {"ns": 1e-3, "us": 1.0, "ms": 1e3, "s": 1e6}

# (what, measured, reference or references added up, target ratio or None)
RATIOS = [
    ("Sequence.dat write / raw write", "BM_SequenceFileWrite", ["BM_SequenceFileRawWrite"], 3.0),
    ("Sequence.dat read, engine's way / raw read", "BM_SequenceFileReadStored",
     ["BM_SequenceFileRawRead"], 3.0),
    ("Sequence.dat read, editor's way / raw read", "BM_SequenceFileReadIntoList",
     ["BM_SequenceFileRawRead"], 3.0),
    ("Sequence.dat read, editor's way / (raw read + building the objects)",
     "BM_SequenceFileReadIntoList", ["BM_SequenceFileRawRead", "BM_SequenceBuildIntoList"], None),
    ("Config.dat load / raw read", "BM_ConfigLoad", ["BM_ConfigRawRead"], None),
    ("Config.dat save / raw write", "BM_ConfigSave", ["BM_ConfigRawWrite"], None),
]

SIZES = [10, 1000, 10000, 100000]

# (what, run, limit in microseconds)
LIMITS = [
    ("First key among 10,000 sequences", "BM_FirstKey/10000/manual_time", 500.0),
    ("First key among 100,000 sequences", "BM_FirstKey/100000/manual_time", 20.0),
    ("Enable of 10,000 sequences", "BM_Enable/10000", 20000.0),
    ("Enable of 100,000 sequences", "BM_Enable/100000", 30000.0),
    ("Conflict check of one sequence of 100,000 chords", "BM_ConflictsOneSequence/100000",
     50000.0),
    ("Conflict check of 100,000 sequences of 2-4 chords", "BM_ConflictsShortSequences/100000",
     50000.0),
] + [(f"Mismatch while idle among {size:,} sequences", f"BM_MismatchIdle/{size}/manual_time", 2.0)
     for size in SIZES] + [
    (f"Sheet filter keystroke, 100,000 sequences, {shape}, {what}",
     f"BM_SheetKeystroke{kind}/sequences:100000/spread:{spread}", 50000.0)
    for spread, shape in ((0, "8 first chords"), (1, "1,600 first chords"))
    for kind, what in (("All", "every row kept"), ("None", "no row kept"))]


def run(binary, repetitions, out_dir, pattern):
    json_path = os.path.join(out_dir, "bench.json")
    command = [binary, f"--benchmark_repetitions={repetitions}",
               "--benchmark_report_aggregates_only=true", f"--benchmark_out={json_path}",
               "--benchmark_out_format=json"]
    if pattern:
        command.append(f"--benchmark_filter={pattern}")
    subprocess.run(command, check=True)
    with open(json_path) as data:
        return json.load(data)


def collect(data):
    """run name -> {'median': us, 'min': us, 'max': us, 'counters': {...}}"""
    runs = {}
    for entry in data["benchmarks"]:
        if entry.get("run_type") != "aggregate" or "error_occurred" in entry:
            continue
        scale = TO_MICROSECONDS[entry["time_unit"]]
        run = runs.setdefault(entry["run_name"], {"counters": {}})
        run[entry["aggregate_name"]] = entry["real_time"] * scale
        if entry["aggregate_name"] == "median":
            run["counters"] = {key: value for key, value in entry.items()
                               if key.startswith("candidates")
                               or key in ("sequences", "hotkeys", "heap_per_sequence", "marked", "rows",
                                          "candidates")}
    return runs


def show(microseconds):
    if microseconds >= 1000:
        return f"{microseconds / 1000:.2f} ms"
    if microseconds >= 1:
        return f"{microseconds:.2f} us"
    return f"{microseconds * 1000:.0f} ns"


def tables(data, runs):
    context = data["context"]
    lines = [f"Host: {context.get('host_name', '?')}, {context.get('num_cpus', '?')} CPUs at "
             f"{context.get('mhz_per_cpu', '?')} MHz, load average "
             f"{', '.join(f'{x:.2f}' for x in context.get('load_avg', []))}, "
             f"library build: {context.get('library_build_type', '?')}", ""]
    lines += ["| Benchmark | Median | Min | Max | Notes |", "|---|---|---|---|---|"]
    for name, run in runs.items():
        if "median" not in run:
            continue
        notes = ", ".join(f"{key} {value:g}" for key, value in sorted(run["counters"].items()))
        lines.append(f"| {name} | {show(run['median'])} | {show(run['min'])} | "
                     f"{show(run['max'])} | {notes} |")

    lines += ["", "| Ratio (medians) | Value | Target |", "|---|---|---|"]
    for what, measured, references, target in RATIOS:
        if measured not in runs or any(r not in runs for r in references):
            continue
        ratio = runs[measured]["median"] / sum(runs[r]["median"] for r in references)
        verdict = "-" if target is None else (
            f"<= {target:g}: {'met' if ratio <= target else 'MISSED'}")
        lines.append(f"| {what} | {ratio:.2f} | {verdict} |")

    lines += ["", "| Target | Median | Limit | Verdict |", "|---|---|---|---|"]
    for what, name, limit in LIMITS:
        if name in runs:
            median = runs[name]["median"]
            lines.append(f"| {what} | {show(median)} | {show(limit)} | "
                         f"{'met' if median <= limit else 'MISSED'} |")

    # A press during a search steps its candidates; a first key steps none: it takes the
    # sequences that begin with its chord from the index built at Enable.
    lines += ["", "| Press | Sequences | Candidates stepped | Median | Per candidate stepped |",
              "|---|---|---|---|---|"]
    for press in ("BM_FirstKey", "BM_NextKey", "BM_MismatchIdle", "BM_MismatchSeeking",
                  "BM_Completion"):
        for size in SIZES:
            run = runs.get(f"{press}/{size}/manual_time")
            if not run:
                continue
            stepped = run["counters"].get("candidates_before", 0)
            per = f"{run['median'] * 1000 / stepped:.1f} ns" if stepped else "-"
            lines.append(f"| {press[3:]} | {size} | {stepped:g} | {show(run['median'])} | "
                         f"{per} |")
    return "\n".join(lines) + "\n"


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("binary")
    parser.add_argument("--repetitions", type=int, default=5)
    parser.add_argument("--out", default=".")
    parser.add_argument("--filter", default="")
    args = parser.parse_args()
    os.makedirs(args.out, exist_ok=True)
    data = run(args.binary, args.repetitions, args.out, args.filter)
    report = tables(data, collect(data))
    with open(os.path.join(args.out, "bench.md"), "w") as out:
        out.write(report)
    sys.stdout.write("\n" + report)


if __name__ == "__main__":
    main()
