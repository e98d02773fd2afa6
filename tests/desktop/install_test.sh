#!/bin/sh
# cmake --install puts the program, its data folder, the desktop entry (started in the
# data folder), the AppStream metadata and the icons in place, and no development tool.
#   install_test.sh BUILD_DIR OUTDIR
set -eu
build=$1
out=$2
rm -rf "$out"
cmake --install "$build" --prefix "$out/usr" >"$out.log" 2>&1 || { cat "$out.log"; exit 1; }
fail() { echo "$1"; find "$out" | sort; exit 1; }
for f in bin/fenwater share/fenwater/SOUND/Got.wav share/fenwater/SOUND/Move.wav \
         share/fenwater/SOUND/Start.wav share/fenwater/readme.txt share/fenwater/whatsnew.txt \
         share/applications/fenwater.desktop share/metainfo/com.morvane.Fenwater.metainfo.xml \
         share/icons/hicolor/256x256/apps/fenwater.png share/icons/hicolor/scalable/apps/fenwater.svg; do
    [ -f "$out/usr/$f" ] || fail "not installed: $f"
done
[ -x "$out/usr/bin/fenwater" ] || fail "the program is not executable"
grep -qx "Path=$out/usr/share/fenwater" "$out/usr/share/applications/fenwater.desktop" ||
    fail "the desktop entry does not start the program in its data folder"
grep -qx "Exec=fenwater" "$out/usr/share/applications/fenwater.desktop" || fail "no Exec=fenwater"
[ -z "$(find "$out" -name 'fenwater-replay*' -o -name '*test*' -o -name '*bench*')" ] ||
    fail "a development tool was installed"
echo "installed: $(find "$out" -type f | wc -l) files"
