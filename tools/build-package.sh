#!/bin/sh
# Builds the Debian packages from the source package, as Debian builds them. A copy of the
# project's files (those git tracks, as they are now, and new ones it does not ignore: no
# build folder) is made into the source package fenwater_<version>.dsc, which is unpacked
# again into a folder of its own and built there with dpkg-buildpackage. OUTDIR then
# holds the source package, the .deb files, the .buildinfo, the .changes and build.log;
# the build folders are removed once the build succeeds. DEB_BUILD_OPTIONS is passed on
# (nocheck: no tests in the build); JOBS sets the parallel jobs (default: every core).
#   build-package.sh SOURCE_DIR OUTDIR
set -eu
src=$(cd "$1" && pwd)
mkdir -p "$2"
out=$(cd "$2" && pwd)
version=$(dpkg-parsechangelog -l "$src/debian/changelog" -S Version)
tree=fenwater-$version
rm -rf "$out/copy" "$out/$tree"
rm -f "$out"/fenwater*_"$version"*
mkdir -p "$out/copy/$tree"

if git -C "$src" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git -C "$src" ls-files -z --cached --others --exclude-standard |
        (cd "$src" && xargs -0 sh -c 'for f; do [ ! -f "$f" ] || printf "%s\0" "$f"; done' sh) |
        (cd "$src" && tar --null -T - -cf -) | tar -xf - -C "$out/copy/$tree"
else
    (cd "$src" && tar --exclude=./build --exclude='./build-*' --exclude=./.git -cf - .) |
        tar -xf - -C "$out/copy/$tree"
fi

log=$out/build.log
{
    (cd "$out/copy" && dpkg-source -b "$tree") &&
        mv "$out/copy/fenwater_$version.dsc" "$out/copy/fenwater_$version.tar.xz" "$out/" &&
        (cd "$out" && dpkg-source -x "fenwater_$version.dsc" "$tree") &&
        (cd "$out/$tree" && dpkg-buildpackage -us -uc --jobs-try="${JOBS:-auto}")
} >"$log" 2>&1 || {
    tail -n 60 "$log"
    echo "building the package failed: the whole log is $log" >&2
    exit 1
}
rm -rf "$out/copy" "$out/$tree"
ls "$out"/*.deb
