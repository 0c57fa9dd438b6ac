#!/usr/bin/env bash
# Installs what is missing, builds the optimised configuration with the sample data and starts
# the game from its working folder. Arguments go to the game (try --help).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVX_TESTS=OFF >/dev/null
cmake --build build/release -j "$(nproc)"
cd build/release/game
exec ../src/vexmoor "$@"
