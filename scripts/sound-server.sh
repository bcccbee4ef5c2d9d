# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by scripts/test.sh: makes sure a sound server answers, so that the wave player's
# tests play through a real one. When none does, starts PulseAudio with a null sink (the
# sound goes nowhere) in a runtime folder of its own, and StopSoundServer ends it again.
StopSoundServer() { :; }

if ! pactl info > /dev/null 2>&1; then
  sound_runtime=$(mktemp -d)
  export XDG_RUNTIME_DIR=$sound_runtime
  pulseaudio -n --daemonize=yes --exit-idle-time=-1 \
    --load="module-native-protocol-unix auth-anonymous=1" \
    --load="module-null-sink sink_name=nullsink" 2> /dev/null
  for _ in $(seq 50); do
    pactl info > /dev/null 2>&1 && break
    sleep 0.1
  done
  pactl info > /dev/null 2>&1 || { echo "The sound server did not start" >&2; exit 1; }
  echo "Sound: PulseAudio with a null sink, in $sound_runtime"
  StopSoundServer() {
    pulseaudio --kill 2> /dev/null || true
    rm -rf "$sound_runtime"
  }
fi
