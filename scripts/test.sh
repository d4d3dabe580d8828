#!/usr/bin/env bash
# Installs what is missing, builds game_dock from scratch with warnings as errors and runs
# every test, then builds and runs them again under the sanitizers in <build-dir>-sanitize.
# Usage: scripts/test.sh [build-dir]   (default: build-test, wiped first)
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
build=${1:-build-test}
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
