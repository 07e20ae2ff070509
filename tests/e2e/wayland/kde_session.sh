#!/usr/bin/env bash
# Runs a command inside a real KDE Wayland session of its own, headless: a private session bus,
# KWin on its virtual backend with Xwayland (and kglobalaccel inside it), then the desktop
# portal's KDE backend and its real frontend. The command finds KWin's socket in WAYLAND_DISPLAY
# and Xwayland in DISPLAY, and in PAVIX_FAKE_KEYS the key-typing helper (fake_keys.c, built here
# with the code that wayland-scanner generates from KWin's protocol file); fake input and KWin's
# screenshots are open to every client.
#
#   bash tests/e2e/wayland/kde_session.sh <folder> <command> [argument ...]
#
# The folder receives the session's private home, runtime folder and the components' error
# output. The exit status is the command's, or 90 when the session did not come up (the reason
# on standard error).
set -uo pipefail

readonly SESSION_DIR="$(realpath -m "$1")"
shift
readonly SOCKET=pavix-kde-0

Fail() {
    echo "kde_session: $1" >&2
    exit 90
}

WaitFor() {  # <what> <test...>: polls for up to 10 s
    local what=$1
    shift
    for _ in $(seq 200); do
        "$@" && return 0
        sleep 0.05
    done
    Fail "$what did not come up ($(tail -c 300 "$SESSION_DIR/kwin.err" | tr '\n' ' '))"
}

OnBus() {
    dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner "string:$1" 2>/dev/null | grep -q 'boolean true'
}

XwaylandDisplay() {  # the X display that appeared since the session started
    local socket
    for socket in /tmp/.X11-unix/X*; do
        [[ -e "$socket" ]] || continue
        grep -qx "$socket" "$SESSION_DIR/x-before" || { echo ":${socket##*/X}"; return 0; }
    done
    return 1
}

if [[ "${PAVIX_KDE_INSIDE:-}" != 1 ]]; then
    rm -rf "$SESSION_DIR" && mkdir -p "$SESSION_DIR"/{home,config,data,runtime,bin}
    chmod 700 "$SESSION_DIR/runtime"
    # The packaged KWin carries a file capability that a container cannot grant: a copy has none.
    cp /usr/bin/kwin_wayland "$SESSION_DIR/bin/kwin_wayland" || Fail "no kwin_wayland (kwin-wayland)"
    protocol=/usr/share/plasma-wayland-protocols/fake-input.xml
    wayland-scanner client-header "$protocol" "$SESSION_DIR/bin/fake-input-client-protocol.h" &&
        wayland-scanner private-code "$protocol" "$SESSION_DIR/bin/fake-input-protocol.c" &&
        cc -O2 -Wall -I"$SESSION_DIR/bin" "$(dirname "${BASH_SOURCE[0]}")/fake_keys.c" \
            "$SESSION_DIR/bin/fake-input-protocol.c" -lwayland-client \
            -o "$SESSION_DIR/bin/pavix_e2e_fake_keys" 2>"$SESSION_DIR/fake_keys.err" ||
        Fail "the key-typing helper did not build: $(head -c 300 "$SESSION_DIR/fake_keys.err")"
    export PAVIX_FAKE_KEYS="$SESSION_DIR/bin/pavix_e2e_fake_keys"
    export HOME="$SESSION_DIR/home" XDG_CONFIG_HOME="$SESSION_DIR/config"
    export XDG_DATA_HOME="$SESSION_DIR/data" XDG_RUNTIME_DIR="$SESSION_DIR/runtime"
    export XDG_CURRENT_DESKTOP=KDE XDG_SESSION_TYPE=wayland KDE_SESSION_VERSION=5
    export KWIN_WAYLAND_NO_PERMISSION_CHECKS=1 KWIN_SCREENSHOT_NO_PERMISSION_CHECKS=1
    unset DISPLAY WAYLAND_DISPLAY GDK_BACKEND
    PAVIX_KDE_INSIDE=1 exec dbus-run-session -- bash "${BASH_SOURCE[0]}" "$SESSION_DIR" "$@"
fi

children=()
trap 'kill "${children[@]}" 2>/dev/null; wait' EXIT
ls -d /tmp/.X11-unix/X* >"$SESSION_DIR/x-before" 2>/dev/null
"$SESSION_DIR/bin/kwin_wayland" --virtual --xwayland \
    --socket "$SOCKET" --width 1024 --height 768 </dev/null >"$SESSION_DIR/kwin.out" \
    2>"$SESSION_DIR/kwin.err" &
children+=($!)
WaitFor "KWin's socket" test -S "$XDG_RUNTIME_DIR/$SOCKET"
WaitFor kglobalaccel OnBus org.kde.kglobalaccel
WaitFor Xwayland XwaylandDisplay
export WAYLAND_DISPLAY=$SOCKET DISPLAY="$(XwaylandDisplay)"
WaitFor "Xwayland's answer" xdpyinfo -display "$DISPLAY" >/dev/null 2>&1
# The backend would get neither variable by D-Bus activation.
QT_QPA_PLATFORM=wayland /usr/lib/x86_64-linux-gnu/libexec/xdg-desktop-portal-kde 2>"$SESSION_DIR/portal-kde.err" &
children+=($!)
WaitFor "the portal's KDE backend" OnBus org.freedesktop.impl.portal.desktop.kde
/usr/libexec/xdg-desktop-portal 2>"$SESSION_DIR/portal.err" &
children+=($!)
WaitFor "the desktop portal" OnBus org.freedesktop.portal.Desktop
"$@"
