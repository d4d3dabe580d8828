#!/usr/bin/env bash
# Installs what is missing, builds game_dock from scratch with warnings as errors and runs
# every test, then builds and runs them again under the sanitizers in <build-dir>-sanitize.
# Usage: scripts/test.sh [build-dir]   (default: build-test, relative to the repository; it and
# <build-dir>-sanitize are wiped first)
set -euo pipefail
cd "$(dirname "$0")/.."
source_tree=$(pwd -P)

# Stops, wiping nothing, unless `folder` is safe to wipe: missing, empty, or a build folder of
# this project (its CMakeCache.txt names game_dock), and neither the source tree nor above it.
refuse_unless_build_folder() {
  local folder=$1 why=""
  if [ -z "$folder" ]; then
    why="names no folder"
  elif [ -L "$folder" ]; then
    why="is a symbolic link"
  elif [ -e "$folder" ] && [ ! -d "$folder" ]; then
    why="is not a folder"
  elif [ -d "$folder" ]; then
    local real
    real=$(cd "$folder" && pwd -P)
    if [[ "$source_tree/" == "${real%/}/"* ]]; then
      why="holds the source tree"
    elif [ -n "$(ls -A "$folder")" ] &&
      ! grep -qx 'CMAKE_PROJECT_NAME:STATIC=game_dock' "$folder/CMakeCache.txt" 2>/dev/null; then
      why="is not a build folder of game_dock (it holds no CMakeCache.txt of game_dock)"
    fi
  fi
  if [ -n "$why" ]; then
    echo "scripts/test.sh: '$folder' $why; name a new folder or a build folder" >&2
    exit 2
  fi
}

build=${1:-build-test}
# Without trailing slashes, so that the sanitizer folder stands beside it, not inside.
while [[ "$build" == */ ]]; do build=${build%/}; done
refuse_unless_build_folder "$build"
refuse_unless_build_folder "$build-sanitize"

scripts/install-deps.sh
rm -rf "$build"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGD_WERROR=ON
cmake --build "$build" --parallel "$(nproc)"
# Tests never touch the real home or display.
export QT_QPA_PLATFORM=offscreen
# Throwaway PostgreSQL and MariaDB servers for the SQL driver tests, stopped and removed when
# the tests end, whatever their outcome.
scripts/with-sql-servers.sh ctest --test-dir "$build" --output-on-failure --parallel "$(nproc)"

# The whole suite again under AddressSanitizer and UBSan in a second build folder, so that memory
# faults and undefined behaviour cannot come back unseen. Benchmarks are not built there.
(
  sanitized="$build-sanitize"
  export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
  rm -rf "$sanitized"
  cmake -S . -B "$sanitized" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGD_WERROR=ON \
    -DGD_SANITIZE=ON -DGD_BUILD_BENCH=OFF
  cmake --build "$sanitized" --parallel "$(nproc)"
  scripts/with-sql-servers.sh ctest --test-dir "$sanitized" --output-on-failure --parallel "$(nproc)"
)
