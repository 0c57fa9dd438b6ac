#!/usr/bin/env bash
# Installs what is missing, builds the sanitizer configuration and runs every test headless, after
# a short run of the fuzz targets.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
jobs=$(nproc)
cmake -S . -B build/asan -DCMAKE_BUILD_TYPE=Debug -DVX_SANITIZE=ON -DVX_TESTS=ON -DVX_BENCH=ON >/dev/null
cmake --build build/asan -j "$jobs"
# Every loader's fuzz target (clang, build/fuzz) replays its seeds and fuzzes for a few seconds.
tools/fuzz.sh -t 5 -j "$jobs"
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# A comma-decimal locale for the tests that check numbers never depend on the locale.
mkdir -p build/asan/locale
[ -d build/asan/locale/de_DE.UTF-8 ] || localedef -i de_DE -f UTF-8 build/asan/locale/de_DE.UTF-8 || true
export LOCPATH="$PWD/build/asan/locale"
cd build/asan
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure -j "$jobs" "$@"
