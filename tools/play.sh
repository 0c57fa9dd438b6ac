#!/usr/bin/env bash
# Starts the game from its working folder, building what changed first. The first start installs
# what is missing and configures the optimised build; later starts reuse that configuration (the
# build configures itself again when a CMakeLists.txt changed). Arguments go to the game (try
# --help).
set -euo pipefail
cd "$(dirname "$0")/.."
if [ ! -f build/release/CMakeCache.txt ]; then
  tools/install-deps.sh
  cmake -S . -B build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVX_TESTS=OFF >/dev/null
fi
cmake --build build/release -j "$(nproc)" --target vexmoor sample_data
cd build/release/game
exec ../src/vexmoor "$@"
