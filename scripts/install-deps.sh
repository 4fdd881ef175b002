#!/usr/bin/env bash
# Installs every Debian package Tolvane needs to build, run and test. Run as root.
set -euo pipefail
packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev libvulkan-dev qt6-charts-dev libqt6opengl6-dev
    libsdl2-dev libjpeg-dev libx11-dev libfontconfig-dev
    fonts-wine
    libgtest-dev googletest
    clang libclang-rt-14-dev
    # What the tests start: Xvfb; xdotool; xwininfo and xmessage; xrdb; twm, whose fonts come
    # with xfonts-base; openbox; weston with Xwayland, and Qt's Wayland plugin; GNOME's mutter
    # on a session bus of its own; ImageMagick's import, convert and compare for screenshots;
    # xclip for the clipboard; unshare and mount for a private read-only mount, and setpriv; a
    # private session bus with dunst, a real notification server (dunstctl answers through
    # dbus-send), and systemd-analyze for the reminder's timer; Gnumeric's ssconvert, under
    # locales of their own; the accessibility bus, pyatspi, and Orca with speech-dispatcher, for
    # the screen reader's test.
    xvfb xauth xdotool x11-utils x11-xserver-utils xclip
    twm xfonts-base openbox
    weston xwayland qt6-wayland
    mutter
    imagemagick
    util-linux mount
    dbus-daemon dbus-session-bus-common dbus-bin dunst systemd
    gnumeric locales
    dpkg-dev file desktop-file-utils appstream
    at-spi2-core python3-pyatspi orca
    # What the bench starts besides: perf, which counts the practice's wake-ups.
    linux-perf
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
# The log is read by spreadsheets in these languages; the tests open it under each.
missing_locales=()
for locale in en_US de_DE ru_RU; do
    locale -a | grep -qx "$locale.utf8" || missing_locales+=("$locale")
done
if ((${#missing_locales[@]})); then
    for locale in "${missing_locales[@]}"; do
        echo "$locale.UTF-8 UTF-8" >>/etc/locale.gen
    done
    locale-gen >/dev/null
fi
