#!/bin/sh
# Renders the icon of the desktop entry at the sizes a desktop looks for, from the one
# drawing of it (assets/icons/fenwater.svg), as OUTDIR/fenwater-SIZE.png.
# Run it whenever the drawing changes; the install test checks the result.
#   render_icons.sh [OUTDIR]   (default: desktop/icons)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/desktop/icons}
mkdir -p "$out"
for size in 16 32 48 64 128 256; do
    rsvg-convert --format=png -w "$size" -h "$size" -o "$out/fenwater-$size.png" \
        "$root/assets/icons/fenwater.svg"
done
