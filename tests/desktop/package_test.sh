#!/bin/sh
# The Debian package, as a player gets it: its name and fields, exactly the files of
# installed.txt under /usr (the program stripped and hardened), lintian with no errors or
# warnings.
# Then, as root and with FENWATER_INSTALL_PACKAGE=1 (make test-package): apt-get installs
# it with what it depends on, /usr/bin/fenwater started from / shows the launcher and,
# after Play with a sound output, the game window, and apt-get purge leaves nothing of it
# on disk. Otherwise the install part is skipped.
#   package_test.sh SOURCE_DIR BUILD_DIR OUTDIR VERSION
set -eu
here=$(cd "$(dirname "$0")" && pwd)
src=$1
build=$2
out=$3
version=$4
rm -rf "$out"
mkdir -p "$out"
fail() {
    echo "FAIL: $1"
    exit 1
}

cpack --config "$build/CPackConfig.cmake" -B "$out/deb" >"$out/cpack.log" 2>&1 ||
    { cat "$out/cpack.log"; fail "cpack failed"; }
deb=$out/deb/fenwater_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || fail "no $(basename "$deb"); made: $(ls "$out/deb")"

field() { dpkg-deb -f "$deb" "$1"; }
for pair in Package=fenwater "Version=$version" Section=games Priority=optional; do
    [ "$(field "${pair%%=*}")" = "${pair#*=}" ] || fail "${pair%%=*} is '$(field "${pair%%=*}")'"
done
field Maintainer | grep -qE '^[^<]+ <[^@ ]+@[^> ]+>$' || fail "Maintainer is '$(field Maintainer)'"
field Homepage | grep -q '^https://' || fail "no Homepage"
[ "$(field Description | wc -l)" -gt 3 ] || fail "no long description"
# What the program links against, and what it loads at run time.
depends=$(field Depends)
for p in libqt6widgets6 libqt6gui6 libqt6svg6 libsdl2-2.0-0 libsdl2-mixer-2.0-0 libjpeg62-turbo \
         fonts-liberation fonts-dejavu-core xdg-utils qt6-wayland; do
    echo "$depends" | grep -qE "(^|, )$p( |,|$)" || fail "Depends lacks $p: $depends"
done

dpkg-deb -c "$deb" | awk '$1 ~ /^-/ { sub("^\\./usr/", "", $6); print $6 }' | LC_ALL=C sort >"$out/files.txt"
(cat "$here/installed.txt"; echo share/lintian/overrides/fenwater) | LC_ALL=C sort >"$out/expected.txt"
diff -u "$out/expected.txt" "$out/files.txt" ||
    fail "the package's files differ from installed.txt (- missing, + not expected)"
dpkg-deb -x "$deb" "$out/root"
! readelf -S -W "$out/root/usr/bin/fenwater" | grep -qE '\.(symtab|debug_[a-z]+)\b' ||
    fail "the packaged program is not stripped"
appstreamcli validate-tree --no-net "$out/root" >"$out/appstream.txt" 2>&1 &&
    ! grep -qE '^ *[EW]:' "$out/appstream.txt" ||
    { cat "$out/appstream.txt"; fail "appstreamcli validate-tree gives errors or warnings"; }

lintian -I --fail-on error,warning "$deb" >"$out/lintian.txt" 2>&1 ||
    { cat "$out/lintian.txt"; fail "lintian reports errors or warnings"; }
! grep -q ' hardening-' "$out/lintian.txt" ||
    { grep ' hardening-' "$out/lintian.txt"; fail "the program is built without Debian's hardening"; }
count() { grep -c "^$1:" "$out/lintian.txt" || true; }
echo "package $(basename "$deb"): $(wc -l <"$out/files.txt") files;" \
    "lintian: $(count E) errors, $(count W) warnings, $(count I) infos"
grep '^[EWI]:' "$out/lintian.txt" | sed 's/^/  lintian /' || true

if [ "$(id -u)" -ne 0 ] || [ "${FENWATER_INSTALL_PACKAGE:-}" != 1 ]; then
    echo "installing the package skipped: that needs root and FENWATER_INSTALL_PACKAGE=1"
    exit 0
fi
if dpkg-query -W -f='${db:Status-Status}' fenwater 2>/dev/null | grep -q '^installed$'; then
    echo "fenwater is installed on this machine already: installing the package skipped"
    exit 0
fi

export DEBIAN_FRONTEND=noninteractive
installed=""
cleanup() {
    [ -z "$installed" ] || apt-get purge -y -q fenwater >>"$out/apt.log" 2>&1 || true
}
trap cleanup EXIT
apt-get install -y -q "$deb" >"$out/apt.log" 2>&1 ||
    { apt-get update -qq && apt-get install -y -q "$deb" >>"$out/apt.log" 2>&1; } ||
    { cat "$out/apt.log"; fail "apt-get install of the package failed"; }
installed=1
dpkg -L fenwater >"$out/paths.txt"
[ -x /usr/bin/fenwater ] || fail "no /usr/bin/fenwater after the install"

# The installed program, started from / with a sound output chosen, finds its data.
(
    OUT=$out/x
    . "$here/../xsession.sh"
    xsession_start
    settings_home "$out/config" 0
    export SDL_AUDIODRIVER=dummy
    LOG=$out/fenwater.log
    start_program /usr/bin/fenwater / "$LOG"
    launcher=$(waitfor "About Fenwater..." 15) || fail "the launcher did not appear"
    press_play "$launcher"
    game=$(waitfor "Fenwater (Ostrel) Simulator" 10) ||
        fail "no game window after Play (an error box means it did not find /usr/share/fenwater)"
    game_plays "$game" || fail "the game window does not react to the keyboard"
    echo "/usr/bin/fenwater started from /: launcher, Play with a sound output, game window"
)

apt-get purge -y -q fenwater >>"$out/apt.log" 2>&1 || { cat "$out/apt.log"; fail "apt-get purge failed"; }
installed=""
# Left on disk may be only folders that other packages own or that hold others' files.
while read -r path; do
    [ -e "$path" ] || continue
    [ -d "$path" ] || fail "$path is left after the purge"
    dpkg -S "$path" >/dev/null 2>&1 || [ -n "$(ls -A "$path")" ] ||
        fail "the empty folder $path is left after the purge"
done <"$out/paths.txt"
! dpkg-query -W -f='${db:Status-Status}' fenwater 2>/dev/null | grep -qv '^not-installed$' ||
    fail "dpkg still knows fenwater after the purge"
echo "apt-get install, start from /, apt-get purge: nothing of the package is left"
