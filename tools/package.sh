#!/usr/bin/env bash
# Installs what is missing, builds the game and makes the Debian package
# build/package/quirko-gyrelle_VERSION-1_ARCH.deb. Install it with
#   sudo apt install ./build/package/quirko-gyrelle_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc)"
# The package holds what `cmake --install` puts under /usr, stripped.
(cd build && cpack -G DEB)
# The screenshots the AppStream metadata names, to publish on the home page:
# the first board the help file shows of each puzzle, as the records name them.
mkdir -p build/package/screenshots
for picture in $(build/tools/qg_helppics --screenshots); do cp "build/game/help/$picture" build/package/screenshots/; done
ls -1 build/package/*.deb build/package/screenshots/*.png
