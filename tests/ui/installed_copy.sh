#!/bin/sh
# An installed copy started from another folder: installed into a temporary prefix and
# started from / with "Windows MM" stored and SDL's dummy audio driver, it finds its
# SOUND folder in <prefix>/share/fenwater. Play brings up the game window with no
# error box, "SoundMode" stays 0, and Esc ends the program with status 0.
#   installed_copy.sh BUILD_DIR OUTDIR
set -eu
build=$(readlink -f "$1")
mkdir -p "$2"
prefix=$(readlink -f "$2")/usr
rm -rf "$prefix"
cmake --install "$build" --prefix "$prefix" >"$2/install.log" 2>&1 || { cat "$2/install.log"; exit 1; }
. "$(dirname "$0")/../xsession.sh"
begin "$prefix/bin/fenwater" "$2/session"
LOG="$OUT/fenwater.log"
settings_home "$OUT/config" 0
export SDL_AUDIODRIVER=dummy
start_program "$prog" / "$LOG"
launcher=$(waitfor "About Fenwater...") || fail "the launcher did not appear"
press_play "$launcher"
game_window installed
settled "the game window's picture" 10 window_print "$form" >/dev/null || fail "the game window is not drawn"
[ -z "$(visible "Error")" ] || fail "an error box came up"
[ "$(stored_sound_mode)" = 0 ] || fail "\"SoundMode\" is now '$(stored_sound_mode)', not 0"
echo "started from /: game window up, no error box, \"SoundMode\" 0"
xdotool windowactivate --sync "$form" key Escape
wait_exit "$GAME" 5 || fail "Esc did not end the program"
[ "$STATUS" = 0 ] || fail "the program ended with status $STATUS"
