#!/usr/bin/env bash
# Cross-builds Kelpra for 32-bit Windows, packs the zip and runs the Windows
# test programs under Wine, in a fresh prefix on a virtual display.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/packages.sh
kelpra_enable_i386
kelpra_install "${KELPRA_WINDOWS_PACKAGES[@]}"

cmake --preset windows
cmake --build --preset windows
cmake --build build-windows --target kelpra_zip

build=build-windows
export KELPRA_WINE=wine
# A kernel without 32-bit support runs no 32-bit Wine; the same code is then
# tested as a 64-bit build under wine64 (the zip stays the 32-bit one).
if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
    echo "This kernel cannot run 32-bit programs: testing a 64-bit build under wine64."
    kelpra_install g++-mingw-w64-x86-64-posix wine64
    cmake --preset windows64
    cmake --build --preset windows64
    build=build-windows64
    export KELPRA_WINE=/usr/lib/wine/wine64 WINELOADER=/usr/lib/wine/wine64
    export WINESERVER=/usr/lib/wine/wineserver64
fi

WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/kelpra-wine-XXXXXX")
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
cleanup() {
    timeout 60 "${WINESERVER:-wineserver}" -k >/dev/null 2>&1 || true
    rm -rf "$WINEPREFIX"
}
trap cleanup EXIT

export KELPRA_BUILD=$build
xvfb-run -a bash -c '
    timeout 300 "$KELPRA_WINE" wineboot -i >/dev/null 2>&1 || true
    status=0
    ctest --test-dir "$KELPRA_BUILD" --output-on-failure --timeout 600 || status=$?
    timeout 60 "${WINESERVER:-wineserver}" -k >/dev/null 2>&1 || true
    exit $status'
