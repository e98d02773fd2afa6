#!/bin/sh
# No code of the program starts a shell or another program itself: documents and links
# go through the desktop services with fixed names. Lists every such call in the
# program's sources and fails on any.
#   no_shell.sh SOURCE_ROOT
set -eu
cd "$1"
found=$(grep -rnE '\b(system|popen|execl|execlp|execle|execv|execvp|execvpe|posix_spawnp?|fork|vfork|wordexp)\(|QProcess|ShellExecute' \
    core ui settings sound tools/replay --include='*.cpp' --include='*.h' || true)
[ -z "$found" ] || { echo "calls that start programs:"; echo "$found"; exit 1; }
# Every document or link opened is a constant: the file helper takes literals only.
bad=$(grep -rn 'openLocal(\|openUrl(' ui --include='*.cpp' | grep -vE 'openLocal\("[^"]+"\)|openLocal\(const char\* file\)|openUrl\(QUrl::fromLocalFile\(QDir::current\(\)\.absoluteFilePath\(QString::fromLatin1\(file\)\)\)\)|openUrl\(QUrl\(QString::fromLatin1\(k(Email|Http)Link\)\)\)|openUrl = ' || true)
[ -z "$bad" ] || { echo "documents opened from names that are not constants:"; echo "$bad"; exit 1; }
echo "no shell, no process started; documents opened by fixed names only"
