#!/usr/bin/env bash
# Measures the real Pavix.exe under Wine against a minimal Win32 program of our own, and prints the
# figures as Markdown (also kept in build/bench-wine/bench-wine.md).
#
#   bash bench/wine/run.sh [path-to-Pavix.exe]      (default: build/win32/Pavix.exe)
#
# The benchmark's own programs are built for the architecture of that Pavix.exe, and take the
# manifest of its build tree.
#
# Environment: BENCH_WINE_RUNS (start-ups per program, default 30), BENCH_WINE_PRESSES (presses
# of each kind per sequence count, default 2000), BENCH_WINE_LAUNCHES (launches of an external
# command per program and sequence count, default 50), BENCH_WINE_IDLE_SECONDS (default 30),
# BENCH_WINE_CPU (a CPU number: run the Wine server and every program on that one CPU, to see
# the figures without cross-CPU wake-ups; default: all CPUs). About 9 minutes with the defaults.
#
# What runs: bench/wine/driver.cpp (stand-in for the notification area, presses, timing),
# bench/wine/minimal.cpp (the reference program, also built twice more with Pavix's DLL set, with
# and without COMDLG32 and WINMM, to tell the platform's cost from Pavix's own) and
# bench/wine/signal.cpp (the external command), built here with the MinGW-w64 i686 compiler when
# their sources change. Wine runs in a prefix and on an Xvfb of this benchmark's own
# (build/bench-wine/wineprefix), so that nothing else using Wine on the machine (the end-to-end
# suite, make run-wine) shares its server, its hotkeys, its notification area or Pavix's
# single-instance name. The figures come from one run; nothing is estimated.
set -euo pipefail

BENCH_DIR="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
ROOT="$(cd "$BENCH_DIR/../.." && pwd)"
readonly BENCH_DIR ROOT
readonly OUT="$ROOT/build/bench-wine"
readonly RESULTS="$OUT/results"
readonly WORK="$OUT/work"
readonly SYNC="$OUT/sync"
readonly CXXFLAGS=(-std=c++17 -O2 -Wall -Wextra -static -static-libgcc -static-libstdc++)
readonly RUNS="${BENCH_WINE_RUNS:-30}"
readonly PRESSES="${BENCH_WINE_PRESSES:-2000}"
readonly LAUNCHES="${BENCH_WINE_LAUNCHES:-50}"
readonly IDLE_SECONDS="${BENCH_WINE_IDLE_SECONDS:-30}"
readonly PIN_CPU="${BENCH_WINE_CPU:-}"
# Rest after start-up before the idle figures are taken.
readonly IDLE_SETTLE_SECONDS=2

pavixExe="$(realpath -e "${1:-$ROOT/build/win32/Pavix.exe}")" || {
    echo "bench-wine: Pavix.exe not found; run make win32 first" >&2
    exit 1
}
case "$(file -b "$pavixExe")" in
    *x86-64*) readonly MINGW=x86_64-w64-mingw32 ;;
    *) readonly MINGW=i686-w64-mingw32 ;;
esac
readonly CXX=$MINGW-g++-posix
readonly WINDRES=$MINGW-windres
readonly MANIFEST="$(dirname "$pavixExe")/resources/pavix.manifest"
readonly PROGRAMS="$OUT/$MINGW"
readonly DRIVER="$PROGRAMS/pavix_bench_wine.exe"
readonly MINIMAL="$PROGRAMS/pavix_bench_minimal.exe"
readonly MINIMAL_DLLS="$PROGRAMS/pavix_bench_minimal_dlls.exe"
readonly MINIMAL_DLLS_LAZY="$PROGRAMS/pavix_bench_minimal_dlls_lazy.exe"
readonly SIGNAL="$PROGRAMS/pavix_bench_signal.exe"

# True when target is missing or older than any of the given files.
IsStale() {
    local target=$1 source
    shift
    [[ -f "$target" ]] || return 0
    for source in "$@"; do
        [[ "$source" -nt "$target" ]] && return 0
    done
    return 1
}

