#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# ./quickstart.sh run [falquin arguments]   installs what is missing, builds, runs Falquin
# ./quickstart.sh test [preset]             installs what is missing, builds, runs every test
# The preset is one of CMakePresets.json's: default (build/), asan, tsan.
set -euo pipefail
cd "$(dirname "$0")"

packages=(build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-declarative-dev qt6-declarative-dev-tools
    qt6-tools-dev qt6-l10n-tools
    qml6-module-qtqml qml6-module-qtquick qml6-module-qtquick-window
    qml6-module-qtquick-controls qml6-module-qtquick-templates qml6-module-qtquick-layouts
    qml6-module-qtqml-models qml6-module-qtqml-workerscript qml6-module-qttest
    qt6-qpa-plugins libgl1-mesa-dri libx11-dev fontconfig fonts-dejavu-core)
# Tests run under a private X server, each in a network namespace of its own; the packaging
# tests check the install and the .deb with the distribution's validators, and the shell
# completion test loads bash-completion's helpers; the start-up
# benchmark's probe watches the window through X's DAMAGE extension; the accessibility tests
# run the window on the AT-SPI bus with a real client and with the Orca screen reader; the media
# keys' tests drive the window as a media player over a private session bus.
test_packages=(xvfb xauth x11-utils xdotool iproute2 util-linux
    desktop-file-utils appstream man-db lintian dpkg-dev file libxcb-damage0-dev bash-completion
    at-spi2-core dbus-x11 python3-pyatspi orca speech-dispatcher
    playerctl dbus-daemon libglib2.0-bin)

install_missing() {
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo=sudo
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

case "${1:-}" in
run)
    shift
    install_missing "${packages[@]}"
    cmake --preset default
    # Only the app and what it links: no tests, tools or benchmarks.
    cmake --build --preset default --target falquin
    exec build/falquin "$@"
    ;;
test)
    preset=${2:-default}
    install_missing "${packages[@]}" "${test_packages[@]}"
    cmake --preset "$preset" -DFALQUIN_WERROR=ON
    cmake --build --preset "$preset"
    ctest --preset "$preset"
    ;;
*)
    echo "usage: $0 run [falquin arguments] | test" >&2
    exit 2
    ;;
esac
