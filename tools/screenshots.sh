#!/usr/bin/env bash
# `make screenshots`: takes the README's pictures on a private display.
#
#   bash tools/screenshots.sh BUILD_DIR          (e.g. build/win32)
#
# For English, Japanese, and English at 150 % display scale: a fresh folder with Pavix.exe, its
# sounds and the sample sequences (build/native/samples/Sequence.dat, converted by `make samples`
# from tools/samples/sequences.toml), the project's tray host, then the tour of the end-to-end
# helper (tests/e2e/helper/tour.cpp), which opens the menu and every dialog and cuts each picture
# from the screen (at 150 %, only the hints and the sequence editor, named *-150). The pictures
# land in docs/images/ as PNG; running it again regenerates them.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

readonly BUILD=${1:?usage: bash tools/screenshots.sh BUILD_DIR}
readonly WORK="$PWD/build/screenshots"
readonly IMAGES=docs/images
readonly SAMPLES=build/native/samples/Sequence.dat
[[ -f "$SAMPLES" ]] || { echo "screenshots: $SAMPLES is not built (make samples)" >&2; exit 1; }

WinPath() {
    printf 'Z:%s' "${1//\//\\}"
}

# shellcheck source=/dev/null
source tools/wine-env.sh
export PAVIX_PRIVATE_XVFB=1
trap pavix_wine_down EXIT
pavix_wine_up

# Starts the tray host in the given locale and waits until it owns the notification area.
StartTrayHost() {
    env "$@" "$PWD/tools/pavix-wine" "$BUILD/pavix_tray_host.exe" </dev/null >/dev/null 2>&1 &
    for _ in $(seq 1 50); do
        xwininfo -root -tree 2>/dev/null | grep -q '"Pavix tray"' && return 0
        sleep 0.1
    done
    echo "screenshots: the tray host did not start" >&2
    return 1
}

TakeGroup() {
    local group=$1
    shift
    local folder="$WORK/$group" shots="$WORK/$group-bmp"
    rm -rf "$folder" "$shots"
    mkdir -p "$folder/se" "$shots"
    cp "$BUILD/Pavix.exe" "$folder/"
    cp "$BUILD"/se/*.wav "$folder/se/"
    cp "$SAMPLES" "$folder/Sequence.dat"
    StartTrayHost "$@"
    env "$@" "$PWD/tools/pavix-wine" "$BUILD/e2e/pavix_e2e.exe" --tour "$(WinPath "$folder")" \
        --out "$(WinPath "$shots")" --group "$group" </dev/null
    # Ends the tray host with everything else of this round.
    wineserver -k </dev/null >/dev/null 2>&1 || true
    local bmp
    for bmp in "$shots"/*.bmp; do
        convert "$bmp" -strip "PNG24:$IMAGES/$(basename "${bmp%.bmp}").png"
    done
}

mkdir -p "$IMAGES"
TakeGroup en
japanese=$(pavix_japanese_env) || { echo "screenshots: no ja_JP.UTF-8 locale" >&2; exit 1; }
# shellcheck disable=SC2086
TakeGroup ja $japanese
# The hints and the sequence editor at 150 % (Wine's LogPixels, read by each process at start),
# on a screen of 150 % of the usual size, which the scaled editor needs.
pavix_wine_down
PAVIX_XVFB_SCREEN=1536x1152x24 pavix_wine_up
readonly DESKTOP_KEY='HKCU\Control Panel\Desktop'
pavix_wine reg.exe add "$DESKTOP_KEY" /v LogPixels /t REG_DWORD /d 144 /f </dev/null >/dev/null 2>&1
TakeGroup hidpi
pavix_wine reg.exe delete "$DESKTOP_KEY" /v LogPixels /f </dev/null >/dev/null 2>&1
ls -l "$IMAGES"
