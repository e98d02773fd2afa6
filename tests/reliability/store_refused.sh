#!/bin/sh
# Writes the settings file refuses, with the real program: a file the user made
# read-only (holding "SoundMode" 1, so that "(no sound)" changes it), and a lock another
# program holds and never lets go (with no settings file yet, so that the start wants
# the lock too). The launcher comes up within seconds all
# the same; Play with "(no sound)" shows the store's error box within seconds, and once
# it is dismissed the game window comes up and the game plays. The file stays as it was.
#   store_refused.sh FENWATER OUTDIR
set -eu
. "$(dirname "$0")/../xsession.sh"
begin "$1" "$2"
run_folder "$prog" "$OUT/run"
title="Fenwater (Ostrel) Simulator"

# Starts the program, picks "(no sound)" and presses Play: the error box must come, then
# the game window.
refused() {
    LOG="$OUT/$1.log"
    began=$(date +%s)
    start_program "$prog" "$OUT/run" "$LOG"
    launcher=$(waitfor "About Fenwater..." 10) || fail "$1: the launcher did not appear"
    echo "$1: launcher after $(($(date +%s) - began)) s"
    pick_no_sound "$launcher"
    began=$(date +%s)
    press_play "$launcher"
    box=$(waitsized "$title" 10 ! 652 443) || fail "$1: Play showed no store error box"
    echo "$1: error box after $(($(date +%s) - began)) s"
    xdotool windowactivate --sync "$box" key Return
    form=$(waitsized "$title" 10 652 443) || fail "$1: the game window did not come up after the box"
    game_plays "$form" || fail "$1: the game does not react to the right arrow key"
    kill "$GAME"
    wait_exit "$GAME" 5 || fail "$1: the program did not end"
}

settings_home "$OUT/readonly" 1
file="$OUT/readonly/Morvane/Fenwater/settings.reg"
cp "$file" "$OUT/before"
chmod 0400 "$file"
refused readonly
cmp -s "$file" "$OUT/before" && [ "$(stat -c %a "$file")" = 400 ] || fail "readonly: the file was changed"

settings_home "$OUT/locked"
lock="$OUT/locked/Morvane/Fenwater/settings.reg.lock"
mkdir -p "$(dirname "$lock")"
# The holder is the sleep itself, so that ending it lets the lock go.
sh -c 'exec 9>"$1" && flock 9 && exec sleep 600' sh "$lock" &
XS_PIDS="$XS_PIDS $!"
for _ in $(seq 1 100); do
    flock -n "$lock" true || break
    sleep 0.05
done
refused locked
[ ! -e "$(dirname "$lock")/settings.reg" ] || fail "locked: a settings file was written"
