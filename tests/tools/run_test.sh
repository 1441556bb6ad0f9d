#!/usr/bin/env bash
# tools/run.sh as a developer uses it: the first start builds, a second start
# with nothing newer than the last build configures and builds nothing, and a
# source newer than the last build is built again. cmake and kelpra are
# stand-ins that log their calls; the build folder is a temporary one.
#
#   bash tests/tools/run_test.sh
set -euo pipefail
repo="$(cd "$(dirname "$0")/../.." && pwd)"
work="$(mktemp -d "${TMPDIR:-/tmp}/kelpra run XXXXXX")"
trap 'rm -rf "$work"' EXIT

mkdir -p "$work/tools"
cat > "$work/tools/cmake" <<FAKE
#!/bin/sh
echo "cmake \$*" >> "$work/calls.log"
build=""
while [ \$# -gt 0 ]; do
    case "\$1" in -B|--build) build="\$2"; shift;; esac
    shift
done
mkdir -p "\$build/bin"
: > "\$build/CMakeCache.txt"
printf '#!/bin/sh\necho "kelpra \$*" >> "$work/calls.log"\n' > "\$build/bin/kelpra"
chmod +x "\$build/bin/kelpra"
FAKE
chmod +x "$work/tools/cmake"
export PATH="$work/tools:$PATH" KELPRA_BUILD_DIR="$work/build"

fail() {
    echo "FAIL: $*" >&2
    cat "$work/calls.log" >&2
    exit 1
}
start() {
    : > "$work/calls.log"
    bash "$repo/tools/run.sh" "$@" || fail "run.sh ended with $?"
}

start print
grep -q '^cmake -S' "$work/calls.log" || fail "the first start did not configure"
grep -q '^cmake --build' "$work/calls.log" || fail "the first start did not build"
grep -qx 'kelpra print' "$work/calls.log" || fail "kelpra was not started with its word"
[ -f "$work/build/bin/Kelpra.ini" ] || fail "no Kelpra.ini beside the program"
grep -qa $'^UseCL=1\r$' "$work/build/bin/Kelpra.ini" || fail "the word given is not the one looked up (UseCL)"
[ -f "$work/build/scratch/help/index.htm" ] || fail "no scratch help folder"

start
grep -q '^cmake' "$work/calls.log" && fail "a second start with nothing newer ran cmake"
grep -qx 'kelpra ' "$work/calls.log" || fail "the second start did not start kelpra"

touch -d '2000-01-01' "$work/build/run.stamp"
start
grep -q '^cmake --build' "$work/calls.log" || fail "a newer source was not built"
grep -q '^cmake -S' "$work/calls.log" && fail "a configured build was configured again"
echo "run.sh: ok"
