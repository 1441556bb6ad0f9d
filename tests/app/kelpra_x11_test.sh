#!/usr/bin/env bash
# The real kelpra window on a virtual X display, driven as a user drives it:
# real key presses and mouse clicks (xdotool), a help folder whose path has
# spaces, and an HTML editor that logs what it is given. The status bar is
# read through KELPRA_STATUS_LOG, which the window fills with every text it
# shows there.
#
#   bash tests/app/kelpra_x11_test.sh <kelpra program folder>
set -euo pipefail
bin="$(cd "$1" && pwd)"

if [ -z "${KELPRA_X11_INSIDE:-}" ]; then
    export KELPRA_X11_INSIDE=1
    exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi
unset QT_QPA_PLATFORM

work="$(mktemp -d "${TMPDIR:-/tmp}/kelpra x11 XXXXXX")"
kelpra=""
cleanup() {
    if [ -n "$kelpra" ]; then kill "$kelpra" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT

windows() { printf 'Z:%s' "${1//\//\\}"; }
help="$work/help folder"
mkdir -p "$work/program" "$help/commands"
cp "$bin/kelpra" "$bin"/*.htm "$work/program/"
cat > "$work/editor.sh" <<'EOF'
#!/bin/sh
printf '%s\n' "$1" >> "$(dirname "$0")/editor.log"
EOF
chmod +x "$work/editor.sh"
: > "$work/keywords.txt"

# Each page opens with one large link, so a click near the top of the
# browser lands on it whatever the fonts.
big() { printf '<a href="%s" style="font-size:40px">%s</a><br>\r\n' "$1" "$2"; }
printf '<p>Start</p>\r\n' > "$help/Menu.htm"
printf '<a href="commands/print.htm">Print</a><BR>\r\n<a href="glossary.htm">Glossary</a><BR>\r\n' \
    > "$help/index.htm"
{ big "../glossary.htm" "PRINT GOES ON"; printf '<p>The PRINT command.</p>\r\n'; } > "$help/commands/print.htm"
{ big "page two.htm" "PAGE TWO PAGE TWO"; printf '<p>The glossary.</p>\r\n'; } > "$help/glossary.htm"
{
    big "#bottom" "TO THE BOTTOM"
    for i in $(seq 1 200); do printf '<p>line %s</p>\r\n' "$i"; done
    printf '<p><a name="bottom">The bottom of page two.</a></p>\r\n'
} > "$help/page two.htm"
# A page that takes the window seconds to lay out, under a word of its own.
seq 1 20000 | awk '{ printf "<tr><td><a href=\"#r%d\">Row %d</a></td><td>PRINT text in <b>bold</b> %d</td></tr>\n", $1, $1, $1 }' \
    > "$help/long.htm"
printf '<a href="long.htm">Long</a><BR>\r\n' >> "$help/index.htm"
printf '[Setup]\r\nHelp=%s\\\r\nkeywords=%s\r\nUseCL=1\r\nHTML=%s\r\n' \
    "$(windows "$help")" "$(windows "$work/keywords.txt")" "$(windows "$work/editor.sh")" \
    > "$work/program/Kelpra.ini"

# The hand-over's socket goes to the user's runtime folder: this test's own.
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
export KELPRA_STATUS_LOG="$work/status.log"
: > "$KELPRA_STATUS_LOG"
: > "$work/editor.log"
"$work/program/kelpra" print &
kelpra=$!

source "$(dirname "$0")/checks.sh"
status() { expect_last "$KELPRA_STATUS_LOG" "$(windows "$help")\\$1" "status bar after $2"; }
edited() { expect_last "$work/editor.log" "$help/$1" "editor given $1 after $2"; }

window="$(xdotool search --sync --name "Tamsel's Dark Basic Helper V2" | head -n 1)"
xdotool windowfocus --sync "$window" || true
# Places inside the window; the menu bar above the controls is about 24
# pixels high, and every place below allows for a few pixels either way.
click() { xdotool mousemove --window "$window" "$1" "$2" click "${3:-1}"; }
link() { click 80 90; }
edit_page() { click 18 10 && sleep 0.3 && xdotool key Down Down Down Return; }

status 'commands\print.htm' "starting with a word"
check "the word's page shown through its display copy" test -f "$help/commands/vosks.html"
check "the start page never copied when the word found a page" test ! -e "$help/vosks.html"
check "the window listens for hand-overs" bash -c 'test -S "$1"/kelpra-*' - "$XDG_RUNTIME_DIR"

click 300 40
xdotool key ctrl+a
xdotool type --delay 20 glossary
xdotool key Return
status 'glossary.htm' "searching for glossary"

link
status 'page two.htm' "clicking a link"
click 27 38
status 'glossary.htm' "the Back button"
xdotool key alt+Right
status 'page two.htm' "Alt+Right"
edit_page
edited "page two.htm" "Edit Page on a display copy"

link
status 'page two.htm#bottom' "an in-page anchor"
edit_page
edited "page two.htm" "Edit Page on the copy's anchor"

click 200 150 8
status 'page two.htm' "the mouse's back button"
xdotool key alt+Left
status 'glossary.htm' "Alt+Left"
click 80 38
status 'page two.htm' "the Next button"
edit_page
edited "page two.htm" "Edit Page after Back and Next"
check "the editor never given a display copy" bash -c '! grep -q vosks "$1"' - "$work/editor.log"

# The type-ahead list: a chosen keyword is searched for at once.
click 300 40
xdotool key ctrl+a
xdotool type --delay 20 pri
sleep 0.3
xdotool key Down Return
status 'commands\print.htm' "choosing a keyword from the type-ahead list"
# Enter with the focus in the page never runs the search (with the field
# empty it would offer to write an empty anchor into index.htm); on a link
# that Tab moved to it follows the link.
click 300 40
xdotool key ctrl+a BackSpace
cp "$help/index.htm" "$work/index.before"
click 400 220
xdotool key Return
sleep 1
if xdotool search --name '^Kelpra V2$' > /dev/null 2>&1; then
    fail "Enter in the page asked to write into the index"
    xdotool key Escape
    sleep 0.5
else
    pass "Enter in the page asks nothing"
fi
check "Enter in the page leaves index.htm as it was" cmp -s "$help/index.htm" "$work/index.before"
xdotool key shift+Tab Return
status 'glossary.htm' "Enter on a link Tab moved to"

# A second start while the window lays out the long page: its word is taken
# at once, the start ends without a window, and the word's page follows.
second() { KELPRA_STATUS_LOG="$work/second.log" timeout 20 "$work/program/kelpra" "$1"; }
check "a second start hands over the long page's word" second long
check "a second start while the window is busy is taken and ends" second print
check "and opens no window" test ! -s "$work/second.log"
long_then_word() {
    local i
    for i in $(seq 1 600); do
        [ "$(tail -n 2 "$KELPRA_STATUS_LOG")" = "$(windows "$help")\long.htm"$'\n'"$(windows "$help")\commands\print.htm" ] &&
            return 0
        sleep 0.1
    done
    return 1
}
check "the long page shown, then the word's" long_then_word

# Zoom is kept at once, the window's size when the program ends.
xdotool key ctrl+plus ctrl+plus ctrl+minus
ini() { grep -qa "^$1"$'\r'"\$" "$work/program/Kelpra.ini"; }
waited_ini() {
    local i
    for i in $(seq 1 50); do ini "$1" && return 0; sleep 0.1; done
    return 1
}
check "the zoom kept in [View]" waited_ini "Zoom=110"
xdotool windowsize "$window" 640 420
sleep 0.3

click 18 10 && sleep 0.3 && xdotool key Down Down Return
for i in $(seq 1 50); do kill -0 "$kelpra" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$kelpra" 2>/dev/null; then
    fail "Close ends the program"
else
    code=0
    wait "$kelpra" || code=$?
    kelpra=""
    check "Close ends the program with status 0" test "$code" -eq 0
fi
check "the hand-over's socket goes with the window" test -z "$(ls -A "$XDG_RUNTIME_DIR")"
check "the window's size kept in [View]" bash -c 'grep -qa "^WindowWidth=640" "$1" && grep -qa "^WindowHeight=420" "$1"' - "$work/program/Kelpra.ini"

echo "status bar texts:"
sed 's/^/  /' "$KELPRA_STATUS_LOG"
echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
