#!/usr/bin/env bash
# Packages the built Windows programs for people on Windows:
#
#   bash tools/make-dist.sh BUILD_DIR...        (e.g. build/win32 build/win64)
#
# writes build/dist/Pavix-<version>-<arch>.zip for each build: Pavix.exe, se/*.wav, a
# README.txt and a README-ja.txt (tools/dist/README.txt and README-ja.txt with the version and
# architecture filled in, CRLF line ends; the Japanese one in UTF-8 with a byte order mark). The version is the one in VERSION, which also feeds the version resource; the
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

ArchNoteJapanese() {
    if [[ $1 == win64 ]]; then
        echo "これは 64 ビット Windows 用の 64 ビット版 Pavix です。32 ビット版はどちらでも動きます。"
    else
        echo "これは 32 ビット版 Pavix で、32 ビットと 64 ビットの Windows で動きます。"
    fi
}

# The guide with the version, the architecture and the note filled in, with CRLF line ends.
Guide() {
    local source=$1 arch=$2 note=$3
    sed -e "s/@VERSION@/$VERSION_TEXT/" -e "s/@ARCH@/${arch#win}-bit/" \
        -e "s/@ARCH_NOTE@/$note/" -e 's/$/\r/' "$source"
}

Package() {
    local build=$1 arch stage zip
    arch=$(ArchOf "$build/Pavix.exe")
    stage=$(mktemp -d)
    zip="$PWD/$DIST/Pavix-$VERSION_TEXT-$arch.zip"
    mkdir -p "$stage/se" "$DIST"
    cp "$build/Pavix.exe" "$stage/"
    cp "$build"/se/*.wav "$stage/se/"
    Guide tools/dist/README.txt "$arch" "$(ArchNote "$arch")" >"$stage/README.txt"
    # UTF-8 with a byte order mark, which every Notepad since Windows XP reads as such.
    { printf '\xEF\xBB\xBF'; Guide tools/dist/README-ja.txt "$arch" "$(ArchNoteJapanese "$arch")"; } \
        >"$stage/README-ja.txt"
    rm -f "$zip"
    # Fixed times and order, so that the same build gives the same zip.
    find "$stage" -exec touch -d "@$(git log -1 --format=%ct 2>/dev/null || echo 0)" {} +
    (cd "$stage" && zip -q -X -D "$zip" Pavix.exe README.txt README-ja.txt se/*.wav)
    rm -rf "$stage"
    echo "make-dist: wrote $DIST/$(basename "$zip")"
}

[[ $# -gt 0 ]] || { echo "usage: bash tools/make-dist.sh BUILD_DIR..." >&2; exit 2; }
for build in "$@"; do
    Package "$build"
done
