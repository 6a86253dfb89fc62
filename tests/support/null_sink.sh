# Sourced by the end-to-end scripts: makes the PulseAudio null sink lexaro_null the default
# sink. Uses the server of the test run when it has that sink (scripts/test.sh starts one),
# otherwise starts one of its own the same way, with its runtime folder below $1; its pid is
# then in null_sink_pid (empty otherwise), for the caller to end.
#   use_null_sink <work folder> <name for messages>
null_sink_pid=""
use_null_sink() {
  local work=$1 label=$2
  if ! pactl list short sinks 2>/dev/null | grep -q 'lexaro_null'; then
    export XDG_RUNTIME_DIR="$work/runtime"
    mkdir -p "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
    pulseaudio -D --exit-idle-time=-1 --disallow-exit -n \
      --load="module-null-sink sink_name=lexaro_null" \
      --load="module-native-protocol-unix" >/dev/null 2>&1 ||
      { echo "$label: pulseaudio did not start" >&2; return 1; }
    for _ in $(seq 100); do
      [ -f "$XDG_RUNTIME_DIR/pulse/pid" ] && pactl info >/dev/null 2>&1 && break
      sleep 0.1
    done
    null_sink_pid=$(cat "$XDG_RUNTIME_DIR/pulse/pid" 2>/dev/null || true)
    [ -n "$null_sink_pid" ] || { echo "$label: pulseaudio gave no pid" >&2; return 1; }
  fi
  pactl set-default-sink lexaro_null >/dev/null 2>&1 || true
}

# Ends the server use_null_sink started, if any, and waits until it is gone, so that its
# runtime folder can be removed.
end_null_sink() {
  [ -n "$null_sink_pid" ] || return 0
  kill "$null_sink_pid" 2>/dev/null || true
  for _ in $(seq 50); do
    kill -0 "$null_sink_pid" 2>/dev/null || break
    sleep 0.1
  done
  null_sink_pid=""
}
