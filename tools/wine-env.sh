# Wine for Pavix: a private prefix under build/, a display, and a server that stays up between
# runs. Source this file, then call pavix_wine_up before running Windows programs and
# pavix_wine_down when done. Both are safe to call more than once.
#
# PAVIX_PRIVATE_XVFB=1 starts a private Xvfb even when DISPLAY already works; its screen is
# PAVIX_XVFB_SCREEN (1024x768x24 unless told).
#
# Windows programs run through tools/pavix-wine (or the pavix_wine function), which takes the
# 64-bit loader on kernels that cannot execute 32-bit programs. Sourcing this file probes that
# once: PAVIX_WIN32_RUNS is 1 where 32-bit programs run and 0 where they do not, with the reason
# in PAVIX_WIN32_PROBE.

PAVIX_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEPREFIX="$PAVIX_ROOT/build/wineprefix"
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

if [[ -z "${PAVIX_WIN32_RUNS:-}" ]]; then
    if PAVIX_WIN32_PROBE=$("$PAVIX_ROOT/tools/pavix-wine" --probe); then
        PAVIX_WIN32_RUNS=1
    else
        PAVIX_WIN32_RUNS=0
    fi
    export PAVIX_WIN32_RUNS PAVIX_WIN32_PROBE
fi

pavix_wine() {
    "$PAVIX_ROOT/tools/pavix-wine" "$@"
}

# The Windows builds this machine can exercise, the reference program first: build/win32 where
# 32-bit programs run, then build/win64, which runs everywhere. Sets PAVIX_WINDOWS_BUILDS (the
# folders, relative to the top of the tree) and PAVIX_WINDOWS_NOTE (one line saying which and why).
pavix_choose_builds() {
    if [[ "$PAVIX_WIN32_RUNS" == 1 ]]; then
        PAVIX_WINDOWS_BUILDS="build/win32 build/win64"
        PAVIX_WINDOWS_NOTE="Windows programs exercised: 32-bit (build/win32) and 64-bit (build/win64): $PAVIX_WIN32_PROBE"
    else
        PAVIX_WINDOWS_BUILDS="build/win64"
        PAVIX_WINDOWS_NOTE="Windows programs exercised: 64-bit (build/win64) only; 32-bit program not run: $PAVIX_WIN32_PROBE"
    fi
}

_pavix_display_usable() {
    [[ -n "${DISPLAY:-}" ]] && xdpyinfo >/dev/null 2>&1
}

# Starts Xvfb on display `number` and waits until it answers; fails if it exits first.
_pavix_try_xvfb() {
    local number=$1 tries
    Xvfb ":${number}" -screen 0 "${PAVIX_XVFB_SCREEN:-1024x768x24}" -nolisten tcp \
        </dev/null >/dev/null 2>&1 &
    PAVIX_XVFB_PID=$!
    for tries in $(seq 1 100); do
        if DISPLAY=":${number}" xdpyinfo >/dev/null 2>&1; then
            return 0
        fi
        kill -0 "$PAVIX_XVFB_PID" 2>/dev/null || break
        sleep 0.1
    done
    kill "$PAVIX_XVFB_PID" 2>/dev/null || true
    wait "$PAVIX_XVFB_PID" 2>/dev/null || true
    unset PAVIX_XVFB_PID
    return 1
}

# Takes the first display number that is free, moving on when another run wins the race.
_pavix_start_xvfb() {
    local number=${PAVIX_XVFB_FIRST:-90} attempts=0
    while ((attempts < 20)); do
        if [[ ! -e "/tmp/.X${number}-lock" && ! -e "/tmp/.X11-unix/X${number}" ]]; then
            attempts=$((attempts + 1))
            if _pavix_try_xvfb "$number"; then
                export DISPLAY=":${number}"
                echo "pavix-wine: started Xvfb on ${DISPLAY} (pid ${PAVIX_XVFB_PID})" >&2
                return 0
            fi
        fi
        number=$((number + 1))
    done
    echo "pavix-wine: could not start Xvfb" >&2
    return 1
}

