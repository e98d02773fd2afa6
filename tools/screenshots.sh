#!/bin/sh
# Takes the README's pictures of the real program from the end-to-end sessions under
# Xvfb: the launcher, a game in play, the right-click menu and the about window, and
# the game window on a high-density screen (scale 2).
#   tools/screenshots.sh [BUILD_DIR]     (default build; writes docs/*.png)
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
shots=$(mktemp -d)
trap 'rm -rf "$shots"' EXIT
"$top/tests/ui/window_screenshot.sh" "$build/stage/fenwater" "$build/tests/ui/ui_render_state" \
    "$shots/run" "$build/tests/ui/ui_read_screen"
# The session runs on a 1024 x 768 screen with the game window centred at 186,162.
crop() { /usr/bin/convert "$shots/run/$1" -crop "$2" +repage "$top/docs/$3"; }
crop launcher.png 276x364+375+212 launcher.png
crop playing.png 652x443+186+162 playing.png
crop menu.png 652x443+186+162 menu.png
crop about.png 279x248+0+0 about.png
"$top/tests/ui/high_density.sh" "$build/stage/fenwater" "$build/stage/fenwater-replay" \
    "$shots/high_density"
cp "$shots/high_density/game-2x.png" "$top/docs/high-density.png"
echo "written: docs/launcher.png docs/playing.png docs/menu.png docs/about.png docs/high-density.png"
