#!/bin/sh
# The settings are private and nothing reaches a shell. Started with umask 000 and no
# settings folder, Play with "(no sound)" stores "SoundMode": the folders made are 0700
# and the files in them 0600. F2 and F3 open the two text files through the desktop's
# opener (a stand-in xdg-open that notes its arguments): exactly one argument each,
# the fixed file name in the current folder, whatever the settings file and the
# environment hold.
#   permissions.sh FENWATER OUTDIR
set -eu
. "$(dirname "$0")/../xsession.sh"
begin "$1" "$2"
settings_home "$OUT/config"
run_folder "$prog" "$OUT/run"
mkdir -p "$OUT/bin"
cat >"$OUT/bin/xdg-open" <<EOS
#!/bin/sh
echo "\$# \$*" >>"$OUT/opened"
EOS
chmod +x "$OUT/bin/xdg-open"
export PATH="$OUT/bin:$PATH"
export BROWSER="touch $OUT/pwned-env" XDG_CURRENT_DESKTOP=""
LOG="$OUT/fenwater.log"
umask 000
start_program "$prog" "$OUT/run" "$LOG"
umask 022
launcher=$(waitfor "About Fenwater..." 10) || fail "the launcher did not appear"
pick_no_sound "$launcher"
press_play "$launcher"
form=$(waitsized "Fenwater (Ostrel) Simulator" 10 652 443) || fail "the game window did not come up"
[ "$(stored_sound_mode)" = 2 ] || fail "\"SoundMode\" 2 was not stored"

mode() { stat -c %a "$1"; }
for d in "$OUT/config/Morvane" "$OUT/config/Morvane/Fenwater"; do
    [ "$(mode "$d")" = 700 ] || fail "$d has mode $(mode "$d"), not 700"
done
for f in "$OUT/config/Morvane/Fenwater"/*; do
    [ "$(mode "$f")" = 600 ] || fail "$f has mode $(mode "$f"), not 600"
done
echo "folders 0700, files 0600: $(ls "$OUT/config/Morvane/Fenwater" | tr '\n' ' ')"

# A settings value written to look like a command changes nothing.
printf '"SoundMode"="$(touch %s/pwned-store)"\r\n' "$OUT" >>"$OUT/config/Morvane/Fenwater/settings.reg"
xdotool windowactivate --sync "$form" key F2
for _ in $(seq 1 40); do
    [ -s "$OUT/opened" ] && break
    sleep 0.05
done
xdotool windowactivate --sync "$form" key F3
for _ in $(seq 1 40); do
    [ "$(wc -l <"$OUT/opened" 2>/dev/null || echo 0)" -ge 2 ] && break
    sleep 0.05
done
expected="1 file://$OUT/run/readme.txt
1 file://$OUT/run/whatsnew.txt"
[ "$(cat "$OUT/opened" 2>/dev/null)" = "$expected" ] || fail "the opener got: $(cat "$OUT/opened" 2>/dev/null)"
[ ! -e "$OUT/pwned-env" ] && [ ! -e "$OUT/pwned-store" ] || fail "a command from the environment or the store ran"
echo "F2, F3 opened only: $(tr '\n' ';' <"$OUT/opened")"
