#!/usr/bin/env bash
# End-to-end scenarios against the real Pavix.exe under Wine.
#
#   bash tests/e2e/run.sh <build-dir>/Pavix.exe
#
# The helper that runs the scenarios (e2e/pavix_e2e.exe) and the command that test sequences run
# (e2e/pavix_e2e_mark.exe) are built with Pavix.exe, for the same architecture, in the same build
# tree. Brings Wine up once for the whole run (tools/wine-env.sh: kept prefix, persistent server,
# a private Xvfb when there is no display), then runs every scenario, one Pavix at a time, in one
# helper process per locale: English first, then Japanese under LANG=ja_JP.UTF-8 (Wine takes the
# code page from LANG at process start), then English at 150 % display scale. The scenarios
# shared with the Linux program come from tests/e2e/scenarios/shared.txt. Prints "PASS name" or
# "FAIL name: reason" per scenario and ends with the line
# "wine end-to-end (<build>): N passed, N failed", which is also appended to the file named by
# PAVIX_TEST_SUMMARY when that is set; the exit status is non-zero when anything failed.
#
# PAVIX_E2E_ONLY=<scenario name> runs that one scenario.
set -uo pipefail

if [[ $# -ne 1 ]]; then
    echo "usage: bash tests/e2e/run.sh <build-dir>/Pavix.exe" >&2
    exit 2
fi

E2E_DIR="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
ROOT="$(cd "$E2E_DIR/../.." && pwd)"
readonly E2E_DIR ROOT

passed=0
failed=0
build="$(basename "$(dirname "$1")")"
startSeconds=$SECONDS

Report() {
    local line=$1
    echo "$line"
    case "$line" in
        PASS\ *) passed=$((passed + 1)) ;;
        FAIL\ *) failed=$((failed + 1)) ;;
    esac
}

Finish() {
    local summary="wine end-to-end ($build): $passed passed, $failed failed"
    echo "e2e: $((SECONDS - startSeconds)) s"
    echo "$summary"
    [[ -n "${PAVIX_TEST_SUMMARY:-}" ]] && echo "$summary" >>"$PAVIX_TEST_SUMMARY"
    [[ $failed -eq 0 && $passed -gt 0 ]]
    exit $?
}

# The Windows path of an absolute host path, through Wine's drive Z: (the host's root).
WinPath() {
    local path=$1
    printf 'Z:%s' "${path//\//\\}"
}

pavixExe="$(realpath -e "$1" 2>/dev/null)" || {
    Report "FAIL setup: $1 does not exist"
    Finish
}

readonly OUT="$(dirname "$pavixExe")/e2e"
readonly HELPER="$OUT/pavix_e2e.exe"
readonly MARK="$OUT/pavix_e2e_mark.exe"
readonly WORK="$OUT/work"
if [[ ! -f "$HELPER" || ! -f "$MARK" ]]; then
    Report "FAIL setup: $OUT holds no test helper (build the tree of $pavixExe first)"
    Finish
fi

# shellcheck source=/dev/null
source "$ROOT/tools/wine-env.sh"
if ! pavix_wine_up; then
    Report "FAIL setup: Wine could not be brought up"
    Finish
fi
# A private Xvfb started for this run goes with it (with the sound watcher, below); a display
# that was already there stays.
if [[ -n "${PAVIX_XVFB_PID:-}" ]]; then
    trap 'pavix_wine_down' EXIT
fi

rm -rf "$WORK"
mkdir -p "$WORK"

# The sounds that the shared scenarios name are the program's own, in se/ beside Pavix.exe; a
# watcher on the host logs every open of them, which the helper reads as the sounds played.
SOUNDS="$(dirname "$pavixExe")/se"
readonly SOUNDS SOUND_LOG="$OUT/sounds.log"
rm -f "$SOUND_LOG"
/usr/bin/python3 "$E2E_DIR/sound_watch.py" "$SOUNDS" "$SOUND_LOG" </dev/null >/dev/null 2>"$OUT/sounds.err" &
soundWatch=$!
trap 'kill $soundWatch 2>/dev/null; [[ -n "${PAVIX_XVFB_PID:-}" ]] && pavix_wine_down' EXIT
for _ in $(seq 200); do
    [[ -e "$SOUND_LOG" ]] || ! kill -0 $soundWatch 2>/dev/null && break
    sleep 0.05
done
[[ -e "$SOUND_LOG" ]] || Report "FAIL setup: cannot watch $SOUNDS ($(head -c 300 "$OUT/sounds.err"))"

# Runs one locale group in one helper process. Output goes to a file, never a pipe: the processes
# Wine starts on the way must not hold our output open.
RunGroup() {
    local group=$1
    shift
    local output="$OUT/$group.out" errors="$OUT/$group.err"
    local arguments=(--pavix "$(WinPath "$pavixExe")" --work "$(WinPath "$WORK")"
        --mark "$(WinPath "$MARK")" --group "$group" --sound-log "$(WinPath "$SOUND_LOG")"
        --table "$(WinPath "$E2E_DIR/scenarios/shared.txt")"
        --seq-tool "$(WinPath "${PAVIX_E2E_SEQ_TOOL:-$ROOT/build/native/pavix-seq}")")
    [[ -n "${PAVIX_E2E_ONLY:-}" ]] && arguments+=(--only "$PAVIX_E2E_ONLY")
    env "$@" "$ROOT/tools/pavix-wine" "$HELPER" "${arguments[@]}" </dev/null >"$output" 2>"$errors"
    local status=$? line
    while IFS= read -r line; do
        case "$line" in
            PASS\ * | FAIL\ *) Report "$line" ;;
            RETRY\ *) echo "$line" ;;
        esac
    done <"$output"
    # A helper that dies half-way reports that on its own line, so the count cannot look clean.
    if [[ $status -ne 0 ]] && ! grep -q '^FAIL ' "$output"; then
        Report "FAIL $group: the helper ended with status $status ($(head -c 300 "$errors"))"
    fi
}

if [[ -z "${PAVIX_E2E_ONLY:-}" || ("$PAVIX_E2E_ONLY" != ja_* && "$PAVIX_E2E_ONLY" != hidpi_*) ]]; then
    RunGroup en
fi

if [[ -z "${PAVIX_E2E_ONLY:-}" || "$PAVIX_E2E_ONLY" == ja_* ]]; then
    if japanese=$(pavix_japanese_env); then
        # shellcheck disable=SC2086
        RunGroup ja $japanese
    else
        Report "FAIL ja: cannot generate the ja_JP.UTF-8 locale (localedef, package locales)"
    fi
fi

# The display scale is Wine's LogPixels, which every process reads when it starts: set for the
# group "hidpi" alone, in the kept prefix, and taken away again afterwards.
if [[ -z "${PAVIX_E2E_ONLY:-}" || "$PAVIX_E2E_ONLY" == hidpi_* ]]; then
    readonly DESKTOP_KEY='HKCU\Control Panel\Desktop'
    if pavix_wine reg.exe add "$DESKTOP_KEY" /v LogPixels /t REG_DWORD /d 144 /f \
        </dev/null >/dev/null 2>&1; then
        RunGroup hidpi
    else
        Report "FAIL hidpi: cannot set LogPixels"
    fi
    pavix_wine reg.exe delete "$DESKTOP_KEY" /v LogPixels /f </dev/null >/dev/null 2>&1
fi

Finish
