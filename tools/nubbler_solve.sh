#!/bin/sh
# Solves the NUBBLER board that the running game shows on an X display, as a
# player would: a screenshot, the clicks worked out by nubbler_solver, then
# the clicks through xdotool.
#
#   tools/nubbler_solve.sh BUILD_DIR [DISPLAY]
#
# Needs the Debian packages imagemagick (import) and xdotool.
set -eu
for tool in import:imagemagick xdotool:xdotool; do
    command -v "${tool%%:*}" >/dev/null || { echo "nubbler_solve: install ${tool#*:} (apt-get install ${tool#*:})" >&2; exit 2; }
done
build=$1
export DISPLAY="${2:-${DISPLAY:-}}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

import -window root "$work/board.png"
"$build/tools/nubbler_solver" "$work/board.png" "$build/game/b3.bmp" > "$work/clicks"
while read -r x y button; do
    xdotool mousemove "$x" "$y" click "$button"
    sleep 0.25  # a turn takes 100 ms of frames; let each one finish
done < "$work/clicks"
echo "$(wc -l < "$work/clicks") clicks made"
