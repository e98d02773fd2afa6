#!/bin/sh
# The real program in its own X server with a window manager: the launcher comes up
# alone (the game window unmapped), "(no sound)" and Play bring the game window to the
# middle of the screen, where it must equal the headless render of the same state
# pixel for pixel. Then a session with real keys and clicks: TIME, ACL, a game B with
# its best score, a held arrow key, the right-click menu's "Reset Hiscores", a drag;
# with the about window open (F1), Esc ends the program with status 0.
#   window_screenshot.sh FENWATER UI_RENDER_STATE OUTDIR UI_READ_SCREEN
set -eu
prog=$1
render=$2
out=$3
reader=$4
rm -rf "$out"
mkdir -p "$out/config/Morvane/Fenwater" "$out/run"
store="$out/config/Morvane/Fenwater/settings.reg"
printf 'Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Morvane\\Fenwater]\n"HiScoreA"="3"\n"HiScoreB"="7"\n' >"$store"
"$render" "$out/render.png" || { echo "the headless render failed"; exit 1; }

OUT=$out
. "$(dirname "$0")/../xsession.sh"
xsession_start
export XDG_CONFIG_HOME="$out/config"
LOG="$out/fenwater.log"
start_program "$prog" "$out/run" "$LOG"

title="Fenwater (Ostrel) Simulator"
launcher=$(waitfor "About Fenwater...") || fail "the launcher did not appear"
[ -z "$(visible "$title")" ] || fail "the game window is visible before Play"
settled "the launcher's picture" 10 window_print "$launcher" >/dev/null || fail "the launcher is not drawn"
/usr/bin/import -display "$DISPLAY" -window root "$out/launcher.png"

set -- $(position "$launcher")
lx=$1
ly=$2
pick_no_sound "$launcher"
xdotool mousemove $((lx + 134)) $((ly + 316)) click 1

game_window screenshot
echo "launcher at $lx,$ly; game window at $x,$y"
[ "$x,$y" = "$(((1024 - 652) / 2)),$(((768 - 443) / 2))" ] || fail "the game window is not centred"
[ -z "$(visible "About Fenwater...")" ] || fail "the launcher is still visible after Play"

matches "652x443+$x+$y" "$out/render.png" poweron || fail "the window differs from the render ($differ pixels)"
echo "pixels that differ: $differ"

# Holding TIME repaints part of the window: PM 12:00 and the pressed button.
"$render" "$out/render-timeheld.png" timeheld
xdotool mousemove $((x + 500)) $((y + 80)) mousedown 1
matches "652x443+$x+$y" "$out/render-timeheld.png" timeheld || true
xdotool mouseup 1
echo "pixels that differ with TIME held: $differ"
[ "$differ" = "0" ] || fail "the window with TIME held differs from the render"

# What the window shows now, read from a screenshot: "digits=.... hidden=... lit=...".
shows() {
    /usr/bin/import -display "$DISPLAY" -window root "$out/now.png"
    "$reader" "$out/now.png" "$x" "$y"
}
# Waits up to $2 screenshots for the window to show something matching the extended
# regular expression $1.
waitshow() {
    for i in $(seq 1 "$2"); do
        seen=$(shows)
        echo "$seen" | grep -Eq "$1" && return 0
        sleep 0.1
    done
    echo "last seen: $seen"
    return 1
}
ms() { echo $(($(date +%s%N) / 1000000)); }
lit() { echo "lit=(.*,)?$1(,|\$)"; }

# Releasing TIME shows the clock at once: the local time, 12-hour, place 1 blank
# before 10 o'clock.
clock_digits() {
    h=$(date +%-H)
    m=$(date +%M)
    h12=$((h % 12 == 0 ? 12 : h % 12))
    [ "$h12" -lt 10 ] && echo "_$h12$m" || echo "$h12$m"
}
ok=""
for i in $(seq 1 20); do
    seen=$(shows)
    echo "$seen" | grep -q "digits=$(clock_digits) " && { ok=1; break; }
    sleep 0.1
done
[ -n "$ok" ] || fail "TIME released does not show the clock $(clock_digits): $seen"
echo "$seen" | grep -Eq "$(lit "Im_Time$([ "$(date +%-H)" -ge 12 ] && echo PM || echo AM)")" ||
    fail "the clock shows the wrong half of the day: $seen"
echo "clock: $(clock_digits)"

# ACL held blanks the screen; its release shows the power-on pattern again.
xdotool mousemove $((x + 594)) $((y + 113)) mousedown 1
waitshow '^digits=____ hidden=Puls_ACL lit=$' 20 || fail "ACL held does not blank the screen"
xdotool mouseup 1
xdotool mousemove $((x + 300)) $((y + 420))
matches "652x443+$x+$y" "$out/render.png" acl || fail "ACL released does not show the power-on pattern ($differ pixels differ)"
echo "ACL: blank while held, power-on pattern after"

