#!/usr/bin/env bash
# Installs the Debian 12 packages the game needs to build, test and play,
# but only those that are missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config ccache python3
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libfluidsynth-dev fluid-soundfont-gm
  libsdl2-dev
  fonts-dejavu-core
  libgtest-dev libgmock-dev libbenchmark-dev
  desktop-file-utils appstream man-db
  dpkg-dev file fakeroot
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
