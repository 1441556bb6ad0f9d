#!/usr/bin/env bash
# Rendering benchmark: the same pages drawn by kelpra's browser control
# (bench_render, offscreen) and by headless Chromium, the yardstick, in the
# same run. For each page: the difference of the two pictures (0 the same,
# 100 black against white, at a resolution where the same text in other
# fonts looks alike) and whether the background colours agree; then the
# averages, and kelpra's time per page and peak memory.
#
#   bash bench/rendering.sh [build folder] PAGE|FOLDER... [--count N] [--keep DIR]
#
# A folder stands for its .htm and .html files (the first N, sorted, 100 by
# default). Needs Debian's chromium; install it for the measurement only.
# KELPRA_RENDERER=PROGRAM measures another drawing program with the same
# arguments as bench_render's "draw" (the litehtml prototype).
set -euo pipefail
cd "$(dirname "$0")/.."
build="build"
if [ $# -gt 0 ] && [ -f "$1/CMakeCache.txt" ]; then
    build="$1"
    shift
fi
count=100
keep=""
given=()
while [ $# -gt 0 ]; do
    case "$1" in
    --count) count="$2"; shift 2 ;;
    --keep) keep="$2"; shift 2 ;;
    *) given+=("$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"); shift ;;
    esac
done
pages=()
for item in "${given[@]}"; do
    if [ -d "$item" ]; then
        while IFS= read -r page; do pages+=("$page"); done < <(
            find -L "$item" -type f \( -iname '*.htm' -o -iname '*.html' \) ! -name vosks.html | sort |
                head -n "$count")
    else
        pages+=("$item")
    fi
done
[ ${#pages[@]} -gt 0 ] || { echo "usage: bash bench/rendering.sh [build] PAGE|FOLDER... [--count N]" >&2; exit 2; }
command -v chromium >/dev/null || { echo "chromium is not installed (apt-get install chromium)" >&2; exit 2; }

cmake --build "$build" -j2 --target bench_render >/dev/null
render="$(cd "$build/bin" && pwd)/bench_render"
renderer="${KELPRA_RENDERER:-$render}"
work="${keep:-$(mktemp -d)}"
[ -n "$keep" ] || trap 'rm -rf "$work"' EXIT
name="$(basename "$renderer")"
mkdir -p "$work/$name" "$work/chromium"
export QT_QPA_PLATFORM=offscreen
width=800
height=600

# Chromium, one page at a time, each with a fresh profile; a kept folder's
# pictures are taken again only when missing.
n=0
for page in "${pages[@]}"; do
    if [ -f "$work/chromium/$n.png" ]; then
        n=$((n + 1))
        continue
    fi
    profile="$(mktemp -d)"
    timeout 60 chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
        --disable-background-networking --disable-component-update --disable-sync --hide-scrollbars \
        --user-data-dir="$profile" --screenshot="$work/chromium/$n.png" --window-size=$width,$height \
        "file://$page" >/dev/null 2>&1 || true
    rm -rf "$profile"
    n=$((n + 1))
done

# Kelpra's control, all pages in one process: its time per page and peak.
"$renderer" draw $width $height "$work/$name" "${pages[@]}" > "$work/$name.txt" 2>/dev/null

printf 'diff\tms\tbackground\tpage\n'
n=0
for page in "${pages[@]}"; do
    ms=$(awk -F'\t' -v n=$((n + 1)) 'NR == n { print $2 }' "$work/$name.txt")
    if [ -f "$work/chromium/$n.png" ] && [ -f "$work/$name/$n.png" ]; then
        read -r diff background < <("$render" compare "$work/$name/$n.png" "$work/chromium/$n.png" 2>/dev/null)
    else
        diff="-" background="missing"
    fi
    printf '%s\t%s\t%s\t%s\n' "$diff" "$ms" "$background" "$page"
    n=$((n + 1))
done | tee "$work/$name.table"
awk -F'\t' '$1 != "-" { d += $1; t += $2; n++; if ($3 == "same-background") s++ }
     END { if (n) printf "pages %d  mean diff %.2f  same background %d%%  mean ms %.2f\n", n, d / n, 100 * s / n, t / n }' \
    "$work/$name.table"
awk -F'\t' '$1 == "peak KB" { printf "peak memory %d KB (all pages in one process)\n", $2 }' "$work/$name.txt"
