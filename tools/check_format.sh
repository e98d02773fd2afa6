#!/bin/sh
# Checks that every tracked C and C++ source is laid out as .clang-format says; names
# each file that is not and fails. `make format` lays them out.
#   check_format.sh SOURCE_ROOT [CLANG_FORMAT]
set -eu
cd "$1"
format=${2:-clang-format}
count=$(git ls-files '*.c' '*.cpp' '*.h' | wc -l)
[ "$count" -gt 0 ] || { echo "no tracked C or C++ sources under $1"; exit 1; }
git ls-files -z '*.c' '*.cpp' '*.h' | xargs -0 "$format" --dry-run --Werror
echo "$count tracked C and C++ sources, all laid out as .clang-format says"
