#!/bin/sh
# The Debian packages as Debian builds them: tools/build-package.sh makes the source
# package and builds fenwater and fenwater-tools from it, without the tests of the build
# (nocheck: they ran here already). Checked: their fields; the files of fenwater, which
# are those of installed.txt in Debian's layout of games (the program in games/, its data
# in share/games/fenwater); those of fenwater-tools; the programs stripped and hardened; a
# desktop entry that starts the game in its data folder; the AppStream metadata; and
# lintian --pedantic --info with no error and no warning. Its infos are printed: the two
# text files in the data folder are the program's own (F2, F3), where it opens them.
# Then, as root and with FENWATER_INSTALL_PACKAGE=1 (make test-package): apt-get installs
# both packages, autopkgtest runs debian/tests against them, apt-get purge leaves nothing
# of them on disk, and a second build of the same source, in another folder, later and
# under another umask, gives the same bytes in every .deb (diffoscope shows why not).
# Otherwise that part is skipped.
#   package_test.sh SOURCE_DIR OUTDIR VERSION
set -eu
here=$(cd "$(dirname "$0")" && pwd)
src=$1
out=$2
version=$3
rm -rf "$out"
mkdir -p "$out"
fail() {
    echo "FAIL: $1"
    exit 1
}

arch=$(dpkg --print-architecture)
(umask 0022 && DEB_BUILD_OPTIONS=nocheck "$src/tools/build-package.sh" "$src" "$out/first" >/dev/null) ||
    fail "building the package failed"
debs=$out/first
deb=$debs/fenwater_${version}_$arch.deb
tools=$debs/fenwater-tools_${version}_$arch.deb
for f in "$deb" "$tools"; do
    [ -f "$f" ] || fail "no $(basename "$f"); made: $(ls "$debs")"
done

field() { dpkg-deb -f "$1" "$2"; }
for d in "$deb" "$tools"; do
    name=$(basename "$d" | cut -d_ -f1)
    for pair in "Package=$name" "Version=$version" Section=games Priority=optional Source=fenwater; do
        key=${pair%%=*}
        value=$(field "$d" "$key")
        # dpkg leaves out a Source field that would equal Package.
        [ "$key" = Source ] && [ -z "$value" ] && value=$name
        [ "$value" = "${pair#*=}" ] || fail "$name: $key is '$value'"
    done
    field "$d" Maintainer | grep -qE '^[^<]+ <[^@ ]+@[^> ]+>$' || fail "$name: Maintainer is '$(field "$d" Maintainer)'"
    field "$d" Homepage | grep -q '^https://' || fail "$name: no Homepage"
    [ "$(field "$d" Description | wc -l)" -gt 3 ] || fail "$name: no long description"
done
# What the game links against, and what it loads at run time.
depends=$(field "$deb" Depends)
for p in libqt6widgets6 libqt6gui6 libqt6svg6 libsdl2-2.0-0 libsdl2-mixer-2.0-0 libjpeg62-turbo \
         fonts-liberation fonts-dejavu-core xdg-utils qt6-wayland; do
    echo "$depends" | grep -qE "(^|, )$p( |,|$)" || fail "Depends lacks $p: $depends"
done

files() { dpkg-deb -c "$1" | awk '$1 ~ /^-/ { sub("^\\./usr/", "", $6); print $6 }' | LC_ALL=C sort; }
files "$deb" >"$out/files.txt"
sed -e 's|^bin/|games/|' -e 's|^share/fenwater/|share/games/fenwater/|' "$here/installed.txt" |
    LC_ALL=C sort >"$out/expected.txt"
diff -u "$out/expected.txt" "$out/files.txt" ||
    fail "the package's files differ from installed.txt in the games layout (- missing, + not expected)"
files "$tools" >"$out/tools-files.txt"
printf '%s\n' games/fenwater-replay share/doc/fenwater-tools/changelog.gz \
    share/doc/fenwater-tools/copyright share/man/man6/fenwater-replay.6.gz >"$out/tools-expected.txt"
diff -u "$out/tools-expected.txt" "$out/tools-files.txt" ||
    fail "fenwater-tools' files differ (- missing, + not expected)"

dpkg-deb -x "$deb" "$out/root"
dpkg-deb -x "$tools" "$out/root"
for p in fenwater fenwater-replay; do
    ! readelf -S -W "$out/root/usr/games/$p" | grep -qE '\.(symtab|debug_[a-z]+)\b' ||
        fail "the packaged $p is not stripped"
done
entry=$out/root/usr/share/applications/fenwater.desktop
grep -qx "Exec=/usr/games/fenwater %f" "$entry" || fail "the desktop entry does not start /usr/games/fenwater"
grep -qx "Path=/usr/share/games/fenwater" "$entry" || fail "the desktop entry does not start in the data folder"
appstreamcli validate-tree --no-net "$out/root" >"$out/appstream.txt" 2>&1 &&
    ! grep -qE '^ *[EW]:' "$out/appstream.txt" ||
    { cat "$out/appstream.txt"; fail "appstreamcli validate-tree gives errors or warnings"; }

