#!/bin/sh
# Odd files in the settings file's place, with the real program. Each start must show
# the launcher within seconds, and Play must reach the game window:
#  * a FIFO: kept aside at start, with a box that says so before the launcher can be
#    used; a fresh file stores "SoundMode";
#  * an export as the registry editor writes it (UTF-16LE, byte-order mark, CR LF):
#    game B shows its best score of 55, and after "(no sound)" replaces the stored
#    "DirectSound" at Play the file is still UTF-16LE with CR LF;
#  * a link into a dotfiles folder: Play writes through it, the link stays a link.
#   store_files.sh FENWATER OUTDIR UI_READ_SCREEN
set -eu
. "$(dirname "$0")/../xsession.sh"
reader=$(readlink -f "$3")
begin "$1" "$2"
run_folder "$prog" "$OUT/run"
title="Fenwater (Ostrel) Simulator"

# Starts the program on the settings home $OUT/NAME; LAUNCHER is its launcher window.
start() {
    settings_home "$OUT/$1"
    folder="$OUT/$1/Morvane/Fenwater"
    mkdir -p "$folder"
    LOG="$OUT/$1.log"
}
launch() {
    began=$(date +%s)
    start_program "$prog" "$OUT/run" "$LOG"
    launcher=$(waitfor "About Fenwater..." 10) || fail "$1: the launcher did not appear"
    echo "$1: launcher after $(($(date +%s) - began)) s"
}
play() {
    press_play "$launcher"
    form=$(waitsized "$title" 10 652 443) || fail "$1: the game window did not come up"
}
stop() {
    kill "$GAME"
    wait_exit "$GAME" 5 || fail "$1: the program did not end"
}

start fifo
mkfifo "$folder/settings.reg"
launch fifo
box=$(waitsized "$title" 10 ! 652 443) || fail "fifo: no box said the file was kept aside"
aside=$(ls "$folder" | grep '^settings\.reg\.bad-' || true)
[ "$(echo "$aside" | wc -w)" = 1 ] && [ -p "$folder/$aside" ] || fail "fifo: kept aside at start: '$aside'"
xdotool windowactivate --sync "$box" key Return
settled "the box's end" 10 gone "$title" >/dev/null || fail "fifo: the box did not go"
pick_no_sound "$launcher"
play fifo
[ -f "$folder/settings.reg" ] && [ ! -p "$folder/settings.reg" ] || fail "fifo: no settings file"
[ "$(stored_sound_mode)" = 2 ] || fail "fifo: \"SoundMode\" 2 was not stored"
aside=$(ls "$folder" | grep '^settings\.reg\.bad-' || true)
[ "$(echo "$aside" | wc -w)" = 1 ] && [ -p "$folder/$aside" ] || fail "fifo: kept aside: '$aside'"
stop fifo

start utf16
{
    printf '\377\376'
    printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' \
        '[HKEY_CURRENT_USER\Software\Morvane\Fenwater]' '"HiScoreB"="55"' '"SoundMode"="1"' '' |
        iconv -f UTF-8 -t UTF-16LE
} >"$folder/settings.reg"
launch utf16
pick_no_sound "$launcher"
play utf16
shows_best "$form" Right _055 "$reader" "$OUT/utf16.png" || fail "utf16: game B did not show 055: $SCREEN"
[ "$(head -c 2 "$folder/settings.reg" | od -An -tx1 | tr -d ' ')" = fffe ] || fail "utf16: the byte-order mark is gone"
text=$(tail -c +3 "$folder/settings.reg" | iconv -f UTF-16LE -t UTF-8) || fail "utf16: no longer UTF-16LE"
[ "$(printf '%s' "$text" | grep -c "$(printf '\r')\$")" = 6 ] || fail "utf16: the lines lost their CR LF: $text"
printf '%s' "$text" | grep -q '^"HiScoreB"="55"' || fail "utf16: the best score is gone: $text"
printf '%s' "$text" | grep -q '^"SoundMode"="2"' || fail "utf16: \"SoundMode\" 2 was not stored: $text"
[ -z "$(ls "$folder" | grep '^settings\.reg\.bad-')" ] || fail "utf16: the export was kept aside"
echo "utf16: read, played, still UTF-16LE with CR LF"
stop utf16

start link
mkdir -p "$OUT/dotfiles"
printf 'Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Morvane\\Fenwater]\n"SoundMode"="0"\n' \
    >"$OUT/dotfiles/fenwater.reg"
ln -s ../../../dotfiles/fenwater.reg "$folder/settings.reg"
launch link
pick_no_sound "$launcher"
play link
[ -L "$folder/settings.reg" ] || fail "link: the link was replaced"
grep -q '^"SoundMode"="2"$' "$OUT/dotfiles/fenwater.reg" || fail "link: the target was not written"
echo "link: written through to its target"
stop link
