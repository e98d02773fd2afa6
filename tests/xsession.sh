# An X server of its own (Xvfb on a free display) with a window manager, and helpers to
# run the real program in it and find its windows. Sourced by the scripts that run the
# program end to end; they set OUT (a scratch folder) first.
#   xsession_start; ...; xsession_stop   (xsession_stop also runs on exit)
# XS_SCREEN sets the screen (default 1024x768x24).

# settle.sh lives beside this file; it is sourced from a folder of tests/ or from bench/.
for XS_SETTLE in "$(dirname "$0")/../settle.sh" "$(dirname "$0")/../tests/settle.sh"; do
    [ -f "$XS_SETTLE" ] && break
done
. "$XS_SETTLE"

XS_XVFB=""
XS_WM=""
XS_PIDS=""

xsession_stop() {
    for p in $XS_PIDS; do kill "$p" 2>/dev/null || true; done
    [ -n "$XS_WM" ] && kill "$XS_WM" 2>/dev/null || true
    [ -n "$XS_XVFB" ] && kill "$XS_XVFB" 2>/dev/null || true
    wait 2>/dev/null || true
    XS_PIDS=""
    XS_WM=""
    XS_XVFB=""
}

xsession_start() {
    command -v Xvfb >/dev/null 2>&1 || { echo "no Xvfb"; exit 1; }
    mkdir -p "$OUT"
    # The program's own files (the last game played) stay in the test's folder too.
    export XDG_DATA_HOME="$OUT/data"
    rm -f "$OUT/display"
    # Xvfb picks a free display number itself and writes it to fd 3.
    Xvfb -displayfd 3 -noreset -nolisten tcp -screen 0 "${XS_SCREEN:-1024x768x24}" 3>"$OUT/display" \
        >"$OUT/xvfb.log" 2>&1 &
    XS_XVFB=$!
    trap xsession_stop EXIT
    trap 'exit 1' INT TERM
    for _ in $(seq 1 100); do
        [ -s "$OUT/display" ] && break
        sleep 0.05
    done
    [ -s "$OUT/display" ] || { echo "Xvfb did not start"; cat "$OUT/xvfb.log"; exit 1; }
    DISPLAY=:$(cat "$OUT/display")
    export DISPLAY
    for _ in $(seq 1 100); do
        xdpyinfo >/dev/null 2>&1 && break
        sleep 0.05
    done
    if command -v openbox >/dev/null 2>&1; then
        openbox --sm-disable >"$OUT/openbox.log" 2>&1 &
        XS_WM=$!
        # The manager is up once it owns the screen's selection.
        for _ in $(seq 1 100); do
            xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
            sleep 0.05
        done
    fi
    export QT_QPA_PLATFORM=xcb
    unset QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS
}

# The usual start of a script run as SCRIPT FENWATER OUTDIR: prog and OUT (absolute)
# set, OUT emptied, the X session started.
#   begin FENWATER OUTDIR
begin() {
    prog=$(readlink -f "$1")
    OUT=$(readlink -f "$2")
    rm -rf "$OUT"
    xsession_start
}

# A settings folder for one run: XDG_CONFIG_HOME pointed at DIR, with "SoundMode" stored
# when a mode is given.
#   settings_home DIR [SOUNDMODE]
settings_home() {
    mkdir -p "$1"
    export XDG_CONFIG_HOME="$1"
    if [ -n "${2:-}" ]; then
        mkdir -p "$1/Morvane/Fenwater"
        printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Morvane\\Fenwater]\r\n"SoundMode"="%s"\r\n' \
            "$2" >"$1/Morvane/Fenwater/settings.reg"
    fi
}

# Starts the program in folder RUN (its SOUND folder and text files), output to LOG;
# its process id is in GAME.
#   start_program PROGRAM RUN LOG
start_program() {
    (cd "$2" && exec "$1") >"$3" 2>&1 &
    GAME=$!
    XS_PIDS="$XS_PIDS $GAME"
}

# The id of the mapped window with exactly this title, or nothing.
visible() {
    xdotool search --onlyvisible --name "^$(echo "$1" | sed 's/[().]/\\&/g')\$" 2>/dev/null | head -n 1
}

# "gone" once no mapped window has this title, else nothing (for settled).
gone() {
    [ -z "$(visible "$1")" ] && echo gone
}

# A mapped window with this title as "ID X Y W H", or nothing.
placed() {
    _pl=$(visible "$1")
    [ -n "$_pl" ] && echo "$_pl $(position "$_pl") $(window_size "$_pl")"
}

# Waits up to SECONDS (default 10) for a mapped window with this title whose place and
# size have settled (the window manager may still be placing it); prints its id.
waitfor() {
    _wf=$(settled "the window '$1'" "${2:-10}" placed "$1") || return 1
    echo "$_wf" | cut -d' ' -f1
}

