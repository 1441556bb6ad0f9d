#!/usr/bin/env bash
# Builds the Debian package from this checkout, ready to install: installs
# what building it needs (asks apt only when something is missing), makes
# the release build and writes build-release/package/kelpra_VERSION_ARCH.deb,
# whose dependencies are computed from the programs. Two runs on the same
# commit give the same bytes.
#
#   bash tools/package.sh
#   sudo apt-get install ./build-release/package/kelpra_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/packages.sh
kelpra_install "${KELPRA_DEB_PACKAGES[@]}"

cmake --preset release
cmake --build --preset release
rm -rf build-release/package
(cd build-release && cpack -G DEB >/dev/null)
deb="$(ls build-release/package/kelpra_*.deb)"
depends="$(dpkg-deb --field "$deb" Depends)"
if [ -z "$depends" ]; then
    echo "tools/package.sh: $deb depends on nothing; not fit to install" >&2
    exit 1
fi
echo "$deb"
