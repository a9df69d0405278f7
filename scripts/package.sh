#!/usr/bin/env bash
# Builds the programs into build-package/ with Debian's compiler flags and
# hardening, and makes an installable Debian package of them: programs in
# /usr/bin, language packs and the shipped sysini.ini in /usr/share/rq300,
# the administrator's default in /etc/xdg/rq300, the desktop files, manual
# pages and the udev rule. Install it with
#   sudo apt install ./build-package/rq300_*.deb
# Where lintian is installed, its verdict on the package is printed as well.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh build
dir=build-package
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
# CMake reads no CPPFLAGS: _FORTIFY_SOURCE travels with the compiler flags.
cxxflags="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
ldflags=$(dpkg-buildflags --get LDFLAGS)
# Only the programs and their files are built: the package leaves the tests out.
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" >/dev/null
cmake --build "$dir" -j"$(nproc)" --target rq300 rq300-cli rq300-sim rq300packs rq300docs
rm -f "$dir"/rq300_*.deb
(cd "$dir" && cpack -G DEB >/dev/null)
deb=$(ls "$dir"/rq300_*.deb)
dpkg-deb --field "$deb" Package Version Depends
if command -v lintian >/dev/null; then
  lintian --pedantic "$deb"
fi
echo "$deb"
