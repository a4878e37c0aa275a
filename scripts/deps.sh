#!/usr/bin/env bash
# Installs the Debian packages the project needs, but only those that are missing,
# so a second run costs nothing and needs no network.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev lld
  freeglut3-dev libglew-dev libglu1-mesa-dev libgl1-mesa-dri
  libdevil-dev libjpeg-dev libpng-dev libbullet-dev
  libopenal-dev libmpg123-dev libmp3lame-dev
  libsdl2-dev
  libstb-dev fonts-dejavu-core
  libtomlplusplus-dev
  libgtest-dev libbenchmark-dev
  libx11-dev xvfb xdotool x11-utils
  desktop-file-utils appstream file groff-base
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
