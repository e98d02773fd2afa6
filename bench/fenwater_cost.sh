#!/bin/sh
# What the real program costs under Xvfb with a window manager:
#  - start to the launcher mapped, over several starts (median, target <= 300 ms);
#  - CPU time over a stretch of clock mode, after Play with "(no sound)" stored
#    (target <= 0.2 % of one core);
#  - peak resident memory over the whole run, a short game included (target <= 60 MB).
#   fenwater_cost.sh FENWATER [STARTS] [SECONDS]     (defaults 10 and 60)
set -eu
prog=$(readlink -f "$1")
starts=${2:-10}
seconds=${3:-60}
here=$(dirname "$(readlink -f "$0")")
OUT=$(mktemp -d /tmp/fenwater-cost.XXXXXX)
. "$here/../tests/xsession.sh"
stage=$(dirname "$prog")
xsession_start
settings_home "$OUT/config" 2

ns() { date +%s%N; }
# CPU time of every thread of a process, in ns (the scheduler's own account).
cpu_ns() {
    cat /proc/"$1"/task/*/schedstat | awk '{ s += $1 } END { printf "%d\n", s }'
}
median() { sort -n | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(awk '/MemTotal/ { printf "%.1f GB", $2 / 1048576 }' /proc/meminfo)"

# Start to the launcher mapped.
: >"$OUT/starts"
for i in $(seq 1 "$starts"); do
    t0=$(ns)
    start_program "$prog" "$stage" "$OUT/start$i.log"
    waitfor "About Fenwater..." 10 >/dev/null || { echo "start $i: no launcher"; cat "$OUT/start$i.log"; exit 1; }
    t1=$(ns)
    echo $(( (t1 - t0) / 1000000 )) >>"$OUT/starts"
    kill "$GAME"
    wait "$GAME" 2>/dev/null || true
    sleep 0.3
done
echo "start to launcher mapped (ms, each start): $(tr '\n' ' ' <"$OUT/starts")"
m=$(median <"$OUT/starts")
echo "start to launcher mapped: median $m ms (target <= 300 ms)"

# Clock mode: Play, then TIME pressed and released.
start_program "$prog" "$stage" "$OUT/run.log"
launcher=$(waitfor "About Fenwater..." 10) || { echo "no launcher"; exit 1; }
sleep 0.3
press_play "$launcher"
form=$(waitfor "Fenwater (Ostrel) Simulator" 10) || { echo "Play did not bring up the game"; exit 1; }
set -- $(position "$form")
x=$1
y=$2
shot "$form" "$OUT/power-on.png"
xdotool mousemove $((x + 500)) $((y + 80)) click 1
xdotool mousemove 5 760
sleep 0.5
shot "$form" "$OUT/clock.png"
d=$(/usr/bin/compare -metric AE "$OUT/power-on.png" "$OUT/clock.png" null: 2>&1 || true)
[ "$d" != 0 ] || { echo "TIME did not change the panel: not in clock mode"; exit 1; }
echo "clock mode entered ($d pixels changed from the power-on pattern)"
sleep 2
c0=$(cpu_ns "$GAME")
w0=$(ns)
sleep "$seconds"
c1=$(cpu_ns "$GAME")
w1=$(ns)
awk -v c=$((c1 - c0)) -v w=$((w1 - w0)) 'BEGIN {
    printf "clock mode: %.1f ms CPU in %.1f s = %.3f %% of one core (target <= 0.2 %%)\n", c / 1e6, w / 1e9, 100 * c / w }'

# A short game B, then the peak resident memory of the whole run.
xdotool windowactivate --sync "$form" >/dev/null 2>&1 || true
xdotool key Right
sleep 5
hwm=$(awk '/VmHWM/ { print $2 }' /proc/"$GAME"/status)
rss=$(awk '/VmRSS/ { print $2 }' /proc/"$GAME"/status)
awk -v h="$hwm" -v r="$rss" 'BEGIN { printf "peak resident memory %.1f MB (now %.1f MB; target <= 60 MB)\n", h / 1024, r / 1024 }'
xdotool key Escape
wait_exit "$GAME" 5 || STATUS="none, still running"
echo "Esc: exit status $STATUS"
rm -rf "$OUT"
