#!/bin/sh
# The real program as a native Wayland client under sway, headless, with a virtual
# pointer (fenwater-test-pointer) and wtype for keys; no X server anywhere (sway runs
# without Xwayland and DISPLAY is unset). sway refuses to run as root: as root, the
# session runs as the unprivileged user fenwater-test, created when missing, from a
# folder of its own under /tmp. Checks, with the window geometry sway reports:
#   the launcher appears; "(no sound)" and Play show the game window (and only it);
#   a drag by the case moves the window by the pointer's movement; a right-click opens
#   the menu as a popup over the window, with no new window in the tree; the right
#   arrow starts game B; Esc ends the program with status 0.
# Then, on an output of scale 2, the game window keeps its size in sway's layout and its
# screenshot equals fenwater-replay's render at scale 2.
#   wayland_session.sh FENWATER POINTER FENWATER_REPLAY OUTDIR
set -eu
replay=$(readlink -f "$3")
out=$(readlink -f "$4")
rm -rf "$out"
mkdir -p "$out"
work=$(mktemp -d /tmp/fenwater-wayland.XXXXXX)
cp "$1" "$work/fenwater"
cp "$2" "$work/pointer"
cp -r "$(dirname "$(readlink -f "$1")")/SOUND" "$work/"
mkdir -p "$work/config"
if [ "$(id -u)" = 0 ]; then
    user=fenwater-test
    id "$user" >/dev/null 2>&1 ||
        useradd --system --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin "$user"
    chown -R "$user" "$work"
    as_user() { runuser -u "$user" -- "$@"; }
else
    as_user() { "$@"; }
fi

