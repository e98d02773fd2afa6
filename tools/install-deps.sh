#!/usr/bin/env bash
# Installs the Debian packages of the given lists (tools/packages-LIST.txt) when any is
# missing. Uses apt-get directly as root, else through sudo, else (at a terminal) through
# su with the root password; stops with the list when none of these works.
#   install-deps.sh run           what building and playing need
#   install-deps.sh run test      that and what the tests need
#   install-deps.sh run package   that and what make package needs
set -eu
here=$(cd "$(dirname "$0")" && pwd)
wanted=()
for list in "$@"; do
    [ -f "$here/packages-$list.txt" ] || { echo "No package list $here/packages-$list.txt" >&2; exit 2; }
    mapfile -t -O "${#wanted[@]}" wanted < <(grep -vE '^\s*(#|$)' "$here/packages-$list.txt")
done
command -v dpkg-query >/dev/null 2>&1 || {
    echo "Not a Debian system: please install by hand what these need: ${wanted[*]}" >&2
    exit 1
}
missing=()
for p in "${wanted[@]}"; do
    status=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
    [ "$status" = installed ] || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing missing packages: ${missing[*]}"

as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    elif command -v sudo >/dev/null 2>&1 && { sudo -n true 2>/dev/null || [ -t 0 ]; }; then
        sudo "$@"
    elif [ -t 0 ]; then
        echo "(no sudo: su asks for the root password)"
        su root -c "$(printf '%q ' "$@")"
    else
        echo "Cannot install packages (not root, no sudo, no terminal). Please install: ${missing[*]}" >&2
        exit 1
    fi
}
as_root env DEBIAN_FRONTEND=noninteractive apt-get update -qq
as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
