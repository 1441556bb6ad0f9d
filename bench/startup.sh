#!/usr/bin/env bash
# Start-up benchmark: the time from process start to the first page drawn, and
# the peak memory, of kelpra on the example help folder, each beside a minimal
# Qt program that only opens a QTextBrowser on the same page, in the same run.
#
#   bash bench/startup.sh [build folder] [runs]
#
# Both programs end at once when the first page is painted (kelpra through
# KELPRA_EXIT_AFTER_FIRST_PAGE=1), on Qt's offscreen platform unless
# QT_QPA_PLATFORM says otherwise. The programs alternate, and the medians are
# reported with kelpra's ratio to the minimal program (the aim: at most 1.5).
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
runs="${2:-15}"

cmake -S . -B "$build" -DKELPRA_BENCH=ON >/dev/null
cmake --build "$build" -j2 --target kelpra kelpra_data bench_minimal_browser >/dev/null
bin="$(cd "$build/bin" && pwd)"

# kelpra reads Kelpra.ini beside itself and writes backups there, so it runs
# from a program folder of its own, on its own copy of the help folder.
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir "$work/program"
cp "$bin/kelpra" "$bin"/*.htm "$work/program/"
cp -R examples/help "$work/help"
# The example's own keywords file: an empty one counts as no one-time
# backup, so every start would copy it again, which no user's start does.
cp examples/keywords.txt "$work/keywords.txt"
printf '[Setup]\r\nHelp=Z:%s\\\r\nkeywords=Z:%s\r\nUseCL=1\r\n' \
    "${work//\//\\}\\help" "${work//\//\\}\\keywords.txt" > "$work/program/Kelpra.ini"
page="$(ls "$work/help" | grep -i '^menu.htm$' | head -n 1)"

export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
export KELPRA_EXIT_AFTER_FIRST_PAGE=1

# One run: "microseconds peak-kilobytes". Whole milliseconds would round
# away a tenth of a start-up of 20 ms, and with it the ratio.
measure() {
    local start end
    start=$(date +%s%N)
    /usr/bin/time -o "$work/peak" -f '%M' "$@" >/dev/null 2>&1
    end=$(date +%s%N)
    echo "$(( (end - start) / 1000 )) $(tail -n 1 "$work/peak")"
}

median() {
    sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# The first run of each fills the backups and the file caches; it is not counted.
measure "$work/program/kelpra" >/dev/null
measure "$bin/bench_minimal_browser" "$work/help/$page" >/dev/null
: > "$work/kelpra.txt"
: > "$work/minimal.txt"
for ((i = 0; i < runs; i++)); do
    measure "$work/program/kelpra" >> "$work/kelpra.txt"
    measure "$bin/bench_minimal_browser" "$work/help/$page" >> "$work/minimal.txt"
done

milliseconds() { awk '{ printf "%.2f\n", $1 / 1000 }'; }
kelpra_ms=$(cut -d' ' -f1 "$work/kelpra.txt" | median | milliseconds)
kelpra_kb=$(cut -d' ' -f2 "$work/kelpra.txt" | median)
minimal_ms=$(cut -d' ' -f1 "$work/minimal.txt" | median | milliseconds)
minimal_kb=$(cut -d' ' -f2 "$work/minimal.txt" | median)
echo "start to first page, median of $runs runs ($QT_QPA_PLATFORM platform):"
printf '  %-16s %7s ms  %8s KB peak\n' kelpra "$kelpra_ms" "$kelpra_kb" minimal-browser "$minimal_ms" "$minimal_kb"
awk -v a="$kelpra_ms" -v b="$minimal_ms" -v c="$kelpra_kb" -v d="$minimal_kb" \
    'BEGIN { printf "  ratio            %7.2f     %8.2f        (aim: at most 1.5)\n", a / b, c / d }'

# Instructions to the first page, one run each under callgrind: the same
# on a busy machine as on an idle one, where the times above are not.
if command -v valgrind >/dev/null; then
    instructions() {
        valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" 2>&1 >/dev/null |
            awk '/Collected/ { print $NF }'
    }
    kelpra_ir=$(instructions "$work/program/kelpra")
    minimal_ir=$(instructions "$bin/bench_minimal_browser" "$work/help/$page")
    echo "instructions to the first page (callgrind, one run each):"
    printf '  %-16s %12s\n' kelpra "$kelpra_ir" minimal-browser "$minimal_ir"
    awk -v a="$kelpra_ir" -v b="$minimal_ir" 'BEGIN { printf "  ratio            %12.2f\n", a / b }'
fi