# The right arrow starts game B: GAME B and its best score (007) at once, the figure
# after 150 ms, and the score (000) from 1050 ms on.
xdotool windowactivate --sync "$form"
t0=$(ms)
xdotool key Right
best=""
zero=""
# The game starts between the last screenshot without GAME B (from its start, g0) and
# the first one with it (to its end, g1); times are in ms after the key.
g0=0
g1=""
while [ $(($(ms) - t0)) -lt 4000 ] && [ -z "$zero" ]; do
    start=$(($(ms) - t0))
    seen=$(shows)
    end=$(($(ms) - t0))
    echo "$start-$end: ${seen%% lit=*}" >>"$out/gameb.log"
    if ! echo "$seen" | grep -Eq "$(lit Im_GameB)"; then
        [ -z "$g1" ] && g0=$start
        continue
    fi
    [ -n "$g1" ] || g1=$end
    if echo "$seen" | grep -q "digits=_007 "; then
        [ "$start" -lt $((g1 + 1150)) ] || fail "the best score still shows at $start ms: $(cat "$out/gameb.log")"
        [ -n "$best" ] || best=$start
    elif echo "$seen" | grep -Eq "digits=_0[0-9]{2} "; then
        # The score: 000, or a catch or two more when screenshots come slowly (a loaded
        # machine takes half a second for one).
        [ "$end" -gt $((g0 + 950)) ] || fail "the score shows already at $end ms: $(cat "$out/gameb.log")"
        zero=$end
    fi
done
[ -n "$best" ] || fail "game B did not show its best score 007: $seen"
[ -n "$zero" ] || fail "game B did not turn to its score: $seen"
echo "$seen" | grep -Eq "$(lit Im_Man2)" || fail "the figure is not at the middle: $seen"
echo "game B: started between $g0 and $g1 ms, best score 007 seen from $best ms, the score by $zero ms"

# An arrow held for well over a second, with the X server's auto-repeat, moves the
# figure once: from the right end, left to the middle and no further.
xset q | grep -q "auto repeat:  on" || fail "the X server does not auto-repeat keys"
for i in 1 2 3 4 5; do
    xdotool key Right
    waitshow "$(lit Im_Man3)" 5 >/dev/null && break
done
echo "$seen" | grep -Eq "$(lit Im_Man3)" || fail "the right arrow did not move the figure: $seen"
xdotool keydown Left
sleep 1.5
xdotool keyup Left
waitshow "$(lit Im_Man2)" 10 >/dev/null || fail "the held left arrow did not move the figure: $seen"
echo "$seen" | grep -Eq "$(lit Im_Man1)" && fail "the held left arrow moved the figure more than once"
echo "held arrow: moved once"
/usr/bin/import -display "$DISPLAY" -window root "$out/playing.png"

# The right-click menu, then "Reset Hiscores" from the keyboard (from the foot: Exit, Show
# unlit segments, Reset Hiscores; no game has ended yet, so none is offered to watch):
# both best scores 0.
xdotool mousemove $((x + 300)) $((y + 200)) click 3
settled "the menu" 10 popups "$form" >/dev/null || fail "no menu on a right click"
/usr/bin/import -display "$DISPLAY" -window root "$out/menu.png"
xdotool key Up Up Up Return
ok=""
for i in $(seq 1 30); do
    grep -q '"HiScoreA"="0"' "$store" && grep -q '"HiScoreB"="0"' "$store" && { ok=1; break; }
    sleep 0.1
done
[ -n "$ok" ] || { cat "$store"; fail "Reset Hiscores did not store 0 for both best scores"; }
echo "Reset Hiscores: both best scores 0 in the store"

# Dragging the case moves the window by the pointer's movement.
xdotool mousemove $((x + 20)) $((y + 20)) mousedown 1
for step in 1 2 3 4 5; do
    xdotool mousemove $((x + 20 + 10 * step)) $((y + 20 + 6 * step))
    sleep 0.05
done
xdotool mouseup 1
set -- $(settled "the place after the drag" 10 position "$form")
[ "$1,$2" = "$((x + 50)),$((y + 30))" ] || fail "a drag by 50,30 moved the window from $x,$y to $1,$2"
echo "dragged to $1,$2"

# F1 opens the about window; Esc on the game window then still ends the program at
# once, with status 0.
xdotool windowactivate --sync "$form" key F1
waitfor "About Fenwater" >/dev/null || fail "F1 did not show the about window"
/usr/bin/import -display "$DISPLAY" -window root "$out/about.png"
xdotool windowactivate --sync "$form" key Escape
status=""
wait_exit "$GAME" 5 && status=$STATUS
[ "$status" = "0" ] || fail "Esc did not end the program with status 0 (status '$status')"
echo "Esc ended the program with status 0"
