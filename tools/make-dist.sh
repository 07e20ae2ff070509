#!/usr/bin/env bash
# Packages the built Windows programs for people on Windows:
#
#   bash tools/make-dist.sh BUILD_DIR...        (e.g. build/win32 build/win64)
#
# writes build/dist/Pavix-<version>-<arch>.zip for each build: Pavix.exe, se/*.wav and a
# README.txt (tools/dist/README.txt with the version and architecture filled in, CRLF line
# ends). The version is the one in VERSION, which also feeds the version resource; the
# architecture is read from the program itself.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

readonly VERSION_TEXT="$(head -n 1 VERSION)"
readonly DIST=build/dist

ArchOf() {
    case "$(file -b "$1")" in
        *x86-64*) echo win64 ;;
        *80386*) echo win32 ;;
        *) echo "make-dist: $1 is not a Windows program" >&2; return 1 ;;
    esac
}

ArchNote() {
    if [[ $1 == win64 ]]; then
        echo "This is the 64-bit Pavix, for 64-bit Windows. The 32-bit Pavix runs on both."
    else
        echo "This is the 32-bit Pavix; it runs on 32-bit and 64-bit Windows."
    fi
}

Package() {
    local build=$1 arch stage zip
    arch=$(ArchOf "$build/Pavix.exe")
    stage=$(mktemp -d)
    zip="$PWD/$DIST/Pavix-$VERSION_TEXT-$arch.zip"
    mkdir -p "$stage/se" "$DIST"
    cp "$build/Pavix.exe" "$stage/"
    cp "$build"/se/*.wav "$stage/se/"
    sed -e "s/@VERSION@/$VERSION_TEXT/" -e "s/@ARCH@/${arch#win}-bit/" \
        -e "s/@ARCH_NOTE@/$(ArchNote "$arch")/" -e 's/$/\r/' tools/dist/README.txt \
        >"$stage/README.txt"
    rm -f "$zip"
    # Fixed times and order, so that the same build gives the same zip.
    find "$stage" -exec touch -d "@$(git log -1 --format=%ct 2>/dev/null || echo 0)" {} +
    (cd "$stage" && zip -q -X -D "$zip" Pavix.exe README.txt se/*.wav)
    rm -rf "$stage"
    echo "make-dist: wrote $DIST/$(basename "$zip")"
}

[[ $# -gt 0 ]] || { echo "usage: bash tools/make-dist.sh BUILD_DIR..." >&2; exit 2; }
for build in "$@"; do
    Package "$build"
done
