#!/usr/bin/env bash
# Every figure of the project beside its baseline, measured in the same run,
# and its aim: one line each. Builds what it needs in a build folder of its
# own (build-report unless given), so it runs from a fresh clone.
#
#   bash bench/report.sh [build folder]
#
# Timings are medians of at least 5 runs. The machine's load is printed
# first: on a machine shared with other work, the processor-time ratios
# (where given) tell cost from load.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build-report}"
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"

echo "Kelpra figures, $(git rev-parse --short HEAD 2>/dev/null || echo 'no commit'), $(date -u '+%Y-%m-%d %H:%M UTC')"
echo "load before: $(uptime | sed 's/.*load average/load average/')"
start=$(date +%s)

# Built as CI builds (the ci preset's settings), so a compiler cache shares
# its work with CI's build.
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELPRA_TESTS=ON -DKELPRA_BENCH=ON -DKELPRA_WERROR=ON \
    >/dev/null
cmake --build "$build" -j2 --target kelpra kelpra_data bench_minimal_browser bench_navigation bench_dropdown \
    bench_typeahead bench_fulltext bench_addinclude bench_contextlist >/dev/null
echo "built in $(($(date +%s) - start)) s"
start=$(date +%s)
bin="$(cd "$build/bin" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# One figure: name, value, unit, baseline's name, baseline's value, aim's
# largest ratio (or "-" when the aim is a value of its own, given after it,
# or "none" when no aim was set).
line() {
    if [ -z "$2" ]; then
        printf '%-34s not measured\n' "$1"
        return
    fi
    awk -v name="$1" -v value="$2" -v unit="$3" -v bname="$4" -v base="$5" -v most="$6" -v aim="${7:-}" 'BEGIN {
        ratio = base > 0 ? value / base : 0
        if (most == "none") { verdict = ""; aimtext = "none set" }
        else if (most != "-") { verdict = ratio <= most ? "met" : "MISSED"; aimtext = "at most " most "x" }
        else { verdict = value <= aim ? "met" : "MISSED"; aimtext = "at most " aim " " unit }
        printf "%-34s %10.2f %-3s  %-26s %10.2f %-3s  ratio %5.2fx  aim %-16s %s\n",
            name, value, unit, bname, base, unit, ratio, aimtext, verdict
    }'
}

# A value of a Google Benchmark JSON report (one field a line), for the
# benchmark of that name: its real_time, or a counter of its own.
column() {
    awk -v row="$2" -v col="$3" '
        /^ *"name": / { n = $0; sub(/^ *"name": "/, "", n); sub(/",?$/, "", n) }
        n == row && $0 ~ "^ *\"" col "\": " { v = $0; sub(/^[^:]*: /, "", v); sub(/,$/, "", v); print v; exit }' "$1"
}

# Google Benchmark programs: five repetitions, medians only, added to the
# report file. The repetitions of a figure and of its baseline take turns,
# so a spell of a busy machine falls on both. A program that fails is said,
# and the report goes on.
run_bench() {
    local program="$1" out="$2"
    shift 2
    if ! "$bin/$program" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
        --benchmark_enable_random_interleaving=true \
        --benchmark_out="$work/part.json" --benchmark_out_format=json "$@" >/dev/null 2>&1; then
        echo "  ($program $* failed)"
    fi
    cat "$work/part.json" >> "$out" 2>/dev/null || true
    rm -f "$work/part.json"
}

echo
echo "Start-up to first page drawn (bench/startup.sh, 51 runs each):"
bash bench/startup.sh "$build" 51 > "$work/startup.txt" || echo "  (bench/startup.sh failed)"
read -r kelpra_ms kelpra_kb < <(awk '$1 == "kelpra" { print $2, $4 }' "$work/startup.txt")
read -r bare_ms bare_kb < <(awk '$1 == "minimal-browser" { print $2, $4 }' "$work/startup.txt")
line "start-up time" "$kelpra_ms" ms "bare QTextBrowser" "$bare_ms" 1.1
line "start-up peak memory" "$(awk -v k="$kelpra_kb" 'BEGIN { print k / 1024 }')" MB "bare QTextBrowser" \
    "$(awk -v k="$bare_kb" 'BEGIN { print k / 1024 }')" 1.05
