#!/usr/bin/env bash
# The whole program as a learner uses it (LearnerScenarios.cpp): the scenario program drives
# the real windows on a virtual display, with speech into a PulseAudio null sink. Uses the
# PulseAudio server of the test run when it has the sink lexaro_null (scripts/test.sh starts
# one), otherwise starts its own the same way. Screenshots and the recording stay in the
# folder given (under $LEXARO_SCREENSHOT_DIR/learner when that is set).
#   run_learner_end_to_end.sh <scenario program> <folder for screenshots>
set -euo pipefail
program=$1
shots=$2
# The test run keeps every window's pictures in one folder.
if [ "${LEXARO_E2E_INNER:-}" != 1 ] && [ -n "${LEXARO_SCREENSHOT_DIR:-}" ]; then
  shots="$LEXARO_SCREENSHOT_DIR/learner"
fi

if [ "${LEXARO_E2E_INNER:-}" != 1 ]; then
  mkdir -p "$shots"
  rm -f "$shots"/*.png "$shots"/*.wav
  work=$(mktemp -d)
  pulse_pid=""
  cleanup() {
    if [ -n "$pulse_pid" ]; then kill "$pulse_pid" 2>/dev/null || true; fi
    rm -rf "$work"
  }
  trap cleanup EXIT
  if ! pactl list short sinks 2>/dev/null | grep -q 'lexaro_null'; then
    export XDG_RUNTIME_DIR="$work/runtime"
    mkdir -p "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
    pulseaudio -D --exit-idle-time=-1 --disallow-exit -n \
      --load="module-null-sink sink_name=lexaro_null" \
      --load="module-native-protocol-unix" >/dev/null 2>&1 ||
      { echo "learner end-to-end: pulseaudio did not start" >&2; exit 1; }
    for _ in $(seq 100); do
      [ -f "$XDG_RUNTIME_DIR/pulse/pid" ] && pactl info >/dev/null 2>&1 && break
      sleep 0.1
    done
    pulse_pid=$(cat "$XDG_RUNTIME_DIR/pulse/pid" 2>/dev/null || true)
    [ -n "$pulse_pid" ] || { echo "learner end-to-end: pulseaudio gave no pid" >&2; exit 1; }
  fi
  pactl set-default-sink lexaro_null >/dev/null 2>&1 || true
  LEXARO_E2E_INNER=1 xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$program" "$shots"
  exit $?
fi

# The real windows on the virtual display, whatever platform the widget tests use.
export QT_QPA_PLATFORM=xcb
export LEXARO_SHOTS="$shots"
exec "$program"
