#!/usr/bin/env bash
# Installs, with apt-get, everything the build, the tests and the program need on Debian 12.
# Does nothing when every package is already there.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config locales
    qt6-base-dev libqt6opengl6-dev libxcb1-dev
    libgl-dev libegl-dev libgl1-mesa-dri
    libpng-dev libjpeg-dev zlib1g-dev libstb-dev libsquish-dev libtinygltf-dev libtinyobjloader-dev
    libfreetype-dev libfontconfig-dev fonts-ipafont-gothic
    libmeshoptimizer-dev libasound2-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth xdotool imagemagick x11-utils openbox shellcheck
    desktop-file-utils shared-mime-info libglib2.0-bin groff-base
    clang clang-format libclang-rt-14-dev shellcheck
)
optional=(libassimp-dev)
# The glTF export tests run the Khronos validator on Node.js; a node and npm installed some
# other way (a newer Node.js) are used as they are.
if ! command -v node >/dev/null || ! command -v npm >/dev/null; then
    packages+=(nodejs npm)
fi

missing=()
for p in "${packages[@]}" "${optional[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
if [ ${#missing[@]} -ne 0 ]; then
    echo "installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${packages[@]}"
    # The peer library only serves the loader benchmark; the build goes on without it.
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${optional[@]}" ||
        echo "libassimp-dev not installed: the loader benchmark runs without the peer library"
fi

# The number tests run under a locale with a decimal comma, to show the files ignore it.
if ! locale -a 2>/dev/null | grep -qix 'de_DE.utf8'; then
    echo "generating the de_DE.UTF-8 locale"
    $sudo sed -i 's/^# *de_DE.UTF-8 UTF-8/de_DE.UTF-8 UTF-8/' /etc/locale.gen
    $sudo locale-gen >/dev/null
fi