# Creates the prefix once, with the settings that keep windowless, soundless runs quick: no
# window manager emulation, no audio driver, no crash dialog.
_pavix_create_prefix() {
    local ready="$WINEPREFIX/.pavix-ready"
    [[ -f "$ready" ]] && return 0
    echo "pavix-wine: creating the Wine prefix $WINEPREFIX" >&2
    mkdir -p "$WINEPREFIX"
    if ! pavix_wine wineboot.exe -i </dev/null >/dev/null 2>&1; then
        echo "pavix-wine: wineboot failed" >&2
        return 1
    fi
    pavix_wine reg.exe add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
    pavix_wine reg.exe add 'HKCU\Software\Wine\Drivers' /v Audio /d '' /f </dev/null >/dev/null 2>&1
    pavix_wine reg.exe add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
        </dev/null >/dev/null 2>&1
    wineserver -w || true
    touch "$ready"
}

# Makes sure the ja_JP.UTF-8 locale exists (generated once into build/locale) and prints the
# environment (NAME=VALUE words) that starts a Windows program in Japanese; fails without locales.
# Wine takes its code page from LANG when each process starts.
pavix_japanese_env() {
    local dir="$PAVIX_ROOT/build/locale"
    if [[ ! -d "$dir/ja_JP.UTF-8" ]]; then
        mkdir -p "$dir"
        localedef -i ja_JP -f UTF-8 "$dir/ja_JP.UTF-8" >/dev/null 2>&1 || true
    fi
    [[ -d "$dir/ja_JP.UTF-8" ]] || return 1
    echo "LOCPATH=$dir LANG=ja_JP.UTF-8 LC_ALL="
}

# Japanese dialogs ask for "ＭＳ Ｐゴシック", which Wine lacks; its fallback then takes a font
# without Latin letters and measures the dialogs far too wide. The IPA Gothic fonts
# (fonts-ipafont-gothic) stand in for the Japanese fonts, set once per prefix. "MS UI Gothic",
# which the English dialogs ask for, keeps Wine's own fallback, which draws a backslash as one.
_pavix_font_replacements() {
    local ready="$WINEPREFIX/.pavix-fonts-3" file="$WINEPREFIX/pavix-fonts.reg"
    [[ -f "$ready" ]] && return 0
    python3 - "$file" <<'PY'
import sys
pairs = {"ＭＳ Ｐゴシック": '"IPAPGothic"', "MS PGothic": '"IPAPGothic"',
         "ＭＳ ゴシック": '"IPAGothic"', "MS Gothic": '"IPAGothic"', "MS UI Gothic": '"VL PGothic"'}
lines = ["Windows Registry Editor Version 5.00", "", r"[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]"]
lines += [f'"{name}"={value}' for name, value in pairs.items()]
with open(sys.argv[1], "w", encoding="utf-16") as out:
    out.write("\r\n".join(lines) + "\r\n")
PY
    pavix_wine regedit.exe /S "$file" </dev/null >/dev/null 2>&1 && touch "$ready"
}

pavix_wine_up() {
    local wantPrivate=0
    [[ "${PAVIX_PRIVATE_XVFB:-0}" == 1 && -z "${PAVIX_XVFB_PID:-}" ]] && wantPrivate=1
    if ((wantPrivate)) || ! _pavix_display_usable; then
        _pavix_start_xvfb || return 1
    fi
    _pavix_create_prefix || return 1
    _pavix_font_replacements || true
    # A persistent server makes every later start quick, and the first program on it starts the
    # background services, which keep its standard error for good. Neither may hold a pipe of
    # ours open, or a `... | tee` around the tests never ends. When a server already runs, this
    # start gives way to it.
    wineserver -p </dev/null >/dev/null 2>&1 || true
    pavix_wine cmd.exe /c exit </dev/null >/dev/null 2>&1 || true
    return 0
}

pavix_wine_down() {
    wineserver -k </dev/null >/dev/null 2>&1 || true
    if [[ -n "${PAVIX_XVFB_PID:-}" ]]; then
        kill "$PAVIX_XVFB_PID" 2>/dev/null || true
        wait "$PAVIX_XVFB_PID" 2>/dev/null || true
        unset PAVIX_XVFB_PID
    fi
    return 0
}