# The program's other mapped windows besides WINDOW (its menu, a hint), as "ID X Y W H"
# lines, or nothing.
popups() {
    for _pw in $(xdotool search --onlyvisible --pid "$GAME" 2>/dev/null); do
        [ "$_pw" = "$1" ] || echo "$_pw $(position "$_pw") $(window_size "$_pw")"
    done
}

# The absolute position of a window's client area: "x y".
position() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF } END { print x, y }'
}

# Sets x and y to the place of window WINDOW.
#   place_of WINDOW
place_of() {
    set -- $(position "$1")
    x=$1
    y=$2
}

# Waits for the game window after Play: form is its id, x and y its place.
#   game_window CASE
game_window() {
    form=$(waitfor "Fenwater (Ostrel) Simulator") || fail "$1: Play did not bring up the game window"
    place_of "$form"
}

# Presses Play in the launcher window LAUNCHER, at its settled place.
press_play() {
    set -- $(settled "the launcher's place" 10 position "$1")
    xdotool mousemove $(($1 + 134)) $(($2 + 316)) click 1
}

# Waits up to SECONDS (default 5) for process PID, a child of this shell, to end; its
# exit status is then in STATUS, else STATUS is empty and the result is false.
wait_exit() {
    STATUS=""
    for _ in $(seq 1 $(( ${2:-5} * 20 ))); do
        if ! kill -0 "$1" 2>/dev/null; then
            wait "$1" && STATUS=0 || STATUS=$?
            return 0
        fi
        sleep 0.05
    done
    return 1
}

# The text of every mapped window's title, one a line.
window_titles() {
    for w in $(xdotool search --onlyvisible --name '' 2>/dev/null); do
        xdotool getwindowname "$w" 2>/dev/null
    done
}

# The size of a window: "width height".
window_size() {
    xwininfo -id "$1" | awk '/^ *Width:/ { w = $NF } /^ *Height:/ { h = $NF } END { print w, h }'
}

# Waits up to SECONDS for a mapped window with this title whose size is (or, with "!",
# is not) W x H; prints its id.
#   waitsized TITLE SECONDS [!] W H
waitsized() {
    _t=$1
    _s=$2
    shift 2
    _not=""
    [ "$1" = "!" ] && { _not=1; shift; }
    for _ in $(seq 1 $((_s * 20 + 1))); do
        for _w in $(xdotool search --onlyvisible --name "^$(echo "$_t" | sed 's/[().]/\\&/g')\$" 2>/dev/null); do
            _size=$(window_size "$_w")
            _match=""
            [ "$_size" = "$1 $2" ] && _match=1
            if [ "$_match" != "$_not" ]; then
                settled "the place of '$_t'" 5 position "$_w" >/dev/null || return 1
                echo "$_w"
                return 0
            fi
        done
        sleep 0.05
    done
    return 1
}

# A fingerprint of the box WxH+X+Y of the screen.
screen_print() {
    /usr/bin/import -display "$DISPLAY" -window root -crop "$1" +repage rgb:- | md5sum | cut -d' ' -f1
}
# The fingerprint of the box, only when it is not PRINT.
screen_changed() {
    _sc=$(screen_print "$1")
    [ "$_sc" != "$2" ] && echo "$_sc"
}

# Picks an item of the launcher's sound list from the keyboard, KEY Home the first
# ("Windows MM") or End the last ("(no sound)"); each step waits for the launcher to show
# the one before it settled.
#   pick_sound LAUNCHER KEY
pick_sound() {
    _key=$2
    set -- $(settled "the launcher's place" 10 position "$1")
    _box="269x337+$1+$2"
    _pn=$(settled "the launcher's picture" 10 screen_print "$_box") || fail "the launcher is not drawn"
    xdotool mousemove $(($1 + 187)) $(($2 + 276)) click 1
    settled "the open list" 10 screen_changed "$_box" "$_pn" >/dev/null || fail "the list did not open"
    xdotool key Escape
    _pn=$(settled "the closed list" 10 screen_print "$_box") || fail "the list did not close"
    # The key changes nothing where its item is already the choice.
    xdotool key "$_key"
    settled "the list after $_key" 10 screen_print "$_box" >/dev/null || fail "the launcher did not settle after $_key"
}
pick_no_sound() {
    pick_sound "$1" End
}

# "same" when the box WxH+X+Y of the screen equals a render, else nothing; the number of
# pixels that differ is kept in OUT/differ-NAME, the screenshot in OUT/window-NAME.png.
#   same_as_render BOX RENDER NAME
same_as_render() {
    /usr/bin/import -display "$DISPLAY" -window root "$OUT/screen-$3.png"
    /usr/bin/convert "$OUT/screen-$3.png" -crop "$1" +repage "$OUT/window-$3.png"
    /usr/bin/compare -metric AE "$OUT/window-$3.png" "$2" "$OUT/diff-$3.png" >"$OUT/differ-$3" 2>&1 || true
    [ "$(cat "$OUT/differ-$3")" = "0" ] && echo same
}