BuildPrograms() {
    mkdir -p "$PROGRAMS"
    if IsStale "$DRIVER" "$BENCH_DIR/driver.cpp" "$ROOT/tests/e2e/helper/data_files.h" \
        "$ROOT/tests/support/data_files.cpp" "$ROOT/tests/support/data_files.h"; then
        "$CXX" "${CXXFLAGS[@]}" -I"$ROOT/tests/e2e/helper" -I"$ROOT/tests" \
            "$BENCH_DIR/driver.cpp" "$ROOT/tests/support/data_files.cpp" -o "$DRIVER" -luser32
    fi
    local minimalSources=("$BENCH_DIR/minimal.cpp" "$BENCH_DIR/minimal.rc"
        "$BENCH_DIR/minimal_dlls.rc" "$MANIFEST"
        "$ROOT/resources/icons/idle.ico" "$ROOT/resources/icons/seeking.ico")
    if IsStale "$MINIMAL" "${minimalSources[@]}" ||
        IsStale "$MINIMAL_DLLS" "${minimalSources[@]}" ||
        IsStale "$MINIMAL_DLLS_LAZY" "${minimalSources[@]}"; then
        (cd "$BENCH_DIR" && "$WINDRES" minimal.rc -O coff -o "$PROGRAMS/minimal.res" &&
            "$WINDRES" -I "$(dirname "$MANIFEST")" minimal_dlls.rc -O coff \
                -o "$PROGRAMS/minimal_dlls.res")
        "$CXX" "${CXXFLAGS[@]}" -mwindows -s "$BENCH_DIR/minimal.cpp" "$PROGRAMS/minimal.res" \
            -o "$MINIMAL" -luser32 -lshell32
        "$CXX" "${CXXFLAGS[@]}" -mwindows -s -DPAVIX_BENCH_DLL_SET=1 "$BENCH_DIR/minimal.cpp" \
            "$PROGRAMS/minimal_dlls.res" -o "$MINIMAL_DLLS" -luser32 -lshell32 -ladvapi32 -lcomctl32 \
            -lcomdlg32 -lole32 -lshlwapi -lwinmm
        "$CXX" "${CXXFLAGS[@]}" -mwindows -s -DPAVIX_BENCH_DLL_SET=2 "$BENCH_DIR/minimal.cpp" \
            "$PROGRAMS/minimal_dlls.res" -o "$MINIMAL_DLLS_LAZY" -luser32 -lshell32 -ladvapi32 \
            -lcomctl32 -lole32 -lshlwapi
    fi
    if IsStale "$SIGNAL" "$BENCH_DIR/signal.cpp"; then
        "$CXX" "${CXXFLAGS[@]}" -mwindows -s "$BENCH_DIR/signal.cpp" -o "$SIGNAL" -luser32
    fi
}

# The Windows path of an absolute host path, through Wine's drive Z: (the host's root).
WinPath() {
    local path=$1
    printf 'Z:%s' "${path//\//\\}"
}

