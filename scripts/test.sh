#!/usr/bin/env bash
# Installs what is missing, builds game_dock from scratch with warnings as errors and runs
# every test. Usage: scripts/test.sh [build-dir]   (default: build-test, wiped first)
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
