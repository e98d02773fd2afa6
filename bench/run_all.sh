#!/bin/sh
# Runs every performance figure in turn, on an otherwise quiet machine:
#   bench/run_all.sh BUILD_DIR [SECONDS]    (SECONDS of each CPU measurement, default 60)
# BUILD_DIR is a whole build (not FENWATER_CORE_ONLY). The real-time
# harnesses run offscreen and then in an X server of their own (Xvfb with openbox).
set -eu
build=$(readlink -f "$1")
seconds=${2:-60}
here=$(dirname "$(readlink -f "$0")")
b=$build/bench
export FENWATER_STAGE_DIR="$build/stage"

echo "== machine"
echo "$(nproc) cores; $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'); $(awk '/MemTotal/ { printf "%.1f GB", $2 / 1048576 }' /proc/meminfo)"

echo "== core on the virtual clock (target >= 2 million game ticks/s)"
"$b/fenwater_bench" 2>&1 | grep -E 'GameB|Benchmark'

echo "== timer fidelity, offscreen"
QT_QPA_PLATFORM=offscreen "$b/fenwater_timer_fidelity" 1000 2>/dev/null

echo "== input latency and game B at 43 ms, offscreen"
QT_QPA_PLATFORM=offscreen "$b/fenwater_input_latency" 400 2>/dev/null
QT_QPA_PLATFORM=offscreen "$b/fenwater_game_cost" "$seconds" 2>/dev/null

echo "== the same in Xvfb with a window manager"
(
    OUT=$(mktemp -d /tmp/fenwater-bench.XXXXXX)
    . "$here/../tests/xsession.sh"
    xsession_start
    "$b/fenwater_input_latency" 400 2>/dev/null
    "$b/fenwater_game_cost" "$seconds" 2>/dev/null
    SDL_AUDIODRIVER=dummy "$b/fenwater_game_cost" "$seconds" --sound 2>/dev/null
    SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$OUT/audio.raw" "$b/fenwater_game_cost" "$seconds" --sound 2>/dev/null
    xsession_stop
    rm -rf "$OUT"
)

echo "== the real program in Xvfb"
"$here/fenwater_cost.sh" "$build/stage/fenwater" 10 "$seconds"

echo "== idle cost with and without sound, and cue latency"
"$here/idle_cost.sh" "$build/stage/fenwater" "$seconds"
SDL_AUDIODRIVER=dummy "$b/fenwater_cue_latency" 200
(
    raw=$(mktemp /tmp/fenwater-latency.XXXXXX)
    SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$raw" "$b/fenwater_cue_latency" 200 2>/dev/null
    rm -f "$raw"
)
