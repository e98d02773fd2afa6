#!/bin/sh
# No part of the product starts a shell or another program itself: documents and links
# go through the desktop services. Two looks, each failing on any find and naming it:
#  - the product's sources, for a call of any C library or Qt function that starts a
#    program;
#  - the built programs, for such a function among the symbols they import, however
#    the call came to be there.
# Which documents are opened, and by what names, the launcher's tests check.
#   no_shell.sh SOURCE_ROOT PROGRAM...
set -eu
root=$1
shift
starters='system|popen|execl|execlp|execle|execv|execve|execvp|execvpe|fexecve|posix_spawn|posix_spawnp|fork|vfork|clone|clone3|wordexp'
status=0

found=$(cd "$root" && grep -rnE "\\b($starters)\\(|QProcess|ShellExecute|g_spawn" \
    core ui settings sound tools/replay --include='*.cpp' --include='*.h' || true)
if [ -n "$found" ]; then
    echo "calls that start programs, in the sources:"
    echo "$found"
    status=1
fi

for program in "$@"; do
    [ -x "$program" ] || { echo "not a program: $program"; exit 1; }
    imported=$(nm -D --undefined-only "$program" | awk '{print $NF}' | sed 's/@.*//')
    [ -n "$imported" ] || { echo "no imported symbols read from $program"; exit 1; }
    bad=$( (echo "$imported" | grep -xE "$starters"; echo "$imported" | c++filt | grep -E 'QProcess') || true)
    if [ -n "$bad" ]; then
        echo "$(basename "$program") imports functions that start programs:"
        echo "$bad"
        status=1
    fi
done

[ "$status" -eq 0 ] && echo "no call that starts a program, in the sources or in: $*"
exit "$status"
