#!/usr/bin/env bash
# Plays NUBBLER and TORVANE through the accessibility bus only (see
# tools/atspi_play.py): a private D-Bus session with its own accessibility
# bus, a virtual X display, the game with a throw-away settings folder, and
# the script.
#
#   tools/atspi_play.sh [BUILD_DIR [SOLVER [GAME ...]]]
#
# SOLVER defaults to BUILD_DIR/tools/qg_solve. QG_SCRIPT, when set, is run
# instead of the script, with the GAME arguments (a probe of one's own in
# the same set-up). Needs the Debian packages
# xvfb, at-spi2-core, dbus and python3-pyatspi.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
solver=${2:-$build/tools/qg_solve}
shift $(( $# > 2 ? 2 : $# ))
for tool in Xvfb:xvfb dbus-run-session:dbus; do
    command -v "${tool%%:*}" >/dev/null || { echo "atspi_play: install ${tool#*:}" >&2; exit 2; }
done
[ -x /usr/libexec/at-spi-bus-launcher ] || { echo "atspi_play: install at-spi2-core" >&2; exit 2; }
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || { echo "atspi_play: install python3-pyatspi" >&2; exit 2; }
[ -x "$solver" ] || { echo "atspi_play: no solver at $solver" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work/run"
mkdir -p "$XDG_CONFIG_HOME/QuirkoGames/QuirkoGyrelle" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
# English, NUBBLER shown, quiet: no language window at the start.
printf '[common]\nmode=2\ntongue=0\nsound=0\nmusic=0\n' > "$XDG_CONFIG_HOME/QuirkoGames/QuirkoGyrelle/V1.ini"

export QG_BUILD="$build" QG_SOLVER="$(realpath "$solver")" QG_WORK="$work"
exec dbus-run-session -- bash -c '
    set -euo pipefail
    pids=()
    # The game first, then its display and bus.
    stop() { for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null && wait "${pids[i]}" 2>/dev/null; done; true; }
    trap stop EXIT
    /usr/libexec/at-spi-bus-launcher --launch-immediately & pids+=($!)
    exec 3<> "$QG_WORK/display"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp & pids+=($!)
    for _ in $(seq 50); do [ -s "$QG_WORK/display" ] && break; sleep 0.1; done
    export DISPLAY=":$(head -n1 "$QG_WORK/display")"
    export QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 NO_AT_BRIDGE=0
    "$QG_BUILD/game/quirko-gyrelle" & pids+=($!)
    ${QG_SCRIPT:-/usr/bin/python3 tools/atspi_play.py "$QG_SOLVER"} "$@"
' atspi_play "$@"