SWAY=""
GAME=""
PID=""
runtime=""
display=""
swaysock=""
cleanup() {
    [ -n "$PID" ] && [ -n "$GAME" ] && kill "$PID" 2>/dev/null || true
    [ -n "$SWAY" ] && stop_sway
    wait 2>/dev/null || true
    cp "$work"/*.log "$work"/*.png "$out/" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

# Runs a command in the session, as its user, with nothing of X in its environment.
session() {
    as_user env -i PATH=/usr/local/bin:/usr/bin:/bin HOME="$work" XDG_RUNTIME_DIR="$runtime" \
        WAYLAND_DISPLAY="$display" XDG_SESSION_TYPE=wayland XDG_CONFIG_HOME="$work/config" \
        SWAYSOCK="$swaysock" "$@"
}
fail() {
    echo "FAIL: $1"
    session swaymsg -t get_tree -r >"$work/tree.log" 2>&1 || true
    for f in "$work/fenwater.log" "$work/sway.log"; do
        [ -f "$f" ] && sed "s|^|  $(basename "$f"): |" "$f" | tail -n 20
    done
    exit 1
}

# Starts sway with its output at SCALE (a logical screen of 1280 x 800), in a runtime
# folder of its own; sway names its sockets itself there.
start_sway() {
    runtime="$work/runtime$1"
    mkdir -m 700 "$runtime"
    printf 'xwayland disable\noutput HEADLESS-1 resolution %dx%d scale %d position 0 0\n' \
        $((1280 * $1)) $((800 * $1)) "$1" >"$work/sway$1.config"
    [ "$(id -u)" = 0 ] && chown -R "$user" "$runtime" "$work/sway$1.config"
    as_user env -i PATH=/usr/local/bin:/usr/bin:/bin HOME="$work" XDG_RUNTIME_DIR="$runtime" \
        WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
        sway -c "$work/sway$1.config" >"$work/sway.log" 2>&1 &
    SWAY=$!
    display=""
    swaysock=""
    for _ in $(seq 1 100); do
        display=$(ls "$runtime" | grep -m 1 '^wayland-[0-9]*$' || true)
        swaysock=$(ls "$runtime"/sway-ipc.*.sock 2>/dev/null | head -n 1 || true)
        [ -n "$display" ] && [ -n "$swaysock" ] && session swaymsg -t get_version >/dev/null 2>&1 &&
            return 0
        sleep 0.05
    done
    fail "sway did not start"
}
# Ends sway itself: runuser, its parent, does not pass the signal on.
stop_sway() {
    for p in $(pgrep -x -f "sway -c $work/sway[12].config" || true); do kill "$p"; done
    kill "$SWAY" 2>/dev/null || true
    wait "$SWAY" 2>/dev/null || true
    SWAY=""
}

# Starts the program in the folder of its SOUND folder: its process id is PID, the
# status of JOB (runuser, env and sh each hand over to it) is its exit status.
start_program() {
    session sh -c 'cd "$1" && exec "$1/fenwater"' sh "$work" >"$work/fenwater.log" 2>&1 &
    JOB=$!
    GAME=$JOB
    PID=""
    for _ in $(seq 1 50); do
        PID=$(pgrep -f -x "$work/fenwater" || true)
        [ -n "$PID" ] && return 0
        sleep 0.05
    done
    fail "the program did not start"
}

# Esc on the game window ends the program with status 0.
escape_ends_it() {
    keys -k Escape
    status=""
    for _ in $(seq 1 100); do
        kill -0 "$JOB" 2>/dev/null || { wait "$JOB" && status=0 || status=$?; break; }
        sleep 0.05
    done
    GAME=""
    [ "$status" = 0 ] || fail "Esc did not end the program with status 0 (status '$status')"
}

# The program's windows in sway's tree, one a line: "TITLE|X Y W H" of the content.
windows() {
    session swaymsg -t get_tree -r | python3 -c '
import json, sys
def walk(n):
    if n.get("pid") == int(sys.argv[1]) and n.get("type") in ("con", "floating_con"):
        r, w = n["rect"], n["window_rect"]
        print("%s|%d %d %d %d" % (n.get("name"), r["x"] + w["x"], r["y"] + w["y"], w["width"], w["height"]))
    for c in n.get("nodes", []) + n.get("floating_nodes", []):
        walk(c)
walk(json.load(sys.stdin))' "$PID"
}
# Waits up to 10 s for the program to have exactly these window titles (sorted, one a
# line); prints the geometry of the first.
waitwindows() {
    for _ in $(seq 1 100); do
        w=$(windows)
        [ "$(echo "$w" | cut -d'|' -f1 | sort)" = "$1" ] && { echo "$w" | head -n 1 | cut -d'|' -f2; return 0; }
        sleep 0.1
    done
    echo "$w" >&2
    return 1
}
pointer() { session "$work/pointer" 1280 800 "$@"; }
# wtype makes a new keyboard each time; the pause lets the program take its keymap
# before the first key.
keys() { session wtype -s 200 "$@"; }
shot() { session grim "$work/$1.png"; }
# The pixels that differ between two screenshots within a box WxH+X+Y.
differ() {
    /usr/bin/convert "$work/$1.png" -crop "$3" +repage "$work/a.png"
    /usr/bin/convert "$work/$2.png" -crop "$3" +repage "$work/b.png"
    /usr/bin/compare -metric AE "$work/a.png" "$work/b.png" null: 2>&1 | cut -d' ' -f1 || true
}

start_sway 1
start_program
title="Fenwater (Ostrel) Simulator"

w=$(waitwindows "About Fenwater...") || fail "the launcher did not appear"
set -- $w
[ "$3 $4" = "269 337" ] || fail "the launcher is $3 x $4"
echo "launcher at $1,$2"
# "(no sound)": open the list, close it again, then the last item from the keyboard.
pointer at $(($1 + 187)) $(($2 + 276)) down left up left
sleep 0.4
keys -k Escape -s 300 -k End
sleep 0.2
pointer at $(($1 + 134)) $(($2 + 316)) down left up left
w=$(waitwindows "$title") || fail "\"(no sound)\" and Play did not show the game window alone"
set -- $w
[ "$3 $4" = "652 443" ] || fail "the game window is $3 x $4"
x=$1
y=$2
echo "game window at $x,$y"

# A drag by the case: the first movement hands the move to sway, which then moves the
# window with the pointer.
pointer at $((x + 20)) $((y + 20)) down left by 2 1 wait 300 \
    by 10 6 by 10 6 by 10 6 by 10 6 by 10 6 wait 100 up left
sleep 0.5
w=$(waitwindows "$title") || fail "the game window went away"
set -- $w
echo "dragged by 50,30 after the first movement: the window went from $x,$y to $1,$2"
[ "$1,$2" = "$((x + 50)),$((y + 30))" ] || fail "the window did not follow the pointer"
x=$1
y=$2

# A right-click: the menu shows over the window below and right of the pointer, and
# the tree holds no other window. Twice: once Esc closed the first menu, Qt no longer
# takes the window for active (sway hands the keyboard back without a word), and the
# menu must still open over it.
pointer at $((x + 300)) $((y + 200))
sleep 0.3
shot before-menu
for round in 1 2; do
    pointer at $((x + 300)) $((y + 200)) down right up right
    sleep 0.6
    shot menu
    [ "$(windows | cut -d'|' -f1)" = "$title" ] || fail "the menu is a window of its own: $(windows)"
    below=$(differ before-menu menu "150x120+$((x + 302))+$((y + 202))")
    above=$(differ before-menu menu "150x120+$((x + 140))+$((y + 70))")
    echo "menu $round: $below pixels changed below and right of the pointer, $above above and left"
    [ "$(echo "$below" | awk '{ print ($1 > 5000) }')" = 1 ] || fail "no menu at the pointer"
    [ "$above" = 0 ] || fail "the menu is not where the pointer is"
    keys -k Escape
    sleep 0.3
    [ -n "$(windows)" ] || fail "Esc for the menu ended the program"
    shot no-menu
    [ "$(differ before-menu no-menu "652x443+$x+$y")" = 0 ] || fail "Esc did not close the menu"
done

# The hint of TIME under a pointer that rests on it, as a popup too.
pointer at $((x + 400)) $((y + 300)) at $((x + 500)) $((y + 80)) by 1 0 wait 2500 &
hover=$!
sleep 2.2
shot hint
wait "$hover"
[ "$(windows | cut -d'|' -f1)" = "$title" ] || fail "the hint is a window of its own: $(windows)"
hint=$(differ no-menu hint "200x40+$((x + 500))+$((y + 95))")
echo "hint: $hint pixels changed below the pointer"
[ "$(echo "$hint" | awk '{ print ($1 > 1000) }')" = 1 ] || fail "no hint under the pointer on TIME"

# The right arrow starts game B: GAME B, its best score, then the figure.
sleep 0.5
shot before-game
keys -k Right
sleep 1.2
shot game
changed=$(differ before-game game "652x443+$x+$y")
echo "game B: $changed pixels of the window changed"
[ "$(echo "$changed" | awk '{ print ($1 > 200) }')" = 1 ] || fail "the right arrow did not start game B"

escape_ends_it
echo "Esc ended the program with status 0"

# An output of scale 2: the same layout, every device pixel that of the render at
# scale 2 ("(no sound)" is stored now, so Play is ready).
printf '0 png %s 2\n' "$work/render-2x.png" | "$replay" - || fail "no render at scale 2"
stop_sway
start_sway 2
start_program
w=$(waitwindows "About Fenwater...") || fail "scale 2: the launcher did not appear"
set -- $w
[ "$3 $4" = "269 337" ] || fail "scale 2: the launcher is $3 x $4 in the layout"
pointer at $(($1 + 134)) $(($2 + 316)) down left up left
w=$(waitwindows "$title") || fail "scale 2: Play did not show the game window"
set -- $w
[ "$3 $4" = "652 443" ] || fail "scale 2: the game window is $3 x $4 in the layout"
differ=""
for attempt in 1 2 3 4 5; do
    sleep 0.3
    shot screen-2x
    /usr/bin/convert "$work/screen-2x.png" -crop "1304x886+$(($1 * 2))+$(($2 * 2))" +repage \
        "$work/game-2x.png"
    differ=$(/usr/bin/compare -metric AE "$work/game-2x.png" "$work/render-2x.png" null: 2>&1 |
        cut -d' ' -f1 || true)
    [ "$differ" = 0 ] && break
done
[ "$differ" = 0 ] || fail "scale 2: the window differs from the render ($differ pixels)"
echo "scale 2: the game window at $1,$2 of the layout equals the render at scale 2"
escape_ends_it
