#!/usr/bin/env bash
# Builds the Debian package from the default preset, installs the same tree into a staging folder
# and starts both installed programs from there, so a broken install rule or a missing runtime
# library fails here rather than on a member's desktop. Prints the package's control file and
# file list; the package is left in build/default.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset default >/dev/null
cmake --build --preset default --target quillstar quillstar-server
(cd build/default && cpack -G DEB >/dev/null)
package=$(ls build/default/quillstar_*.deb)

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
DESTDIR="$stage" cmake --install build/default --prefix /usr >/dev/null

for file in usr/bin/quillstar usr/bin/quillstar-server usr/share/applications/quillstar.desktop \
    usr/share/icons/hicolor/48x48/apps/quillstar.png usr/share/icons/hicolor/256x256/apps/quillstar.png; do
    [[ -f "$stage/$file" ]] || { echo "missing from the install: $file" >&2; exit 1; }
done
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$stage/usr/share/applications/quillstar.desktop"
fi
QT_QPA_PLATFORM=offscreen "$stage/usr/bin/quillstar" --help >/dev/null
"$stage/usr/bin/quillstar-server" --help >/dev/null

# The package must hold exactly what the install lays down.
diff <(dpkg-deb -c "$package" | awk '$1 !~ /^d/ {print $NF}' | sed 's|^\./||' | sort) \
    <(cd "$stage" && find . -type f | sed 's|^\./||' | sort)

dpkg-deb -I "$package"
dpkg-deb -c "$package"
echo "package: $package"
