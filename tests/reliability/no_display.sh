#!/bin/sh
# No display to show a window on: nothing named, an X display that is not there, a
# Wayland socket that is not there. Each time the program prints one line on stderr
# naming the problem and ends with status 1 (not an abort), within seconds.
#   no_display.sh FENWATER OUTDIR
set -eu
prog=$(readlink -f "$1")
OUT=$(readlink -f "$2")
rm -rf "$OUT"
mkdir -p "$OUT/config" "$OUT/runtime"
chmod 700 "$OUT/runtime"

# An X display number with no server behind it.
n=900
while [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done

fail() {
    echo "FAIL: $1"
    sed 's/^/  stderr: /' "$OUT/stderr"
    exit 1
}

# case | environment (besides an empty one) | a word the line must hold
for row in "nothing named||DISPLAY" \
    "X display not there|DISPLAY=:$n|:$n" \
    "Wayland socket not there|WAYLAND_DISPLAY=no-such-socket XDG_RUNTIME_DIR=$OUT/runtime|no-such-socket" \
    "Wayland asked for, not there|QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY=no-such-socket XDG_RUNTIME_DIR=$OUT/runtime|no-such-socket"; do
    case=${row%%|*}
    rest=${row#*|}
    vars=${rest%%|*}
    word=${rest#*|}
    # Only what the case names reaches the program, besides PATH and a settings folder.
    status=0
    (cd "$OUT" && exec env -i PATH="$PATH" HOME="$OUT" XDG_CONFIG_HOME="$OUT/config" $vars \
        timeout 20 "$prog") >"$OUT/stdout" 2>"$OUT/stderr" || status=$?
    [ "$status" = 1 ] || fail "$case: exit status $status, not 1"
    [ "$(wc -l <"$OUT/stderr")" = 1 ] || fail "$case: not exactly one line on stderr"
    grep -qi "display" "$OUT/stderr" || fail "$case: the line does not speak of the display"
    grep -qF -- "$word" "$OUT/stderr" || fail "$case: the line does not name '$word'"
    [ ! -s "$OUT/stdout" ] || fail "$case: something on stdout"
    echo "$case: $(cat "$OUT/stderr")"
done
