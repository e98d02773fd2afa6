#!/bin/sh
# What a player meets with a settings file they protect or edit by hand, and with a
# broken install, with the real program. Each row starts the program with its settings
# file and run folder, presses Play at once, and checks what follows:
#  * readonly: a read-only file that already holds "SoundMode" 2; Play (with "(no
#    sound)" preselected) shows no box, the game plays, and the file keeps its bytes,
#    inode and time;
#  * typo: a hand-edited file with a line the reader does not take between two good
#    ones; the launcher preselects "(no sound)" (Play goes straight to the game and
#    stores nothing new), game A shows its best of 33, and the file is untouched;
#  * nosound: no SOUND folder and "Windows MM" stored; Play shows the sound error box,
#    and OK ends the program with status 1 and "SoundMode" -1 stored.
#   new_player.sh FENWATER OUTDIR UI_READ_SCREEN
set -eu
. "$(dirname "$0")/../xsession.sh"
reader=$(readlink -f "$3")
begin "$1" "$2"
export SDL_AUDIODRIVER=dummy
title="Fenwater (Ostrel) Simulator"
sig="Windows Registry Editor Version 5.00"
key='[HKEY_CURRENT_USER\Software\Morvane\Fenwater]'

# The file's bytes, inode and modification time, as one text.
identity() {
    echo "$(md5sum <"$1") $(stat -c '%i %y' "$1")"
}

# case | lines of the settings file (CR LF ends) | file mode | what is done to SOUND
for row in \
    "readonly|$sig;;$key;\"SoundMode\"=\"2\"|444|" \
    "typo|$sig;;$key;\"HiScoreA\"=\"33\";HiScoreB=44;\"SoundMode\"=\"2\"|644|" \
    "nosound|$sig;;$key;\"SoundMode\"=\"0\"|644|remove"; do
    case=${row%%|*}
    rest=${row#*|}
    lines=${rest%%|*}
    rest=${rest#*|}
    mode=${rest%%|*}
    spoil=${rest#*|}
    dir="$OUT/$case"
    run_folder "$prog" "$dir/run"
    [ "$spoil" = remove ] && rm -rf "$dir/run/SOUND"
    settings_home "$dir/config"
    file="$dir/config/Morvane/Fenwater/settings.reg"
    mkdir -p "$(dirname "$file")"
    printf '%s\n' "$lines" | tr ';' '\n' | sed 's/$/\r/' >"$file"
    chmod "$mode" "$file"
    before=$(identity "$file")
    start_and_play "$prog" "$dir/run" "$case"

    if [ "$case" = nosound ]; then
        expect_sound_error "$case" 10
        echo "$case: sound error box, then status $STATUS and \"SoundMode\" -1 stored"
        continue
    fi
    # A box after Play would hold the game window back until it is dismissed.
    form=$(waitsized "$title" 10 652 443) || fail "$case: the game window did not come up"
    if [ "$case" = readonly ]; then
        game_plays "$form" || fail "$case: the game does not react to the right arrow key"
    else
        shows_best "$form" Left _033 "$reader" "$dir/screen.png" ||
            fail "$case: game A did not show 033: $SCREEN"
    fi
    [ "$(identity "$file")" = "$before" ] || fail "$case: the settings file was touched"
    [ -z "$(ls "$(dirname "$file")" | grep '^settings\.reg\.bad-')" ] || fail "$case: the file was kept aside"
    kill "$GAME"
    wait_exit "$GAME" 5 || fail "$case: the program did not end"
    echo "$case: no box, the game plays, the file untouched"
done
