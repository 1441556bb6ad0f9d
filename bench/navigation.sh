#!/usr/bin/env bash
# Navigation benchmark: Enter to page drawn for a 755 KB page, a 5 MB page
# and a page of 2,000 links into a folder of 20,000 files (written as a
# Windows folder has them: the links in capitals, the files not), in the
# real main window (search, page watcher, display copy, browser
# control), beside a bare QTextBrowser loading the same page in the same run
# (aim: at most 1.2 times); and the peak memory after visiting the 5 MB page
# 20 times beside one visit (aim: at most 1.5 times).
#
#   bash bench/navigation.sh [build folder] [runs]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
runs="${2:-3}"

cmake -S . -B "$build" -DKELPRA_BENCH=ON >/dev/null
cmake --build "$build" -j2 --target bench_navigation >/dev/null
bench="$(cd "$build/bin" && pwd)/bench_navigation"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
help="$work/help"
mkdir -p "$help/pages"
# A help page of about the given size: link lines, as the help folder's
# pages begin their lines with them, among paragraphs and a table.
page() {
    awk -v bytes="$1" -v title="$2" 'BEGIN {
        printf "<html><head><title>%s</title></head><body>\r\n<h1>%s</h1>\r\n", title, title
        for (n = 0; written < bytes; n++) {
            line = sprintf("<a href=\"../commands/cmd%d.htm\">COMMAND %d</a> is described here with <b>bold</b> words and <i>more</i> text.<br>\r\n", n, n)
            if (n % 50 == 0) line = line sprintf("<table><tr><td>cell %d</td><td>value</td></tr></table>\r\n", n)
            printf "%s", line
            written += length(line)
        }
        printf "</body></html>\r\n"
    }'
}
page 773120 "BIG" > "$help/pages/big.htm"
page 5242880 "HUGE" > "$help/pages/huge.htm"
mkdir -p "$help/many"
(cd "$help/many" && seq -f 'm%g.htm' 0 19999 | xargs touch)
awk 'BEGIN { printf "<html><body>\r\n"
             for (n = 0; n < 2000; n++) printf "<a href=\"../many/M%d.HTM\">M%d</a><br>\r\n", n * 10, n * 10
             printf "</body></html>\r\n" }' > "$help/pages/wide.htm"
printf '<p>small</p>\r\n' > "$help/small.htm"
printf '<p>start</p>\r\n' > "$help/Menu.htm"
printf '<a href="pages/big.htm">big</a><BR>\r\n<a href="pages/huge.htm">huge</a><BR>\r\n<a href="pages/wide.htm">wide</a><BR>\r\n<a href="small.htm">small</a><BR>\r\n' \
    > "$help/index.htm"
folder="Z:${help//\//\\}\\"

export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
median() {
    sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

echo "Enter to page drawn, median of $runs runs ($QT_QPA_PLATFORM platform):"
for word in ${KELPRA_NAV_PAGES:-big huge wide}; do
    "$bench" time "$folder" "$word" "$runs" > "$work/$word.txt" 2>/dev/null
    kelpra_ms=$(awk '$1 == "kelpra" { print $2 }' "$work/$word.txt" | median)
    bare_ms=$(awk '$1 == "bare" { print $2 }' "$work/$word.txt" | median)
    size=$(($(wc -c < "$help/pages/$word.htm") / 1024))
    awk -v w="$word" -v s="$size" -v k="$kelpra_ms" -v b="$bare_ms" \
        'BEGIN { printf "  %-5s %5d KB  kelpra %8.1f ms  bare QTextBrowser %8.1f ms  ratio %5.2f  (aim: at most 1.2)\n", w, s, k, b, k / b }'
done

one=$("$bench" memory "$folder" huge 1 2>/dev/null | awk '$1 == "peak" { print $2 }')
twenty=$("$bench" memory "$folder" huge 20 2>/dev/null | awk '$1 == "peak" { print $2 }')
echo "Peak memory visiting the 5 MB page:"
awk -v a="$one" -v b="$twenty" \
    'BEGIN { printf "  once %8d KB   20 times %8d KB   ratio %5.2f  (aim: at most 1.5)\n", a, b, b / a }'
