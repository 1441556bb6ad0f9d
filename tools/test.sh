#!/usr/bin/env bash
# Installs what is missing, builds everything from nothing and runs every
# test: formatting, the Linux suites (warnings are errors), the same suites
# under AddressSanitizer and UndefinedBehaviorSanitizer, then the Windows
# build and its suites under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/packages.sh
kelpra_install "${KELPRA_BUILD_PACKAGES[@]}"

bash tools/check-format.sh

cmake --preset ci
cmake --build --preset ci
ctest --preset ci

cmake --preset asan
cmake --build --preset asan
ctest --preset asan

bash tools/test-windows.sh
