#!/usr/bin/env bash
# Records what the game plays, with no sound card: a private PulseAudio server
# with a null sink, a silent keeper stream so that the sink keeps time, the game
# under Xvfb with music on, one TORVANE move, and sox figures of the recording.
#
#   tools/record_audio.sh GAME_DIR [DISPLAY_NUMBER] [OUT_DIR]
#
# GAME_DIR holds quirko-gyrelle, its sheets and its MIDI files (build-*/game).
# Needs Xvfb, xdotool, pulseaudio, pacat, parecord and sox. Uses its own
# settings folder, so the player's own settings are never touched.
set -euo pipefail

game_dir=$(cd "${1:?usage: record_audio.sh GAME_DIR [DISPLAY_NUMBER] [OUT_DIR]}" && pwd)
display=":${2:-95}"
out=${3:-$(mktemp -d /tmp/qg-audio.XXXXXX)}
mkdir -p "$out/run" "$out/config"
chmod 700 "$out/run"
export XDG_RUNTIME_DIR="$out/run" XDG_CONFIG_HOME="$out/config" PULSE_SERVER="unix:$out/run/pulse/native"
unset PULSE_SINK

pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    pulseaudio --kill 2>/dev/null || true
}
trap cleanup EXIT

pulseaudio -D --exit-idle-time=-1 -n --disallow-exit --log-target=file:"$out/pulse.log" \
    -L "module-null-sink sink_name=nullsink" -L "module-native-protocol-unix" 2>>"$out/pulse.log"
for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
pactl set-default-sink nullsink

# Without a stream the null sink does not run its clock and the recorder stalls.
pacat --playback --raw --format=s16le --rate=44100 --channels=2 --device=nullsink < /dev/zero &
pids+=($!)
parecord --device=nullsink.monitor --file-format=wav --rate=44100 --channels=2 "$out/recording.wav" &
recorder=$!
pids+=($recorder)
start=$(date +%s.%N)
now() { echo "$(date +%s.%N) - $start" | bc; }

sleep 1  # the recorder is capturing by now

if ! xdpyinfo -display "$display" >/dev/null 2>&1; then
    Xvfb "$display" -screen 0 1024x768x24 >/dev/null 2>&1 &
    pids+=($!)
    sleep 1
fi
DISPLAY=$display "$game_dir/quirko-gyrelle" >"$out/game.log" 2>&1 &
game=$!
pids+=($game)

click() {  # x y in window coordinates
    DISPLAY=$display xdotool mousemove $((X + $1)) $((Y + $2)) click 1
}

# Music starts about 200 ms after start-up, once the SoundFont is loaded.
sleep 7
window=$(DISPLAY=$display timeout 20 xdotool search --sync --onlyvisible --name "Quirko Gyrelle" | head -1)
[ -n "$window" ] || { echo "record_audio: the game window did not appear (see $out/game.log)" >&2; exit 1; }
eval "$(DISPLAY=$display xdotool getwindowgeometry --shell "$window")"
move1=$(now); click 165 197        # the middle TORVANE plate, music playing
sleep 1.5
off=$(now); click 112 16           # MidiBtn: music off
sleep 1.5
move2=$(now); click 165 197        # the same plate again, now alone
sleep 1.5
on=$(now); click 112 16            # MidiBtn: music on, the next piece
sleep 4
import -display "$display" -window root "$out/screen.png" 2>/dev/null || true
# The recorder may miss its first moments, but it writes up to the moment it
# is stopped: the end of the recording is the moment of stopping.
stop=$(now)
kill "$recorder"
wait "$recorder" 2>/dev/null || true
kill "$game" 2>/dev/null || true
sleep 0.5
cleanup
pids=()
trap - EXIT

offset=$(echo "$stop - $(soxi -D "$out/recording.wav")" | bc)

figures() {  # label start length, in seconds of the script's clock
    printf '%-40s' "$1"
    sox "$out/recording.wav" -n trim "$(echo "$2 - $offset" | bc)" "$3" stat 2>&1 |
        awk '/Maximum amplitude/ {max=$3} /Minimum amplitude/ {min=$3} /RMS +amplitude/ {rms=$3}
             END {p = (max > -min ? max : -min); printf "peak %.3f (%.1f dBFS)  rms %.4f\n", p, (p > 0 ? 20*log(p)/log(10) : -999), rms}'
}
echo "recording: $out/recording.wav (it began ${offset}s after the script's start)"
figures "music playing (2 s before the move)" "$(echo "$move1 - 2.5" | bc)" 2
figures "move with music" "$move1" 0.6
figures "music off (paused), nothing else" "$(echo "$off + 0.5" | bc)" 0.8
figures "move with music off: the effect alone" "$move2" 0.6
figures "music on again: the next piece" "$(echo "$on + 1.5" | bc)" 2
