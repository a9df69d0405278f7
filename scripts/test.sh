#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors and runs every test
# on the offscreen platform; then the same suite under AddressSanitizer,
# LeakSanitizer and UndefinedBehaviorSanitizer; then every fuzz target for a
# short while. Any failure, crash, leak or fuzz finding fails the script.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen

bash scripts/build.sh build -DRQ300_WERROR=ON
ctest --test-dir build --output-on-failure -j2

bash scripts/build.sh build-asan -DRQ300_WERROR=ON -DRQ300_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --output-on-failure -j2

bash scripts/fuzz.sh 12
