#!/bin/sh
# The program (built with the test controller) with SDL's virtual game controller, driven
# through FENWATER_TEST_PAD:
# after Play the d-pad's right starts game B (GAME B, its best score, then the figure at
# the middle), the left stick moves the figure once per push, A held shows the alarm
# time (TIME held) and Back held blanks the screen (ACL), all read from screenshots.
#   gamepad.sh FENWATER OUTDIR UI_READ_SCREEN
set -eu
reader=$3
. "$(dirname "$0")/../xsession.sh"
begin "$1" "$2"
settings_home "$OUT/config" 2
printf '"HiScoreB"="7"\r\n' >>"$OUT/config/Morvane/Fenwater/settings.reg"
mkfifo "$OUT/pad"
export FENWATER_TEST_PAD="$OUT/pad"
run_folder "$prog" "$OUT/run"
start_and_play "$prog" "$OUT/run" gamepad
game_window gamepad

pad() { printf '%s\n' "$*" >"$OUT/pad"; }
shows() {
    /usr/bin/import -display "$DISPLAY" -window root "$OUT/now.png"
    "$reader" "$OUT/now.png" "$x" "$y"
}
# Waits up to three seconds for the window to show something matching the extended
# regular expression $1.
waitshow() {
    for i in $(seq 1 30); do
        seen=$(shows)
        echo "$seen" | grep -Eq "$1" && return 0
        sleep 0.1
    done
    return 1
}
lit() { echo "lit=(.*,)?$1(,|\$)"; }

# Another window has the keyboard: the controller still plays.
pad button dpright 1
waitshow "digits=_007 .*$(lit Im_GameB)" || fail "the d-pad's right did not start game B: $seen"
pad button dpright 0
waitshow "$(lit Im_Man2)" || fail "the figure did not come up at the middle: $seen"
echo "d-pad right: game B with its best score 007, the figure at the middle"
pad axis leftx -30000
waitshow "$(lit Im_Man1)" || fail "the stick pushed left did not move the figure: $seen"
pad axis leftx -32000
pad axis leftx 0
pad axis leftx 31000
waitshow "$(lit Im_Man2)" || fail "the stick pushed right did not move the figure back: $seen"
echo "$seen" | grep -Eq "$(lit Im_Man3)" && fail "one push moved the figure twice"
pad axis leftx 0
echo "left stick: one move a push"

pad button back 1
waitshow '^digits=____ hidden=Puls_ACL lit=$' || fail "Back held did not blank the screen: $seen"
pad button back 0
pad button a 1
waitshow "hidden=Puls_Time .*$(lit Im_TimePM)" || fail "A held did not show the alarm time: $seen"
pad button a 0
echo "Back: ACL; A: TIME held"
xdotool windowactivate --sync "$form" key Escape
wait_exit "$GAME" 5 && [ "$STATUS" = 0 ] || fail "Esc did not end the program"
