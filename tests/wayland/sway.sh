# A headless sway session for the real program as a native Wayland client, with a
# virtual pointer (fenwater-test-pointer) and wtype for keys; no X server anywhere (sway
# runs without Xwayland and DISPLAY is unset). Sourced by the Wayland scripts after they
# set POINTER_PROG (the pointer) and FENWATER (the program). sway refuses to run as root:
# as root, the session runs as the unprivileged user fenwater-test, created when missing,
# from a folder of its own under /tmp ($work), which is removed on exit after its logs
# and screenshots are copied to OUT.
. "$(dirname "$0")/../settle.sh"

work=$(mktemp -d /tmp/fenwater-wayland.XXXXXX)
cp "$FENWATER" "$work/fenwater"
cp "$POINTER_PROG" "$work/pointer"
cp "$(command -v wtype)" "$work/keyboard"
cp -r "$(dirname "$(readlink -f "$FENWATER")")/SOUND" "$work/"
mkdir -p "$work/config" "$OUT"
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
    [ -n "$PID" ] && [ -n "$GAME" ] && kill -9 "$PID" 2>/dev/null || true
    [ -n "$SWAY" ] && stop_sway
    wait 2>/dev/null || true
    cp "$work"/*.log "$work"/*.png "$OUT/" 2>/dev/null || true
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
    if [ -n "$PID" ] && kill -0 "$PID" 2>/dev/null; then
        echo "  the program's windows: $(windows | tr '\n' ';')"
    elif [ -n "$GAME" ]; then
        echo "  the program is no longer running"
    fi
    session swaymsg -t get_tree -r >"$work/tree.log" 2>&1 || true
    for f in "$work/fenwater.log" "$work/sway.log"; do
        [ -f "$f" ] && sed "s|^|  $(basename "$f"): |" "$f" | tail -n 20
    done
    exit 1
}

# Starts sway with its output at SCALE (a logical screen of WIDTH x HEIGHT, by default
# 1280 x 800), in a runtime folder of its own; sway names its sockets itself there.
#   start_sway SCALE [WIDTH HEIGHT]
start_sway() {
    sw=${2:-1280}
    sh=${3:-800}
    runtime="$work/runtime$1-$sw"
    mkdir -m 700 "$runtime"
    printf 'xwayland disable\noutput HEADLESS-1 resolution %dx%d scale %d position 0 0\n' \
        $((sw * $1)) $((sh * $1)) "$1" >"$work/sway$1-$sw.config"
    [ "$(id -u)" = 0 ] && chown -R "$user" "$runtime" "$work/sway$1-$sw.config"
    as_user env -i PATH=/usr/local/bin:/usr/bin:/bin HOME="$work" XDG_RUNTIME_DIR="$runtime" \
        WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
        sway -c "$work/sway$1-$sw.config" >"$work/sway.log" 2>&1 &
    SWAY=$!
    display=""
    swaysock=""
    for _ in $(seq 1 100); do
        display=$(ls "$runtime" | grep -m 1 '^wayland-[0-9]*$' || true)
        swaysock=$(ls "$runtime"/sway-ipc.*.sock 2>/dev/null | head -n 1 || true)
        [ -n "$display" ] && [ -n "$swaysock" ] && session swaymsg -t get_version >/dev/null 2>&1 &&
            break
        sleep 0.05
    done
    [ -n "$display" ] && [ -n "$swaysock" ] || fail "sway did not start"
    # A pointer and a keyboard held for the whole session, as a desk has them: the seat
    # has both before the program starts, so the program's own pointer and keyboard
    # exist from its start. A device that joined the seat only for one click or key
    # would race the program: a click sent before the program has taken the new
    # pointer is lost.
    (session "$work/pointer" "$sw" "$sh" wait 86400000 >/dev/null 2>&1 &)
    (session "$work/keyboard" -s 86400000 >/dev/null 2>&1 &)
    settled "the held pointer and keyboard" 10 seat_devices >/dev/null ||
        fail "the held pointer and keyboard did not join the seat"
}
# The seat's devices, only once it has a pointer and a keyboard.
seat_devices() {
    _sd=$(session swaymsg -t get_inputs -r | python3 -c '
import json, sys
print(" ".join(sorted(d["type"] for d in json.load(sys.stdin))))')
    case "$_sd" in *keyboard*pointer*) echo "$_sd" ;; esac
}
# The held devices end with the session.
stop_held() {
    for p in $(pgrep -f -x "$work/(pointer [0-9]+ [0-9]+ wait|keyboard -s) 86400000" || true); do
        kill "$p"
    done
}
# Ends sway itself: runuser, its parent, does not pass the signal on.
stop_sway() {
    stop_held
    for p in $(pgrep -x -f "sway -c $work/sway[0-9]*-[0-9]*\.config" || true); do kill "$p"; done
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

# Waits up to SECONDS (default 2) for the program to end; its status is then in STATUS
# and the milliseconds it took in TOOK, else STATUS is empty.
wait_end() {
    STATUS=""
    _we_start=$(date +%s%N)
    for _ in $(seq 1 $((${1:-2} * 50))); do
        if ! kill -0 "$JOB" 2>/dev/null; then
            wait "$JOB" && STATUS=0 || STATUS=$?
            break
        fi
        sleep 0.02
    done
    TOOK=$((($(date +%s%N) - _we_start) / 1000000))
    [ -n "$STATUS" ] && GAME=""
    [ -n "$STATUS" ]
}

# Esc on the game window ends the program with status 0.
escape_ends_it() {
    keys -k Escape
    wait_end 5 || fail "Esc did not end the program within 5 s"
    [ "$STATUS" = 0 ] || fail "Esc ended the program with status '$STATUS'"
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
# The program's windows, only when their titles are exactly TITLES (sorted, one a line).
windows_titled() {
    _wt=$(windows)
    [ "$(echo "$_wt" | cut -d'|' -f1 | sort)" = "$1" ] && echo "$_wt"
}
# Waits up to 10 s for the program to have exactly these window titles, and for their
# places and sizes to have settled; prints the geometry of the first: "X Y W H".
waitwindows() {
    _ww=$(settled "the windows '$1'" 10 windows_titled "$1") || return 1
    echo "$_ww" | head -n 1 | cut -d'|' -f2
}
pointer() { session "$work/pointer" "$sw" "$sh" "$@"; }
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
# A fingerprint of the box WxH+X+Y of a new screenshot NAME.
box_print() {
    shot "$1"
    /usr/bin/convert "$work/$1.png" -crop "$2" +repage rgb:- | md5sum | cut -d' ' -f1
}
# The box of a new screenshot NAME, once unchanged between two shots; NAME.png is then
# that picture. Fails naming WHAT if it does not settle within 10 s.
settled_shot() {
    settled "$3" 10 box_print "$1" "$2" >/dev/null || fail "$3 did not settle"
}
# Prints the fingerprint of the box of a new screenshot NAME only when it differs from
# screenshot BEFORE there in more than MIN pixels.
box_changed() {
    _bc=$(box_print "$1" "$3")
    [ "$(differ "$2" "$1" "$3" | awk -v min="$4" '{ print ($1 > min) }')" = 1 ] && echo "$_bc"
}
# Waits until the box WxH+X+Y of a new screenshot NAME differs from BEFORE in more than
# MIN pixels and has settled; fails naming WHAT otherwise.
#   changed_shot NAME BEFORE BOX MIN WHAT
changed_shot() {
    settled "$5" 10 box_changed "$1" "$2" "$3" "$4" >/dev/null || fail "$5 did not show"
}
# Waits until the box of a new screenshot NAME equals BEFORE there; fails with WHAT.
#   same_shot NAME BEFORE BOX WHAT
same_shot() {
    for _ in $(seq 1 100); do
        shot "$1"
        [ "$(differ "$2" "$1" "$3")" = 0 ] && return 0
        sleep 0.1
    done
    fail "$4"
}
# The launcher at X Y: "(no sound)" picked from the keyboard, then Play pressed.
play_without_sound() {
    settled_shot launcher "269x337+$1+$2" "the launcher's picture"
    # Open the list, close it again, then the last item from the keyboard.
    pointer at $(($1 + 187)) $(($2 + 276)) down left up left
    changed_shot list launcher "269x337+$1+$2" 30 "the open list"
    keys -k Escape -s 300 -k End
    changed_shot picked launcher "269x337+$1+$2" 30 "\"(no sound)\" in the list"
    click_play "$1" "$2"
}
# The launcher's place, once it is up: "X Y" of its client area. sway now and then maps a
# new floating window with its input a title bar's height below where it draws it (seen
# in about one start in thirty): a click then lands 25 pixels above what it aims at, for
# as long as the window lives. Asking sway to place the window again puts both right, so
# the launcher is placed again before anything is clicked on it.
launcher_at() {
    waitwindows "About Fenwater..." >/dev/null || return 1
    session swaymsg "[title=\"^About Fenwater\\.\\.\\.\$\"] move position center" >/dev/null
    waitwindows "About Fenwater..."
}
# Clicks Play on the launcher at X Y, then rests the pointer in the screen's corner, off
# the game window that comes where the launcher was.
click_play() { pointer at $(($1 + 134)) $(($2 + 316)) down left up left at 0 0; }
