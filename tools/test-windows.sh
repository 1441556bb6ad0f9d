#!/usr/bin/env bash
# Cross-builds Kelpra for 32-bit and 64-bit Windows, packs both zips and both
# installers, and runs the Windows test programs under Wine in a fresh prefix
# on a virtual display: the 64-bit ones always under wine64, with the 64-bit
# installer tried as a user would; the 32-bit ones where this kernel can run
# 32-bit programs.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/packages.sh
kelpra_enable_i386
kelpra_install "${KELPRA_WINDOWS_PACKAGES[@]}"

for preset in windows windows64; do
    cmake --preset $preset
    cmake --build --preset $preset
    cmake --build --preset $preset --target kelpra_zip kelpra_installer
done

# Runs the test programs of one build folder in a fresh prefix; with a
# second argument, then the installer test on that installer.
run_in_fresh_prefix() {
    local build=$1 installer=${2:-}
    WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/kelpra-wine-XXXXXX")
    export WINEPREFIX KELPRA_BUILD=$build KELPRA_INSTALLER=$installer
    local status=0
    xvfb-run -a bash -c '
        timeout 300 "$KELPRA_WINE" wineboot -i >/dev/null 2>&1 || true
        status=0
        ctest --test-dir "$KELPRA_BUILD" --output-on-failure --timeout 600 || status=$?
        if [ -n "$KELPRA_INSTALLER" ]; then
            bash tools/test-installer.sh "$KELPRA_INSTALLER" || status=$?
        fi
        timeout 60 "${WINESERVER:-wineserver}" -k >/dev/null 2>&1 || true
        exit $status' || status=$?
    timeout 60 "${WINESERVER:-wineserver}" -k >/dev/null 2>&1 || true
    rm -rf "$WINEPREFIX"
    return $status
}

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
status=0
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
    KELPRA_WINE=wine run_in_fresh_prefix build-windows || status=$?
else
    echo "This kernel cannot run 32-bit programs: the 32-bit zip and installer are built, not run."
fi
export KELPRA_WINE=/usr/lib/wine/wine64 WINELOADER=/usr/lib/wine/wine64
export WINESERVER=/usr/lib/wine/wineserver64
run_in_fresh_prefix build-windows64 "$(ls build-windows64/Kelpra-*-setup-win64.exe)" || status=$?
exit $status
