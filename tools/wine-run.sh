#!/usr/bin/env bash
# Runs a Windows program under Wine for the tests: always inside a timeout,
# quiet, never asking to download Mono or Gecko. The caller provides the
# prefix (WINEPREFIX) and the display (xvfb-run); KELPRA_WINE names the
# loader when plain "wine" is not the one to use.
set -u
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree=;mshtml=}
exec timeout -k 10 "${KELPRA_WINE_TIMEOUT:-300}" "${KELPRA_WINE:-wine}" "$@"
