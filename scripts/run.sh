#!/usr/bin/env bash
# Installs what is missing, builds game_dock and starts it in its data folder.
# Usage: scripts/run.sh [data-folder]   (default: ~/game_dock)
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGD_BUILD_BENCH=OFF
# Only the program and what it links: the tests and benchmarks are built by scripts/test.sh.
cmake --build build --target game_dock --parallel "$(nproc)"
data=${1:-$HOME/game_dock}
mkdir -p "$data/templates"
# The default project definitions and the sample template, unless the data folder has its own.
for file in resources/templates/*; do
  [ -e "$data/templates/$(basename "$file")" ] || cp "$file" "$data/templates/"
done
cd "$data"
exec "$OLDPWD/build/app/game_dock"
