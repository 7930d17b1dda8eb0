#!/usr/bin/env bash
# Installs the Debian 12 packages the Launcher needs, if any are missing.
#   scripts/install-deps.sh --run   what building and running need (scripts/run.sh)
#   scripts/install-deps.sh         that and what the tests, the package check and the fuzz
#                                   targets need (scripts/test.sh, CI)
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config python3
    qt6-base-dev qt6-base-dev-tools libgl-dev libqt6svg6 qt6-svg-dev
    libsdl2-dev libplist-dev libssl-dev libx11-dev libqt6sql6-sqlite libsqlite3-dev libarchive-dev liblzma-dev
    shared-mime-info fonts-dejavu-core
    qt6-l10n-tools qt6-tools-dev qt6-translations-l10n
)
if [[ "${1:-}" != "--run" ]]; then
    packages+=(
        libgtest-dev zip unzip p7zip
        xvfb xauth xdotool x11-apps x11-xkb-utils imagemagick
        dbus at-spi2-core python3-pyatspi
        qt6-image-formats-plugins
        clang-14 libclang-rt-14-dev
        desktop-file-utils appstream
        dpkg-dev file lintian
    )
fi

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
