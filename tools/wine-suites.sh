#!/usr/bin/env bash
# Runs the Windows test programs of one build folder under Wine, in a fresh
# prefix on a virtual display, and then, when one is named, the installer
# test on that installer; the prefix is removed afterwards. The 32-bit build
# runs under wine, the 64-bit one under wine64. Exits non-zero when anything
# failed.
#
#   bash tools/wine-suites.sh build-windows64 [Kelpra-2.0-setup-win64.exe]
set -uo pipefail
cd "$(dirname "$0")/.."
build=$1
installer=${2:-}
export WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree=;mshtml="
# The include suite's crash sweeps start a process per file operation, which
# under Wine on a loaded machine takes well over the usual five minutes.
export KELPRA_WINE_TIMEOUT=${KELPRA_WINE_TIMEOUT:-1500}
if [ "$build" = build-windows ]; then
    export KELPRA_WINE=wine WINESERVER=wineserver
else
    export KELPRA_WINE=/usr/lib/wine/wine64 WINELOADER=/usr/lib/wine/wine64
    export WINESERVER=/usr/lib/wine/wineserver64
fi
WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/kelpra-wine-XXXXXX")
export WINEPREFIX KELPRA_BUILD=$build KELPRA_INSTALLER=$installer
status=0
xvfb-run -a bash -c '
    timeout 300 "$KELPRA_WINE" wineboot -i >/dev/null 2>&1 || true
    status=0
    ctest --test-dir "$KELPRA_BUILD" --output-on-failure --timeout "$KELPRA_WINE_TIMEOUT" || status=$?
    if [ -n "$KELPRA_INSTALLER" ]; then
        bash tools/test-installer.sh "$KELPRA_INSTALLER" || status=$?
    fi
    timeout 60 "$WINESERVER" -k >/dev/null 2>&1 || true
    exit $status' || status=$?
timeout 60 "$WINESERVER" -k >/dev/null 2>&1 || true
rm -rf "$WINEPREFIX"
exit $status
