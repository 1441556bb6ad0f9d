#!/usr/bin/env bash
# Installs what is missing, builds everything from nothing and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/packages.sh
kelpra_install "${KELPRA_BUILD_PACKAGES[@]}"

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELPRA_BENCH=ON
cmake --build build -j2
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure --timeout 600

# Then the Windows build, its zip and its tests under Wine.
bash tools/test-windows.sh
