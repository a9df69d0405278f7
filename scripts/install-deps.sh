#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the screenshots need.
# Safe to run again: it only installs what is missing.
set -euo pipefail
pkgs=(build-essential cmake qt6-base-dev qt6-serialport-dev qt6-translations-l10n libgl-dev
      fonts-wqy-microhei xvfb xauth xdotool imagemagick
      clang-14 libclang-rt-14-dev appstream desktop-file-utils groff-base)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
