#!/usr/bin/env bash
# The shared end-to-end scenarios (tests/e2e/scenarios/shared.txt) against the Linux program on a
# private Xvfb, with keys typed through XTEST, inside a private session bus that holds the test
# tray (tray_host.py) and the accessibility bus.
#
#   bash tests/e2e/linux/run.sh build/linux/pavix
#
# Runs the English scenarios, the test of the tray item and its menu (tray_test.py), what a
# screen reader reads of the dialogs (screen_reader_test.py), that of the program as a process
# (process_test.py: signals, what it starts, its bus going), then the Japanese scenarios under
# LANG=ja_JP.UTF-8 (locale generated into build/locale), one Pavix at a time, each with its own XDG_CONFIG_HOME under build/linux/e2e/work
# and all with a private XDG_RUNTIME_DIR and XDG_DATA_HOME and ALSA's null device (asound.conf). Prints "PASS name" or "FAIL name: reason" per scenario
# and ends with "linux end-to-end: N passed, N failed", which is also appended to the file named
# by PAVIX_TEST_SUMMARY when that is set; the exit status is non-zero when anything failed.
# The table's reader comes from the native build (build/native, or PAVIX_E2E_TABLE_TOOL).
#
# PAVIX_E2E_ONLY=<scenario name> runs that one scenario.
set -uo pipefail

LINUX_DIR="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
ROOT="$(cd "$LINUX_DIR/../../.." && pwd)"
readonly LINUX_DIR ROOT
readonly PYTHON=/usr/bin/python3  # Debian's own, with the dbus and gi modules

# Inside the private session bus: the tray, then one driver per locale group. Prints the driver's
# lines only.
RunSession() {
    local pavix=$1 out=$2
    local log="$out/tray.log" tool="${PAVIX_E2E_TABLE_TOOL:-$ROOT/build/native/tests/e2e/linux/pavix_e2e_table}"
    : >"$log"
    "$PYTHON" "$LINUX_DIR/tray_host.py" "$log" 2>"$out/tray.err" &
    trayHost=$!
    trap 'kill $trayHost 2>/dev/null' EXIT
    for _ in $(seq 100); do
        grep -q '"ready"' "$log" && break
        sleep 0.05
    done
    grep -q '"ready"' "$log" || { echo "FAIL setup: the test tray did not start ($(head -c 300 "$out/tray.err"))"; return; }
    local arguments=(--pavix "$pavix" --table-tool "$tool" --table "$ROOT/tests/e2e/scenarios/shared.txt"
        --work "$out/work" --tray-log "$log")
    [[ -n "${PAVIX_E2E_ONLY:-}" ]] && arguments+=(--only "$PAVIX_E2E_ONLY")
    # A driver that dies half-way says so on a line of its own, so the count cannot look clean.
    # With PAVIX_E2E_TOUR the groups take the README's pictures instead.
    # PAVIX_E2E_DRIVER names another platform's driver, which takes the same options.
    local script="$LINUX_DIR/driver.py" own=1
    [[ -n "${PAVIX_E2E_TOUR:-}" ]] && script="$LINUX_DIR/tour.py"
    [[ -n "${PAVIX_E2E_DRIVER:-}" ]] && script=$PAVIX_E2E_DRIVER own=0
    RunGroup() {
        local group=$1
        shift
        env "$@" LC_ALL= LANGUAGE= "$PYTHON" "$script" "${arguments[@]}" --group "$group" \
            >"$out/$group.out" 2>"$out/$group.err"
        cat "$out/$group.out"
        grep -qx "END $group" "$out/$group.out" ||
            echo "FAIL $group: the driver ended early ($(tail -c 400 "$out/$group.err" | tr '\n' ' '))"
    }
    local only="${PAVIX_E2E_ONLY:-}"
    if [[ -z "$only" || ( "$only" != ja_* && "$only" != tray_* && "$only" != reader_* &&
          "$only" != process_* ) ]]; then
        RunGroup en LANG=C.UTF-8
    fi
    # The Linux program's own tests, each run when no scenario is named or one of its own is.
    RunOwn() {
        local name=$1
        [[ $own -eq 1 && -z "${PAVIX_E2E_TOUR:-}" ]] || return 0
        [[ -z "${PAVIX_E2E_ONLY:-}" || "$PAVIX_E2E_ONLY" == "${name}_"* ]] || return 0
        env LANG=C.UTF-8 LC_ALL= LANGUAGE= "$PYTHON" "$LINUX_DIR/$2" "${arguments[@]}" \
            >"$out/$name.out" 2>"$out/$name-test.err"
        cat "$out/$name.out"
        grep -qx "END $name" "$out/$name.out" ||
            echo "FAIL $name: the $name test ended early ($(tail -c 400 "$out/$name-test.err" | tr '\n' ' '))"
    }
    RunOwn tray tray_test.py
    RunOwn reader screen_reader_test.py
    RunOwn process process_test.py
    if [[ -z "${PAVIX_E2E_ONLY:-}" || "$PAVIX_E2E_ONLY" == ja_* ]]; then
        local locales="$ROOT/build/locale"
        [[ -d "$locales/ja_JP.UTF-8" ]] || { mkdir -p "$locales"; localedef -i ja_JP -f UTF-8 "$locales/ja_JP.UTF-8" >/dev/null 2>&1; }
        if [[ -d "$locales/ja_JP.UTF-8" ]]; then
            RunGroup ja LOCPATH="$locales" LANG=ja_JP.UTF-8
        else
            echo "FAIL ja: cannot generate the ja_JP.UTF-8 locale (localedef, package locales)"
        fi
    fi
}

