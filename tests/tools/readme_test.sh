#!/usr/bin/env bash
# The README's "Try it" block as a newcomer runs it, line by line from the
# repository's top folder, with the freshly built programs and a temporary
# folder for /tmp: every command, the closing check of the shipped example
# folder included, must end with status 0.
#
#   bash tests/tools/readme_test.sh <kelpra program folder>
set -euo pipefail
bin="$(cd "$1" && pwd)"
repo="$(cd "$(dirname "$0")/../.." && pwd)"
# Without spaces: the README's lines name their paths unquoted.
work="$(mktemp -d "${TMPDIR:-/tmp}/kelpra-readme.XXXXXX")"
trap 'rm -rf "$work"' EXIT

# The indented lines after the block's lead-in, up to the first plain line.
commands="$(awk '/^Try it on a copy of the example help folder:/ { inside = 1; next }
    inside && /^    / { sub(/^    /, ""); print; next }
    inside && NF { exit }' "$repo/README.md")"
[ -n "$commands" ] || { echo "FAIL: no Try it block in README.md" >&2; exit 1; }

cd "$repo"
count=0
while IFS= read -r line; do
    # /tmp/ first: the programs' own folder may lie under /tmp too.
    line="${line//\/tmp\//$work/}"
    line="${line//build\/bin\//$bin/}"
    count=$((count + 1))
    if ! output="$(bash -c "$line" 2>&1)"; then
        echo "FAIL: README line $count ended with an error: $line" >&2
        echo "$output" >&2
        exit 1
    fi
done <<< "$commands"
echo "readme: $count commands ok"
