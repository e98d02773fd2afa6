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
    start_and_play "$prog" "$dir/run" "$case"
    expect_sound_error "$case" 10
    echo "$case: error box, program ended, \"SoundMode\" -1"
done
