#!/bin/sh
# A settings folder that cannot be created (a plain file where $XDG_CONFIG_HOME/Morvane
# should be): the start reports nothing and shows the launcher with no sound chosen;
# Play with "(no sound)" shows the store's error box, and once it is dismissed the
# game window comes up and the game plays.
#   store_unwritable.sh FENWATER OUTDIR
set -eu
. "$(dirname "$0")/../xsession.sh"
begin "$1" "$2"
settings_home "$OUT/config"
echo "not a folder" >"$OUT/config/Morvane"
run_folder "$prog" "$OUT/run"
LOG="$OUT/fenwater.log"
start_program "$prog" "$OUT/run" "$LOG"

title="Fenwater (Ostrel) Simulator"
launcher=$(waitfor "About Fenwater..." 10) || fail "the launcher did not appear"
sleep 0.5
[ -z "$(visible "$title")" ] || fail "something was shown at start besides the launcher"
[ -z "$(visible "Error")" ] || fail "an error box was shown at start"

pick_no_sound "$launcher"
press_play "$launcher"
box=$(waitsized "$title" 10 ! 652 443) || fail "Play showed no store error box"
echo "store error box: $(window_size "$box")"
[ -z "$(waitsized "$title" 0 652 443)" ] || fail "the game window came up before the box was dismissed"
xdotool windowactivate --sync "$box" key Return
form=$(waitsized "$title" 10 652 443) || fail "the game window did not come up after the box"
game_plays "$form" || fail "the game does not react to the right arrow key"
kill -0 "$GAME" 2>/dev/null || fail "the program ended"
[ -f "$OUT/config/Morvane" ] || fail "the file in the folder's place was touched"
echo "store error shown at Play, play goes on"
