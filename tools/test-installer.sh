#!/usr/bin/env bash
# Tries the Windows zip and installer as a user would, in the Wine prefix and
# on the display the caller provides (tools/test-windows.sh): the zip
# unpacked and run as it is, the installer's version information, a silent install,
# kelpra-cli from the installed folder for a lookup and an Add Include on a
# copy of the example help folder, the silent uninstall, and a look at what
# is left.
#
#   bash tools/test-installer.sh Kelpra-2.0-setup-win64.exe
set -euo pipefail
cd "$(dirname "$0")/.."
installer="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
# The zip of the same build lies beside the installer.
zip="${installer/-setup-/-}"
zip="${zip%.exe}.zip"
version="$(basename "$installer" | sed 's/^Kelpra-\(.*\)-setup-.*$/\1/')"
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
for name in Kelpra.exe kelpra-cli.exe Includes.htm Include2.htm HelpMain.htm LICENSE.txt Uninstall.exe \
    examples/help/index.htm examples/keywords.txt examples/screenfx.dba; do
    [ -f "$folder/$name" ] || fail "not installed: $name"
done
[ -f "$menu" ] || fail "no Start-menu shortcut"
wine_run reg query "$key" >/dev/null 2>&1 || fail "no entry in the list of installed programs"
echo "installed into C:\\$programs\\Kelpra, with its shortcut and uninstall entry"

# Every program says what it is in its file properties.
for program in "$installer" "$folder/Kelpra.exe" "$folder/kelpra-cli.exe"; do
    strings -el -n 3 "$program" | grep -qx "ProductName" || fail "no version information in $(basename "$program")"
    strings -el -n 3 "$program" | grep -qx "$version" || fail "$(basename "$program") does not name version $version"
done
echo "version information $version in the installer and both programs"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# The zip works untouched: unpacked, its first run without Dark Basic and
# without settings looks up in the example help folder that comes with it.
(cd "$work" && cmake -E tar xf "$zip")
for name in README.txt LICENSE.txt examples/help/index.htm; do
    [ -f "$work/Kelpra/$name" ] || fail "not in the zip: $name"
done
found="$(wine_run "$(windows_path "$work/Kelpra/kelpra-cli.exe")" lookup print | tr -d '\r')"
grep -qi 'Kelpra\\examples\\help\\commands\\print.htm$' <<<"$found" || fail "the unpacked zip's kelpra-cli: lookup print gave '$found'"
rm -rf "$work/Kelpra"
echo "$(basename "$zip"): unpacked, looks up in its example help folder"
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
