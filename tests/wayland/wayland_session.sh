#!/bin/sh
# The real program as a native Wayland client under headless sway (see sway.sh). Checks,
# with the window geometry sway reports, each read once it has settled:
#   the launcher appears; "(no sound)" and Play show the game window (and only it);
#   a drag by the case moves the window by the pointer's movement; a right-click opens
#   the menu as a popup over the window, with no new window in the tree; the right
#   arrow starts game B; Esc ends the program with status 0.
# Then, on an output of scale 2, the game window keeps its size in sway's layout and its
# screenshot equals fenwater-replay's render at scale 2; on a larger output of scale 1,
# Ctrl and + make the window 2x, which equals the same render.
#   wayland_session.sh FENWATER POINTER FENWATER_REPLAY OUTDIR
set -eu
FENWATER=$1
POINTER_PROG=$2
replay=$(readlink -f "$3")
OUT=$(readlink -f "$4")
rm -rf "$OUT"
. "$(dirname "$0")/sway.sh"

start_sway 1
start_program
title="Fenwater (Ostrel) Simulator"

w=$(launcher_at) || fail "the launcher did not appear"
set -- $w
[ "$3 $4" = "269 337" ] || fail "the launcher is $3 x $4"
echo "launcher at $1,$2"
play_without_sound "$1" "$2"
w=$(waitwindows "$title") || fail "\"(no sound)\" and Play did not show the game window alone"
set -- $w
[ "$3 $4" = "652 443" ] || fail "the game window is $3 x $4"
x=$1
y=$2
echo "game window at $x,$y"
box="652x443+$x+$y"

# A drag by the case: the first movement hands the move to sway, which then moves the
# window with the pointer.
settled_shot before-drag "$box" "the game window's picture"
pointer at $((x + 20)) $((y + 20)) down left by 2 1 wait 300 \
    by 10 6 by 10 6 by 10 6 by 10 6 by 10 6 wait 100 up left
w=$(waitwindows "$title") || fail "the game window went away"
set -- $w
echo "dragged by 50,30 after the first movement: the window went from $x,$y to $1,$2"
[ "$1,$2" = "$((x + 50)),$((y + 30))" ] || fail "the window did not follow the pointer"
x=$1
y=$2
box="652x443+$x+$y"

# A right-click: the menu shows over the window below and right of the pointer, and
# the tree holds no other window. Twice: once Esc closed the first menu, Qt no longer
# takes the window for active (sway hands the keyboard back without a word), and the
# menu must still open over it.
pointer at $((x + 300)) $((y + 200))
settled_shot before-menu "$box" "the game window after the drag"
for round in 1 2; do
    pointer at $((x + 300)) $((y + 200)) down right up right
    changed_shot menu before-menu "150x120+$((x + 302))+$((y + 202))" 5000 "menu $round"
    [ "$(windows | cut -d'|' -f1)" = "$title" ] || fail "the menu is a window of its own: $(windows)"
    below=$(differ before-menu menu "150x120+$((x + 302))+$((y + 202))")
    above=$(differ before-menu menu "150x120+$((x + 140))+$((y + 70))")
    echo "menu $round: $below pixels changed below and right of the pointer, $above above and left"
    [ "$(echo "$below" | awk '{ print ($1 > 5000) }')" = 1 ] || fail "no menu at the pointer"
    [ "$above" = 0 ] || fail "the menu is not where the pointer is"
    keys -k Escape
    same_shot no-menu before-menu "$box" "Esc did not close the menu"
    [ -n "$(windows)" ] || fail "Esc for the menu ended the program"
done

# The hint of TIME under a pointer that rests on it, as a popup too. The pointer stays
# until the hint has been read.
pointer at $((x + 400)) $((y + 300)) at $((x + 500)) $((y + 80)) by 1 0 wait 15000 &
hover=$!
changed_shot hint no-menu "200x40+$((x + 500))+$((y + 95))" 1000 "the hint under the pointer on TIME"
kill "$hover" 2>/dev/null || true
wait "$hover" 2>/dev/null || true
[ "$(windows | cut -d'|' -f1)" = "$title" ] || fail "the hint is a window of its own: $(windows)"
hint=$(differ no-menu hint "200x40+$((x + 500))+$((y + 95))")
echo "hint: $hint pixels changed below the pointer"
[ "$(echo "$hint" | awk '{ print ($1 > 1000) }')" = 1 ] || fail "no hint under the pointer on TIME"