# The Linux process that runs the given Windows executable: Wine sets its command line to the
# executable's Windows path, then the arguments. Fails unless there is exactly one.
LinuxPid() {
    local wanted=$1 entry line found=()
    for entry in /proc/[0-9]*; do
        line="$( { tr '\0' ' ' <"$entry/cmdline"; } 2>/dev/null)" || continue
        [[ "$line" == "$wanted "* ]] && found+=("${entry#/proc/}")
    done
    if [[ ${#found[@]} -ne 1 ]]; then
        echo "bench-wine: ${#found[@]} processes run \"$wanted\"" >&2
        return 1
    fi
    echo "${found[0]}"
}

# utime + stime of the process, in clock ticks (fields 14 and 15 of /proc/PID/stat; the name in
# parentheses may hold spaces, so the fields are counted after it).
CpuTicks() {
    local stat fields
    stat="$(cat "/proc/$1/stat")"
    read -r -a fields <<<"${stat##*) }"
    echo $((fields[11] + fields[12]))
}

# Field value in kB from a /proc file of "Name:   value kB" lines.
ProcField() {
    awk -v name="$2:" '$1 == name { print $2; exit }' "$1"
}

# Memory of the process now, as "<name> <field> <value>" lines in idle.txt, and the resident and
# proportional size of each of its mappings in smaps-<name>.txt (for finding what the memory is).
RecordMemory() {
    local name=$1 pid=$2
    {
        echo "$name vmrss-kb $(ProcField "/proc/$pid/status" VmRSS)"
        echo "$name threads $(ProcField "/proc/$pid/status" Threads)"
        echo "$name pss-kb $(ProcField "/proc/$pid/smaps_rollup" Pss)"
        echo "$name pss-anon-kb $(ProcField "/proc/$pid/smaps_rollup" Pss_Anon)"
    } >>"$RESULTS/idle.txt"
    awk '/^[0-9a-f]+-[0-9a-f]+ / { name = $6 == "" ? "[anonymous]" : $6 }
         /^Rss:/ { rss[name] += $2 } /^Pss:/ { pss[name] += $2 }
         END { for (n in rss) printf "%8d %8d %s\n", rss[n], pss[n], n }' \
        "/proc/$pid/smaps" | sort -rn >"$RESULTS/smaps-$name.txt"
}

# One idle round: the driver has started the programs listed in the ready file and waits. Round
# 1 reads CPU time over IDLE_SECONDS and then memory; later rounds read memory only.
MeasureIdle() {
    local round=$1 name exe pid names=() pids=() before=() i
    while IFS=$'\t' read -r name exe; do
        pid="$(LinuxPid "$exe")" || return 1
        names+=("$name")
        pids+=("$pid")
    done <"$SYNC/idle-$round.ready"
    sleep "$IDLE_SETTLE_SECONDS"
    if ((round == 1)); then
        for i in "${!pids[@]}"; do
            before[i]="$(CpuTicks "${pids[i]}")"
        done
        sleep "$IDLE_SECONDS"
        for i in "${!pids[@]}"; do
            {
                echo "${names[i]} cpu-ticks-before ${before[i]}"
                echo "${names[i]} cpu-ticks-after $(CpuTicks "${pids[i]}")"
            } >>"$RESULTS/idle.txt"
        done
    fi
    for i in "${!pids[@]}"; do
        RecordMemory "${names[i]}" "${pids[i]}"
    done
}

BuildPrograms

rm -rf "$RESULTS" "$WORK" "$SYNC"
mkdir -p "$RESULTS" "$WORK" "$SYNC"

# shellcheck source=/dev/null
source "$ROOT/tools/wine-env.sh"
export WINEPREFIX="$OUT/wineprefix"
export PAVIX_PRIVATE_XVFB=1
if [[ -n "$PIN_CPU" ]]; then
    # Inherited by the server and every program started from here on.
    taskset -pc "$PIN_CPU" $$ >/dev/null
fi
trap pavix_wine_down EXIT
# A fresh server, so that a pinned run pins it too (and an unpinned one does not inherit a pin).
WINEPREFIX="$OUT/wineprefix" wineserver -k </dev/null >/dev/null 2>&1 || true
pavix_wine_up
# Wine's background services go on starting for a few seconds after the first program.
sleep 5

{
    echo "date $(date -u '+%Y-%m-%d %H:%M UTC')"
    echo "wine $(pavix_wine --version)"
    echo "cpu $(awk -F': ' '/^model name/ { print $2; exit }' /proc/cpuinfo)"
    echo "nproc $(nproc --all)"
    echo "clock-ticks $(getconf CLK_TCK)"
    echo "load-before $(cut -d' ' -f1-3 /proc/loadavg)"
    echo "runs $RUNS"
    echo "presses $PRESSES"
    echo "launches $LAUNCHES"
    echo "idle-seconds $IDLE_SECONDS"
    echo "idle-settle $IDLE_SETTLE_SECONDS"
    echo "cpus ${PIN_CPU:-all}"
} >"$RESULTS/machine.txt"

# Output goes to files, never a pipe: processes that Wine starts must not hold our output open.
pavix_wine "$DRIVER" --pavix "$(WinPath "$pavixExe")" --minimal "$(WinPath "$MINIMAL")" \
    --signal "$(WinPath "$SIGNAL")" --work "$(WinPath "$WORK")" \
    --variant "minimal-dlls=$(WinPath "$MINIMAL_DLLS")" \
    --variant "minimal-dlls-lazy=$(WinPath "$MINIMAL_DLLS_LAZY")" \
    --out "$(WinPath "$RESULTS/samples.txt")" --sync "$(WinPath "$SYNC")" \
    --runs "$RUNS" --presses "$PRESSES" --launches "$LAUNCHES" \
    </dev/null >"$OUT/driver.out" 2>"$OUT/driver.err" &
driver=$!
idleRound=1
while kill -0 "$driver" 2>/dev/null; do
    if [[ -f "$SYNC/idle-$idleRound.ready" ]]; then
        if ! MeasureIdle "$idleRound"; then
            kill "$driver" 2>/dev/null || true
            break
        fi
        touch "$SYNC/idle-$idleRound.done"
        idleRound=$((idleRound + 1))
    fi
    sleep 0.2
done
status=0
wait "$driver" || status=$?
if [[ $status -ne 0 || $idleRound -ne 3 ]]; then
    echo "bench-wine: the driver failed (status $status):" >&2
    grep -v '^[0-9a-f]*:fixme:' "$OUT/driver.err" | head -20 >&2
    exit 1
fi

echo "load-after $(cut -d' ' -f1-3 /proc/loadavg)" >>"$RESULTS/machine.txt"
for name in pavix minimal minimal-dlls minimal-dlls-lazy; do
    case $name in
        pavix) exe=$pavixExe ;;
        minimal) exe=$MINIMAL ;;
        minimal-dlls) exe=$MINIMAL_DLLS ;;
        minimal-dlls-lazy) exe=$MINIMAL_DLLS_LAZY ;;
    esac
    stat -c %s "$exe" >"$RESULTS/size-$name.txt"
    i686-w64-mingw32-objdump -p "$exe" >"$RESULTS/imports-$name.txt"
done

python3 "$BENCH_DIR/report.py" "$RESULTS" >"$OUT/bench-wine.md"
cat "$OUT/bench-wine.md"
echo
echo "Raw figures: $RESULTS; rerun with make bench-wine."
