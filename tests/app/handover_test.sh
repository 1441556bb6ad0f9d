#!/usr/bin/env bash
# One window for every start, with real processes: a second `kelpra WORD`
# hands its word to the window already running with the same settings file
# and ends at once; the window shows the word's page. A window that died
# without closing its socket, and senders that misbehave, do not stop it.
#
#   bash tests/app/handover_test.sh <kelpra program folder>
set -uo pipefail
bin="$(cd "$1" && pwd)"
export QT_QPA_PLATFORM=offscreen

work="$(mktemp -d "${TMPDIR:-/tmp}/kelpra handover XXXXXX")"
started=()
cleanup() {
    local pid
    for pid in "${started[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

# Sockets go to the user's runtime folder: this test's own.
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
windows() { printf 'Z:%s' "${1//\//\\}"; }
help="$work/help"
mkdir -p "$work/program" "$help/commands"
cp "$bin/kelpra" "$bin"/*.htm "$work/program/"
printf '<p>Start</p>\r\n' > "$help/Menu.htm"
printf '<a href="commands/print.htm">Print</a><BR>\r\n<a href="glossary.htm">Glossary</a><BR>\r\n' \
    > "$help/index.htm"
printf '<a href="long.htm">Long</a><BR>\r\n' >> "$help/index.htm"
printf '<p>The PRINT command.</p>\r\n' > "$help/commands/print.htm"
# A page that takes the window seconds to lay out.
seq 1 20000 | awk '{ printf "<tr><td><a href=\"#r%d\">Row %d</a></td><td>PRINT text in <b>bold</b> %d</td></tr>\n", $1, $1, $1 }' \
    > "$help/long.htm"
printf '<p>The glossary.</p>\r\n' > "$help/glossary.htm"
: > "$work/keywords.txt"
printf '[Setup]\r\nHelp=%s\\\r\nkeywords=%s\r\nUseCL=1\r\n' \
    "$(windows "$help")" "$(windows "$work/keywords.txt")" > "$work/program/Kelpra.ini"

source "$(dirname "$0")/checks.sh"
socket_up() {
    local i
    for i in $(seq 1 100); do
        [ -S "$(ls -d "$XDG_RUNTIME_DIR"/kelpra-* 2>/dev/null | head -n 1)" ] && return 0
        sleep 0.1
    done
    return 1
}
# Starts a window that logs its status bar; its pid is in $window.
open_window() {
    KELPRA_STATUS_LOG="$1" "$work/program/kelpra" "$2" &
    window=$!
    started+=("$window")
}
# A second start: its status and how long it took, in tenths of a second.
second_start() {
    local begin=$SECONDS
    KELPRA_STATUS_LOG="$work/second.log" timeout 20 "$work/program/kelpra" "$@"
    second_status=$?
    second_took=$((SECONDS - begin))
}
page() { printf '%s\\%s' "$(windows "$help")" "$1"; }

open_window "$work/first.log" nothing
check "the first window listens" socket_up
first=$window

second_start print
check "the second start ends with status 0" test "$second_status" -eq 0
check "the second start ends at once" test "$second_took" -le 3
check "the second start opened no window" test ! -s "$work/second.log"
expect_last "$work/first.log" "$(page 'commands\print.htm')" "the running window shows the word's page"

second_start "$(printf 'glossary\nprint')"
expect_last "$work/first.log" "$(page 'glossary.htm')" "only the first line of a word is taken"

if command -v python3 > /dev/null; then
    socket="$(ls -d "$XDG_RUNTIME_DIR"/kelpra-* | head -n 1)"
    # One sender says nothing, another sends a megabyte without a line end.
    python3 - "$socket" <<'PY' &
import socket, sys, time
silent = socket.socket(socket.AF_UNIX); silent.connect(sys.argv[1])
flood = socket.socket(socket.AF_UNIX); flood.connect(sys.argv[1])
try:
    flood.sendall(b"a" * 1000000)
except OSError:
    pass
time.sleep(3)
PY
    sleep 0.5
    second_start print
    check "a silent and a flooding sender do not stop the window" test "$second_status" -eq 0
    expect_last "$work/first.log" "$(page 'commands\print.htm')" "the window still takes words"
    wait $! 2>/dev/null
fi

# A window busy laying out a long page still takes the next word at once,
# keeps its socket, and shows the word after the page.
socket_id() { stat -c %i "$(ls -d "$XDG_RUNTIME_DIR"/kelpra-* | head -n 1)"; }
before="$(socket_id)"
second_start long
check "a word for a long page is taken" test "$second_status" -eq 0
second_start print
check "a busy window takes the next word, and the second start ends" test "$second_status" -eq 0
check "no second window opened while the first was busy" test ! -s "$work/second.log"
check "the busy window's socket is its own still" test "$(socket_id)" = "$before"
long_then_word() {
    local i
    for i in $(seq 1 600); do
        [ "$(tail -n 2 "$work/first.log")" = "$(page 'long.htm')"$'\n'"$(page 'commands\print.htm')" ] && return 0
        sleep 0.1
    done
    return 1
}
check "the long page shown, then the word's" long_then_word

# Killed, the window leaves its socket behind: the next start opens a window
# of its own and listens in its place.
kill -9 "$first"
wait "$first" 2>/dev/null
open_window "$work/third.log" glossary
third=$window
expect_last "$work/third.log" "$(page 'glossary.htm')" "a start after a killed window opens its own"
second_start print
check "and takes the next word" test "$second_status" -eq 0
expect_last "$work/third.log" "$(page 'commands\print.htm')" "the new window shows it"

# With the switch off a second start opens its own window.
printf '[View]\r\nSingleWindow=0\r\n' >> "$work/program/Kelpra.ini"
open_window "$work/fourth.log" print
expect_last "$work/fourth.log" "$(page 'commands\print.htm')" "switched off, a second start opens a window"
kill "$window" "$third" 2>/dev/null

# Without a runtime folder (su, ssh, cron) the socket goes to a folder of
# Kelpra's own in the temporary folder, which only this user can enter.
sed -i '/^SingleWindow=0/d' "$work/program/Kelpra.ini"
unset XDG_RUNTIME_DIR
export TMPDIR="$work/tmp"
mkdir -m 1777 "$TMPDIR"
private="$TMPDIR/kelpra-$(id -u)"
open_window "$work/fifth.log" nothing
check "without a runtime folder the window listens in a private folder" \
    bash -c 'for i in $(seq 1 100); do test -S "$1"/kelpra-* && exit 0; sleep 0.1; done; exit 1' - "$private"
check "which is closed to other users" test "$(stat -c %a "$private")" = 700
second_start glossary
check "and a second start hands its word over there" test "$second_status" -eq 0
expect_last "$work/fifth.log" "$(page 'glossary.htm')" "the window shows it"
kill "$window" 2>/dev/null

echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
