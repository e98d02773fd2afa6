#!/bin/sh
# Runs every performance figure in turn, on an otherwise quiet machine:
#   bench/run_all.sh BUILD_DIR [SECONDS] [RUNS]   (SECONDS of each CPU measurement, default
#                                                 30; RUNS of each figure, default 3)
#   bench/run_all.sh BUILD_DIR --short            every harness once, briefly: it checks
#                                                 that each completes (part of make test);
#                                                 its figures mean nothing
# BUILD_DIR is a whole build (not FENWATER_CORE_ONLY). The real-time harnesses run
# offscreen and then in an X server of their own (Xvfb with openbox). Every figure is
# measured RUNS times and given as min / median / max, with how many runs met its target.
set -eu
build=$(readlink -f "$1")
short=""
if [ "${2:-}" = "--short" ]; then
    short=1
    seconds=1
    runs=1
else
    seconds=${2:-30}
    runs=${3:-3}
fi
here=$(dirname "$(readlink -f "$0")")
b=$build/bench
export FENWATER_STAGE_DIR="$build/stage"
# Several harnesses are Qt programs; none may touch the real user's settings.
export XDG_CONFIG_HOME="$(mktemp -d /tmp/fenwater-bench-config.XXXXXX)"
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$XDG_CONFIG_HOME}"
export XDG_DATA_HOME="$XDG_CONFIG_HOME/data"
trap 'rm -rf "$XDG_CONFIG_HOME"' EXIT

# The count of things for a full run, or for the short form.
pick() { if [ -n "$short" ]; then echo "$2"; else echo "$1"; fi; }

echo "== machine"
echo "$(nproc) cores; $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'); $(awk '/MemTotal/ { printf "%.1f GB", $2 / 1048576 }' /proc/meminfo); kernel $(uname -r)"
echo "Qt $(qtpaths6 --qt-version 2>/dev/null || echo '?'); commit $(git -C "$here" rev-parse --short HEAD 2>/dev/null || echo '?'); $(date -u '+%Y-%m-%d %H:%M UTC')"
echo "load average at the start: $(cut -d' ' -f1-3 /proc/loadavg)"

echo "== core on the virtual clock (target >= 2 million game ticks/s)"
"$b/fenwater_bench" --benchmark_repetitions="$runs" 2>&1 | grep -E '^GameB|^Benchmark'

echo "== a stopped process and a blocked event loop during game B at 43 ms, offscreen"
QT_QPA_PLATFORM=offscreen "$b/fenwater_hiccup" "$runs" 2>/dev/null

echo "== timer fidelity, offscreen (load average now: $(cut -d' ' -f1-3 /proc/loadavg))"
QT_QPA_PLATFORM=offscreen "$b/fenwater_timer_fidelity" "$(pick 400 8)" "$runs" 2>/dev/null

echo "== key to repaint inside the program, offscreen"
QT_QPA_PLATFORM=offscreen "$b/fenwater_input_latency" "$(pick 200 10)" "$runs" 2>/dev/null

echo "== in Xvfb with a window manager"
(
    OUT=$(mktemp -d /tmp/fenwater-bench.XXXXXX)
    . "$here/../tests/xsession.sh"
    xsession_start
    echo "-- the hiccup under X"
    "$b/fenwater_hiccup" 1 2>/dev/null
    echo "-- key to pixels and tick to pixels, from outside (XTEST, DAMAGE)"
    "$b/fenwater_outside_latency" "$b/fenwater_xprobe" "$(pick 200 10)" "$(pick 20 1)" "$runs" 2>/dev/null
    echo "-- game B at 43 ms: the catching player and full tick rate, without and with sound"
    "$b/fenwater_game_cost" "$seconds" --runs "$runs" 2>/dev/null
    [ -n "$short" ] || "$b/fenwater_game_cost" "$seconds" --full --runs "$runs" 2>/dev/null
    [ -n "$short" ] || SDL_AUDIODRIVER=dummy "$b/fenwater_game_cost" "$seconds" --sound --runs "$runs" 2>/dev/null
    SDL_AUDIODRIVER=dummy "$b/fenwater_game_cost" "$seconds" --full --sound --runs "$runs" 2>/dev/null
    xsession_stop
    rm -rf "$OUT"
)

if [ -z "$short" ]; then
    echo "== repaint at scale 2 against scale 1, game B at 43 ms (catching player, no sound)"
    for s in 1 2; do
        QT_QPA_PLATFORM=offscreen QT_SCALE_FACTOR=$s "$b/fenwater_game_cost" "$seconds" --runs "$runs" 2>/dev/null
    done
    (
        OUT=$(mktemp -d /tmp/fenwater-bench.XXXXXX)
        XS_SCREEN=2560x1600x24
        . "$here/../tests/xsession.sh"
        xsession_start
        for s in 1 2; do
            QT_SCALE_FACTOR=$s "$b/fenwater_game_cost" "$seconds" --runs "$runs" 2>/dev/null
        done
        xsession_stop
        rm -rf "$OUT"
    )
fi

echo "== repaint at size steps 1 and 3 and in full screen (4x), game B at 43 ms, in Xvfb 3000x1800"
(
    OUT=$(mktemp -d /tmp/fenwater-bench.XXXXXX)
    XS_SCREEN=3000x1800x24
    . "$here/../tests/xsession.sh"
    xsession_start
    for size in "--step 1" "--step 3" "--fullscreen"; do
        # shellcheck disable=SC2086
        "$b/fenwater_game_cost" "$seconds" --runs "$runs" $size 2>/dev/null
    done
    xsession_stop
    rm -rf "$OUT"
)

echo "== the real program in Xvfb: start to the launcher mapped"
"$here/fenwater_cost.sh" "$build/stage/fenwater" "$b/fenwater_xprobe" "$(pick 15 2)"

echo "== the real program in Xvfb: clock mode with and without sound, peak memory"
"$here/idle_cost.sh" "$build/stage/fenwater" "$seconds" "$runs" "$(pick 5 1)"

echo "== cue latency"
for i in $(seq 1 "$runs"); do
    SDL_AUDIODRIVER=dummy "$b/fenwater_cue_latency" "$(pick 200 4)"
    (
        raw=$(mktemp /tmp/fenwater-latency.XXXXXX)
        SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$raw" "$b/fenwater_cue_latency" "$(pick 200 4)" 2>/dev/null
        rm -f "$raw"
    )
done
echo "load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
