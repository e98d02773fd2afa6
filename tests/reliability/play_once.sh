#!/bin/sh
# A double-click on "- PLAY -", and a triple-click while a large catch cue loads: Play
# acts once. Counted at the files themselves (inotify): the settings file is written
# once, each cue file is opened once; the game window comes up and the launcher stays
# hidden. No sound output is stored at start and "Windows MM" is picked, so that Play
# has a change to write.
#   play_once.sh FENWATER OUTDIR
set -eu
. "$(dirname "$0")/../xsession.sh"
begin "$1" "$2"
here=$(dirname "$(readlink -f "$0")")
export SDL_AUDIODRIVER=dummy

# case | clicks | the catch cue
for row in "double-click|2|" "triple-click during a slow load|3|large"; do
    case=${row%%|*}
    rest=${row#*|}
    clicks=${rest%%|*}
    cue=${rest#*|}
    dir="$OUT/$(echo "$case" | tr ' ' '_')"
    run_folder "$prog" "$dir/run"
    if [ "$cue" = large ]; then  # 5 s of 8-channel 8-bit sound at 192 kHz: 7.7 MB
        python3 "$here/make_wav.py" "$dir/run/SOUND/Got.wav" 192000 8 8000000
    fi
    settings_home "$dir/config"
    mkdir -p "$dir/config/Morvane/Fenwater"
    printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Morvane\\Fenwater]\r\n' \
        >"$dir/config/Morvane/Fenwater/settings.reg"
    python3 "$here/file_events.py" "$dir/events" "$dir/run/SOUND" "$dir/config/Morvane/Fenwater" &
    watcher=$!
    XS_PIDS="$XS_PIDS $watcher"
    for _ in $(seq 1 100); do
        grep -q ready "$dir/events" 2>/dev/null && break
        sleep 0.05
    done
    LOG="$dir/fenwater.log"
    start_program "$prog" "$dir/run" "$LOG"
    launcher=$(waitfor "About Fenwater..." 10) || fail "$case: the launcher did not appear"
    pick_sound "$launcher" Home
    set -- $(position "$launcher")
    xdotool mousemove $(($1 + 134)) $(($2 + 316)) click --repeat "$clicks" --delay 60 1
    waitsized "Fenwater (Ostrel) Simulator" 10 652 443 >/dev/null || fail "$case: the game window did not come up"
    sleep 1
    kill "$watcher"
    [ -z "$(visible "About Fenwater...")" ] || fail "$case: the launcher is shown again"
    [ -z "$(visible "Error")" ] || fail "$case: an error box was shown"
    for file in SOUND/Got.wav SOUND/Move.wav SOUND/Start.wav; do
        n=$(grep -c "^open .*/$file\$" "$dir/events" || true)
        [ "$n" = 1 ] || fail "$case: $file opened $n times"
    done
    n=$(grep -c "^written .*/settings.reg\$" "$dir/events" || true)
    [ "$n" = 1 ] || fail "$case: the settings file written $n times"
    [ "$(stored_sound_mode)" = 0 ] || fail "$case: \"SoundMode\" is not 0"
    escape_ends "$case"
    echo "$case: Play ran once (each cue opened once, the settings written once)"
done
