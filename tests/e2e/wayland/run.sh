#!/usr/bin/env bash
# The desktop rules of the global-shortcuts portal that Debian's desktops do not show (GNOME's
# one bind per session and its cancelled dialog, a subset bound, no GlobalShortcuts at all, a
# frontend that sends every client's presses to all, KDE 5.27's shortcuts in CreateSession) and a
# press running a sequence's command, against the real xdg-desktop-portal with a scripted
# backend (driver.py, backend.py), each scenario in a private session bus, on a private Xvfb;
# then the shared scenario table on a real KDE session started headless (kde_session.sh,
# kde_driver.py), where the table's "skip wayland" scenarios are named and not counted; then a few
# of them again with Pavix kept from Xwayland, its windows native (named "native:").
#
#   bash tests/e2e/wayland/run.sh build/linux/pavix
#
# Ends with "wayland end-to-end: N passed, N failed" for both, which is also appended to the file
# named by PAVIX_TEST_SUMMARY when that is set. PAVIX_E2E_ONLY=<scenario> runs that one (of the
# rules above, or of the table).
set -uo pipefail

HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
ROOT="$(cd "$HERE/../../.." && pwd)"
pavix="$(realpath "$1")"
work="$(dirname "$pavix")/e2e-wayland"
rm -rf "$work" && mkdir -p "$work"
scenarios=(press_runs_sequence kde5_shortcuts_at_create broadcast_of_another_session
    gnome_restart_binds_nothing gnome_dialog_cancelled subset_bound no_global_shortcuts)
# PAVIX_E2E_ONLY names one of these, or a scenario of the shared table.
only_portal=""
if [[ -n "${PAVIX_E2E_ONLY:-}" ]]; then
    [[ " ${scenarios[*]} " == *" $PAVIX_E2E_ONLY "* ]] && only_portal=1
    scenarios=()
    [[ -n "$only_portal" ]] && scenarios=("$PAVIX_E2E_ONLY")
fi
# PAVIX_E2E_TOUR=<folder>: the KDE session takes the README's pictures instead (make screenshots).
[[ -n "${PAVIX_E2E_TOUR:-}" ]] && scenarios=()

exec 3>"$work/display"
Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 2>"$work/xvfb.err" &
xvfb=$!
trap 'kill $xvfb 2>/dev/null' EXIT
for _ in $(seq 100); do [[ -s "$work/display" ]] && break; sleep 0.05; done
export DISPLAY=":$(head -n1 "$work/display")"

passed=0 failed=0
for scenario in "${scenarios[@]}"; do
    mkdir -p "$work/$scenario"
    # Into a file: a helper that the bus started and that outlives it must not hold a pipe open.
    timeout 60 dbus-run-session -- /usr/bin/python3 "$HERE/driver.py" "$pavix" \
        "$(dirname "$pavix")/pavix-seq" "$work/$scenario" "$scenario" >"$work/$scenario/driver.out" \
        2>"$work/$scenario/driver.err" </dev/null
    line="$(grep -E '^(PASS|FAIL) ' "$work/$scenario/driver.out" | tail -n1)"
    [[ -n "$line" ]] || line="FAIL $scenario: the driver ended early ($(tail -c 300 "$work/$scenario/driver.err" | tr '\n' ' '))"
    echo "$line"
    if [[ "$line" == PASS* ]]; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
done
kill $xvfb 2>/dev/null

# The shared table on a real KDE session, through the X11 suite's session runner with this
# platform's driver.
Count() {
    echo "$1"
    if [[ "$1" == PASS* ]]; then passed=$((passed + 1)); elif [[ "$1" == FAIL* ]]; then failed=$((failed + 1)); fi
}
RunKdeTable() {  # <folder name> [<prefix of the lines>]
    local kde="$work/$1" script="$HERE/kde_driver.py"
    [[ -n "${PAVIX_E2E_TOUR:-}" ]] && script="$HERE/kde_tour.py"
    mkdir -p "$kde/work"
    PAVIX_E2E_DRIVER="$script" ALSA_CONFIG_PATH="$ROOT/tests/e2e/linux/asound.conf" \
        bash "$HERE/kde_session.sh" "$kde/session" bash "$ROOT/tests/e2e/linux/run.sh" --session \
        "$pavix" "$kde" </dev/null >"$kde/session.out" 2>"$kde/session.err"
    local lines
    lines="$(grep -E '^(PASS|FAIL|SKIP) ' "$kde/session.out")"
    # The native run takes a few of the table's scenarios: maybe none of PAVIX_E2E_ONLY's.
    [[ -n "$lines" || ( -n "${2:-}" && -n "${PAVIX_E2E_ONLY:-}" ) ]] || lines="FAIL kde_setup: the KDE session ran no scenario ($(tail -c 300 "$kde/session.err" | tr '\n' ' '))"
    [[ -n "$lines" ]] && while IFS= read -r line; do Count "$(sed -E "s/^(PASS|FAIL|SKIP) /\1 ${2:-}/" <<<"$line")"; done <<<"$lines"
}
if [[ -z "${PAVIX_E2E_ONLY:-}" || -z "$only_portal" ]]; then
    RunKdeTable kde
    [[ -n "${PAVIX_E2E_TOUR:-}" ]] || PAVIX_KDE_NATIVE=1 RunKdeTable kde-native native:
fi

summary="wayland end-to-end: $passed passed, $failed failed"
echo "$summary"
[[ -n "${PAVIX_TEST_SUMMARY:-}" ]] && echo "$summary" >>"$PAVIX_TEST_SUMMARY"
[[ $failed -eq 0 && $passed -gt 0 ]]
