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

# An 8-bit mono WAVE file: wav FILE RATE BYTES
wav() {
    python3 -c 'import struct, sys
rate, n = int(sys.argv[2]), int(sys.argv[3])
fmt = struct.pack("<HHIIHH", 1, 1, rate, rate, 1, 8)
body = b"WAVE" + b"fmt " + struct.pack("<I", 16) + fmt + b"data" + struct.pack("<I", n) + bytes([128 + (i % 64) for i in range(n)])
open(sys.argv[1], "wb").write(b"RIFF" + struct.pack("<I", len(body)) + body)' "$@"
}

# case | what is done to SOUND | the outcome
for row in "Move.wav at 1 Hz|move-1hz|plays" "Got.wav at 2 Hz|got-2hz|error" "Got.wav is a FIFO|got-fifo|error"; do
    case=${row%%|*}
    rest=${row#*|}
    spoil=${rest%%|*}
    outcome=${rest#*|}
    dir="$OUT/$(echo "$case" | tr ' ' '_')"
    run_folder "$prog" "$dir/run"
    case "$spoil" in
        move-1hz) wav "$dir/run/SOUND/Move.wav" 1 224256 ;;
        got-2hz) wav "$dir/run/SOUND/Got.wav" 2 12000 ;;
        got-fifo) rm "$dir/run/SOUND/Got.wav" && mkfifo "$dir/run/SOUND/Got.wav" ;;
    esac
    settings_home "$dir/config" 0
    LOG="$dir/fenwater.log"
    start_program "$prog" "$dir/run" "$LOG"
    launcher=$(waitfor "About Fenwater..." 10) || fail "$case: the launcher did not appear"
    sleep 0.3
    press_play "$launcher"
    if [ "$outcome" = error ]; then
        box=$(waitfor "Error" 2) || fail "$case: no sound error box within 2 s of Play"
        [ -z "$(visible "Fenwater (Ostrel) Simulator")" ] || fail "$case: the game window came up"
        xdotool windowactivate --sync "$box" key Return
        wait_exit "$GAME" 5 || fail "$case: the program did not end after OK"
        [ "$STATUS" = 0 ] || fail "$case: the program ended with status $STATUS"
        [ "$(stored_sound_mode)" = "-1" ] || fail "$case: \"SoundMode\" is not -1"
        echo "$case: error box within 2 s, program ended, \"SoundMode\" -1"
    else
        form=$(waitsized "Fenwater (Ostrel) Simulator" 10 652 443) || fail "$case: the game window did not come up"
        xdotool windowactivate --sync "$form" >/dev/null 2>&1 || true
        xdotool key Left
        sleep 2.5
        kill -0 "$GAME" 2>/dev/null || fail "$case: the program ended"
        [ -z "$(visible "Error")" ] || fail "$case: an error box was shown"
        [ "$(stored_sound_mode)" = 0 ] || fail "$case: \"SoundMode\" changed"
        xdotool key Escape
        wait_exit "$GAME" 5 || fail "$case: Esc did not end the program"
        [ "$STATUS" = 0 ] || fail "$case: the program ended with status $STATUS"
        echo "$case: the game plays without the cue"
    fi
done
