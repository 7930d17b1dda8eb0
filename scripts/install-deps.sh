#!/usr/bin/env bash
# Installs the Debian 12 packages the Launcher needs to build, run and test, if any are missing.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config python3
    qt6-base-dev qt6-base-dev-tools libgl-dev libqt6svg6 qt6-svg-dev
    libsdl1.2-dev libplist-dev libssl-dev libgtest-dev libx11-dev libqt6sql6-sqlite libarchive-dev
    zip unzip p7zip
    xvfb xauth xdotool x11-apps x11-xkb-utils imagemagick
    dbus at-spi2-core python3-pyatspi
    clang-14 libclang-rt-14-dev
    desktop-file-utils appstream shared-mime-info fonts-dejavu-core
    dpkg-dev file lintian
)

missing=()
for package in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo=()
if [[ $(id -u) -ne 0 ]]; then
    command -v sudo >/dev/null || { echo "Missing packages (${missing[*]}); run as root or install sudo." >&2; exit 1; }
    sudo=(sudo)
fi
echo "Installing: ${missing[*]}"
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
