#!/usr/bin/env bash
# make bench-linux: Pavix and sxhkd side by side on a private Xvfb (bench/linux/bench.py), inside
# a private session bus where the end-to-end suite's test tray (tests/e2e/linux/tray_host.py)
# gives Pavix its notification area; then Pavix alone through the desktop portal on a headless
# KDE session (tests/e2e/wayland/kde_session.sh, bench/linux/portal_bench.py). Results in
# build/bench-linux/bench-linux.md and build/bench-linux/bench-portal.md.
#
#   bash bench/linux/run.sh <build>/pavix [sizes]       (sizes default: 10,1000,100000)
#
# Environment: BENCH_LINUX_PRESSES (timed presses per program and size, default 20),
# BENCH_LINUX_SLOW_PRESSES (sxhkd at 100,000 sequences, where each press takes seconds; default 3),
# BENCH_LINUX_STARTS (start-ups per program and size, one for sxhkd at 100,000; default 15),
# BENCH_LINUX_SHEET (when set: Pavix's All Sequences sheet instead, bench/linux/sheet.py, sizes
# default 1,000 and 100,000; results in build/bench-linux/bench-sheet.md),
# BENCH_LINUX_CAP (seconds a start-up may take, default 300), BENCH_LINUX_PRESS_CAP (seconds after
# which a press counts as lost, default 60).
set -euo pipefail

BENCH_DIR="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
ROOT="$(cd "$BENCH_DIR/../.." && pwd)"
readonly BENCH_DIR ROOT
readonly OUT="$ROOT/build/bench-linux"
readonly PYTHON=/usr/bin/python3

if [[ "${1:-}" == --session || "${1:-}" == --portal-session ]]; then
    "$PYTHON" "$ROOT/tests/e2e/linux/tray_host.py" "$OUT/tray.log" 2>"$OUT/tray.err" &
    trayHost=$!
    trap 'kill $trayHost 2>/dev/null' EXIT
    for _ in $(seq 100); do
        grep -q '"ready"' "$OUT/tray.log" 2>/dev/null && break
        sleep 0.05
    done
    if [[ "$1" == --portal-session ]]; then
        "$PYTHON" "$BENCH_DIR/portal_bench.py" --pavix "$2" --sizes "$3" --out "$OUT" \
            --stamp "$OUT/stamp" --tray-log "$OUT/tray.log" \
            --table-tool "$ROOT/build/native/tests/e2e/linux/pavix_e2e_table" \
            --cap "${BENCH_LINUX_CAP:-300}" --press-cap "${BENCH_LINUX_PRESS_CAP:-60}" \
            --presses "${BENCH_LINUX_PRESSES:-20}" --starts "${BENCH_LINUX_STARTS:-15}"
        exit
    fi
    if [[ -n "${BENCH_LINUX_SHEET:-}" ]]; then
        "$PYTHON" "$BENCH_DIR/sheet.py" --pavix "$2" --sizes "$3" --out "$OUT" \
            --stamp "$OUT/stamp" --tray-log "$OUT/tray.log" \
            --table-tool "$ROOT/build/native/tests/e2e/linux/pavix_e2e_table"
        exit
    fi
    "$PYTHON" "$BENCH_DIR/bench.py" --pavix "$2" --sizes "$3" --out "$OUT" --stamp "$OUT/stamp" \
        --tray-log "$OUT/tray.log" \
        --table-tool "$ROOT/build/native/tests/e2e/linux/pavix_e2e_table" \
        --cap "${BENCH_LINUX_CAP:-300}" --press-cap "${BENCH_LINUX_PRESS_CAP:-60}" --presses "${BENCH_LINUX_PRESSES:-20}" --slow-presses "${BENCH_LINUX_SLOW_PRESSES:-3}" \
        --starts "${BENCH_LINUX_STARTS:-15}"
    exit
fi

pavix="$(realpath -e "$1")"
sizes="${2:-10,1000,100000}"
[[ -n "${BENCH_LINUX_SHEET:-}" && -z "${2:-}" ]] && sizes=1000,100000
command -v sxhkd >/dev/null || { echo "bench-linux: sxhkd is missing (tools/install-deps.sh)" >&2; exit 1; }
rm -rf "$OUT"
mkdir -p "$OUT/runtime"
chmod 700 "$OUT/runtime"
cc -O2 -o "$OUT/stamp" "$BENCH_DIR/stamp.c"

# shellcheck source=../../tools/private-xvfb.sh
source "$ROOT/tools/private-xvfb.sh"
PavixPrivateXvfb "$OUT" || { echo "bench-linux: Xvfb did not start ($(head -c 300 "$OUT/xvfb.err"))" >&2; exit 1; }
export XDG_RUNTIME_DIR="$OUT/runtime" XDG_SESSION_TYPE=x11
unset WAYLAND_DISPLAY
dbus-run-session -- bash "$BENCH_DIR/run.sh" --session "$pavix" "$sizes" </dev/null
rm -f "$OUT/tray.log"
bash "$ROOT/tests/e2e/wayland/kde_session.sh" "$OUT/kde" bash "$BENCH_DIR/run.sh" --portal-session \
    "$pavix" "$sizes" </dev/null
