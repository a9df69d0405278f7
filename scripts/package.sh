#!/usr/bin/env bash
# Builds the programs into build-package/ and makes an installable Debian
# package of them (programs in /usr/bin, language packs and the default
# sysini.ini in /usr/share/rq300). Install it with
#   sudo apt install ./build-package/rq300_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
dir=build-package
# Only the programs are built: the package leaves the tests out.
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
cmake --build "$dir" -j"$(nproc)" --target rq300 rq300-cli rq300-sim rq300packs
(cd "$dir" && cpack -G DEB >/dev/null)
deb=$(ls -t "$dir"/rq300_*.deb | head -1)
dpkg-deb --field "$deb" Package Version Depends
echo "$deb"
