#!/usr/bin/env bash
# Installs the Debian packages of the given lists (tools/packages-LIST.txt) when any is
# missing. Uses apt-get directly as root, sudo otherwise; stops with the list when
# neither works.
#   install-deps.sh run        what building and playing need
#   install-deps.sh run test   that and what the tests need
set -eu
here=$(cd "$(dirname "$0")" && pwd)
wanted=()
for list in "$@"; do
    mapfile -t -O "${#wanted[@]}" wanted < <(grep -vE '^\s*(#|$)' "$here/packages-$list.txt")
done
missing=()
for p in "${wanted[@]}"; do
    status=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
    [ "$status" = installed ] || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing missing packages: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
    run=()
elif command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
    run=(sudo)
elif command -v sudo >/dev/null 2>&1 && [ -t 0 ]; then
    run=(sudo)
else
    echo "Cannot install packages (not root and no sudo). Please install: ${missing[*]}" >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${run[@]}" apt-get update -qq
"${run[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
