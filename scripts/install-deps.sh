#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the application need, and only
# those that are missing. Needs root or sudo.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config clang libclang-rt-dev clang-format
    libgtest-dev googletest libbenchmark-dev libpugixml-dev nlohmann-json3-dev libsqlite3-dev
    qt6-base-dev qt6-base-dev-tools libgl-dev libxkbcommon-dev
    # Qt Charts' CMake files need Qt OpenGL's, which Debian 12 does not pull in with it.
    qt6-charts-dev libqt6opengl6-dev
    libxcb1-dev libxcb-xinput-dev libxcb-keysyms1-dev
    xvfb xauth xdotool x11-utils python3 python3-xlib procps imagemagick dbus
    fonts-dejavu-core fontconfig
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