read -r kelpra_ir bare_ir < <(awk '$1 == "kelpra" && NF == 2 { k = $2 } $1 == "minimal-browser" && NF == 2 { m = $2 }
    END { print k + 0, m + 0 }' "$work/startup.txt")
if [ "$kelpra_ir" != 0 ]; then
    line "start-up instructions (millions)" "$((kelpra_ir / 1000000))" M "bare QTextBrowser" "$((bare_ir / 1000000))" 1.1
fi

echo
echo "Enter to page drawn and memory (bench/navigation.sh, 9 runs each):"
bash bench/navigation.sh "$build" 9 > "$work/navigation.txt" || echo "  (bench/navigation.sh failed)"
for word in big huge wide; do
    read -r kelpra_ms bare_ms < <(awk -v w="$word" '$1 == w { print $5, $9 }' "$work/navigation.txt")
    case "$word" in
    big) label="755 KB page" ;;
    huge) label="5 MB page" ;;
    wide) label="2,000 links into 20,000 files" ;;
    esac
    line "Enter to drawn, $label" "$kelpra_ms" ms "bare QTextBrowser" "$bare_ms" 1.2
done
read -r once twenty < <(awk '$1 == "once" { print $2, $6 }' "$work/navigation.txt")
line "memory after 20 visits of 5 MB" "$((twenty / 1024))" MB "one visit" "$((once / 1024))" 1.5

echo
echo "Type-ahead and its drop-down (100,000 keywords):"
run_bench bench_typeahead "$work/typeahead.json"
worst=0 worst_base=0
for length in 1 2 3 4 5 6 7 8; do
    us=$(column "$work/typeahead.json" "Keystroke/$length""_median" real_time)
    base=$(column "$work/typeahead.json" "KeystrokePlainWalk/$length""_median" real_time)
    if awk -v a="$us" -v b="$worst" 'BEGIN { exit !(a > b) }'; then worst=$us worst_base=$base; fi
done
line "type-ahead, slowest keystroke" "$(awk -v u="$worst" 'BEGIN { print u / 1000 }')" ms \
    "plain walk of the list" "$(awk -v u="$worst_base" 'BEGIN { print u / 1000 }')" - 1
run_bench bench_dropdown "$work/dropdown.json"
line "drop-down per keystroke" "$(column "$work/dropdown.json" Keystroke_median real_time)" ms \
    "bare QCompleter" "$(column "$work/dropdown.json" KeystrokeBareCompleter_median real_time)" 1.2

echo
echo "Full-text search and the check (10,000 pages, about 50 MB):"
run_bench bench_fulltext "$work/fulltext.json" --benchmark_filter='Grep|First|Later|PlainRead|Check'
grep_ms=$(column "$work/fulltext.json" "GrepFolder/iterations:5/real_time_median" real_time)
line "first search" "$(column "$work/fulltext.json" "FirstSearch/iterations:5/real_time_median" real_time)" ms \
    "grep -ril" "$grep_ms" 1.3
for query in zephyrine "screen object" print; do
    line "later search \"$query\"" "$(column "$work/fulltext.json" "LaterSearch/$query/real_time_median" real_time)" ms \
        "first search" "$(column "$work/fulltext.json" "FirstSearch/iterations:5/real_time_median" real_time)" - 10
done
line "check" "$(column "$work/fulltext.json" "CheckFolder/iterations:5/real_time_median" real_time)" ms \
    "plain read of every page" "$(column "$work/fulltext.json" "PlainRead/iterations:5/real_time_median" real_time)" 1.5

echo
echo "Add Include of 300 functions into a 20,000-line index (median of 5 runs):"
"$bin/bench_addinclude" --benchmark_out="$work/addinclude.json" --benchmark_out_format=json >/dev/null 2>&1 ||
    echo "  (bench_addinclude failed)"
copy_ms=$(column "$work/addinclude.json" "BM_PlainCopyOfTheSameBytes/iterations:3/real_time" real_time)
without=$(column "$work/addinclude.json" "BM_AddIncludeWithoutWaitingForTheDisk/iterations:5/real_time" work_ms)
with=$(column "$work/addinclude.json" "BM_AddInclude/iterations:5/real_time" work_ms)
# The aim stands from when the rewrites became atomic: at most 1.2 times
# the 2.4 s of work measured before, flushes not counted.
line "Add Include work, no flushes" "$without" ms "plain copy of the bytes" "$copy_ms" - 2900
line "Add Include work, with flushes" "$with" ms "work without flushes" "$without" none
echo "  flushes per function: $(column "$work/addinclude.json" "BM_AddInclude/iterations:5/real_time" flushes)," \
    "$(column "$work/addinclude.json" "BM_AddInclude/iterations:5/real_time" flush_ms) ms each"

echo
echo "Context list (100,000 link lines):"
run_bench bench_contextlist "$work/contextlist.json"
line "BuildContextList" "$(column "$work/contextlist.json" BuildList_median real_time)" ms \
    "plain line scan" "$(column "$work/contextlist.json" PlainLineScan_median real_time)" 2

echo
echo "load after: $(uptime | sed 's/.*load average/load average/'), measured in $(($(date +%s) - start)) s"
