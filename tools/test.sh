#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test headless.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh
jobs=$(nproc)
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$jobs"
export QT_QPA_PLATFORM=offscreen
# Tests never see the user's own settings or audio.
XDG_CONFIG_HOME="$(mktemp -d)"
XDG_DATA_HOME="$(mktemp -d)"
export XDG_CONFIG_HOME XDG_DATA_HOME
trap 'rm -rf "$XDG_CONFIG_HOME" "$XDG_DATA_HOME"' EXIT
ctest --test-dir build --output-on-failure -j "$jobs"
