#!/usr/bin/env bash
# Builds the browser version with Debian's emscripten: BUILD/web-build holds the
# compiler's work, BUILD/web the page to serve (BUILD is the first argument, build by
# default). The compiler's cache lives in the build folder, over the packaged system
# libraries, so that nothing outside it is written; its optimizer runs under node and
# needs Debian's node modules, which a node not from Debian finds only through NODE_PATH.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
build=$(realpath -m "${1:-$root/build}")
jobs=${JOBS:-2}
system_cache=/usr/share/emscripten/cache
cache=$build/web-build/emcache
mkdir -p "$cache"
[ -e "$cache/sysroot" ] || ln -s "$system_cache/sysroot" "$cache/sysroot"
cp -u "$system_cache/sysroot_install.stamp" "$cache/"
export EM_CACHE=$cache
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
if [ ! -f "$build/web-build/build.ninja" ]; then
    emcmake cmake -S "$root/web" -B "$build/web-build" -G Ninja -DFENWATER_WEB_OUT="$build/web"
fi
cmake --build "$build/web-build" -j "$jobs"
