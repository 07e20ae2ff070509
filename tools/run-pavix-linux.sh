#!/usr/bin/env bash
# `make run`: starts the native Linux Pavix (build/linux/pavix) the way a person meets it on an
# X11 desktop.
#
#   bash tools/run-pavix-linux.sh BUILD_DIR        (e.g. build/linux)
#
# Pavix keeps its files in $XDG_CONFIG_HOME/pavix (by default ~/.config/pavix). Where that folder
# has no Sequence.dat yet, the sample sequences are put there first (BUILD_DIR/samples/linux/
# Sequence.dat, converted from tools/samples/linux-sequences.toml); an existing file is never
# touched. On the desktop of DISPLAY (not a Wayland session, where an X11 program hears only the
# keys typed into X11 windows) Pavix runs for real; elsewhere it runs on a private Xvfb that
# nobody sees. Pavix runs in the foreground; Exit in its menu or Ctrl+C ends the run.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

readonly BUILD=${1:?usage: bash tools/run-pavix-linux.sh BUILD_DIR}
[[ -x "$BUILD/pavix" ]] || { echo "run-pavix: $BUILD/pavix is not built (make linux)" >&2; exit 1; }

config=${XDG_CONFIG_HOME:-}
[[ "$config" == /* ]] || config="$HOME/.config"
readonly FOLDER="$config/pavix"
readonly SAMPLES="$BUILD/samples/linux/Sequence.dat"
if [[ ! -f "$FOLDER/Sequence.dat" ]]; then
    [[ -f "$SAMPLES" ]] || { echo "run-pavix: $SAMPLES is not built (make linux)" >&2; exit 1; }
    mkdir -p "$FOLDER"
    cp "$SAMPLES" "$FOLDER/Sequence.dat"
    echo "run-pavix: put the sample sequences into $FOLDER/Sequence.dat"
fi
echo "Pavix keeps Config.dat and Sequence.dat in $FOLDER/"

wayland=false
[[ -n "${WAYLAND_DISPLAY:-}" || "${XDG_SESSION_TYPE:-}" == wayland ]] && wayland=true
# shellcheck source=/dev/null
source tools/wine-env.sh
if $wayland || ! _pavix_display_usable; then
    unset WAYLAND_DISPLAY
    [[ "${XDG_SESSION_TYPE:-}" == wayland ]] && export XDG_SESSION_TYPE=x11
    _pavix_start_xvfb
    trap 'kill "$PAVIX_XVFB_PID" 2>/dev/null || true' EXIT
    echo "No X11 desktop here: Pavix runs on a private Xvfb ($DISPLAY) that nobody sees; keys" \
        "reach it with DISPLAY=$DISPLAY xdotool key ctrl+alt+p ctrl+alt+x (its Exit sequence)."
fi

cat <<MSG
Starting Pavix on display $DISPLAY: its icon is in the desktop's tray (a StatusNotifierItem).
Try Ctrl+Alt+P, then Ctrl+Alt+T for a terminal; Ctrl+Alt+P, Ctrl+Alt+X ends this run.
MSG
"$BUILD/pavix" </dev/null
