#!/bin/sh
# What the real program costs at rest in clock mode, with "(no sound)" and with a sound
# output: CPU time and wake-ups (context switches of all its threads) over a stretch,
# and its threads. With sound, the audio device closes once no cue has played for 3 s;
# the stretch starts 5 s after clock mode is entered.
#   idle_cost.sh FENWATER [SECONDS]   (default 60; SDL_AUDIODRIVER as set, else SDL's choice)
set -eu
prog=$(readlink -f "$1")
seconds=${2:-60}
here=$(dirname "$(readlink -f "$0")")
OUT=$(mktemp -d /tmp/fenwater-idle.XXXXXX)
. "$here/../tests/xsession.sh"
xsession_start

# CPU time (ns) and context switches of every thread of a process.
cpu_ns() { cat /proc/"$1"/task/*/schedstat | awk '{ s += $1 } END { printf "%d\n", s }'; }
switches() { cat /proc/"$1"/task/*/status | awk '/ctxt_switches/ { s += $2 } END { print s }'; }
threads() { for t in /proc/"$1"/task/*; do cat "$t/comm"; done | sort | uniq -c | awk '{ printf "%s%s x%s", sep, $2, $1; sep = ", " }'; }

# mode | the launcher's item
for row in "2|(no sound)" "0|Windows MM"; do
    mode=${row%%|*}
    item=${row#*|}
    settings_home "$OUT/config$mode" "$mode"
    start_program "$prog" "$(dirname "$prog")" "$OUT/run$mode.log"
    launcher=$(waitfor "About Fenwater..." 10) || { echo "no launcher"; exit 1; }
    sleep 0.3
    press_play "$launcher"
    form=$(waitfor "Fenwater (Ostrel) Simulator" 10) || { echo "Play did not bring up the game"; exit 1; }
    set -- $(position "$form")
    xdotool mousemove $(($1 + 500)) $(($2 + 80)) click 1  # TIME: clock mode
    xdotool mousemove 5 760
    sleep 5
    c0=$(cpu_ns "$GAME")
    s0=$(switches "$GAME")
    t0=$(date +%s%N)
    sleep "$seconds"
    c1=$(cpu_ns "$GAME")
    s1=$(switches "$GAME")
    t1=$(date +%s%N)
    awk -v item="$item" -v c=$((c1 - c0)) -v s=$((s1 - s0)) -v w=$((t1 - t0)) 'BEGIN {
        printf "%s: %.1f ms CPU in %.1f s = %.4f %% of one core; %d wake-ups = %.2f a second\n",
            item, c / 1e6, w / 1e9, 100 * c / w, s, s / (w / 1e9) }'
    echo "$item: threads $(threads "$GAME")"
    xdotool key Escape
    wait_exit "$GAME" 5 || kill "$GAME"
done
xsession_stop
rm -rf "$OUT"
