#!/usr/bin/env bash
# Checks the Debian package of `make deb`:
#
#   bash tests/dist/deb.sh build/dist/pavix_<version>_amd64.deb
#
# lintian finds no error and no warning; the desktop file and the AppStream entry validate; the
# changelog's latest entry is the version of VERSION; the package runs nothing at install and
# starts nothing for every user; the program finds its module, sounds and pictures where the
# package puts them. Then the package is unpacked into a scratch root and the program there runs
# a few of the shared scenarios and the tray's test (tests/e2e/linux/run.sh). Prints "PASS ..." /
# "FAIL ..." lines and "linux package: N passed, N failed", also appended to the file named by
# PAVIX_TEST_SUMMARY when that is set.
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/../.."

readonly SCENARIOS=(second_start_exits_at_once sequence_runs_only_when_chords_pressed_in_order
    exit_pavix_ends_process_after_later_commands tray_item_pictures_and_menu
    start_at_login_makes_and_removes_the_startup_shortcut)
readonly APP_ID=io.github.pavix.Pavix
# shellcheck source=./verdict.sh
source tests/dist/verdict.sh

Finish() {
    local summary="linux package: $passed passed, $failed failed"
    echo "$summary"
    [[ -n "${PAVIX_TEST_SUMMARY:-}" ]] && echo "$summary" >>"$PAVIX_TEST_SUMMARY"
    [[ $failed -eq 0 ]]
    exit $?
}

# Its errors and warnings (E: and W: lines), or why it did not run.
LintianProblems() {
    local output
    output=$(lintian --allow-root --fail-on error,warning --tag-display-limit 0 "$1" 2>&1) ||
        echo "${output:-lintian failed}" | grep -v 'root privileges' | tr '\n' ' ' | head -c 600
}

LayoutProblems() {
    local root=$1 path size
    for path in usr/bin/pavix usr/bin/pavix-seq usr/lib/x86_64-linux-gnu/pavix/pavix-desktop.so \
        usr/lib/x86_64-linux-gnu/pavix/pavix-portal.so \
        usr/share/pavix/se/enable.wav usr/share/pavix/icons/idle.ico \
        usr/share/man/man1/pavix.1.gz usr/share/man/man1/pavix-seq.1.gz \
        usr/share/doc/pavix/copyright usr/share/doc/pavix/changelog.gz; do
        [[ -f "$root/$path" ]] || echo "no /$path;"
    done
    for size in 16 22 24 32 48 64 128 256; do
        path="usr/share/icons/hicolor/${size}x${size}/apps/$APP_ID.png"
        identify -format '%wx%h' "$root/$path" 2>/dev/null | grep -qx "${size}x${size}" ||
            echo "no ${size}-pixel /$path;"
    done
    grep -qx 'Exec=pavix' "$root/usr/share/applications/$APP_ID.desktop" 2>/dev/null ||
        echo "the desktop file does not start pavix;"
}

# Nothing of the package runs at install, and nothing starts for every user's session.
InstallProblems() {
    local deb=$1 root=$2 control
    control=$(dpkg-deb --ctrl-tarfile "$deb" | tar -t | sed 's#^\./##' | grep -vxE '|control|md5sums')
    [[ -z "$control" ]] && control=$(cd "$root" && find etc usr/lib/systemd usr/share/dbus-1 2>/dev/null)
    [[ -z "$control" ]] || echo "runs or starts: $control" | tr '\n' ' '
}

ChangelogProblem() {
    local version
    version=$(zcat "$1/usr/share/doc/pavix/changelog.gz" | head -n 1 | sed -n 's/^pavix (\([^)]*\)).*/\1/p')
    [[ "$version" == "$(head -n 1 VERSION)" ]] || echo "its latest entry is ${version:-none}, VERSION says $(head -n 1 VERSION)"
}

deb=${1:-}
[[ -f "$deb" ]] || { Verdict package_built "${deb:-no package named} does not exist"; Finish; }
root="build/deb-test/root"
rm -rf build/deb-test && mkdir -p "$root" && dpkg-deb -x "$deb" "$root" ||
    { Verdict package_unpacks "dpkg-deb -x failed"; Finish; }

Verdict package_lintian_clean "$(LintianProblems "$deb")"
Verdict package_desktop_file_valid "$(desktop-file-validate "$root/usr/share/applications/$APP_ID.desktop" 2>&1)"
Verdict package_appstream_valid "$(appstreamcli validate --no-net "$root/usr/share/metainfo/$APP_ID.metainfo.xml" >/dev/null 2>&1 ||
    appstreamcli validate --no-net "$root/usr/share/metainfo/$APP_ID.metainfo.xml" 2>&1 | head -c 600)"
Verdict package_layout "$(LayoutProblems "$root")"
Verdict package_installs_quietly "$(InstallProblems "$deb" "$root")"
Verdict package_changelog_names_the_version "$(ChangelogProblem "$root")"

# The installed program with nothing of the build tree beside it.
for scenario in "${SCENARIOS[@]}"; do
    lines=$(env -u PAVIX_TEST_SUMMARY PAVIX_E2E_ONLY=$scenario bash tests/e2e/linux/run.sh "$root/usr/bin/pavix" | grep -E "^(PASS|FAIL) $scenario")
    [[ -n "$lines" ]] || lines="FAIL $scenario: it did not run"
    while IFS= read -r line; do
        if [[ "$line" == PASS\ * ]]; then Verdict "installed_${line#PASS }" ""; else
            reason=${line#FAIL }
            Verdict "installed_${reason%%:*}" "${reason#*: }"
        fi
    done <<<"$lines"
done
Finish