changes=$debs/fenwater_${version}_$arch.changes
lintian --pedantic -I --fail-on error,warning "$changes" >"$out/lintian.txt" 2>&1 ||
    { cat "$out/lintian.txt"; fail "lintian reports errors or warnings"; }
! grep -q ' hardening-' "$out/lintian.txt" ||
    { grep ' hardening-' "$out/lintian.txt"; fail "the programs are built without Debian's hardening"; }
count() { grep -c "^$1:" "$out/lintian.txt" || true; }
echo "packages $(cd "$debs" && ls ./*.deb | sed 's|^\./||' | tr '\n' ' ')"
echo "fenwater: $(wc -l <"$out/files.txt") files; lintian: $(count E) errors, $(count W) warnings," \
    "$(count I) infos, $(count P) pedantic"
grep '^[EWIP]:' "$out/lintian.txt" | sed 's/^/  lintian /' || true

if [ "$(id -u)" -ne 0 ] || [ "${FENWATER_INSTALL_PACKAGE:-}" != 1 ]; then
    echo "installing the packages skipped: that needs root and FENWATER_INSTALL_PACKAGE=1"
    exit 0
fi
for p in fenwater fenwater-tools; do
    if dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null | grep -q '^installed$'; then
        echo "$p is installed on this machine already: installing the packages skipped"
        exit 0
    fi
done

export DEBIAN_FRONTEND=noninteractive
installed=""
cleanup() {
    [ -z "$installed" ] || apt-get purge -y -q fenwater fenwater-tools >>"$out/apt.log" 2>&1 || true
}
trap cleanup EXIT
apt-get install -y -q "$deb" "$tools" >"$out/apt.log" 2>&1 ||
    { apt-get update -qq && apt-get install -y -q "$deb" "$tools" >>"$out/apt.log" 2>&1; } ||
    { cat "$out/apt.log"; fail "apt-get install of the packages failed"; }
installed=1
dpkg -L fenwater fenwater-tools >"$out/paths.txt"
[ -x /usr/games/fenwater ] && [ -x /usr/games/fenwater-replay ] ||
    fail "no /usr/games/fenwater or /usr/games/fenwater-replay after the install"

# debian/tests against the installed packages, from the source package built above.
autopkgtest "$changes" -o "$out/autopkgtest" -- null >"$out/autopkgtest.log" 2>&1 ||
    { tail -n 40 "$out/autopkgtest.log"; fail "autopkgtest failed (log: $out/autopkgtest.log)"; }
sed -n '/^launcher \|^replay /p' "$out/autopkgtest/summary" | sed 's/^/  autopkgtest /'

apt-get purge -y -q fenwater fenwater-tools >>"$out/apt.log" 2>&1 ||
    { cat "$out/apt.log"; fail "apt-get purge failed"; }
installed=""
# Left on disk may be only folders that other packages own or that hold others' files.
while read -r path; do
    [ -e "$path" ] || continue
    [ -d "$path" ] || fail "$path is left after the purge"
    dpkg -S "$path" >/dev/null 2>&1 || [ -n "$(ls -A "$path")" ] ||
        fail "the empty folder $path is left after the purge"
done <"$out/paths.txt"
for p in fenwater fenwater-tools; do
    ! dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null | grep -qv '^not-installed$' ||
        fail "dpkg still knows $p after the purge"
done
echo "apt-get install, autopkgtest, apt-get purge: nothing of the packages is left"

# The same source built again elsewhere: a longer path, another umask and time zone, and
# a later time (SOURCE_DATE_EPOCH comes from debian/changelog in both).
again=$out/second/build/in/another/folder
(umask 0002 && TZ=Pacific/Kiritimati DEB_BUILD_OPTIONS=nocheck \
    "$src/tools/build-package.sh" "$src" "$again" >/dev/null) || fail "the second build failed"
differ=""
for d in "$debs"/*.deb; do
    cmp -s "$d" "$again/$(basename "$d")" || differ="$differ $(basename "$d")"
done
if [ -n "$differ" ]; then
    for d in $differ; do
        if command -v diffoscope >/dev/null 2>&1; then
            diffoscope --text "$out/$d.diffoscope.txt" "$debs/$d" "$again/$d" >/dev/null 2>&1 || true
            head -n 60 "$out/$d.diffoscope.txt"
        fi
    done
    fail "two builds of the same source differ:$differ"
fi
echo "built twice, in two folders under two umasks: $(ls "$debs"/*.deb | wc -l) .deb files the same"
