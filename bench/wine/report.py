#!/usr/bin/env python3
"""Turns the raw figures of one `make bench-wine` run into the Markdown tables of
docs/performance.md ("Under Wine"): median, min and max of every timed figure, ratios of medians
against the minimal program, idle memory and CPU, executable sizes and imports, and the targets.

    report.py RESULTS_DIR

RESULTS_DIR holds what bench/wine/run.sh collected:
    samples.txt   "sample <name> <ms>" and "info <name> <value>" lines from the driver
    idle.txt      "<program> <field> <value>" lines read from /proc during the idle phase
    smaps-<program>.txt  resident and proportional kB per mapping of that process
    machine.txt   "<field> <value>" lines (Wine version, CPU, load, settings of the run)
    imports-<program>.txt  the output of `i686-w64-mingw32-objdump -p`
    size-<program>.txt     the executable's size in bytes
"""

import math
import re
import statistics
import sys
from pathlib import Path

# Targets, as stated for this measurement.
STARTUP_TARGET_MS = 150.0
PRESS_TARGET_ADDED = 0.10
MEMORY_TARGET_RATIO = 1.2
# Below this many presses the order-statistics interval of a median is not a 95 % one.
MIN_PRESSES_TO_JUDGE = 20


def read_key_values(path):
    values = {}
    for line in path.read_text().splitlines():
        parts = line.split(None, 1)
        if len(parts) == 2:
            values[parts[0]] = parts[1].strip()
    return values


def read_samples(path):
    samples, info = {}, {}
    for line in path.read_text().splitlines():
        parts = line.split()
        if len(parts) == 3 and parts[0] == "sample":
            samples.setdefault(parts[1], []).append(float(parts[2]))
        elif len(parts) == 3 and parts[0] == "info":
            info[parts[1]] = parts[2]
    return samples, info


def read_idle(path):
    idle = {}
    for line in path.read_text().splitlines():
        parts = line.split()
        if len(parts) == 3:
            idle.setdefault(parts[0], {})[parts[1]] = int(parts[2])
    return idle


def read_imports(path):
    """DLL name -> number of functions imported from it, in the order of the import table."""
    imports = {}
    dll = None
    for line in path.read_text().splitlines():
        match = re.match(r"\s*DLL Name: (\S+)", line)
        if match:
            dll = match.group(1)
            imports[dll] = 0
            continue
        if dll is not None and re.match(r"^\t[0-9a-f]+\t\s*\d+\s+\S", line):
            imports[dll] += 1
        elif line.startswith(" vma:") or line.startswith("The "):
            dll = None if line.startswith("The ") else dll
    return imports


def read_smaps(path):
    """Mapping name -> (resident kB, proportional kB)."""
    mappings = {}
    for line in path.read_text().splitlines():
        parts = line.split(None, 2)
        if len(parts) == 3:
            mappings[parts[2]] = (int(parts[0]), int(parts[1]))
    return mappings


def short_name(mapping):
    return mapping.rsplit("/", 1)[-1]


# The programs of the start-up and idle phases, in table order.
REFERENCES = [
    ("minimal", "Minimal program"),
    ("minimal-dlls", "Minimal + Pavix's DLL set and set-up"),
    ("minimal-dlls-lazy", "Minimal + that set without COMDLG32 and WINMM"),
]


def ms(value):
    if value >= 100:
        return f"{value:.0f} ms"
    if value >= 10:
        return f"{value:.1f} ms"
    return f"{value:.2f} ms"


def kib(value):
    return f"{value / 1024:.1f} MiB"


def spread(values):
    return statistics.median(values), min(values), max(values)


def paired_differences(first, second):
    """Per-round differences first - second (both lists hold one value per round, in order)."""
    return [a - b for a, b in zip(first, second)]


def median_interval(values):
    """The median and its distribution-free 95 % confidence interval: the order statistics
    n/2 -+ 0.98 sqrt(n) (normal approximation of the binomial)."""
    ordered = sorted(values)
    n = len(ordered)
    k = max(0, int(n / 2 - 0.98 * math.sqrt(n)))
    return statistics.median(ordered), ordered[k], ordered[min(n - 1, n - 1 - k)]


