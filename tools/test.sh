#!/usr/bin/env bash
# Installs what is missing, builds everything from nothing and runs every
# test: formatting, the Linux suites (warnings are errors), a short run of
# every fuzz target, the Debian package built, validated, installed, tried
# and removed, the same suites under AddressSanitizer and
# UndefinedBehaviorSanitizer, then the Windows builds, zips and installers
# and their tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/packages.sh
kelpra_install "${KELPRA_BUILD_PACKAGES[@]}" "${KELPRA_FUZZ_PACKAGES[@]}"

bash tools/check-format.sh

cmake --preset ci
cmake --build --preset ci
ctest --preset ci
# A model that no longer matches the code fails here, not months later.
bash fuzz/run.sh 60
bash tools/test-package.sh build

cmake --preset asan
cmake --build --preset asan
ctest --preset asan

bash tools/test-windows.sh
