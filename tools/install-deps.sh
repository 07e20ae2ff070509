#!/usr/bin/env bash
# Installs the packages that building and testing Pavix need on Debian 12, and only those that
# are missing: on a machine that has everything it makes no apt call at all. Runs as root.
set -euo pipefail

readonly NATIVE_PACKAGES=(
    cmake ninja-build g++ clang clang-format
    libgtest-dev libgmock-dev googletest libbenchmark-dev libclang-rt-14-dev python3
    libtomlplusplus-dev
)
# The native Linux program: Xlib key grabs (checked through XCB), GTK 3, the tray item, sounds,
# the keysym names of the shortcuts of the desktop portal (xkbcommon), the place of the hint
# window on a Wayland desktop without Xwayland (gtk-layer-shell); and its run on a display of its
# own (make run without a desktop) with a private session bus; setxkbmap for the tests that load
# real keyboard layouts into it.
readonly LINUX_PACKAGES=(
    pkg-config libx11-dev libx11-xcb-dev libxcb1-dev libgtk-3-dev libayatana-appindicator3-dev
    libcanberra-dev libxkbcommon-dev libgtk-layer-shell-dev
    xvfb x11-xkb-utils dbus dbus-x11 xdg-utils
)
# The Linux end-to-end tests: keys through XTEST, a private session bus with a test tray (the
# python3 of Debian with its D-Bus and GObject modules), the accessibility bus that reads boxes and
# hints; for `make screenshots` also the menu built from the bus as the tray of a desktop builds
# it, ImageMagick to cut the pictures and a Japanese font; the frontend of the desktop portal,
# which the Wayland rules run against with a scripted backend.
readonly LINUX_TEST_PACKAGES=(
    xdotool dbus python3-dbus python3-gi at-spi2-core gir1.2-atspi-2.0 locales
    gir1.2-dbusmenu-gtk3-0.4 imagemagick fonts-ipafont-gothic xdg-desktop-portal
)
# The shared scenarios on a real KDE Wayland session, headless: KWin with Xwayland and its
# kglobalaccel, the KDE backend of the portal (which aborts without the Wayland platform of Qt),
# and the fake-input protocol with what builds the key-typing helper from it. Without their
# recommends, which would bring the tools of System Settings that a bind of shortcuts then opens.
readonly KDE_TEST_PACKAGES=(
    kwin-wayland xwayland libkf5globalaccel-bin xdg-desktop-portal-kde qtwayland5
    plasma-wayland-protocols libwayland-dev
)
# The Debian package (make deb) and its checks: lintian, and the validators of its desktop file
# (desktop-file-validate) and its AppStream entry (appstreamcli).
readonly PACKAGE_PACKAGES=(lintian desktop-file-utils appstream)
# make bench-linux only: the X11 hotkey daemon that Pavix is measured against.
readonly BENCH_PACKAGES=(sxhkd)
readonly WINDOWS_PACKAGES=(
    g++-mingw-w64-i686-posix mingw-w64-i686-dev binutils-mingw-w64-i686
    g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev binutils-mingw-w64-x86-64
    wine wine32:i386 wine64 xvfb x11-utils xdotool locales imagemagick sox file zip unzip
    fonts-ipafont-gothic fonts-vlgothic
)

IsInstalled() {
    [[ "$(dpkg-query -W -f='${db:Status-Status}' "$1" 2>/dev/null)" == "installed" ]]
}

if [[ "$(id -u)" -ne 0 ]]; then
    echo "install-deps: must run as root" >&2
    exit 1
fi

# wine32 comes from the i386 architecture, which apt only sees once it is added.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
fi

Missing() {
    local package
    for package in "$@"; do
        IsInstalled "$package" || echo "$package"
    done
}
mapfile -t kdeMissing < <(Missing "${KDE_TEST_PACKAGES[@]}")
mapfile -t missing < <(Missing "${NATIVE_PACKAGES[@]}" "${LINUX_PACKAGES[@]}" \
    "${LINUX_TEST_PACKAGES[@]}" "${PACKAGE_PACKAGES[@]}" "${BENCH_PACKAGES[@]}" "${WINDOWS_PACKAGES[@]}")

if [[ ${#missing[@]} -eq 0 && ${#kdeMissing[@]} -eq 0 ]]; then
    echo "install-deps: all packages present"
    exit 0
fi

echo "install-deps: installing ${missing[*]} ${kdeMissing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -q
if [[ ${#missing[@]} -gt 0 ]]; then
    apt-get install -y -q "${missing[@]}" </dev/null
fi
if [[ ${#kdeMissing[@]} -gt 0 ]]; then
    apt-get install -y -q --no-install-recommends "${kdeMissing[@]}" </dev/null
fi
