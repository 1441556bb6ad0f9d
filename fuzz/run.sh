#!/bin/bash
# Builds the fuzz targets with clang (libFuzzer, ASan, UBSan) and runs each
# one in turn for the given number of seconds (default 60), starting from
# the seeds in corpus/<target>/ and, for the page and include targets, the
# example help pages and include sources. Build folder: $KELPRA_FUZZ_BUILD,
# default build-fuzz/ in the repository (beside the main build/). New inputs
# and any crash land in the build folder.
set -u
seconds="${1:-60}"
here="$(cd "$(dirname "$0")" && pwd)"
build="${KELPRA_FUZZ_BUILD:-$here/../build-fuzz}"
targets="${KELPRA_FUZZ_TARGETS:-line_reader context_list include_scan profile page_path hostpath page_text}"

mkdir -p "$build"
cmake -S "$here" -B "$build" -DCMAKE_CXX_COMPILER=clang++ >"$build/configure.log" 2>&1 ||
    { tail -30 "$build/configure.log"; exit 1; }
cmake --build "$build" -j2 >"$build/build.log" 2>&1 || { tail -30 "$build/build.log"; exit 1; }

status=0
for target in $targets; do
    work="$build/work/$target"
    rm -rf "$work/artifacts"
    # The targets' test folders go into a folder of their own, in memory
    # where the host has it (the settings writes sync to the disk), removed
    # afterwards even when a target stopped on a finding.
    if [ -d /dev/shm ] && [ -w /dev/shm ]; then
        tmp="$(mktemp -d /dev/shm/kelpra-fuzz-XXXXXX)"
    else
        tmp="$work/tmp"
    fi
    mkdir -p "$work/corpus" "$work/artifacts" "$tmp"
    # The example help folder and include sources seed their targets too.
    case "$target" in
        context_list) cp "$here/../examples/help/index.htm" "$work/corpus/example-index.htm" ;;
        include_scan) cp "$here"/../examples/*.dba "$work/corpus/" ;;
        page_text) cp "$here"/../examples/help/*.htm "$work/corpus/" ;;
    esac
    log="$work/log.txt"
    TMPDIR="$tmp" "$build/bin/fuzz_$target" -max_total_time="$seconds" -max_len=8192 \
        -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$work/artifacts/" "$work/corpus" "$here/corpus/$target" >"$log" 2>&1
    result=$?
    rm -rf "$tmp"
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$')
    rate=$(grep -o 'exec/s: [0-9]*' "$log" | tail -1 | grep -o '[0-9]*$')
    edges=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | grep -o '[0-9]*$')
    if [ "$result" -eq 0 ]; then
        echo "$target: ok, ${runs:-?} runs in ${seconds}s, ${rate:-?} exec/s, ${edges:-?} edges"
    else
        status=1
        crash=$(ls -t "$work/artifacts" 2>/dev/null | head -1)
        echo "$target: FAILED (exit $result) after ${runs:-?} runs; input: $work/artifacts/$crash; log: $log"
    fi
done
exit $status
