#!/bin/sh
# The real program on a 3000 x 1800 X screen: Ctrl and + make the game window 2 and 3
# times as large, keeping its centre, and at each step (and at 1x) the window equals
# fenwater-replay's render of the power-on pattern at that scale; F11 fills the screen
# with the handheld at 4x centred on a dark surround, F11 again brings back the window
# at 3x where it was, Alt and Enter do the same, and Esc ends the program in full
# screen. The step is stored; a restart comes up at 3x, Ctrl and 0 bring back 1x, and a
# stored value that is no whole number from 1 up means 1x. At desktop scale 2, step 2
# shows the render at scale 4.
#   window_steps.sh FENWATER FENWATER_REPLAY OUTDIR
set -eu
replay=$(readlink -f "$2")
XS_SCREEN=3000x1800x24
. "$(dirname "$0")/../xsession.sh"
begin "$1" "$3"
title="Fenwater (Ostrel) Simulator"
store="$OUT/config/Morvane/Fenwater/settings.reg"
for s in 1 2 3 4; do
    printf '0 png %s %s\n' "$OUT/render-$s.png" "$s" | "$replay" - || fail "no render at scale $s"
done

# Starts a run with the given settings text after the sound mode; leaves the game
# window in form.
#   run_with NAME EXTRA
run_with() {
    settings_home "$OUT/config" 2
    [ -n "$2" ] && printf '%s\r\n' "$2" >>"$store"
    run_folder "$prog" "$OUT/$1/run"
    start_and_play "$prog" "$OUT/$1/run" "$1"
    form=$(waitfor "$title") || fail "$1: Play did not bring up the game window"
}

# The game window at step S must be 652 x 443 times S, centred at cx,cy (when given),
# and equal the render at that scale.
#   expect_step NAME S [CX CY]
expect_step() {
    form=$(waitsized "$title" 10 $((652 * $2)) $((443 * $2))) ||
        fail "$1: the game window is $(window_size "$(visible "$title")"), not step $2"
    set -- "$1" "$2" "${3:-}" "${4:-}" $(position "$form")
    x=$5
    y=$6
    if [ -n "$3" ]; then
        cx=$((x + 326 * $2))
        cy=$((y + 221 * $2))
        [ $((cx - $3)) -ge -1 ] && [ $((cx - $3)) -le 1 ] && [ $((cy - $4)) -ge -1 ] &&
            [ $((cy - $4)) -le 1 ] || fail "$1: the centre moved from $3,$4 to $cx,$cy"
    fi
    matches "$((652 * $2))x$((443 * $2))+$x+$y" "$OUT/render-$2.png" "$1" ||
        fail "$1: the window at step $2 differs from the render ($differ pixels)"
    echo "$1: step $2 at $x,$y equals the render"
}

stored_step() {
    sed -n 's/^"WindowScale"="\(.*\)"\r*$/\1/p' "$store"
}

run_with first ""
expect_step first 1
centre_x=$((x + 326))
centre_y=$((y + 221))
[ -z "$(stored_step)" ] || fail "the step was stored before the player changed it"
xdotool windowactivate --sync "$form" key ctrl+plus
expect_step ctrl-plus 2 $centre_x $centre_y
xdotool windowactivate --sync "$form" key ctrl+equal
expect_step ctrl-equal 3 $centre_x $centre_y
[ "$(settled "the stored step" 5 stored_step)" = 3 ] || fail "the step stored is '$(stored_step)', not 3"
at3="$x $y"

# Full screen: the handheld at 4x in the middle, dark all around.
xdotool windowactivate --sync "$form" key F11
set -- $(settled "the full screen window" 10 placed "$title")
[ "$4 $5" = "3000 1800" ] || fail "F11: the window is $4 x $5 at $2,$3, not the whole screen"
form=$1
matches "2608x1772+196+14" "$OUT/render-4.png" fullscreen ||
    fail "full screen: the handheld differs from the render at scale 4 ($differ pixels)"
for corner in 0,0 2999,1799 195,900 2804,900 1500,13 1500,1786; do
    c=$(/usr/bin/convert "$OUT/screen-fullscreen.png" -format "%[fx:round(255*max(p{$corner}.r,max(p{$corner}.g,p{$corner}.b)))]" info:)
    [ "$c" -lt 40 ] || fail "full screen: the surround at $corner is not dark ($c)"
done
echo "full screen: 4x at 196,14 on a dark surround"
xdotool key ctrl+minus
settled "the full screen after Ctrl and -" 10 screen_print "2608x1772+196+14" >/dev/null ||
    fail "the full screen did not settle after Ctrl and -"
matches "2608x1772+196+14" "$OUT/render-4.png" fullscreen-minus ||
    fail "Ctrl and - changed the full screen ($differ pixels)"
xdotool key F11
expect_step back 3
[ "$x $y" = "$at3" ] || fail "out of full screen the window is at $x,$y, not $at3"
xdotool windowactivate --sync "$form" key alt+Return
settled "the full screen window" 10 placed "$title" | grep -q " 3000 1800\$" ||
    fail "Alt and Enter did not fill the screen"
xdotool key alt+Return
expect_step alt-enter-back 3
# Esc still ends the program, in full screen too; full screen is not a step to keep.
xdotool windowactivate --sync "$form" key F11
settled "the full screen window" 10 placed "$title" | grep -q " 3000 1800\$" ||
    fail "F11 did not fill the screen again"
xdotool key Escape
wait_exit "$GAME" 5 && [ "$STATUS" = 0 ] || fail "Esc did not end the program in full screen"
[ "$(stored_step)" = 3 ] || fail "full screen stored the step '$(stored_step)'"

# A restart comes up at the stored step; Ctrl and 0 go back to 1x, stored too.
run_with restart "\"WindowScale\"=\"3\""
expect_step restart 3
xdotool windowactivate --sync "$form" key ctrl+0
expect_step ctrl-0 1
[ "$(settled "the stored step" 5 stored_step)" = 1 ] || fail "Ctrl and 0 stored '$(stored_step)'"
escape_ends ctrl-0

for odd in 0 -2 x 2.5; do
    run_with "odd$odd" "\"WindowScale\"=\"$odd\""
    form=$(waitsized "$title" 10 652 443) || fail "a stored step of '$odd' is not 1x"
    [ "$(stored_step)" = "$odd" ] || fail "the odd step '$odd' was replaced by '$(stored_step)'"
    escape_ends "odd$odd"
done
echo "stored steps 0, -2, x and 2.5 all give 1x and stay as they are"

# On a desktop at scale 2 the step multiplies it: step 2 is 4 device pixels a pixel.
export QT_SCALE_FACTOR=2
settings_home "$OUT/config" 2
printf '"WindowScale"="2"\r\n' >>"$store"
start_program "$prog" "$OUT/first/run" "$OUT/dpr2.log"
launcher=$(waitfor "About Fenwater...") || fail "dpr2: the launcher did not appear"
set -- $(position "$launcher")
xdotool mousemove $(($1 + 134 * 2)) $(($2 + 316 * 2)) click 1
expect_step dpr2 4
escape_ends dpr2
