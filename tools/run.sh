#!/usr/bin/env bash
# Installs what is missing, builds, and starts Kelpra on a scratch copy of the
# example help folder (the repository itself is never changed).
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/packages.sh
kelpra_install "${KELPRA_BUILD_PACKAGES[@]}"

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j2 --target kelpra kelpra-cli kelpra_data 2>/dev/null || {
    echo "The window program is not built yet: kelpra-cli is what there is."
    exit 1
}