def signed_us(milliseconds):
    value = round(milliseconds * 1000)
    return f"{'+' if value >= 0 else '−'}{abs(value)} µs"


def signed_percent(fraction):
    value = round(fraction * 100)
    return f"{'+' if value >= 0 else '−'}{abs(value)} %"


def main():
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    root = Path(sys.argv[1])
    samples, info = read_samples(root / "samples.txt")
    idle = read_idle(root / "idle.txt")
    machine = read_key_values(root / "machine.txt")
    out = []
    verdicts = []

    # Start-up.
    runs = len(samples["startup.minimal"])
    out.append(f"**Start-up**: from `CreateProcess` to the icon's `NIM_ADD` at the stand-in, "
               f"which start-up sends after every hotkey is registered; {runs} runs each, "
               f"one of each program per round, after a warm-up round.")
    out.append("")
    out.append("| Program | Distinct chords registered | Median | Min | Max | Ratio to minimal |")
    out.append("|---|---|---|---|---|---|")
    base = statistics.median(samples["startup.minimal"])
    rows = [(label, f"startup.{key}", "1") for key, label in REFERENCES]
    for count in ("10", "1000"):
        label = f"Pavix, {int(count):,} sequences"
        rows.append((label, f"startup.pavix-{count}", info[f"pavix-{count}.distinct-chords"]))
    for label, key, chords in rows:
        median, low, high = spread(samples[key])
        out.append(f"| {label} | {chords} | {ms(median)} | {ms(low)} | {ms(high)} | "
                   f"{median / base:.2f} |")
    startup_1000 = statistics.median(samples["startup.pavix-1000"])
    verdicts.append((f"Start-up with 1,000 sequences ≤ {STARTUP_TARGET_MS:.0f} ms",
                     ms(startup_1000), startup_1000 <= STARTUP_TARGET_MS))
    out.append("")

    # Presses.
    launches = len(samples["press.1000.pavix-launch-effect"])
    presses = len(samples["press.1000.pavix-first"])
    out.append(f"**Press to effect**: from the `SendInput` of the chord to what it causes; "
               f"{presses} rounds per sequence count, each pressing every program's chord in "
               f"turn ({launches} of them also launching the external command with each "
               f"program), all programs running, after 5 warm-up rounds.")
    out.append("")
    out.append("| Press and what is timed | Sequences | Presses | Median | Min | Max |")
    out.append("|---|---|---|---|---|---|")
    press_rows = [
        ("Minimal: press to `WM_HOTKEY` (its posted message arriving)", "minimal-post"),
        ("Minimal: press to icon change (`NIM_MODIFY`)", "minimal-icon"),
        ("Minimal: the same press again at once", "minimal-icon-again"),
        ("Pavix: first key to icon change (seeking)", "pavix-first"),
        ("Pavix: completion (built-in command) to icon change (idle)", "pavix-complete"),
        ("Minimal: press to the launched program's message", "minimal-launch-effect"),
        ("Pavix: completion to the launched program's message", "pavix-launch-effect"),
        ("Minimal: press to icon change after the launch", "minimal-launch-icon"),
        ("Pavix: completion to icon change after the launch", "pavix-launch-icon"),
    ]
    for label, name in press_rows:
        for count in ("10", "1000"):
            values = samples[f"press.{count}.{name}"]
            median, low, high = spread(values)
            out.append(f"| {label} | {int(count):,} | {len(values)} | {ms(median)} | {ms(low)} | "
                       f"{ms(high)} |")
    out.append("")
    out.append("What Pavix adds to the same effect: the median of the per-round differences, each "
               "Pavix press against the minimal program's icon press of the same round that "
               "follows what it follows (another program's press for the first key, the same "
               "program's press for the completion), with its 95 % confidence interval (order "
               "statistics), and that as a share of the minimal program's press-to-`WM_HOTKEY` "
               "median.")
    out.append("")
    out.append("| Comparison | Sequences | Pavix / minimal (medians) | Added, paired [95 % CI] | "
               "Share of press-to-`WM_HOTKEY` [95 % CI] |")
    out.append("|---|---|---|---|---|")
    comparisons = [
        ("First key vs minimal icon change", "pavix-first", "minimal-icon"),
        ("Completion vs minimal icon change again", "pavix-complete", "minimal-icon-again"),
        ("Launch: the command's message", "pavix-launch-effect", "minimal-launch-effect"),
        ("Launch: icon change after it", "pavix-launch-icon", "minimal-launch-icon"),
    ]
    for label, pavix, minimal in comparisons:
        for count in ("10", "1000"):
            pavix_values = samples[f"press.{count}.{pavix}"]
            minimal_values = samples[f"press.{count}.{minimal}"]
            hotkey = statistics.median(samples[f"press.{count}.minimal-post"])
            ratio = statistics.median(pavix_values) / statistics.median(minimal_values)
            added, low, high = median_interval(paired_differences(pavix_values, minimal_values))
            out.append(f"| {label} | {int(count):,} | {ratio:.3f} | {signed_us(added)} "
                       f"[{signed_us(low)}, {signed_us(high)}] | {signed_percent(added / hotkey)} "
                       f"[{signed_percent(low / hotkey)}, {signed_percent(high / hotkey)}] |")
            if pavix in ("pavix-first", "pavix-complete"):
                limit = PRESS_TARGET_ADDED * hotkey
                if len(pavix_values) < MIN_PRESSES_TO_JUDGE:
                    verdict = "too few presses to judge"
                elif high <= limit:
                    verdict = "met"
                elif low > limit:
                    verdict = "**missed**"
                else:
                    verdict = "not resolved by this run"
                verdicts.append((f"{label.split(' vs ')[0]}, {int(count):,} sequences: adds "
                                 f"≤ 10 % of press-to-`WM_HOTKEY` ({signed_us(limit)})",
                                 f"{signed_us(added)} [{signed_us(low)}, {signed_us(high)}]; "
                                 f"Pavix / minimal {ratio:.3f}", verdict))
    out.append("")
    out.append(f"Wine server requests that Pavix's handling adds to a press (SetTimer on a first "
               f"key, KillTimer on a completion) and that start-up makes per distinct chord "
               f"(RegisterHotKey), each timed alone in the driver, "
               f"{len(samples['call.settimer'])} times:")
    out.append("")
    out.append("| Request | Median | Min | Max |")
    out.append("|---|---|---|---|")
    for label, name in (("SetTimer", "call.settimer"), ("KillTimer", "call.killtimer"),
                        ("RegisterHotKey", "call.registerhotkey")):
        median, low, high = spread(samples[name])
        out.append(f"| {label} | {median * 1000:.1f} µs | {low * 1000:.1f} µs | "
                   f"{high * 1000:.0f} µs |")
    out.append("")

    # Idle.
    seconds = int(machine["idle-seconds"])
    settle = int(machine["idle-settle"])
    out.append(f"**Idle**: the Linux process that runs each program, at least {settle} s after "
               f"its icon appeared; CPU as the change of utime + stime over the next {seconds} s "
               f"with nothing pressed, memory as read at the end. The references and Pavix with "
               f"1,000 sequences run side by side (with the driver); Pavix with 10 sequences is "
               f"then started in its place, for its memory.")
    out.append("")
    out.append(f"| Program | VmRSS | Pss | Pss anonymous | CPU in {seconds} s | "
               f"VmRSS / minimal | Pss / minimal |")
    out.append("|---|---|---|---|---|---|---|")
    tick = int(machine.get("clock-ticks", "100"))
    base = idle["minimal"]
    idle_rows = REFERENCES + [("pavix-1000", "Pavix, 1,000 sequences"),
                              ("pavix-10", "Pavix, 10 sequences")]
    for key, label in idle_rows:
        values = idle[key]
        if "cpu-ticks-after" in values:
            ticks = values["cpu-ticks-after"] - values["cpu-ticks-before"]
            cpu = f"{ticks * 1000 // tick} ms ({ticks} ticks)"
        else:
            cpu = "not read"
        out.append(f"| {label} | {kib(values['vmrss-kb'])} | {kib(values['pss-kb'])} | "
                   f"{kib(values['pss-anon-kb'])} | {cpu} | "
                   f"{values['vmrss-kb'] / base['vmrss-kb']:.2f} | "
                   f"{values['pss-kb'] / base['pss-kb']:.2f} |")
    rss_ratio = idle["pavix-1000"]["vmrss-kb"] / base["vmrss-kb"]
    pss_ratio = idle["pavix-1000"]["pss-kb"] / base["pss-kb"]
    verdicts.append((f"Idle memory ≤ {MEMORY_TARGET_RATIO} × minimal (1,000 sequences)",
                     f"VmRSS {rss_ratio:.2f} ×, Pss {pss_ratio:.2f} ×",
                     rss_ratio <= MEMORY_TARGET_RATIO and pss_ratio <= MEMORY_TARGET_RATIO))
    pavix_cpu = idle["pavix-1000"]["cpu-ticks-after"] - idle["pavix-1000"]["cpu-ticks-before"]
    verdicts.append(("No CPU while idle", f"{pavix_cpu} ticks in {seconds} s", pavix_cpu == 0))
    out.append("")

    # Where Pavix's proportional memory lies beyond the minimal program's.
    pavix_maps = read_smaps(root / "smaps-pavix-1000.txt")
    minimal_maps = read_smaps(root / "smaps-minimal.txt")
    only_pavix = sorted(((pss, name) for name, (rss, pss) in pavix_maps.items()
                         if name not in minimal_maps), reverse=True)
    extra_total = sum(pss for pss, _ in only_pavix)
    shared_growth = sum(pavix_maps[name][1] - minimal_maps[name][1]
                        for name in pavix_maps if name in minimal_maps)
    largest = ", ".join(f"{short_name(name)} {pss / 1024:.2f}" for pss, name in only_pavix[:12])
    out.append(f"Pavix's Pss (1,000 sequences) beyond the minimal program's: "
               f"{kib(extra_total)} in {len(only_pavix)} mappings that the minimal program does "
               f"not have (largest, MiB: {largest}), and {kib(shared_growth)} more in the "
               f"mappings both have (anonymous memory and heap included).")
    out.append("")

    # Executables.
    out.append("**Executables** (`i686-w64-mingw32-objdump -p`):")
    out.append("")
    out.append("| Program | Size | DLLs | Imported functions | Per DLL |")
    out.append("|---|---|---|---|---|")
    for key, label in [("pavix", "Pavix.exe")] + REFERENCES:
        size = int((root / f"size-{key}.txt").read_text().split()[0])
        imports = read_imports(root / f"imports-{key}.txt")
        per_dll = ", ".join(f"{name} {count}" for name, count in imports.items())
        out.append(f"| {label} | {size:,} bytes | {len(imports)} | {sum(imports.values())} | "
                   f"{per_dll} |")
    out.append("")

    # Targets.
    out.append("| Target | Figure | Verdict |")
    out.append("|---|---|---|")
    for target, figure, met in verdicts:
        verdict = met if isinstance(met, str) else ("met" if met else "**missed**")
        out.append(f"| {target} | {figure} | {verdict} |")
    out.append("")
    cpus = machine.get("cpus", "all")
    placement = "all CPUs" if cpus == "all" else f"everything pinned to CPU {cpus}"
    out.append(f"Run: {machine.get('date', '?')}; {machine.get('wine', '?')}; "
               f"{machine.get('cpu', '?')}, {machine.get('nproc', '?')} CPUs, {placement}; "
               f"load average {machine.get('load-before', '?')} before, "
               f"{machine.get('load-after', '?')} after.")
    print("\n".join(out))
    return 0


if __name__ == "__main__":
    sys.exit(main())
