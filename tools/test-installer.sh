#!/usr/bin/env bash
# Tries the Windows installer as a user would, in the Wine prefix and on the
# display the caller provides (tools/test-windows.sh): a silent install,
# kelpra-cli from the installed folder for a lookup and an Add Include on a
# copy of the example help folder, the silent uninstall, and a look at what
# is left.
#
#   bash tools/test-installer.sh Kelpra-2.0-setup-win64.exe
set -euo pipefail
cd "$(dirname "$0")/.."
installer="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
: "${WINEPREFIX:?a Wine prefix is needed}"
wine="${KELPRA_WINE:-wine}"
server="${WINESERVER:-wineserver}"
drive_c="$WINEPREFIX/drive_c"
# A 32-bit installer in a 64-bit prefix installs under "Program Files (x86)".
programs="Program Files"
case "$(basename "$installer")" in
*win32*) [ -d "$drive_c/Program Files (x86)" ] && programs="Program Files (x86)" ;;
esac
folder="$drive_c/$programs/Kelpra"
menu="$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Kelpra.lnk"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Kelpra'

fail() {
    echo "FAILED: $*"
    exit 1
}
windows_path() {
    printf 'Z:%s' "${1//\//\\}"
}
wine_run() {
    timeout -k 10 300 "$wine" "$@"
}

echo "== $(basename "$installer"): $(stat -c %s "$installer") bytes"
wine_run "$installer" /S
timeout 120 "$server" -w
for name in Kelpra.exe kelpra-cli.exe Includes.htm Include2.htm HelpMain.htm Uninstall.exe \
    examples/help/index.htm examples/keywords.txt examples/screenfx.dba; do
    [ -f "$folder/$name" ] || fail "not installed: $name"
done
[ -f "$menu" ] || fail "no Start-menu shortcut"
wine_run reg query "$key" >/dev/null 2>&1 || fail "no entry in the list of installed programs"
echo "installed into C:\\$programs\\Kelpra, with its shortcut and uninstall entry"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp -R examples/help "$work/help"
cp examples/keywords.txt "$work/keywords.txt"
cli() {
    wine_run "C:\\$programs\\Kelpra\\kelpra-cli.exe" --help-folder "$(windows_path "$work/help")" \
        --keywords "$(windows_path "$work/keywords.txt")" "$@" | tr -d '\r'
}
cli lookup print | grep -qi 'commands\\print.htm$' || fail "installed kelpra-cli: lookup print"
cli --yes add-include "$(windows_path "$PWD/examples/screenfx.dba")" >/dev/null ||
    fail "installed kelpra-cli: add-include"
[ -f "$work/help/Includes/screenfx.htm" ] || fail "no include page written"
cli lookup fadein | grep -q 'Includes' || fail "installed kelpra-cli: lookup of the new function"
appdata="$(find "$drive_c/users" -maxdepth 4 -type d -path '*/AppData/Roaming/Kelpra' | head -n 1)"
[ -n "$appdata" ] && [ -s "$appdata/index.bak" ] || fail "the backups are not in %APPDATA%\\Kelpra"
ls "$folder" | grep -qi '\.bak$' && fail "backups written into Program Files"
echo "installed kelpra-cli: lookup, add-include, backups in %APPDATA%\\Kelpra"

# The user's own file beside the programs stays, and so does their folder.
echo "mine" >"$folder/notes.txt"
wine_run "C:\\$programs\\Kelpra\\Uninstall.exe" /S
timeout 120 "$server" -w
left="$(cd "$folder" && find . -mindepth 1 | sort)"
[ "$left" = "./notes.txt" ] || fail "the uninstaller left or removed: $left"
rm "$folder/notes.txt"
rmdir "$folder"
[ ! -e "$menu" ] || fail "the Start-menu shortcut is left"
! wine_run reg query "$key" >/dev/null 2>&1 || fail "the uninstall entry is left"
[ -s "$appdata/index.bak" ] || fail "the uninstaller removed the user's backups"
[ -f "$work/help/Includes/screenfx.htm" ] || fail "the uninstaller touched the help folder"
echo "uninstalled: only the user's own files are left"
