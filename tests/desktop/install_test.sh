#!/bin/sh
# cmake --install --strip into a temporary prefix writes exactly the files of
# installed.txt: the program stripped, a desktop entry that starts it in its data folder,
# valid desktop and AppStream metadata, the icons as the drawing renders them. Then
# make uninstall leaves the prefix as it was, folders that were there before included.
#   install_test.sh SOURCE_DIR BUILD_DIR OUTDIR VERSION
set -eu
src=$1
build=$2
out=$3
version=$4
prefix=$out/prefix
rm -rf "$out"
mkdir -p "$out"
fail() {
    echo "FAIL: $1"
    exit 1
}

# The build folder's record of a real install is kept aside and put back afterwards.
records="install_manifest.txt installed_files.txt installed_folders.txt"
for f in $records; do
    [ ! -f "$build/$f" ] || mv "$build/$f" "$out/$f.saved"
done
restore() {
    for f in $records; do
        rm -f "$build/$f"
        [ ! -f "$out/$f.saved" ] || mv "$out/$f.saved" "$build/$f"
    done
}
trap restore EXIT

# A prefix in use: a folder with another program's file, and an empty folder.
mkdir -p "$prefix/share/applications" "$prefix/bin"
echo "[Desktop Entry]" >"$prefix/share/applications/other.desktop"
(cd "$prefix" && find . | sort) >"$out/before.txt"

cmake --install "$build" --strip --prefix "$prefix" >"$out/install.log" 2>&1 ||
    { cat "$out/install.log"; fail "cmake --install failed"; }

(cd "$prefix" && find . -type f ! -name other.desktop | sed 's|^\./||' | LC_ALL=C sort) >"$out/files.txt"
diff -u "$(dirname "$0")/installed.txt" "$out/files.txt" ||
    fail "the installed files differ from installed.txt (- missing, + not expected)"

[ -x "$prefix/bin/fenwater" ] || fail "the program is not executable"
sections=$(readelf -S -W "$prefix/bin/fenwater" | grep -oE '\.(symtab|debug_[a-z]+|comment)\b' | sort -u | tr '\n' ' ')
[ -z "$sections" ] || fail "the installed program is not stripped: $sections"

entry=$prefix/share/applications/fenwater.desktop
grep -qx "Exec=$prefix/bin/fenwater %f" "$entry" || fail "the desktop entry does not start $prefix/bin/fenwater"
grep -qx "Path=$prefix/share/fenwater" "$entry" || fail "the desktop entry does not start in the data folder"
msg=$(desktop-file-validate "$entry" 2>&1) || true
[ -z "$msg" ] || fail "desktop-file-validate: $msg"

meta=$prefix/share/metainfo/com.morvane.Fenwater.metainfo.xml
appstreamcli validate --no-net "$meta" >"$out/appstream.txt" 2>&1 ||
    { cat "$out/appstream.txt"; fail "appstreamcli validate failed"; }
! grep -E '^[EW]:' "$out/appstream.txt" || fail "appstreamcli gives errors or warnings"
for element in '<developer_name>[^<]' '<project_license>MIT</project_license>' \
               '<content_rating type="oars-1\.1"' \
               "<release version=\"$version\" date=\"[0-9]{4}-[0-9]{2}-[0-9]{2}\"" \
               '<launchable type="desktop-id">fenwater\.desktop</launchable>'; do
    grep -qE "$element" "$meta" || fail "the metadata lacks $element"
done
! grep -qiE 'code page|1252|codepage' "$meta" || fail "the metadata speaks of a Windows code page"

"$src/desktop/render_icons.sh" "$out/icons"
for size in 16 32 48 64 128 256; do
    d=$(compare -metric AE "$out/icons/fenwater-$size.png" \
        "$prefix/share/icons/hicolor/${size}x$size/apps/fenwater.png" null: 2>&1) || true
    [ "$d" = 0 ] || fail "the ${size}px icon is not the drawing's rendering ($d): run desktop/render_icons.sh"
done

make -s -C "$src" uninstall BUILD="$build" >"$out/uninstall.log" 2>&1 ||
    { cat "$out/uninstall.log"; fail "make uninstall failed"; }
(cd "$prefix" && find . | sort) >"$out/after.txt"
diff -u "$out/before.txt" "$out/after.txt" || fail "the prefix is not as before the install"
echo "installed $(wc -l <"$out/files.txt") files, validated, uninstalled; the prefix is as before"