if [[ "${1:-}" == --session ]]; then
    RunSession "$2" "$3"
    exit 0
fi

if [[ $# -ne 1 ]]; then
    echo "usage: bash tests/e2e/linux/run.sh build/linux/pavix" >&2
    exit 2
fi

passed=0
failed=0
startSeconds=$SECONDS

Report() {
    echo "$1"
    case "$1" in
        PASS\ *) passed=$((passed + 1)) ;;
        FAIL\ *) failed=$((failed + 1)) ;;
    esac
}

Finish() {
    local summary="linux end-to-end: $passed passed, $failed failed"
    echo "linux e2e: $((SECONDS - startSeconds)) s"
    echo "$summary"
    [[ -n "${PAVIX_TEST_SUMMARY:-}" ]] && echo "$summary" >>"$PAVIX_TEST_SUMMARY"
    [[ $failed -eq 0 && $passed -gt 0 ]]
    exit $?
}

pavix="$(realpath -e "$1" 2>/dev/null)" || {
    Report "FAIL setup: $1 does not exist"
    Finish
}
# What the executable needs to load before main: GLib and the desktop's libraries come later, once
# the chords are grabbed, and a link that drags them in again slows every start.
early="$(readelf -d "$pavix" | grep -oE 'lib(glib|gobject|gio|gtk|gdk|X11|ayatana|canberra)[^]]*' | tr '\n' ' ')"
if [[ -z "$early" ]] && readelf -d "$pavix" | grep -q 'libxcb\.so'; then
    Report "PASS executable_loads_only_xcb_before_its_grabs"
else
    Report "FAIL executable_loads_only_xcb_before_its_grabs: it loads ${early:-no xcb} at exec"
fi
out="$(dirname "$pavix")/e2e"
rm -rf "$out"
mkdir -p "$out/work" "$out/runtime"
chmod 700 "$out/runtime"

# shellcheck source=../../../tools/private-xvfb.sh
source "$ROOT/tools/private-xvfb.sh"
PavixPrivateXvfb "$out" || { Report "FAIL setup: Xvfb did not start ($(head -c 300 "$out/xvfb.err"))"; Finish; }

export XDG_RUNTIME_DIR="$out/runtime"
# Where Pavix puts the desktop file that names it at its first start.
export XDG_DATA_HOME="$out/data"
export ALSA_CONFIG_PATH="$LINUX_DIR/asound.conf"
unset WAYLAND_DISPLAY NO_AT_BRIDGE GDK_GL
export XDG_SESSION_TYPE=x11
# Output goes to a file: processes started on the way must not hold our output open.
dbus-run-session -- bash "$LINUX_DIR/run.sh" --session "$pavix" "$out" </dev/null >"$out/session.out" 2>"$out/session.err"
while IFS= read -r line; do
    Report "$line"
done < <(grep -E '^(PASS|FAIL) ' "$out/session.out")
if ! grep -qE '^(PASS|FAIL) ' "$out/session.out"; then
    Report "FAIL setup: the session ran no scenario ($(head -c 300 "$out/session.err"))"
fi
Finish
