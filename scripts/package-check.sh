#!/usr/bin/env bash
# Builds the Debian package in BUILD_DIR (default: build, configured already), checks it
# with lintian, unpacks it into a temporary root and runs the unpacked tolvane-rominfo there.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$top/build}" && pwd)

rm -f "$build"/tolvane-launcher_*.deb
cmake --build "$build" --target package
debs=("$build"/tolvane-launcher_*_amd64.deb)
[[ ${#debs[@]} -eq 1 && -f "${debs[0]}" ]] || { echo "Expected one tolvane-launcher_*_amd64.deb in $build." >&2; exit 1; }
deb=${debs[0]}
echo "Package: $deb"
lintian --fail-on error "$deb"

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg -x "$deb" "$root"
# What desktops and software centres read from the package must pass their own checks.
desktop-file-validate "$root"/usr/share/applications/*.desktop
appstreamcli validate --no-net --pedantic "$root"/usr/share/metainfo/*.xml
version=$(dpkg-deb -f "$deb" Version)
# WebP covers need Qt's extra image plug-ins: recommended, never required.
[[ $(dpkg-deb -f "$deb" Recommends) == *qt6-image-formats-plugins* && $(dpkg-deb -f "$deb" Depends) != *qt6-image-formats* ]] \
    || { echo "The package should recommend, not depend on, qt6-image-formats-plugins." >&2; exit 1; }
# Pads are read through SDL 2; SDL 1.2 is no longer used.
[[ $(dpkg-deb -f "$deb" Depends) == *libsdl2-2.0-0* && $(dpkg-deb -f "$deb" Depends) != *libsdl1.2* ]] \
    || { echo "The package should depend on SDL 2 (libsdl2-2.0-0) and not on SDL 1.2." >&2; exit 1; }
# The catalogues, and Qt's own for its buttons, which the package recommends.
for qm in de en; do
    [[ -s "$root/usr/share/tolvane-launcher/translations/tolvane-launcher_$qm.qm" ]] \
        || { echo "The package lacks the catalogue tolvane-launcher_$qm.qm." >&2; exit 1; }
done
[[ $(dpkg-deb -f "$deb" Recommends) == *qt6-translations-l10n* ]] \
    || { echo "The package should recommend qt6-translations-l10n." >&2; exit 1; }
[[ $("$root/usr/bin/tolvane-rominfo" --version) == "tolvane-rominfo $version" ]] \
    || { echo "The unpacked tolvane-rominfo does not report version $version." >&2; exit 1; }
# The Launcher answers --version before it needs a display.
[[ $(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$root/usr/bin/tolvane-launcher" --version) == "tolvane-launcher $version" ]] \
    || { echo "The unpacked tolvane-launcher does not report version $version without a display." >&2; exit 1; }

"$build/bin/tolvane-make-rom" --name "PACKAGE CHECK" --order v64 "$root/check.v64" >/dev/null
output=$("$root/usr/bin/tolvane-rominfo" "$root/check.v64")
echo "$output"
grep -qx 'Name:       "PACKAGE CHECK"' <<<"$output" && grep -qx 'Byte order: v64' <<<"$output" \
    || { echo "The unpacked tolvane-rominfo did not read the synthetic image." >&2; exit 1; }
echo "Package check passed: $(basename "$deb")"
