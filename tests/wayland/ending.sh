#!/bin/sh
# The program always ends under Wayland: started and ended ESC times by Esc on the game
# window after Play, CLOSE times by the compositor's close of the game window, and
# LAUNCHER times by the compositor's close of the launcher before Play; each run must
# end with status 0 within 2 s of the key or the close. With KEEP_GOING=1 a run that
# does not end is counted and killed, and the counts are printed at the end.
#   ending.sh FENWATER POINTER OUTDIR ESC CLOSE LAUNCHER
set -eu
FENWATER=$1
POINTER_PROG=$2
OUT=$(readlink -f "$3")
rm -rf "$OUT"
. "$(dirname "$0")/sway.sh"

# "(no sound)" stored, so that Play is ready at once.
mkdir -p "$work/config/Morvane/Fenwater"
printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Morvane\\Fenwater]\r\n"SoundMode"="2"\r\n' \
    >"$work/config/Morvane/Fenwater/settings.reg"
[ "$(id -u)" = 0 ] && chown -R "$user" "$work/config"
start_sway 1
title="Fenwater (Ostrel) Simulator"

# One run ended by HOW ("esc", "close" or "launcher"); counts the result.
ended=0
hung=0
slowest=0
took=""
one_run() {
    start_program
    w=$(launcher_at) || fail "$1 run $2: the launcher did not appear"
    set -- "$1" "$2" $w
    if [ "$1" = launcher ]; then
        session swaymsg "[pid=$PID] kill" >/dev/null
    else
        click_play "$3" "$4"
        waitwindows "$title" >/dev/null || fail "$1 run $2: Play did not show the game window"
        if [ "$1" = esc ]; then
            keys -k Escape
        else
            session swaymsg "[pid=$PID] kill" >/dev/null
        fi
    fi
    if wait_end 2 && [ "$STATUS" = 0 ]; then
        ended=$((ended + 1))
        took="$took $TOOK"
        [ "$TOOK" -gt "$slowest" ] && slowest=$TOOK
        return 0
    fi
    what="did not end within 2 s"
    [ -n "$STATUS" ] && what="ended with status $STATUS"
    [ -n "$(windows)" ] && what="$what, its window still there"
    [ "${KEEP_GOING:-}" = 1 ] || fail "$1 run $2: the program $what"
    echo "$1 run $2: the program $what"
    hung=$((hung + 1))
    kill -9 "$PID" 2>/dev/null || true
    wait "$JOB" 2>/dev/null || true
    GAME=""
}

for i in $(seq 1 "$4"); do one_run esc "$i"; done
echo "Esc: $ended of $4 runs ended with status 0 within 2 s"
esc_ended=$ended
ended=0
for i in $(seq 1 "$5"); do one_run close "$i"; done
echo "the compositor's close: $ended of $5 runs ended with status 0 within 2 s"
close_ended=$ended
ended=0
for i in $(seq 1 "$6"); do one_run launcher "$i"; done
echo "the launcher's close: $ended of $6 runs ended with status 0 within 2 s"
echo "slowest end: $slowest ms; ends over 400 ms: $(echo $took | tr ' ' '\n' | awk '$1 > 400' | wc -l)"
[ "$esc_ended" = "$4" ] && [ "$close_ended" = "$5" ] && [ "$ended" = "$6" ]
