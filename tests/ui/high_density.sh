#!/bin/sh
# The real program on a 2560 x 1600 X screen whose desktop scale comes from Xft.dpi (or
# from QT_SCALE_FACTOR), rounded to a whole number: 192 and 144 dpi show every window
# twice as large, 120 dpi as it is. At twice the size the game window's screenshot of
# the power-on pattern equals fenwater-replay's render at scale 2, and the segments are
# drawn for that scale, not enlarged. Leaves the screenshots of the launcher, the game
# window and the about window at scale 2 in OUTDIR (launcher-2x.png, game-2x.png,
# about-2x.png).
#   high_density.sh FENWATER FENWATER_REPLAY OUTDIR
set -eu
replay=$(readlink -f "$2")
XS_SCREEN=2560x1600x24
. "$(dirname "$0")/../xsession.sh"
begin "$1" "$3"
LOG="$OUT/fenwater.log"
title="Fenwater (Ostrel) Simulator"

# The power-on pattern at scale 2, and the blank screen of ACL held: where the two
# differ within the LCD window are the lit segments' black pixels.
printf '0 png %s 2\n' "$OUT/render-2x.png" | "$replay" - || fail "no render at scale 2"
printf '0 mouse down Puls_ACL left 5 5\n0 png %s 2\n' "$OUT/blank-2x.png" | "$replay" - ||
    fail "no blank render at scale 2"

# The window as the screen shows it (the root window's pixels at its place), into FILE.
#   screen_of WINDOW FILE
screen_of() {
    set -- "$2" $(position "$1") $(window_size "$1")
    /usr/bin/import -display "$DISPLAY" -window root "$1.screen.png"
    /usr/bin/convert "$1.screen.png" -crop "${4}x${5}+$2+$3" +repage "$1"
}

# One run: Xft.dpi DPI (and QT_SCALE_FACTOR FACTOR when given) must give scale SCALE.
# Leaves the game window's position in x y (device pixels).
#   run_at NAME DPI FACTOR SCALE
run_at() {
    name=$1
    scale=$4
    echo "Xft.dpi: $2" | xrdb -merge
    if [ -n "$3" ]; then export QT_SCALE_FACTOR="$3"; else unset QT_SCALE_FACTOR; fi
    settings_home "$OUT/$name/config" 2
    run_folder "$prog" "$OUT/$name/run"
    start_program "$prog" "$OUT/$name/run" "$LOG"
    launcher=$(waitfor "About Fenwater...") || fail "$name: the launcher did not appear"
    size=$(window_size "$launcher")
    [ "$size" = "$((269 * scale)) $((337 * scale))" ] || fail "$name: the launcher is $size"
    settled "$name: the launcher's picture" 10 window_print "$launcher" >/dev/null ||
        fail "$name: the launcher is not drawn"
    screen_of "$launcher" "$OUT/$name/launcher.png"
    set -- $(position "$launcher")
    xdotool mousemove $(($1 + 134 * scale)) $(($2 + 316 * scale)) click 1
    form=$(waitfor "$title") || fail "$name: Play did not bring up the game window"
    size=$(window_size "$form")
    [ "$size" = "$((652 * scale)) $((443 * scale))" ] || fail "$name: the game window is $size"
    place_of "$form"
    echo "$name: launcher $((269 * scale))x$((337 * scale)), game window ${size% *}x${size#* } at $x,$y"
}

# Ends the run with Esc on the game window: status 0.
end_run() {
    xdotool windowactivate --sync "$form" key Escape
    wait_exit "$GAME" 5 || fail "$1: Esc did not end the program"
    [ "$STATUS" = 0 ] || fail "$1: the program ended with status $STATUS"
}

run_at dpi192 192 "" 2
matches "1304x886+$x+$y" "$OUT/render-2x.png" 2x ||
    fail "the window at scale 2 differs from the render ($differ pixels)"
cp "$OUT/window-2x.png" "$OUT/game-2x.png"
echo "dpi192: the window equals the render at scale 2"
cp "$OUT/dpi192/launcher.png" "$OUT/launcher-2x.png"

# The lit segments in the screenshot, everything else white; some of their 2 x 2
# blocks of device pixels are part black, part white.
lcd=530x358+348+268
/usr/bin/convert "$OUT/render-2x.png" "$OUT/blank-2x.png" -compose difference -composite \
    -crop $lcd +repage -threshold 0 -negate "$OUT/unlit.png"
/usr/bin/convert "$OUT/game-2x.png" -crop $lcd +repage "$OUT/unlit.png" -compose lighten \
    -composite "$OUT/segments.png"
/usr/bin/convert "$OUT/segments.png" -sample 50% -sample 200% "$OUT/blocks.png"
mixed=$(/usr/bin/compare -metric AE "$OUT/segments.png" "$OUT/blocks.png" null: 2>&1 || true)
black=$(/usr/bin/convert "$OUT/segments.png" -fill white +opaque black -format '%[fx:round(w*h*(1-mean))]' info:)
echo "dpi192: $black black segment pixels, $mixed of them or beside them in mixed 2 x 2 blocks"
[ "$black" -gt 10000 ] || fail "hardly any lit segment in the screenshot ($black pixels)"
[ "$(echo "$mixed" | awk '{ print ($1 > 0) }')" = 1 ] ||
    fail "the segments at scale 2 are the plain pictures doubled"

# The about window, twice as large too.
xdotool windowactivate --sync "$form" key F1
about=$(waitfor "About Fenwater") || fail "F1 did not show the about window"
size=$(window_size "$about")
[ "$size" = "550 448" ] || fail "the about window at scale 2 is $size"
settled "the about window's picture" 10 window_print "$about" >/dev/null ||
    fail "the about window is not drawn"
screen_of "$about" "$OUT/about-2x.png"
end_run dpi192

run_at dpi144 144 "" 2
end_run dpi144
run_at dpi120 120 "" 1
end_run dpi120
run_at factor1.5 96 1.5 2
end_run factor1.5
echo "scales: 192 dpi -> 2, 144 dpi -> 2, 120 dpi -> 1, QT_SCALE_FACTOR 1.5 -> 2"
