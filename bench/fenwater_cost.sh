#!/bin/sh
# How long the real program takes from its start to the launcher on the screen, under
# Xvfb with a window manager: fenwater_xprobe starts it and waits for the MapNotify of
# the window titled "About Fenwater..." (no polling), then ends it. Target: median
# <= 300 ms.
#   fenwater_cost.sh FENWATER XPROBE [STARTS]     (default 15)
set -eu
prog=$(readlink -f "$1")
xprobe=$(readlink -f "$2")
starts=${3:-15}
here=$(dirname "$(readlink -f "$0")")
OUT=$(mktemp -d /tmp/fenwater-cost.XXXXXX)
. "$here/../tests/xsession.sh"
xsession_start
settings_home "$OUT/config" 2

: >"$OUT/starts"
for i in $(seq 1 "$starts"); do
    (cd "$(dirname "$prog")" && "$xprobe" map "About Fenwater..." 10 "$prog") >"$OUT/map" 2>"$OUT/map.err" ||
        { echo "start $i: no launcher"; cat "$OUT/map.err"; exit 1; }
    sed -n 's/^mapped //p' "$OUT/map" >>"$OUT/starts"
    sleep 0.3
done
echo "start to launcher mapped (ms, each start): $(awk '{ printf "%s%.0f", sep, $1; sep = " " }' "$OUT/starts")"
sort -n "$OUT/starts" | awk '{ v[NR] = $1 } END {
    m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
    printf "start to launcher mapped: min %.1f, median %.1f, max %.1f ms over %d starts (target median <= 300 ms: %s)\n",
        v[1], m, v[NR], NR, m <= 300 ? "PASS" : "MISS" }'
xsession_stop
rm -rf "$OUT"
