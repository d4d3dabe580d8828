#!/usr/bin/env bash
# scripts/test.sh wipes its build folder and <folder>-sanitize: it must refuse any other folder
# before it installs or removes anything. The script runs here from a copy of the repository's
# scripts in a scratch folder, its installer, server wrapper and cmake replaced by stubs that
# only note that they ran.
# Usage: build_folder_guard_test.sh <path of scripts/test.sh>
set -euo pipefail
script=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

repo=$scratch/repo
mkdir -p "$repo/scripts" "$scratch/bin"
cp "$script" "$repo/scripts/test.sh"
for stub in "$repo/scripts/install-deps.sh" "$repo/scripts/with-sql-servers.sh" "$scratch/bin/cmake"; do
  printf '#!/bin/sh\necho "%s $*" >>"%s"\n' "$(basename "$stub")" "$scratch/calls" >"$stub"
  chmod +x "$stub"
done
echo "source" >"$repo/precious.txt"

# A folder holding one file, and a build folder of game_dock or of another project.
with_file() { mkdir -p "$1" && echo "keep" >"$1/keep.txt"; }
build_folder() { mkdir -p "$1" && echo "CMAKE_PROJECT_NAME:STATIC=$2" >"$1/CMakeCache.txt"; }

failures=0
passed=0
# check <case> <argument> <expected exit> <file that must still stand, or ->
check() {
  local name=$1 argument=$2 expected=$3 kept=$4 status=0
  rm -f "$scratch/calls"
  (cd "$repo" && PATH="$scratch/bin:$PATH" bash scripts/test.sh "$argument") \
    >"$scratch/out" 2>&1 || status=$?
  local fault=""
  if [ "$status" -ne "$expected" ]; then
    fault="exit $status, expected $expected"
  elif [ "$kept" != "-" ] && [ ! -e "$repo/$kept" ]; then
    fault="$kept was removed"
  elif [ "$expected" -ne 0 ] && [ -e "$scratch/calls" ]; then
    fault="ran $(head -n 1 "$scratch/calls") before refusing"
  elif [ "$expected" -eq 0 ] && ! grep -q -- "-B $argument " "$scratch/calls"; then
    fault="did not build in $argument"
  fi
  if [ -n "$fault" ]; then
    echo "FAILED $name: $fault"
    sed 's/^/  | /' "$scratch/out"
    failures=$((failures + 1))
  else
    passed=$((passed + 1))
  fi
}

with_file "$repo/data"
check "a folder that is no build folder" data 2 data/keep.txt
check "the same with a trailing slash" data/ 2 data/keep.txt
check "the source tree" . 2 precious.txt
check "the folder above the source tree" .. 2 precious.txt
check "the root" / 2 precious.txt
ln -s data "$repo/link"
check "a symbolic link to a folder" link 2 data/keep.txt
echo "text" >"$repo/notes"
check "a file" notes 2 notes
build_folder "$repo/other" other_project
check "a build folder of another project" other 2 other/CMakeCache.txt
build_folder "$repo/b" game_dock
with_file "$repo/b-sanitize"
check "a build folder whose sanitizer folder is no build folder" b 2 b-sanitize/keep.txt

check "a new folder" fresh 0 precious.txt
mkdir "$repo/empty"
check "an empty folder" empty 0 precious.txt
build_folder "$repo/old" game_dock
build_folder "$repo/old-sanitize" game_dock
check "a build folder of game_dock" old 0 precious.txt
if [ -e "$repo/old/CMakeCache.txt" ] || [ -e "$repo/old-sanitize/CMakeCache.txt" ]; then
  echo "FAILED a build folder of game_dock: it was not wiped"
  failures=$((failures + 1))
fi

echo "$passed passed, $failures failed"
[ "$failures" -eq 0 ]
