#!/usr/bin/env bash
# Installs the Debian 12 packages the game needs to build, test and play,
# but only those that are missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config ccache python3
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libfluidsynth-dev fluid-soundfont-gm
  libsdl2-dev
  fonts-dejavu-core fonts-liberation2
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

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null 2>&1; then
    echo "Missing packages: ${missing[*]}" >&2
    echo "Install them as root: run 'bash tools/deps.sh' as root (su -c 'bash tools/deps.sh'), or install sudo and add yourself to the sudo group." >&2
    exit 1
  fi
  sudo="sudo"
fi
# Quiet, non-interactive apt: its progress bars and questions stay out of
# the build's output; what it says of the download's size is kept.
apt=(env DEBIAN_FRONTEND=noninteractive apt-get -o Dpkg::Use-Pty=0 -o APT::Color=0 -o Dpkg::Progress-Fancy=0)
echo "Installing: ${missing[*]}"
$sudo "${apt[@]}" -qq update
$sudo "${apt[@]}" -y --no-install-recommends install "${missing[@]}" 2>&1 \
  | grep -E '^(Need to get|After this operation|E:|W:)' || true
# Nothing is left to chance: every package must be there now.
for p in "${missing[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || { echo "Could not install $p" >&2; exit 1; }
done
