#!/usr/bin/env bash
# Cross-builds Kelpra for 32-bit and 64-bit Windows, packs both zips and both
# installers, and runs the Windows test programs under Wine, each build in a
# fresh prefix on a virtual display, with its installer tried as a user
# would: the 64-bit build always under wine64, the 32-bit one where this
# kernel can run 32-bit programs.
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

status=0
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
    bash tools/wine-suites.sh build-windows "$(ls build-windows/Kelpra-*-setup-win32.exe)" || status=$?
else
    echo "This kernel cannot run 32-bit programs: the 32-bit zip and installer are built, not run."
fi
bash tools/wine-suites.sh build-windows64 "$(ls build-windows64/Kelpra-*-setup-win64.exe)" || status=$?
exit $status
