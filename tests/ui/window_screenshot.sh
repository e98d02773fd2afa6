#!/bin/sh
# The real program in its own X server: the game window on screen must equal the
# headless render of the same state, pixel for pixel.
#   window_screenshot.sh FENWATER UI_RENDER_STATE OUTDIR
set -eu
prog=$1
render=$2
out=$3
rm -rf "$out"
mkdir -p "$out/config" "$out/run"
# Without built-in pictures there is nothing to compare (and the program refuses to start).
"$render" "$out/render.png" || { echo "no built-in pictures: skipped"; exit 77; }

display=""
for n in $(seq 41 99); do
    if [ ! -e /tmp/.X$n-lock ] && [ ! -e /tmp/.X11-unix/X$n ]; then display=$n; break; fi
done
[ -n "$display" ] || { echo "no free display number"; exit 1; }

Xvfb :$display -noreset -nolisten tcp -screen 0 1024x768x24 >"$out/xvfb.log" 2>&1 &
xvfb=$!
game=""
cleanup() {
    [ -n "$game" ] && kill "$game" 2>/dev/null || true
    kill "$xvfb" 2>/dev/null || true
    wait 2>/dev/null || true
}
trap cleanup EXIT INT TERM
export DISPLAY=:$display
for i in $(seq 1 100); do
    xdpyinfo >/dev/null 2>&1 && break
    sleep 0.1
done
xdpyinfo >/dev/null 2>&1 || { echo "Xvfb did not start"; cat "$out/xvfb.log"; exit 1; }

export XDG_CONFIG_HOME="$out/config"
export QT_QPA_PLATFORM=xcb
unset QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS
(cd "$out/run" && exec "$prog") >"$out/fenwater.log" 2>&1 &
game=$!

title="Fenwater (Ostrel) Simulator"
# The game window: the frameless one of 652 x 443 on the screen.
geometry() {
    xwininfo -root -tree 2>/dev/null | awk -v t="\"$title\":" '
        index($0, t) && / 652x443\+/ {
            for (i = 1; i <= NF; i++) if ($i ~ /^652x443\+/) {
                split($i, g, "+"); if (g[2] >= 0 && g[3] >= 0) { print g[2], g[3]; exit }
            }
        }'
}
pos=""
for i in $(seq 1 100); do
    pos=$(geometry)
    [ -n "$pos" ] && break
    sleep 0.1
done
[ -n "$pos" ] || { echo "the game window did not appear on screen"; xwininfo -root -tree; cat "$out/fenwater.log"; exit 1; }
set -- $pos
x=$1
y=$2
echo "game window at $x,$y"

differ=""
for attempt in 1 2 3 4 5; do
    sleep 0.5
    /usr/bin/import -display :$display -window root "$out/screen.png"
    /usr/bin/convert "$out/screen.png" -crop 652x443+$x+$y +repage "$out/window.png"
    differ=$(/usr/bin/compare -metric AE "$out/window.png" "$out/render.png" "$out/diff.png" 2>&1 || true)
    [ "$differ" = "0" ] && break
done
echo "pixels that differ: $differ"
[ "$differ" = "0" ]
