#!/usr/bin/env bash
# Installs every Debian package that building, playing and testing Korvane
# needs. Quick when everything is already there; uses sudo when not root.
set -euo pipefail

packages=(
    build-essential cmake pkg-config
    libsdl1.2-dev libsdl-image1.2-dev libsdl-mixer1.2-dev libsdl1.2-compat
    libgl1-mesa-dev libglu1-mesa-dev libgl1-mesa-dri
    libpng-dev libfreetype-dev fonts-dejavu-core
    libenet-dev iproute2
    nlohmann-json3-dev libxxhash-dev
    googletest libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth xdotool x11-apps x11-utils x11-xserver-utils openbox imagemagick
    python3 desktop-file-utils appstream dpkg-dev file lintian
)
if [ "${KORVANE_FUZZ_DEPS:-0}" = 1 ]; then
    packages+=(clang libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    if [ "$status" != "install ok installed" ]; then
        missing+=("$p")
    fi
done
if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "Installing: ${missing[*]}" >&2
as_root=()
if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null 2>&1; then
        echo "Missing packages (${missing[*]}) and no sudo: run this script as root." >&2
        exit 1
    fi
    as_root=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -q
"${as_root[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