# Whether the box of the screen comes to equal a render within 3 s (the X server may
# still be drawing); the number of pixels that differ is left in $differ.
#   matches BOX RENDER NAME
matches() {
    _mt=0
    settled "the window against $2" 3 same_as_render "$@" >/dev/null 2>&1 || _mt=1
    differ=$(cat "$OUT/differ-$3")
    return $_mt
}

# A picture of a window.
shot() {
    /usr/bin/import -display "$DISPLAY" -window "$1" "$2"
}

# A fingerprint of a window's picture.
window_print() {
    /usr/bin/import -display "$DISPLAY" -window "$1" rgb:- | md5sum | cut -d' ' -f1
}

# True when the game reacts to the keyboard: game B started from the right arrow key
# changes the settled window within two seconds.
game_plays() {
    xdotool windowactivate --sync "$1" >/dev/null 2>&1 || true
    settled "the game window's picture" 10 window_print "$1" >/dev/null || return 1
    shot "$1" "$OUT/before.png"
    xdotool key Right
    for _ in $(seq 1 20); do
        shot "$1" "$OUT/after.png"
        _d=$(/usr/bin/compare -metric AE "$OUT/before.png" "$OUT/after.png" null: 2>&1 || true)
        [ "$_d" != "0" ] && return 0
        sleep 0.1
    done
    return 1
}

# Starts a game with KEY (Left game A, Right game B) on the game window FORM and reads
# the best score it shows for 900 ms after the start cue from screenshots (saved as PNG,
# read by the tool READER): true once the digits begin with DIGITS (e.g. _033). SCREEN
# holds the last reading.
#   shows_best FORM KEY DIGITS READER PNG
shows_best() {
    xdotool windowactivate --sync "$1" key "$2"
    set -- "$3" "$4" "$5" $(position "$1")
    for _ in $(seq 1 30); do
        /usr/bin/import -display "$DISPLAY" -window root "$3"
        SCREEN=$("$2" "$3" "$4" "$5")
        case "$SCREEN" in "digits=$1"*) return 0 ;; esac
    done
    return 1
}

# The stored "SoundMode" text of the settings folder under XDG_CONFIG_HOME, or nothing.
stored_sound_mode() {
    sed -n 's/^"SoundMode"="\(.*\)"\r*$/\1/p' "$XDG_CONFIG_HOME/Morvane/Fenwater/settings.reg" 2>/dev/null
}

# A run folder: the program's SOUND folder and text files, copied so a test may spoil them.
run_folder() {
    rm -rf "$2"
    mkdir -p "$2"
    cp -r "$(dirname "$1")/SOUND" "$(dirname "$1")/readme.txt" "$(dirname "$1")/whatsnew.txt" "$2/"
}

# Starts PROGRAM in the run folder RUN (output to fenwater.log beside it), waits for its
# launcher and presses Play; CASE names the run in failures.
#   start_and_play PROGRAM RUN CASE
start_and_play() {
    LOG="$(dirname "$2")/fenwater.log"
    start_program "$1" "$2" "$LOG"
    _launcher=$(waitfor "About Fenwater..." 10) || fail "$3: the launcher did not appear"
    press_play "$_launcher"
}

# After Play: the sound error box within SECONDS and no game window; OK ends the program
# with status 1 (it ends because it cannot play) and "SoundMode" -1 stored.
#   expect_sound_error CASE SECONDS
expect_sound_error() {
    _box=$(waitfor "Error" "$2") || fail "$1: no sound error box within $2 s of Play"
    [ -z "$(visible "Fenwater (Ostrel) Simulator")" ] || fail "$1: the game window came up"
    xdotool windowactivate --sync "$_box" key Return
    wait_exit "$GAME" 5 || fail "$1: the program did not end after OK"
    [ "$STATUS" = 1 ] || fail "$1: the program ended with status $STATUS, not 1"
    _mode=$(stored_sound_mode)
    [ "$_mode" = "-1" ] || fail "$1: \"SoundMode\" is '$_mode' after the error, not -1"
}

# Esc on the focused window ends the program with status 0.
#   escape_ends CASE
escape_ends() {
    xdotool key Escape
    wait_exit "$GAME" 5 || fail "$1: Esc did not end the program"
    [ "$STATUS" = 0 ] || fail "$1: the program ended with status $STATUS"
}

fail() {
    echo "FAIL: $1"
    window_titles | sed 's/^/  window: /'
    [ -n "${LOG:-}" ] && [ -f "$LOG" ] && sed 's/^/  log: /' "$LOG"
    exit 1
}
