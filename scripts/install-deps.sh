#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the screenshots need;
# "install-deps.sh build" only those that building the programs and their
# package needs (scripts/package.sh).
# Safe to run again: it only installs what is missing.
set -euo pipefail
build=(build-essential cmake qt6-base-dev qt6-serialport-dev libgl-dev dpkg-dev file)
tests=(qt6-translations-l10n fonts-wqy-microhei xvfb xauth xdotool imagemagick
       clang-14 libclang-rt-14-dev appstream desktop-file-utils groff-base shared-mime-info lintian
       poppler-utils)
case "${1:-all}" in
  build) pkgs=("${build[@]}") ;;
  all) pkgs=("${build[@]}" "${tests[@]}") ;;
  *) echo "usage: install-deps.sh [build]" >&2; exit 2 ;;
esac
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
