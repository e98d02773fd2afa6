#!/bin/sh
# The installed game as a player meets it, in an X server of its own with a window
# manager: started from /, it shows the launcher, and closing the launcher before Play
# ends the program with status 0. Started again with a sound output chosen, Play brings
# up the game window (so the program found its data folder), a game starts from the
# keyboard, and Esc ends the program with status 0. Run by the package's autopkgtest.
#   installed_game.sh PROGRAM OUTDIR
set -eu
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../xsession.sh"
begin "$1" "$2"
settings_home "$OUT/config" 0
export XDG_DATA_HOME="$OUT/data" XDG_CACHE_HOME="$OUT/cache"
export SDL_AUDIODRIVER=dummy
LOG=$OUT/fenwater.log

start_program "$prog" / "$LOG"
launcher=$(waitfor "About Fenwater..." 15) || fail "the launcher did not appear"
xdotool windowactivate --sync "$launcher" key alt+F4
wait_exit "$GAME" 10 || fail "closing the launcher did not end the program"
[ "$STATUS" = 0 ] || fail "closing the launcher ended the program with status $STATUS"
echo "$prog started from /: the launcher, closed, ends the program with status 0"

start_program "$prog" / "$LOG"
launcher=$(waitfor "About Fenwater..." 15) || fail "the launcher did not appear again"
press_play "$launcher"
game=$(waitfor "Fenwater (Ostrel) Simulator" 10) ||
    fail "no game window after Play (an error box means it did not find its data folder)"
game_plays "$game" || fail "the game window does not react to the keyboard"
escape_ends "Esc in the game window"
echo "$prog started from /: Play with a sound output, a game, Esc ends it with status 0"
