#!/usr/bin/env bash
# Installs what is missing, builds, and starts Kelpra on a scratch copy of the
# example help folder (the repository itself is never changed). Arguments are
# handed to kelpra (the first one is the word to look up when the command-line
# setting is on). KELPRA_BUILD_DIR picks another build folder than build/.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/packages.sh
kelpra_install "${KELPRA_BUILD_PACKAGES[@]}"

build="${KELPRA_BUILD_DIR:-build}"
# Configured once; a build configures again by itself when a CMakeLists.txt
# changed. A build is started only when a source is newer than the last one,
# so a second start with nothing to rebuild is quick.
[ -f "$build/CMakeCache.txt" ] || cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
stamp="$build/run.stamp"
if [ ! -f "$stamp" ] || [ ! -x "$build/bin/kelpra" ] ||
    [ -n "$(find src data cmake packaging CMakeLists.txt -newer "$stamp" -print -quit)" ]; then
    cmake --build "$build" -j2 --target kelpra kelpra-cli kelpra_data
    touch "$stamp"
fi
build="$(cd "$build" && pwd)"

# The help folder Kelpra rewrites is a copy; delete the build's scratch/ for a
# fresh one.
scratch="$build/scratch"
if [ ! -d "$scratch/help" ]; then
    mkdir -p "$scratch"
    cp -R examples/help "$scratch/help"
    if [ -f examples/keywords.txt ]; then
        cp examples/keywords.txt "$scratch/keywords.txt"
    else
        : > "$scratch/keywords.txt"
    fi
fi

# Kelpra speaks Windows paths: Z: is the Linux root.
windows_path() {
    printf 'Z:%s' "${1//\//\\}"
}
# UseCL=1: the word given here is the one looked up, as in "run.sh print".
ini="$build/bin/Kelpra.ini"
if [ ! -f "$ini" ]; then
    printf '[Setup]\r\nHelp=%s\\\r\nkeywords=%s\r\nUseCL=1\r\n' \
        "$(windows_path "$scratch/help")" "$(windows_path "$scratch/keywords.txt")" > "$ini"
fi

exec "$build/bin/kelpra" "$@"
