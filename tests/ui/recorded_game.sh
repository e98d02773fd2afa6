#!/bin/sh
# Recorded games and the faint look, in the real program under Xvfb:
# - with "UnlitSegments" stored as 1 the window equals fenwater-replay's render with
#   --unlit, at 1x and at 2x;
# - a game A played with the arrow keys (xdotool) leaves its recording as the last game;
#   fenwater-replay plays it, with a dump after its last line, to the game over and the
#   score the program stored as the best of game A;
# - "Watch the last game again" plays it in the window with the replay's sign on the
#   case; Esc stops it and the program goes on; the settings file is the same, byte for
#   byte;
# - started with a saved game, the program plays it after Play; started with a damaged
#   one, it says why in a box and plays on.
#   recorded_game.sh FENWATER FENWATER_REPLAY OUTDIR
set -eu
replay=$(readlink -f "$2")
XS_SCREEN=1600x1000x24
. "$(dirname "$0")/../xsession.sh"
begin "$1" "$3"
title="Fenwater (Ostrel) Simulator"
store="$OUT/config/Morvane/Fenwater/settings.reg"
last="$XDG_DATA_HOME/fenwater/last-game.fenwater"
for s in 1 2; do
    printf '0 png %s %s\n' "$OUT/unlit-$s.png" "$s" | "$replay" --unlit - ||
        fail "no render with unlit segments at scale $s"
done

# "shown" while the replay's sign lies on the case above the LCD (its red at its left end).
sign() {
    _c=$(/usr/bin/import -display "$DISPLAY" -window root -crop "6x10+$((x + 253))+$((y + 60))" +repage \
        -format '%[fx:round(255*mean.r)] %[fx:round(255*mean.g)]' info:)
    [ "${_c% *}" -gt 140 ] && [ "${_c#* }" -lt 80 ] && echo shown
}
# The number of mapped windows with the program's title: the game window and its boxes.
titled() {
    xdotool search --onlyvisible --name "^Fenwater \(Ostrel\) Simulator\$" 2>/dev/null | wc -l
}
two_titled() { [ "$(titled)" -ge 2 ] && echo two; }
one_titled() { [ "$(titled)" = 1 ] && echo one; }
no_sign() { [ -z "$(sign)" ] && echo gone; }

settings_home "$OUT/config" 2
printf '"UnlitSegments"="1"\r\n' >>"$store"
run_folder "$prog" "$OUT/run"
start_and_play "$prog" "$OUT/run" unlit
game_window unlit
matches "652x443+$x+$y" "$OUT/unlit-1.png" unlit-1 ||
    fail "with unlit segments the window differs from the render at 1x ($differ pixels)"
xdotool windowactivate --sync "$form" key ctrl+plus
form=$(waitsized "$title" 10 1304 886) || fail "Ctrl and + did not make the window 2x"
set -- $(position "$form")
matches "1304x886+$1+$2" "$OUT/unlit-2.png" unlit-2 ||
    fail "with unlit segments the window differs from the render at 2x ($differ pixels)"
xdotool key ctrl+0
form=$(waitsized "$title" 10 652 443) || fail "Ctrl and 0 did not bring back 1x"
place_of "$form"
echo "unlit segments: the window equals the render with --unlit at 1x and 2x"

# Games A, played by the keys until one is over: the last game is kept then. A player
# pressing keys at random catches nothing now and then: up to three games, until one
# scores. Each game's replay must end in its game over with the score the program had,
# which the stored best shows when it is the best yet.
best=0
for game in 1 2 3; do
    rm -f "$last"
    xdotool windowactivate --sync "$form" key Left
    for round in $(seq 1 200); do
        [ -s "$last" ] && break
        xdotool key --delay 120 $(for _ in 1 2 3 4; do shuf -n 1 -e Left Right; done)
    done
    [ -s "$last" ] || fail "game $game: no last game was kept after it was over"
    cp "$last" "$OUT/game.replay"
    end=$(tail -n 1 "$OUT/game.replay" | cut -d' ' -f1)
    echo "$end dump" >>"$OUT/game.replay"
    dump=$("$replay" "$OUT/game.replay") || fail "fenwater-replay cannot play the last game"
    echo "$dump" | grep -q " GameMode=1 Playing=0 .* MissCount=3 " ||
        fail "game $game: the replay does not end in the game over: $dump"
    score=$(echo "$dump" | sed -n 's/.* Score=\([0-9]*\) .*/\1/p')
    [ "$score" -gt "$best" ] && best=$score
    stored=$(sed -n 's/^"HiScoreA"="\(.*\)"\r*$/\1/p' "$store")
    [ "${stored:-0}" = "$best" ] || fail "game $game: the replay's score is $score, the stored best $stored"
    echo "game $game: $(grep -c key "$OUT/game.replay") key lines over $end ms; the replay ends at the game over with score $score"
    [ "$score" -gt 0 ] && break
done
# A game the last keys may have started is abandoned with ACL.
xdotool mousemove $((x + 594)) $((y + 113)) click 1

# Watching it changes nothing stored.
before=$(sha256sum <"$store")
xdotool mousemove $((x + 300)) $((y + 200)) click 3
settled "the menu" 10 popups "$form" >/dev/null || fail "no menu on a right click"
xdotool key Up Up Up Up Return
settled "the replay's sign" 10 sign >/dev/null || fail "'Watch the last game again' showed no replay"
xdotool key Escape
settled "the end of the replay" 10 no_sign >/dev/null || fail "Esc did not stop the replay"
kill -0 "$GAME" 2>/dev/null || fail "Esc during the replay ended the program"
[ "$(sha256sum <"$store")" = "$before" ] || fail "watching the game changed the settings file"
echo "watching: the sign on the case, stopped by Esc, the settings file as it was"
escape_ends watched

# A saved game named at start plays after Play; a damaged one is refused in a box.
cp "$last" "$OUT/saved.fenwater"
head -n 3 "$last" >"$OUT/damaged.fenwater"
# Starts the program with a game file.
#   prog_with FILE NAME
prog_with() {
    (cd "$OUT/run" && exec "$prog" "$1") >"$OUT/$2.log" 2>&1 &
    GAME=$!
    XS_PIDS="$XS_PIDS $GAME"
}
prog_with "$OUT/saved.fenwater" saved
press_play "$(waitfor "About Fenwater...")"
game_window saved
settled "the saved game's replay" 10 sign >/dev/null || fail "a saved game named at start did not play"
echo "saved: the game named at start plays after Play"
xdotool windowactivate --sync "$form" key Escape
escape_ends saved
prog_with "$OUT/damaged.fenwater" damaged
press_play "$(waitfor "About Fenwater...")"
settled "the box for the damaged game" 10 two_titled >/dev/null ||
    fail "a damaged game gave no box"
xdotool key Return
settled "the box closed" 10 one_titled >/dev/null || fail "the box did not close"
form=$(waitfor "$title") || fail "damaged: no game window"
game_plays "$form" || fail "damaged: the game does not play after the box"
echo "damaged: a box says why, then play goes on"
escape_ends damaged
