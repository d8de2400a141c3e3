#!/usr/bin/env bash
# The real audio path: runs the driver's sound group with the game playing
# through a private PulseAudio server whose only sink is a null sink, while the
# sink's monitor is recorded for the driver to compare with the game's sound.
#   bash scripts/audio-e2e.sh
# Skips, saying why, where PulseAudio is missing or will not start; otherwise
# exits with the driver's status, its summary the last line.
set -u
HERE="$(cd "$(dirname "$0")" && pwd)"
source "$HERE/wine-env.sh"

skip() {
    echo "audio e2e skipped: $*"
    exit 0
}

for tool in pulseaudio parec pactl; do
    command -v "$tool" >/dev/null 2>&1 ||
        skip "$tool is not installed (Debian packages pulseaudio and pulseaudio-utils)"
done
require_built "build the $WINE_ARCH tree first" "$GAME_EXE" "$E2E_EXE"

AUDIO_DIR="$BUILD_DIR/audio-e2e"
SOCKET="$AUDIO_DIR/pulse.socket"
RECORDING="$AUDIO_DIR/sink.raw"
rm -rf "$AUDIO_DIR"
mkdir -p "$AUDIO_DIR/home" "$AUDIO_DIR/runtime"
chmod 700 "$AUDIO_DIR/runtime"
# No card, no session bus, no idle suspension: a sink that takes whatever is
# played at the real pace, and one socket that any local client may use.
cat >"$AUDIO_DIR/server.pa" <<EOF
load-module module-null-sink sink_name=quorvant
load-module module-native-protocol-unix socket=$SOCKET auth-anonymous=1
set-default-sink quorvant
EOF

PULSE_PID=""
PAREC_PID=""
finish() {
    [ -n "$PAREC_PID" ] && kill "$PAREC_PID" 2>/dev/null && wait "$PAREC_PID" 2>/dev/null
    [ -n "$PULSE_PID" ] && kill "$PULSE_PID" 2>/dev/null && wait "$PULSE_PID" 2>/dev/null
}
trap finish EXIT
trap 'exit 130' INT TERM

# Run by root, PulseAudio warns that it is meant for users and then serves as
# one; its cookie and runtime files go to a home of its own, so that it meets
# no other server. -n: no default configuration, only the file above.
HOME="$AUDIO_DIR/home" XDG_RUNTIME_DIR="$AUDIO_DIR/runtime" \
    pulseaudio -n --daemonize=no --exit-idle-time=-1 -F "$AUDIO_DIR/server.pa" \
    --log-target="file:$AUDIO_DIR/pulseaudio.log" &
PULSE_PID=$!
# Wine's PulseAudio driver, in the driver and in every game it starts, finds
# the server through this; runs without it find none and play no sound.
export PULSE_SERVER="unix:$SOCKET"
for _ in $(seq 100); do
    pactl info >/dev/null 2>&1 && break
    kill -0 "$PULSE_PID" 2>/dev/null || break
    sleep 0.1
done
pactl info >/dev/null 2>&1 || skip "the PulseAudio server did not start; see $AUDIO_DIR/pulseaudio.log"

# 8-bit mono at the sounds' own rate, in small fragments: the driver reads the
# file while it grows.
parec --device=quorvant.monitor --format=u8 --rate=11025 --channels=1 --latency-msec=20 \
    >"$RECORDING" 2>"$AUDIO_DIR/parec.log" &
PAREC_PID=$!
sleep 0.5
kill -0 "$PAREC_PID" 2>/dev/null || skip "cannot record the null sink: $(cat "$AUDIO_DIR/parec.log")"

# Wine's drive Z: is the Unix root. The game runs as Windows would load it,
# with libraries of the system's names beside it: it must still play, write
# its shortcut and open the web page, and load none of them.
bash "$HERE/e2e.sh" --recording "Z:${RECORDING//\//\\}" "planted: sound shell"
