#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks the result as a
# player's system would see it: the Debian games layout, the desktop entry
# and AppStream metadata through their validators, and the installed game
# starting from a moved copy of the tree with nothing but its own files.
#
#   install_check.sh BUILD_DIR GAME_DIR APP_ID
set -euo pipefail
build=$1
game=$2
id=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$work/usr" >"$work/install.log" || { cat "$work/install.log"; fail "cmake --install"; }
p=$work/usr

# The layout.
expected=(
  games/quirko-gyrelle
  share/quirko-gyrelle/b1.bmp share/quirko-gyrelle/b2.bmp share/quirko-gyrelle/b3.bmp share/quirko-gyrelle/b4.bmp
  "share/applications/$id.desktop"
  "share/metainfo/$id.metainfo.xml"
  share/man/man6/quirko-gyrelle.6.gz
  share/doc/quirko-gyrelle/copyright
  share/doc/quirko-gyrelle/changelog.Debian.gz
)
for size in 16 24 32 48 64 128 256; do expected+=("share/icons/hicolor/${size}x${size}/apps/$id.png"); done
for f in "${expected[@]}"; do [ -f "$p/$f" ] || fail "missing $f"; done
[ -x "$p/games/quirko-gyrelle" ] || fail "the game is not executable"
[ ! -e "$p/bin" ] || fail "bin/ is not used for a game"
ls "$p"/share/quirko-gyrelle/*.mid >/dev/null 2>&1 || fail "no music in share/quirko-gyrelle"
# The help and the audio and music modules go where the game looks for them, when the build made them.
for f in QGYR.html help/torvane.png quirko-gyrelle-audio.so quirko-gyrelle-music.so; do
  [ -f "$game/$f" ] || continue
  case $f in *.so) dest=lib/quirko-gyrelle ;; *) dest=share/quirko-gyrelle ;; esac
  [ -f "$p/$dest/$f" ] || fail "missing $dest/$f"
done
# Each icon is as large as the folder it lies in says.
for size in 16 24 32 48 64 128 256; do
  dims=$(python3 -c 'import struct,sys; d=open(sys.argv[1],"rb").read(24); print("%dx%d" % struct.unpack(">II", d[16:24]))' \
         "$p/share/icons/hicolor/${size}x${size}/apps/$id.png")
  [ "$dims" = "${size}x${size}" ] || fail "icon of ${size}x${size} is $dims"
done
gzip -t "$p/share/man/man6/quirko-gyrelle.6.gz" || fail "manual page"
grep -q '^Exec=quirko-gyrelle$' "$p/share/applications/$id.desktop" || fail "Exec line"

# The validators, as distributions run them.
desktop-file-validate "$p/share/applications/$id.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$p/share/metainfo/$id.metainfo.xml" || fail "appstreamcli validate"
# The manual page renders without warnings.
if command -v man >/dev/null; then
  warnings=$(MANWIDTH=80 man --warnings -l "$p/share/man/man6/quirko-gyrelle.6.gz" 2>&1 >/dev/null || true)
  [ -z "$warnings" ] || fail "manual page warnings: $warnings"
fi

# Move the tree as a whole; the game must find its files at the new place.
mkdir "$work/elsewhere"
mv "$p" "$work/elsewhere/usr"
p=$work/elsewhere/usr
export QT_QPA_PLATFORM=offscreen
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data HOME=$work/home
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$HOME"
(cd / && "$p/games/quirko-gyrelle" --quit-after-start) || fail "the installed game did not start from $p (status $?)"

# Without its data folder it says so and ends with status 1, not a hang.
mv "$p/share/quirko-gyrelle" "$work/away"
status=0
"$p/games/quirko-gyrelle" --quit-after-start 2>"$work/stderr" || status=$?
[ "$status" -eq 1 ] || fail "without its data the game ended with status $status"
grep -q 'b1.bmp' "$work/stderr" || fail "the start-up error does not name the missing sheet: $(cat "$work/stderr")"
echo "install check passed"
