#!/bin/sh
# Cases where play goes on without a sound, with no error box: a move cue that is not a
# wave file, and an audio driver that does not exist. On SDL's disk driver the output
# of a game A is recorded: the first fish of a game always reaches the second-last step
# of lane 1 at the 8th game tick (about 1.1 s after the key), where the move cue plays;
# with a corrupt Move.wav nothing may sound there. The same run with the intact cue
# shows that the check hears it.
#   sound_silent.sh FENWATER OUTDIR
set -eu
. "$(dirname "$0")/../xsession.sh"
begin "$1" "$2"
here=$(dirname "$(readlink -f "$0")")

# case | SDL audio driver | what is done to SOUND | the move cue is heard
for row in "intact cues|disk||yes" "corrupt Move.wav|disk|move|no" "no audio device|nosuchdriver||"; do
    case=${row%%|*}
    rest=${row#*|}
    driver=${rest%%|*}
    rest=${rest#*|}
    spoil=${rest%%|*}
    heard=${rest#*|}
    dir="$OUT/$(echo "$case" | tr ' ' '_')"
    run_folder "$prog" "$dir/run"
    [ "$spoil" = move ] && head -c 1000 /dev/urandom >"$dir/run/SOUND/Move.wav"
    settings_home "$dir/config" 0
    export SDL_AUDIODRIVER="$driver" SDL_DISKAUDIOFILE="$dir/audio.raw"
    start_and_play "$prog" "$dir/run" "$case"
    form=$(waitsized "Fenwater (Ostrel) Simulator" 10 652 443) || fail "$case: the game window did not come up"
    [ -z "$(visible "Error")" ] || fail "$case: an error box was shown"
    xdotool windowactivate --sync "$form" >/dev/null 2>&1 || true
    xdotool key Left
    sleep 2.5
    kill -0 "$GAME" 2>/dev/null || fail "$case: the program ended"
    [ -z "$(visible "Error")" ] || fail "$case: an error box was shown during play"
    if [ -n "$heard" ]; then
        python3 "$here/heard.py" "$dir/audio.raw" "$heard" || fail "$case: the recorded output is wrong"
    fi
    [ "$(stored_sound_mode)" = 0 ] || fail "$case: \"SoundMode\" changed"
    escape_ends "$case"
    echo "$case: plays on without an error"
done