# The right arrow starts game B: GAME B, its best score, then the figure. The pointer
# leaves TIME first, and the window is read again once the hint has gone.
pointer at $((x + 300)) $((y + 200))
same_shot before-game no-menu "$box" "the hint did not go when the pointer left TIME"
keys -k Right
changed=0
for _ in $(seq 1 50); do
    shot game
    changed=$(differ before-game game "$box")
    [ "$(echo "$changed" | awk '{ print ($1 > 200) }')" = 1 ] && break
    sleep 0.1
done
echo "game B: $changed pixels of the window changed"
[ "$(echo "$changed" | awk '{ print ($1 > 200) }')" = 1 ] || fail "the right arrow did not start game B"

escape_ends_it
echo "Esc ended the program with status 0"

# Waits up to 5 s for the box WxH+X+Y of a screenshot (screen-NAME.png) to equal the
# render at scale 2 (cut out as game-NAME.png); the pixels that differ are left in differ.
#   equals_render2 BOX NAME
equals_render2() {
    differ=""
    for _ in $(seq 1 50); do
        shot "screen-$2"
        /usr/bin/convert "$work/screen-$2.png" -crop "$1" +repage "$work/game-$2.png"
        differ=$(/usr/bin/compare -metric AE "$work/game-$2.png" "$work/render-2x.png" null: 2>&1 |
            cut -d' ' -f1 || true)
        [ "$differ" = 0 ] && return 0
        sleep 0.1
    done
    return 1
}

# An output of scale 2: the same layout, every device pixel that of the render at
# scale 2 ("(no sound)" is stored now, so Play is ready).
printf '0 png %s 2\n' "$work/render-2x.png" | "$replay" - || fail "no render at scale 2"
stop_sway
start_sway 2
start_program
w=$(launcher_at) || fail "scale 2: the launcher did not appear"
set -- $w
[ "$3 $4" = "269 337" ] || fail "scale 2: the launcher is $3 x $4 in the layout"
click_play "$1" "$2"
w=$(waitwindows "$title") || fail "scale 2: Play did not show the game window"
set -- $w
[ "$3 $4" = "652 443" ] || fail "scale 2: the game window is $3 x $4 in the layout"
# grim takes the output at its own scale: the window is at twice its layout place.
box2="1304x886+$(($1 * 2))+$(($2 * 2))"
equals_render2 "$box2" 2x ||
    fail "scale 2: the window differs from the render ($differ pixels)"
echo "scale 2: the game window at $1,$2 of the layout equals the render at scale 2"
escape_ends_it

# A 2000 x 1400 output of scale 1 (sway grows a window from its corner, so it has room for
# 2x from the middle): Ctrl and + make the window 2x, drawn as the render at
# scale 2, and the step is stored.
stop_sway
start_sway 1 2000 1400
start_program
w=$(launcher_at) || fail "step 2: the launcher did not appear"
set -- $w
click_play "$1" "$2"
w=$(waitwindows "$title") || fail "step 2: Play did not show the game window"
keys -M ctrl -k plus -m ctrl
step2() { windows_titled "$title" | grep ' 1304 886$'; }
w=$(settled "the game window at step 2" 10 step2) ||
    fail "Ctrl and + did not make the game window 1304 x 886: $(windows)"
set -- $(echo "$w" | cut -d'|' -f2)
equals_render2 "1304x886+$1+$2" step2 ||
    fail "step 2: the window differs from the render ($differ pixels)"
echo "step 2: the game window at $1,$2 equals the render at scale 2"
escape_ends_it
grep -q '"WindowScale"="2"' "$work/config/Morvane/Fenwater/settings.reg" ||
    fail "step 2 was not stored"
