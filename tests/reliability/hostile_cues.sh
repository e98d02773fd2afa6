#!/bin/sh
# Cue files a user may drop into the SOUND folder, with "Windows MM" stored:
#  - a Move.wav of 219 KiB of 8-bit mono at 1 Hz (as the mixer's format, more than an int can
#    count): Play brings up the game, which plays on without an error box;
#  - a Got.wav at 2 Hz (hundreds of megabytes once converted), and a FIFO named
#    Got.wav (opening it would wait for a writer forever): Play answers within two
#    seconds with the sound error box, and OK ends the program with "SoundMode" -1.
#   hostile_cues.sh FENWATER OUTDIR
set -eu
. "$(dirname "$0")/../xsession.sh"
begin "$1" "$2"
export SDL_AUDIODRIVER=dummy

here=$(dirname "$(readlink -f "$0")")

# case | what is done to SOUND | the outcome
for row in "Move.wav at 1 Hz|move-1hz|plays" "Got.wav at 2 Hz|got-2hz|error" "Got.wav is a FIFO|got-fifo|error"; do
    case=${row%%|*}
    rest=${row#*|}
    spoil=${rest%%|*}
    outcome=${rest#*|}
    dir="$OUT/$(echo "$case" | tr ' ' '_')"
    run_folder "$prog" "$dir/run"
    case "$spoil" in
        move-1hz) python3 "$here/make_wav.py" "$dir/run/SOUND/Move.wav" 1 1 224256 ;;
        got-2hz) python3 "$here/make_wav.py" "$dir/run/SOUND/Got.wav" 2 1 12000 ;;
        got-fifo) rm "$dir/run/SOUND/Got.wav" && mkfifo "$dir/run/SOUND/Got.wav" ;;
    esac
    settings_home "$dir/config" 0
    start_and_play "$prog" "$dir/run" "$case"
    if [ "$outcome" = error ]; then
        expect_sound_error "$case" 2
        echo "$case: error box within 2 s, program ended, \"SoundMode\" -1"
    else
        form=$(waitsized "Fenwater (Ostrel) Simulator" 10 652 443) || fail "$case: the game window did not come up"
        xdotool windowactivate --sync "$form" >/dev/null 2>&1 || true
        xdotool key Left
        sleep 2.5
        kill -0 "$GAME" 2>/dev/null || fail "$case: the program ended"
        [ -z "$(visible "Error")" ] || fail "$case: an error box was shown"
        [ "$(stored_sound_mode)" = 0 ] || fail "$case: \"SoundMode\" changed"
        escape_ends "$case"
        echo "$case: the game plays without the cue"
    fi
done
