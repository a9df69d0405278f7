#!/usr/bin/env bash
# Pictures of every window in every language, to look at as a user sees them:
#   bash scripts/screenshots.sh [OUTDIR] [BUILDDIR]
# builds rq300-shots into BUILDDIR (default build) and runs it under Xvfb at
# 1024x768 for simplified Chinese, English and traditional Chinese; the PNG
# files go to OUTDIR/cha, OUTDIR/eng and OUTDIR/ty (default /tmp/shots), with
# an index.txt of window titles in each. Keep them out of the repository.
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-/tmp/shots}
build=${2:-build}
size=${RQ300_SHOTS_SCREEN:-1024x768x24}
for tool in xvfb-run cmake; do
  command -v "$tool" >/dev/null || { echo "screenshots: $tool is missing (apt-get install -y xvfb cmake)" >&2; exit 1; }
done
# Configured again so that a build tree made before the tool existed knows it.
if [ -f "$build/CMakeCache.txt" ]; then cmake -S . -B "$build" >/dev/null
else cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null; fi
cmake --build "$build" -j"$(nproc)" --target rq300-shots
status=0
langs=(cha eng ty)
for n in 1 2 3; do
  dir=$out/${langs[n-1]}
  rm -rf "$dir"
  mkdir -p "$dir"
  # LC_ALL=C.UTF-8: the same locale as the tests; the language comes from the menu.
  LC_ALL=C.UTF-8 QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 $size" \
    "$build/bin/rq300-shots" "$dir" "$n" || status=$?
  echo "$dir: $(ls "$dir"/*.png 2>/dev/null | wc -l) pictures"
done
exit $status
