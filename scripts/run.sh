#!/usr/bin/env bash
# Installs what is missing, builds, starts the simulated radio on a
# pseudo-terminal, points COM1 at it and starts the program.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target rq300 rq300-sim rq300-cli rq300packs
bin=$PWD/build/bin

state=${XDG_DATA_HOME:-$HOME/.local/share}/rq300
mkdir -p "$state"
link=$state/simulated-radio
rm -f "$link"
# A new simulated radio starts with a few channels to read.
sample=(); [ -f "$state/simulated-radio.img" ] || sample=(--sample-channels)
"$bin/rq300-sim" --image "$state/simulated-radio.img" "${sample[@]}" --link "$link" >"$state/simulated-radio.log" 2>&1 &
sim=$!
trap 'kill $sim 2>/dev/null || true' EXIT
for _ in $(seq 50); do [ -e "$link" ] && break; sleep 0.1; done
[ -e "$link" ] || { echo "the simulated radio did not start; see $state/simulated-radio.log" >&2; exit 1; }

bash scripts/set-port.sh "$bin/sysini.ini" 1 "$link"
echo "Simulated radio on $link (COM1). Pick COM1 in Tools > Communication port."
"$bin/rq300"
