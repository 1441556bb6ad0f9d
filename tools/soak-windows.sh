#!/usr/bin/env bash
# Runs the Windows test programs of the builds already made (by
# tools/test-windows.sh) N times each, beside two busy loops that keep the
# processors loaded, each run in a fresh Wine prefix, and says how many runs
# passed: a test that depends on timing fails here first. The output of each
# failed run is kept in the build folder (soak-N.log).
#
#   bash tools/soak-windows.sh 20
set -uo pipefail
cd "$(dirname "$0")/.."
runs=${1:-20}
builds=()
if /usr/lib/wine/wine --version >/dev/null 2>&1 && [ -d build-windows ]; then
    builds+=(build-windows)
else
    echo "32-bit: not run (this kernel cannot run 32-bit programs, or there is no build-windows)"
fi
[ -d build-windows64 ] && builds+=(build-windows64)
[ ${#builds[@]} -gt 0 ] || { echo "no Windows build: run tools/test-windows.sh first"; exit 1; }

busy=()
stop_load() {
    for pid in "${busy[@]}"; do kill "$pid" 2>/dev/null; done
}
trap stop_load EXIT
for _ in 1 2; do
    (while :; do :; done) &
    busy+=($!)
done

passed=0
failed=0
for build in "${builds[@]}"; do
    good=0
    bad=0
    for ((run = 1; run <= runs; run++)); do
        log=$build/soak-$run.log
        if bash tools/wine-suites.sh "$build" >"$log" 2>&1; then
            good=$((good + 1))
            rm -f "$log"
            echo "${build#build-} run $run: passed"
        else
            bad=$((bad + 1))
            echo "${build#build-} run $run: failed ($(grep -E '^\s*[0-9]+ - ' "$log" | tr -s ' ' | tr '\n' ';'))"
        fi
    done
    echo "${build#build-}: $good passed, $bad failed"
    passed=$((passed + good))
    failed=$((failed + bad))
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
