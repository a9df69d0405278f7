#!/usr/bin/env bash
# fuzz.sh [SECONDS] [BUILD_DIR]: builds the fuzz targets with clang and
# libFuzzer and runs each one for SECONDS (default 10) on its starting inputs:
# the files in tests/fuzz/seeds/<target>/, the ones rq300-fuzz-seeds makes from
# documents the program saves, and what earlier runs found
# (build-fuzz/corpus/). BUILD_DIR is a tree configured already with clang,
# -DRQ300_FUZZ=ON and -DRQ300_SANITIZE=ON (scripts/test.sh's); without it the
# script configures build-fuzz/ so.
# Every target runs; the script fails if any of them found a crash, a hang or
# a leak. The input that caused it is left in build-fuzz/crashes/ and the
# whole report in build-fuzz/logs/<target>.log.
set -euo pipefail
cd "$(dirname "$0")/.."
secs=${1:-10}
build=${2:-}
if [ -z "$build" ]; then
  build=build-fuzz
  CC=clang-14 CXX=clang++-14 cmake -S . -B "$build" -DRQ300_FUZZ=ON -DRQ300_SANITIZE=ON \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
targets=$(sed -n 's/^rq300_fuzz(\([a-z_0-9]*\).*/\1/p' tests/fuzz/CMakeLists.txt)
cmake --build "$build" -j"$(nproc)" --target $targets rq300-fuzz-seeds

rm -rf build-fuzz/seeds
"$build"/bin/rq300-fuzz-seeds build-fuzz/seeds
mkdir -p build-fuzz/crashes build-fuzz/logs
failed=()
for t in $targets; do
  name=${t#fuzz_}
  corpus=build-fuzz/corpus/$t
  mkdir -p "$corpus"
  dirs=("$corpus")
  for d in "tests/fuzz/seeds/$name" "build-fuzz/seeds/$name"; do
    [ -d "$d" ] && dirs+=("$d")
  done
  log=build-fuzz/logs/$t.log
  echo "== $t (${secs}s)"
  status=0
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 QT_QPA_PLATFORM=offscreen \
    "$build"/bin/$t -max_total_time="$secs" -max_len=16384 -timeout=10 \
    -artifact_prefix=build-fuzz/crashes/$t- "${dirs[@]}" >"$log" 2>&1 || status=$?
  if [ "$status" -ne 0 ]; then
    grep -A40 -m1 -E '^==[0-9]+==ERROR|runtime error|deadly signal|ERROR: libFuzzer' "$log" || tail -n 40 "$log"
    echo "!! $t failed (exit $status); see $log and build-fuzz/crashes/"
    failed+=("$t")
  else
    grep -E '^#[0-9]+.*DONE|^Done [0-9]+ runs' "$log" | tail -n 2
  fi
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzzing found problems in: ${failed[*]}" >&2
  exit 1
fi
echo "fuzzing: no problems found in $(echo $targets | wc -w) targets"
