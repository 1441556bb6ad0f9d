#!/usr/bin/env bash
# Builds the Debian package from a configured build folder, prints its file
# list and size, runs the validators, installs it on this machine and tries
# the installed programs as a user would, then removes it and checks that
# nothing of it is left.
#
#   bash tools/test-package.sh [build folder]     (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/packages.sh
kelpra_install "${KELPRA_PACKAGE_PACKAGES[@]}"
build="$(cd "${1:-build}" && pwd)"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo=sudo

fail() {
    echo "FAILED: $*"
    exit 1
}
work="$(mktemp -d)"
installed=0
cleanup() {
    [ "$installed" -eq 1 ] && $sudo apt-get remove --purge -y -qq kelpra >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT

# Without the tools that compute its dependencies, no package is written
# (rather than one that depends on nothing).
rm -rf "$build/package"
mkdir "$work/bare"
ln -s "$(command -v cmake)" "$(command -v cpack)" "$work/bare/"
if (cd "$build" && PATH="$work/bare" cpack -G DEB >"$work/bare.txt" 2>&1); then
    fail "cpack wrote a package without dpkg-shlibdeps"
fi
grep -q "dpkg-shlibdeps is missing" "$work/bare.txt" || fail "cpack did not say what is missing: $(cat "$work/bare.txt")"
[ ! -e "$build/package" ] || [ -z "$(ls "$build/package")" ] || fail "cpack left a package without dpkg-shlibdeps"
echo "cpack without dpkg-shlibdeps: refused, naming it"

(cd "$build" && cpack -G DEB >/dev/null)
deb="$(ls "$build"/package/kelpra_*.deb)"
echo "== $(basename "$deb"): $(stat -c %s "$deb") bytes"
depends="$(dpkg-deb --field "$deb" Depends)"
echo "Depends: $depends"
grep -q "libqt6widgets6" <<<"$depends" || fail "the package does not depend on Qt"
dpkg-deb -c "$deb" | awk '{ print $1, $3, $6 }'

# The same commit gives the same bytes, however old the built files are.
first="$(sha256sum <"$deb")"
touch "$build/bin/kelpra" "$build/bin/kelpra-cli" packaging/linux/kelpra.desktop
(cd "$build" && cpack -G DEB >/dev/null)
[ "$(sha256sum <"$deb")" = "$first" ] || fail "a second build of the package differs from the first"
echo "built twice: the same bytes"

echo "== desktop-file-validate"
desktop-file-validate packaging/linux/kelpra.desktop && echo "kelpra.desktop: no errors"
# A field code hands Kelpra a file or an address, which only a declared
# MimeType makes sense of.
if grep -q '^Exec=.*%[uUfF]' packaging/linux/kelpra.desktop && ! grep -q '^MimeType=' packaging/linux/kelpra.desktop; then
    fail "kelpra.desktop passes files or addresses to a program that declares none it opens"
fi
echo "== appstreamcli validate, appstream-util validate"
dpkg-deb -x "$deb" "$work/unpacked"
metainfo="$work/unpacked/usr/share/metainfo/org.kelpra.kelpra.metainfo.xml"
appstreamcli validate --no-net --pedantic "$metainfo"
appstream-util validate --nonet "$metainfo" || fail "appstream-util refuses the AppStream data"
echo "== lintian"
lintian --fail-on error --allow-root --suppress-tags-from-file /dev/null "$deb" || {
    echo "lintian found errors"
    exit 1
}
echo "lintian: no errors"
# Debian's hardening: lintian names every program built without a part of it.
hardening="$(lintian --allow-root --display-info \
    --tags hardening-no-bindnow,hardening-no-fortify-functions,hardening-no-pie,hardening-no-relro "$deb")"
[ -z "$hardening" ] || fail "built without Debian's hardening: $hardening"
echo "lintian: built with Debian's hardening flags"

echo "== installing"
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --reinstall "$deb" >/dev/null
installed=1

# The per-user folders in a temporary home, no Dark Basic, no display.
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" WINEPREFIX="$work/no-wine"
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
mkdir -p "$HOME"

[ "$(kelpra --version)" = "kelpra $(dpkg-deb --field "$deb" Version)" ] || fail "kelpra --version"
[ "$(kelpra-cli --version)" = "kelpra-cli $(dpkg-deb --field "$deb" Version)" ] || fail "kelpra-cli --version"
kelpra --help | grep -q "kelpra-cli follows the same rule" || fail "kelpra --help"

# kelpra-cli on a copy of the example help folder.
cp -R /usr/share/kelpra/examples/help "$work/help"
cp /usr/share/kelpra/examples/keywords.txt "$work/keywords.txt"
cli() { kelpra-cli --help-folder "$work/help" --keywords "$work/keywords.txt" "$@"; }
cli lookup print | grep -qi 'commands\\print.htm$' || fail "kelpra-cli lookup print"
cli --yes add-include /usr/share/kelpra/examples/screenfx.dba >/dev/null || fail "kelpra-cli add-include"
[ -f "$work/help/Includes/screenfx.htm" ] || fail "no include page written"
cli lookup fadein | grep -q 'Includes' || fail "kelpra-cli lookup fadein after add-include"
for backup in index.bak main.bak menu.bak keywords.bak; do
    [ -s "$XDG_DATA_HOME/kelpra/$backup" ] || fail "backup $backup not in the per-user folder"
done
echo "kelpra-cli: lookup, add-include and lookup of the new function on a copy of the examples"

# The window on the offscreen platform: the first run with no settings
# shows the example help folder, copied into the per-user folder.
rm -rf "$XDG_DATA_HOME" "$XDG_CONFIG_HOME"
QT_QPA_PLATFORM=offscreen KELPRA_EXIT_AFTER_FIRST_PAGE=1 timeout 120 kelpra || fail "kelpra did not show its first page"
[ -f "$XDG_DATA_HOME/kelpra/examples/help/menu.htm" ] || fail "first run did not copy the example help folder"
cmp -s "$XDG_DATA_HOME/kelpra/index.bak" /usr/share/kelpra/examples/help/index.htm || fail "first run backups"
[ ! -e "$XDG_CONFIG_HOME/kelpra/Kelpra.ini" ] || fail "start-up wrote a settings file"
echo "kelpra: first page shown on the offscreen platform, settings and backups in $work"

for leftover in /usr/bin/Kelpra.ini /usr/bin/index.bak /usr/share/kelpra/index.bak; do
    [ ! -e "$leftover" ] || fail "$leftover written into the package's folders"
done

echo "== removing"
files="$(dpkg -L kelpra)"
$sudo apt-get remove --purge -y -qq kelpra >/dev/null
installed=0
! dpkg -s kelpra >/dev/null 2>&1 || fail "kelpra still installed"
left=0
while IFS= read -r path; do
    if [ -f "$path" ] || [ -L "$path" ]; then
        echo "left behind: $path"
        left=1
    fi
done <<<"$files"
[ -e /usr/share/kelpra ] && { echo "left behind: /usr/share/kelpra"; left=1; }
[ "$left" -eq 0 ] || fail "files of the package remain"
echo "package removed; none of its files remain"
