#!/bin/sh
# The real program in its own X server with a window manager: the launcher comes up
# alone (the game window unmapped), "(no sound)" and Play bring the game window to the
# middle of the screen, where it must equal the headless render of the same state
# pixel for pixel; with the about window open (F1), Esc ends the program with status 0.
#   window_screenshot.sh FENWATER UI_RENDER_STATE OUTDIR
set -eu
prog=$1
render=$2
out=$3
rm -rf "$out"
mkdir -p "$out/config" "$out/run"
# Without built-in pictures there is nothing to compare (and the program refuses to start).
"$render" "$out/render.png" || { echo "no built-in pictures: skipped"; exit 77; }

# Xvfb picks a free display number itself and writes it to fd 3.
Xvfb -displayfd 3 -noreset -nolisten tcp -screen 0 1024x768x24 3>"$out/display" >"$out/xvfb.log" 2>&1 &
xvfb=$!
for i in $(seq 1 100); do
    [ -s "$out/display" ] && break
    sleep 0.1
done
display=$(cat "$out/display")
[ -n "$display" ] || { echo "Xvfb did not start"; cat "$out/xvfb.log"; exit 1; }
wm=""
game=""
cleanup() {
    [ -n "$game" ] && kill "$game" 2>/dev/null || true
    [ -n "$wm" ] && kill "$wm" 2>/dev/null || true
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
if command -v openbox >/dev/null 2>&1; then
    openbox --sm-disable >"$out/openbox.log" 2>&1 &
    wm=$!
    sleep 0.5
fi

export XDG_CONFIG_HOME="$out/config"
export QT_QPA_PLATFORM=xcb
unset QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS
(cd "$out/run" && exec "$prog") >"$out/fenwater.log" 2>&1 &
game=$!

fail() {
    echo "$1"
    xwininfo -root -tree >"$out/windows.txt" 2>&1 || true
    cat "$out/fenwater.log"
    exit 1
}
# The id of the mapped window with exactly this title, or nothing.
visible() {
    xdotool search --onlyvisible --name "^$(echo "$1" | sed 's/[().]/\\&/g')\$" 2>/dev/null | head -n 1
}
# The absolute position of a window's client area: "x y".
position() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF } END { print x, y }'
}
waitfor() {
    for i in $(seq 1 100); do
        w=$(visible "$1")
        [ -n "$w" ] && { echo "$w"; return 0; }
        sleep 0.1
    done
    return 1
}

title="Fenwater (Ostrel) Simulator"
launcher=$(waitfor "About Fenwater...") || fail "the launcher did not appear"
sleep 0.3
[ -z "$(visible "$title")" ] || fail "the game window is visible before Play"
/usr/bin/import -display :$display -window root "$out/launcher.png"

set -- $(position "$launcher")
lx=$1
ly=$2
# "(no sound)": open the list, close it again, then the last item from the keyboard.
xdotool mousemove $((lx + 187)) $((ly + 276)) click 1
sleep 0.3
xdotool key Escape
sleep 0.2
xdotool key End
sleep 0.2
xdotool mousemove $((lx + 134)) $((ly + 316)) click 1

form=$(waitfor "$title") || fail "Play did not bring up the game window"
set -- $(position "$form")
x=$1
y=$2
echo "launcher at $lx,$ly; game window at $x,$y"
[ -z "$(visible "About Fenwater...")" ] || fail "the launcher is still visible after Play"

differ=""
for attempt in 1 2 3 4 5; do
    sleep 0.5
    /usr/bin/import -display :$display -window root "$out/screen.png"
    /usr/bin/convert "$out/screen.png" -crop 652x443+$x+$y +repage "$out/window.png"
    differ=$(/usr/bin/compare -metric AE "$out/window.png" "$out/render.png" "$out/diff.png" 2>&1 || true)
    [ "$differ" = "0" ] && break
done
echo "pixels that differ: $differ"
[ "$differ" = "0" ] || fail "the window differs from the render"

# Holding TIME repaints part of the window: PM 12:00 and the pressed button.
"$render" "$out/render-timeheld.png" timeheld
xdotool mousemove $((x + 500)) $((y + 80)) mousedown 1
differ=""
for attempt in 1 2 3 4 5; do
    sleep 0.3
    /usr/bin/import -display :$display -window root "$out/screen-timeheld.png"
    /usr/bin/convert "$out/screen-timeheld.png" -crop 652x443+$x+$y +repage "$out/window-timeheld.png"
    differ=$(/usr/bin/compare -metric AE "$out/window-timeheld.png" "$out/render-timeheld.png" "$out/diff-timeheld.png" 2>&1 || true)
    [ "$differ" = "0" ] && break
done
xdotool mouseup 1
echo "pixels that differ with TIME held: $differ"
[ "$differ" = "0" ] || fail "the window with TIME held differs from the render"

# Dragging the case moves the window by the pointer's movement.
xdotool mousemove $((x + 20)) $((y + 20)) mousedown 1
for step in 1 2 3 4 5; do
    xdotool mousemove $((x + 20 + 10 * step)) $((y + 20 + 6 * step))
    sleep 0.05
done
xdotool mouseup 1
sleep 0.5
set -- $(position "$form")
[ "$1,$2" = "$((x + 50)),$((y + 30))" ] || fail "a drag by 50,30 moved the window from $x,$y to $1,$2"
echo "dragged to $1,$2"

# F1 opens the about window; Esc on the game window then still ends the program at
# once, with status 0.
xdotool windowactivate --sync "$form" key F1
waitfor "About Fenwater" >/dev/null || fail "F1 did not show the about window"
/usr/bin/import -display :$display -window root "$out/about.png"
xdotool windowactivate --sync "$form" key Escape
status=""
for i in $(seq 1 50); do
    if ! kill -0 "$game" 2>/dev/null; then
        wait "$game" && status=0 || status=$?
        break
    fi
    sleep 0.1
done
game=""
[ "$status" = "0" ] || fail "Esc did not end the program with status 0 (status '$status')"
echo "Esc ended the program with status 0"
