#!/bin/sh
# What the real program costs at rest in clock mode, with "(no sound)" and with a sound
# output, under Xvfb with a window manager: CPU time and wake-ups (context switches of
# all its threads) over a stretch, its threads, and its peak resident memory (VmHWM)
# after the stretch and again after a few seconds of game B. With sound, the audio
# device closes once no cue has played for 3 s; the stretch starts SETTLE s (default 5)
# after clock mode is entered. Each sound output is run RUNS times, each a new process;
# "(no sound)" once more with a game controller connected (SDL's virtual one, in the
# program built with it beside FENWATER: fenwater-test-pad).
# Targets: CPU <= 0.2 % of one core; with sound at most 2 wake-ups a second; peak
# memory <= 60 MB.
#   idle_cost.sh FENWATER [SECONDS] [RUNS] [SETTLE]   (defaults 60, 3, 5; SDL_AUDIODRIVER as
#                                                     set, else SDL's choice)
set -eu
prog=$(readlink -f "$1")
seconds=${2:-60}
runs=${3:-3}
settle=${4:-5}
here=$(dirname "$(readlink -f "$0")")
OUT=$(mktemp -d /tmp/fenwater-idle.XXXXXX)
. "$here/../tests/xsession.sh"
xsession_start

# CPU time (ns) and context switches of every thread of a process.
cpu_ns() { cat /proc/"$1"/task/*/schedstat | awk '{ s += $1 } END { printf "%d\n", s }'; }
switches() { cat /proc/"$1"/task/*/status | awk '/ctxt_switches/ { s += $2 } END { print s }'; }
threads() { for t in /proc/"$1"/task/*; do cat "$t/comm"; done | sort | uniq -c | awk '{ printf "%s%s x%s", sep, $2, $1; sep = ", " }'; }
hwm_mb() { awk '/VmHWM/ { printf "%.1f\n", $2 / 1024 }' /proc/"$1"/status; }

# mode (p: with a controller) | what the run is
for row in "2|(no sound)" "0|Windows MM" "2p|(no sound), a controller connected"; do
    mode=${row%%|*}
    item=${row#*|}
    : >"$OUT/figures$mode"
    unset FENWATER_TEST_PAD
    run_prog=$prog
    if [ "$mode" = 2p ]; then
        mkfifo "$OUT/pad"
        export FENWATER_TEST_PAD="$OUT/pad"
        run_prog=$(dirname "$prog")/fenwater-test-pad
    fi
    for run in $(seq 1 "$runs"); do
        settings_home "$OUT/config$mode.$run" "${mode%p}"
        start_program "$run_prog" "$(dirname "$prog")" "$OUT/run$mode.log"
        launcher=$(waitfor "About Fenwater..." 10) || { echo "no launcher"; exit 1; }
        sleep 0.3
        press_play "$launcher"
        form=$(waitfor "Fenwater (Ostrel) Simulator" 10) || { echo "Play did not bring up the game"; exit 1; }
        set -- $(position "$form")
        shot "$form" "$OUT/before.png"
        xdotool mousemove $(($1 + 500)) $(($2 + 80)) click 1  # TIME: clock mode
        xdotool mousemove 5 760
        sleep "$settle"
        shot "$form" "$OUT/clock.png"
        d=$(/usr/bin/compare -metric AE "$OUT/before.png" "$OUT/clock.png" null: 2>&1 || true)
        [ "$d" != 0 ] || { echo "TIME did not change the panel: not in clock mode"; exit 1; }
        c0=$(cpu_ns "$GAME")
        s0=$(switches "$GAME")
        t0=$(date +%s%N)
        sleep "$seconds"
        c1=$(cpu_ns "$GAME")
        s1=$(switches "$GAME")
        t1=$(date +%s%N)
        clock_mb=$(hwm_mb "$GAME")
        th=$(threads "$GAME")
        # A few seconds of game B (nobody plays: the misses end it in time).
        xdotool windowactivate --sync "$form" >/dev/null 2>&1 || true
        xdotool key Right
        sleep "$settle"
        shot "$form" "$OUT/game.png"
        d=$(/usr/bin/compare -metric AE "$OUT/clock.png" "$OUT/game.png" null: 2>&1 || true)
        [ "$d" != 0 ] || { echo "the right arrow key did not start game B"; exit 1; }
        game_mb=$(hwm_mb "$GAME")
        awk -v item="$item" -v run="$run" -v c=$((c1 - c0)) -v s=$((s1 - s0)) -v w=$((t1 - t0)) \
            -v cm="$clock_mb" -v gm="$game_mb" -v f="$OUT/figures$mode" 'BEGIN {
            printf "%s, run %d: clock mode %.1f ms CPU in %.1f s = %.4f %% of one core; %d wake-ups = %.2f a second; peak memory %.1f MB, %.1f MB after game B\n",
                item, run, c / 1e6, w / 1e9, 100 * c / w, s, s / (w / 1e9), cm, gm
            printf "%f %f %f %f\n", 100 * c / w, s / (w / 1e9), cm, gm >>f }'
        echo "$item, run $run: threads $th"
        xdotool key Escape
        wait_exit "$GAME" 5 || kill "$GAME"
    done
    # min / median / max of each column over the runs
    for col in "1|CPU in clock mode, % of one core|0.2" "2|wake-ups a second in clock mode|$([ "$mode" = 2 ] && echo - || echo 2)" \
        "3|peak memory in clock mode, MB|60" "4|peak memory after game B, MB|60"; do
        n=${col%%|*}
        rest=${col#*|}
        name=${rest%|*}
        limit=${rest##*|}
        awk -v n="$n" '{ print $n }' "$OUT/figures$mode" | sort -g | awk -v item="$item" -v name="$name" -v limit="$limit" '
            { v[NR] = $1; ok += (limit == "-" || $1 <= limit) }
            END {
                m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
                printf "%s: %s: min %.4g, median %.4g, max %.4g", item, name, v[1], m, v[NR]
                if (limit != "-") printf " (target <= %s: %d of %d runs)", limit, ok, NR
                printf "\n" }'
    done
done
xsession_stop
rm -rf "$OUT"
