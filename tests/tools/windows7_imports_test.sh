#!/usr/bin/env bash
# The installer must start on Windows 7 SP1 as it comes, without later updates: the
# loader refuses a program that imports a function the system lacks, before any of
# its code runs. Every function the executable imports must be in the list of
# functions someone has checked Windows 7 SP1 has; a new import fails here, named
# DLL!function, until a person has checked it and added it.
#   windows7_imports_test.sh program.exe [list]
set -uo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
program=${1:?usage: $0 program.exe [list]}
list=${2:-$(cd "$here/../.." && pwd)/tools/windows7-sp1-imports.txt}

# objdump's import tables: a "DLL Name:" line, then one line per function with its
# address, hint and name (an import by ordinal has no name, and is shown as
# "<none>" in its place). Library names are compared in small letters, as Windows
# compares them without regard to case.
imports() {
  i686-w64-mingw32-objdump -p "$1" | awk '
    /^The / { dll = "" }
    /^\tDLL Name: / { dll = tolower($3); next }
    dll != "" && /^\t[0-9a-f]+\t/ { print dll "!" ($3 == "" || $3 == "<none>" ? "#" $2 : $3) }
  ' | sort -u
}

imported=$(imports "$program") || exit 1
if [ -z "$imported" ]; then
  echo "FAILED: no imports read from $program" >&2
  exit 1
fi
checked=$(grep -v -e '^#' -e '^$' "$list" | sort -u)
unchecked=$(comm -23 <(echo "$imported") <(echo "$checked"))
if [ -n "$unchecked" ]; then
  echo "FAILED: $program imports functions not checked against Windows 7 SP1 (add each to $list once checked):" >&2
  echo "$unchecked" >&2
  exit 1
fi
echo "ok: all $(wc -l <<<"$imported") imports of $program are in $list"
