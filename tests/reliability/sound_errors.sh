#!/bin/sh
# A sound folder that is missing, or a catch cue that is not a wave file: Play with
# "Windows MM" shows the sound error box, the game window never comes up, and after OK
# the program ends with "SoundMode" -1 stored.
#   sound_errors.sh FENWATER OUTDIR
set -eu
. "$(dirname "$0")/../xsession.sh"
begin "$1" "$2"
export SDL_AUDIODRIVER=dummy

# case: what is done to the run folder's SOUND folder
for case in "no SOUND folder" "corrupt Got.wav"; do
    dir="$OUT/$(echo "$case" | tr ' ' '_')"
    run_folder "$prog" "$dir/run"
    case "$case" in
        "no SOUND folder") rm -rf "$dir/run/SOUND" ;;
        "corrupt Got.wav") head -c 3000 /dev/urandom | sed '1s/^/RIFF/' >"$dir/run/SOUND/Got.wav" ;;
    esac
    settings_home "$dir/config" 0
    LOG="$dir/fenwater.log"
    start_program "$prog" "$dir/run" "$LOG"
    launcher=$(waitfor "About Fenwater..." 10) || fail "$case: the launcher did not appear"
    sleep 0.3
    press_play "$launcher"
    box=$(waitfor "Error" 10) || fail "$case: Play showed no sound error box"
    [ -z "$(visible "Fenwater (Ostrel) Simulator")" ] || fail "$case: the game window came up"
    xdotool windowactivate --sync "$box" key Return
    wait_exit "$GAME" 5 || fail "$case: the program did not end after OK"
    [ "$STATUS" = 0 ] || fail "$case: the program ended with status $STATUS"
    mode=$(stored_sound_mode)
    [ "$mode" = "-1" ] || fail "$case: \"SoundMode\" is '$mode' after the error, not -1"
    echo "$case: error box, program ended, \"SoundMode\" -1"
done
