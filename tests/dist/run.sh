#!/usr/bin/env bash
# Checks the packages of `make dist`:
#
#   bash tests/dist/run.sh BUILD_DIR...      (the builds whose programs can run here)
#
# For both build/dist/Pavix-<version>-win32.zip and -win64.zip: exactly Pavix.exe, README.txt,
# README-ja.txt and the six sounds in se/, the program and the sounds byte for byte those of the
# build, the program of the architecture the name says, both READMEs with CRLF line ends naming
# the version and the architecture (the Japanese one after a UTF-8 byte order mark) and telling
# what Windows does that Pavix cannot change. Then each program that can run here is unpacked and started where it
# stands under Wine (Wine must be up): its icon appears and it ends cleanly through its menu.
# Prints "PASS ..." / "FAIL ..." lines and "N passed, N failed".
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/../.."

readonly VERSION_TEXT="$(head -n 1 VERSION)"
readonly EXPECTED="Pavix.exe README-ja.txt README.txt se/abort.wav se/disable.wav se/enable.wav se/match.wav \
se/mismatch.wav se/timeout.wav"
# shellcheck source=./verdict.sh
source tests/dist/verdict.sh

# Prints what is wrong with the zip of one architecture, nothing when it is right.
ContentProblems() {
    local arch=$1 zip=$2 build=build/$1 unpacked=$3 names file
    [[ -f "$zip" ]] || { echo "$zip is missing"; return; }
    names=$(unzip -Z1 "$zip" | sort | tr '\n' ' ')
    [[ "$names" == "$EXPECTED " ]] || echo "holds [$names] instead of [$EXPECTED]"
    rm -rf "$unpacked" && mkdir -p "$unpacked" && unzip -q "$zip" -d "$unpacked" || return
    cmp -s "$unpacked/Pavix.exe" "$build/Pavix.exe" || echo "Pavix.exe is not the built one"
    for file in resources/se/*.wav; do
        cmp -s "$unpacked/se/$(basename "$file")" "$file" || echo "se/$(basename "$file") differs"
    done
    case "$arch:$(file -b "$unpacked/Pavix.exe")" in
        win32:*80386* | win64:*x86-64*) ;;
        *) echo "Pavix.exe is not a $arch program" ;;
    esac
    local readme="$unpacked/README.txt"
    [[ "$(head -n 1 "$readme")" == "Pavix $VERSION_TEXT (${arch#win}-bit)"$'\r' ]] ||
        echo "README.txt does not start with the version and architecture"
    grep -q $'[^\r]$' "$readme" && echo "README.txt has lines without CRLF"
    grep -q '@' "$readme" && echo "README.txt has a placeholder left"
    local japanese="$unpacked/README-ja.txt"
    [[ "$(head -n 1 "$japanese")" == $'\xEF\xBB\xBF'"Pavix $VERSION_TEXT (${arch#win}-bit)"$'\r' ]] ||
        echo "README-ja.txt does not start with a byte order mark, the version and architecture"
    grep -q $'[^\r]$' "$japanese" && echo "README-ja.txt has lines without CRLF"
    grep -q '@' "$japanese" && echo "README-ja.txt has a placeholder left"
    # Both guides tell what Windows does that Pavix cannot change.
    grep -q 'Other system tray icons' "$readme" && grep -q 'Run with highest privileges' "$readme" &&
        grep -q 'その他のシステム トレイ アイコン' "$japanese" &&
        grep -q '最上位の特権で実行する' "$japanese" ||
        echo "a guide lacks what Windows does that Pavix cannot change"
}

for arch in win32 win64; do
    zip="build/dist/Pavix-$VERSION_TEXT-$arch.zip"
    Verdict "dist_${arch}_content" "$(ContentProblems "$arch" "$zip" "build/dist/check/$arch")"
done

for build in "$@"; do
    arch=$(basename "$build")
    unpacked="$PWD/build/dist/check/$arch"
    output=$(tools/pavix-wine "$build/e2e/pavix_e2e.exe" --installed "Z:${unpacked//\//\\}" \
        </dev/null 2>&1)
    [[ "$output" == "PASS installed"* ]] || problem=${output:-no answer}
    Verdict "dist_${arch}_starts_and_exits" "${problem:-}"
    unset problem
done

echo "$passed passed, $failed failed"
[[ $failed -eq 0 ]]
