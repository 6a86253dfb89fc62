#!/usr/bin/env bash
# Sets up, builds and runs every test of Lexaro:
#   1. all unit, widget and end-to-end tests in the normal build (g++),
#   2. the core's and the tools' tests again under AddressSanitizer + UBSan (clang),
#   3. every fuzz target for a bounded time on its committed seeds (clang, sanitizers),
#   4. the Debian package (scripts/package.sh): lintian, the desktop entry, the metainfo, and
#      the unpacked package started under Xvfb as a learner's installed program.
# Ends with one summary line over all three runs and exits non-zero when anything failed.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

./scripts/setup.sh || exit 1

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen
export CTEST_OUTPUT_ON_FAILURE=1
# Windows photograph themselves here for a look by eye (kept as artefacts of the run).
export LEXARO_SCREENSHOT_DIR="$root/build/dev/screenshots"
mkdir -p "$LEXARO_SCREENSHOT_DIR"

# A private PulseAudio server with its null sink, so that audio tests play for real.
pulse_dir=""
pulse_pid=""
start_pulse() {
  command -v pulseaudio >/dev/null || return 0
  pulse_dir=$(mktemp -d)
  export XDG_RUNTIME_DIR="$pulse_dir"
  if pulseaudio -D --exit-idle-time=-1 --disallow-exit -n \
       --load="module-null-sink sink_name=lexaro_null" \
       --load="module-native-protocol-unix" >/dev/null 2>&1; then
    for _ in $(seq 50); do
      [ -f "$pulse_dir/pulse/pid" ] && break
      sleep 0.1
    done
    pulse_pid=$(cat "$pulse_dir/pulse/pid" 2>/dev/null || true)
    pactl set-default-sink lexaro_null >/dev/null 2>&1 || true
  fi
}
stop_pulse() {
  if [ -n "$pulse_pid" ]; then kill "$pulse_pid" 2>/dev/null || true; fi
  if [ -n "$pulse_dir" ]; then rm -rf "$pulse_dir"; fi
}
trap stop_pulse EXIT
start_pulse

passed=0
failed=0
broken=()

# run_ctest DIR LABEL [ctest args]: runs ctest and adds its counts to the totals.
run_ctest() {
  local dir=$1 label=$2
  shift 2
  local log
  log=$(mktemp)
  echo "=== $label ==="
  ctest --test-dir "$dir" -j"$jobs" "$@" 2>&1 | tee "$log"
  local line
  line=$(grep -E '[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -1)
  if [ -z "$line" ]; then
    echo "$label: ctest gave no summary"
    broken+=("$label")
  else
    local f t
    f=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
    t=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\2/' <<<"$line")
    failed=$((failed + f))
    passed=$((passed + t - f))
    [ "$t" -gt 0 ] || broken+=("$label ran no test")
  fi
  rm -f "$log"
}

build() {
  local preset=$1
  echo "=== build: $preset ==="
  cmake --preset "$preset" >/dev/null && cmake --build "build/$preset" -j"$jobs"
}

if build dev; then
  run_ctest build/dev "unit, widget and end-to-end tests"
else
  broken+=("build dev")
fi

if build asan; then
  run_ctest build/asan "core and tools under AddressSanitizer + UBSan"
else
  broken+=("build asan")
fi

if build fuzz; then
  run_ctest build/fuzz "fuzz targets" --timeout 300
else
  broken+=("build fuzz")
fi

echo "=== the Debian package ==="
if ./scripts/package.sh; then
  log=$(mktemp)
  tests/package/check_package.sh build/package/lexaro_*.deb "$LEXARO_SCREENSHOT_DIR/package" |
    tee "$log"
  p=$(grep -c '^PASS ' "$log" || true)
  f=$(grep -c '^FAIL ' "$log" || true)
  passed=$((passed + p))
  failed=$((failed + f))
  [ "$p" -gt 0 ] || broken+=("package checks ran none")
  rm -f "$log"
else
  broken+=("package")
fi

echo
for b in "${broken[@]}"; do echo "FAILED: $b"; done
echo "Summary: $passed passed, $failed failed"
if [ "$failed" -ne 0 ] || [ ${#broken[@]} -ne 0 ]; then
  exit 1
fi
exit 0
