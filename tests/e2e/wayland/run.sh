#!/usr/bin/env bash
# The desktop rules of the global-shortcuts portal that Debian's desktops do not show (GNOME's
# one bind per session and its cancelled dialog, a subset bound, no GlobalShortcuts at all, a
# frontend that sends every client's presses to all, KDE 5.27's shortcuts in CreateSession) and a
# press running a sequence's command, against the real xdg-desktop-portal with a scripted
# backend (driver.py, backend.py), each scenario in a private session bus, on a private Xvfb.
#
#   bash tests/e2e/wayland/run.sh build/linux/pavix
#
# Ends with "wayland portal end-to-end: N passed, N failed", which is also appended to the file
# named by PAVIX_TEST_SUMMARY when that is set. PAVIX_E2E_ONLY=<scenario> runs that one.
set -uo pipefail

HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
pavix="$(realpath "$1")"
work="$(dirname "$pavix")/e2e-wayland"
rm -rf "$work" && mkdir -p "$work"
scenarios=(press_runs_sequence kde5_shortcuts_at_create broadcast_of_another_session
    gnome_restart_binds_nothing gnome_dialog_cancelled subset_bound no_global_shortcuts)
[[ -n "${PAVIX_E2E_ONLY:-}" ]] && scenarios=("$PAVIX_E2E_ONLY")

exec 3>"$work/display"
Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 2>"$work/xvfb.err" &
xvfb=$!
trap 'kill $xvfb 2>/dev/null' EXIT
for _ in $(seq 100); do [[ -s "$work/display" ]] && break; sleep 0.05; done
export DISPLAY=":$(head -n1 "$work/display")"

passed=0 failed=0
for scenario in "${scenarios[@]}"; do
    mkdir -p "$work/$scenario"
    line="$(timeout 60 dbus-run-session -- /usr/bin/python3 "$HERE/driver.py" "$pavix" \
        "$(dirname "$pavix")/pavix-seq" "$work/$scenario" "$scenario" 2>"$work/$scenario/driver.err" |
        grep -E '^(PASS|FAIL) ' | tail -n1)"
    [[ -n "$line" ]] || line="FAIL $scenario: the driver ended early ($(tail -c 300 "$work/$scenario/driver.err" | tr '\n' ' '))"
    echo "$line"
    if [[ "$line" == PASS* ]]; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
done
summary="wayland portal end-to-end: $passed passed, $failed failed"
echo "$summary"
[[ -n "${PAVIX_TEST_SUMMARY:-}" ]] && echo "$summary" >>"$PAVIX_TEST_SUMMARY"
[[ $failed -eq 0 ]]
