#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang into build/fuzz and runs them. Each target first
# replays its seeds (fuzz/seeds/<name>) and the corpus kept from earlier runs
# (build/fuzz/corpus/<name>), then fuzzes with its dictionary (fuzz/<name>.dict) if it has one.
# A finding is written to build/fuzz/findings/ and makes the script fail. Paths given to a target
# are absolute: the targets of loaders that read game paths work in a temporary working folder.
#
#   tools/fuzz.sh [-t seconds] [-n runs] [-j parallel] [target...]
#
# -t: fuzzing time per target (default 5); -n: stop a target after this many runs instead;
# -j: targets run at once (default: the number of cores). Without targets, all of them run.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=5
runs=-1
parallel=$(nproc)
while getopts "t:n:j:" option; do
  case $option in
    t) seconds=$OPTARG ;;
    n) runs=$OPTARG ;;
    j) parallel=$OPTARG ;;
    *) exit 2 ;;
  esac
done
shift $((OPTIND - 1))

root=$PWD
out=$root/build/fuzz
cmake -S . -B "$out" -DCMAKE_BUILD_TYPE=Fuzz -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DVX_FUZZ=ON -DVX_TESTS=OFF -DVX_BENCH=OFF >/dev/null
cmake --build "$out" --target fuzz -j "$(nproc)"

if [ $# -eq 0 ]; then
  set -- $(ls fuzz/seeds)  # every target has its seeds folder
fi
mkdir -p "$out/logs" "$out/findings"

# One target: fuzz it, then print one line of figures; the exit status says whether it failed.
run_target() {
  local name=$1 corpus=$out/corpus/$1 log=$out/logs/$1.log
  local args=(-max_total_time="$seconds" -runs="$runs" -timeout=30 -rss_limit_mb=2560 -print_final_stats=1
    -artifact_prefix="$out/findings/$name-")
  [ -f "$root/fuzz/$name.dict" ] && args+=(-dict="$root/fuzz/$name.dict")
  mkdir -p "$corpus"
  local status=0
  "$out/fuzz/fuzz_$name" "${args[@]}" "$corpus" "$root/fuzz/seeds/$name" >"$log" 2>&1 || status=$?
  local executed time
  executed=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  time=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log" | tail -1)
  if [ "$status" -eq 0 ]; then
    printf 'fuzz_%-16s %10s runs in %4s s, corpus %5s files: no finding\n' "$name" "${executed:-?}" "${time:-?}" \
      "$(ls "$corpus" | wc -l)"
  else
    printf 'fuzz_%-16s FAILED (exit %s), log %s:\n' "$name" "$status" "$log"
    grep -E -A 30 'ERROR|runtime error|==[0-9]+==' "$log" | head -60
  fi
  return "$status"
}
export root out seconds runs
export -f run_target

export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# The targets that write the fuzzed files run several times faster in memory.
[ -d /dev/shm ] && [ -w /dev/shm ] && export TMPDIR=/dev/shm
if ! printf '%s\n' "$@" | xargs -P "$parallel" -I{} bash -c 'run_target {}'; then
  echo "fuzzing found faults: the inputs are in $out/findings/" >&2
  exit 1
fi
