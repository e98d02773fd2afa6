#!/bin/sh
# A best score another copy stored meanwhile is never lowered. The copy starts with
# "HiScoreA" -5 stored, so whatever it scores in game A beats its own best; while it
# plays, another copy stores 50 (under the lock and by a rename, as the program writes).
# At the game over the copy records its score, and the 50 must stay.
#   best_score.sh FENWATER OUTDIR UI_READ_SCREEN
set -eu
. "$(dirname "$0")/../xsession.sh"
reader=$(readlink -f "$3")
begin "$1" "$2"
settings_home "$OUT/config" 2
folder="$OUT/config/Morvane/Fenwater"
printf '"HiScoreA"="-5"\r\n' >>"$folder/settings.reg"
run_folder "$prog" "$OUT/run"
LOG="$OUT/fenwater.log"
start_program "$prog" "$OUT/run" "$LOG"

title="Fenwater (Ostrel) Simulator"
launcher=$(waitfor "About Fenwater..." 10) || fail "the launcher did not appear"
press_play "$launcher"
form=$(waitsized "$title" 10 652 443) || fail "the game window did not come up"
xdotool windowactivate --sync "$form" key Left
set -- $(position "$form")

# The other copy's write.
flock "$folder/settings.reg.lock" sh -c "printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' \
    '[HKEY_CURRENT_USER\\Software\\Morvane\\Fenwater]' '\"SoundMode\"=\"2\"' '\"HiScoreA\"=\"50\"' \
    >'$folder/other' && mv '$folder/other' '$folder/settings.reg'"

# The game ends at the third miss; its score is recorded 290 ms later.
over=""
for _ in $(seq 1 120); do
    /usr/bin/import -display "$DISPLAY" -window root "$OUT/now.png"
    screen=$("$reader" "$OUT/now.png" "$1" "$2")
    case "$screen" in *Im_Miss3*) over=1; break ;; esac
    sleep 0.5
done
[ -n "$over" ] || fail "the game did not end: $screen"
sleep 1.5
stored=$(sed -n 's/^"HiScoreA"="\(.*\)"\r*$/\1/p' "$folder/settings.reg")
echo "game over: $screen; stored \"HiScoreA\": $stored"
[ "$stored" = 50 ] || fail "the stored best score 50 became \"$stored\""
[ -z "$(waitsized "$title" 0 ! 652 443)" ] || fail "an error box was shown"
kill -0 "$GAME" 2>/dev/null || fail "the program ended"
