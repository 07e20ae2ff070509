#!/usr/bin/env bash
# `make run-wine`: starts a built Pavix under Wine the way a person would meet it on Windows.
#
#   bash tools/run-pavix.sh BUILD_DIR        (e.g. build/win32)
#
# Plain Wine has no notification area that Pavix can use, so the project's own tray host
# (pavix_tray_host.exe, a strip along the bottom of the screen) starts first; Pavix's icon appears
# there, and a right click on it opens Pavix's menu. Where BUILD_DIR has no Sequence.dat yet, the
# sample sequences are put there first (build/native/samples/Sequence.dat, which `make samples`
# converts from tools/samples/sequences.toml); an existing file is never touched. Pavix runs in the
# foreground; choosing Exit in its menu ends the run.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

readonly BUILD=${1:?usage: bash tools/run-pavix.sh BUILD_DIR}
for program in Pavix.exe pavix_tray_host.exe; do
    [[ -f "$BUILD/$program" ]] || { echo "run-pavix: $BUILD/$program is not built" >&2; exit 1; }
done

readonly SAMPLES=build/native/samples/Sequence.dat
if [[ ! -f "$BUILD/Sequence.dat" ]]; then
    [[ -f "$SAMPLES" ]] || { echo "run-pavix: $SAMPLES is not built (make samples)" >&2; exit 1; }
    cp "$SAMPLES" "$BUILD/Sequence.dat"
    echo "run-pavix: put the sample sequences into $BUILD/Sequence.dat"
fi
echo "Pavix keeps Config.dat and Sequence.dat beside the executable, in $PWD/$BUILD/"

# shellcheck source=/dev/null
source tools/wine-env.sh
trap pavix_wine_down EXIT
pavix_wine_up
if [[ -n "${PAVIX_XVFB_PID:-}" ]]; then
    echo "No usable display: Pavix runs on a private Xvfb ($DISPLAY) that nobody sees." \
        "Set DISPLAY to a desktop to see it."
fi

pavix_wine "$BUILD/pavix_tray_host.exe" </dev/null >/dev/null 2>&1 &
# The host must own the notification area before Pavix looks for it.
for _ in $(seq 1 50); do
    xwininfo -root -tree 2>/dev/null | grep -q '"Pavix tray"' && break
    sleep 0.1
done

cat <<MSG
Starting Pavix on display $DISPLAY: its icon is at the right end of the strip along the bottom
of the screen. Right-click it for the menu; choose Exit to end this run.
Under Wine, Pavix hears chords only while a Wine window has the focus (Wine's X11 driver does
not grab keys from the desktop): click the strip first, then try Ctrl+Alt+P, Ctrl+Alt+N.
MSG
pavix_wine "$BUILD/Pavix.exe" </dev/null
