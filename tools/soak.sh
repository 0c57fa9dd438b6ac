#!/usr/bin/env bash
# The soak: seeded random play over the sample level, replayed by the game built with AddressSanitizer
# and UndefinedBehaviorSanitizer (float-cast-overflow included). It passes when the game ends
# normally with no sanitizer report, no engine object alive at exit ("Live engine objects: 0") and
# the car within the level's bounds on its ground (the play state of VX_STATE, printed at the end).
#
#   tools/soak.sh [-m minutes of game time] [-s input seed] [-g game seed] [-f frame seconds]
#
# Defaults: 30 minutes, input seed from the clock, game seed 1, frames of 0.05 s. The game runs
# as fast as it can (the frame lengths come from the recording), headless. On a failure the
# recording and the log stay in build/soak/ and the command that replays the run is printed.
set -euo pipefail
cd "$(dirname "$0")/.."

minutes=30
input_seed=$(date +%s)
game_seed=1
frame=0.05
while getopts "m:s:g:f:" option; do
  case $option in
    m) minutes=$OPTARG ;;
    s) input_seed=$OPTARG ;;
    g) game_seed=$OPTARG ;;
    f) frame=$OPTARG ;;
    *) exit 2 ;;
  esac
done

tools/install-deps.sh
cmake -S . -B build/asan -DCMAKE_BUILD_TYPE=Debug -DVX_SANITIZE=ON -DVX_TESTS=ON -DVX_BENCH=ON >/dev/null
cmake --build build/asan -j "$(nproc)" --target vexmoor vxinput sample_data

root=$PWD
soak=$root/build/soak
rm -rf "$soak"
mkdir -p "$soak"
cp -r build/asan/game "$soak/game"
recording=soak-$input_seed.rec
build/asan/tools/vxinput/vxinput random "$input_seed" "$((minutes * 60))" "$frame" "$soak/game/$recording"

replay=(env VX_LEVEL=level1 VX_REPLAY="$recording" VX_STATE=state.txt VX_SEED="$game_seed" VX_LOG=stderr VX_NO_EXIT_ACTIONS=1
        SDL_VIDEODRIVER=offscreen ALSOFT_DRIVERS=null VX_MEDIA_SILENT=1 LIBGL_ALWAYS_SOFTWARE=1
        "VX_MUSIC_SINK=fakesink sync=false" ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
        UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 "$root/build/asan/src/vexmoor" --windowed)
echo "soak: $minutes minutes of random play (input seed $input_seed, game seed $game_seed)"
status=0
(cd "$soak/game" && "${replay[@]}") 2>"$soak/log.txt" || status=$?

failed=
[ "$status" -eq 0 ] || failed="the game ended with exit code $status"
grep -q "runtime error\|ERROR: AddressSanitizer" "$soak/log.txt" && failed="a sanitizer reported a fault"
grep -qw "Live engine objects: 0" "$soak/log.txt" || failed="engine objects were alive at exit"
# level1 is 120 x 120 units around the origin.
car=$(grep "^car " "$soak/game/state.txt" 2>/dev/null || true)
echo "soak: the game ended with ${car:-no car}"
echo "$car" | awk '$1 == "car" && $2 > -60 && $2 < 60 && $3 > -60 && $3 < 60 && $4 > 0 { found = 1 } END { exit !found }' ||
  failed="the car did not end on the level's ground"
if [ -n "$failed" ]; then
  echo "soak FAILED: $failed; the log is $soak/log.txt. To replay the run:"
  echo "  (cd $soak/game && ${replay[*]})"
  exit 1
fi
echo "soak passed"
