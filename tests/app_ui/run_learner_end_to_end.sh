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
  # shellcheck source=../support/null_sink.sh
  . "$(dirname "$0")/../support/null_sink.sh"
  cleanup() {
    end_null_sink
    rm -rf "$work" 2>/dev/null || true
  }
  trap cleanup EXIT
  use_null_sink "$work" "learner end-to-end" || exit 1
  LEXARO_E2E_INNER=1 xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$program" "$shots"
  exit $?
fi

# The real windows on the virtual display, whatever platform the widget tests use.
export QT_QPA_PLATFORM=xcb
export LEXARO_SHOTS="$shots"
exec "$program"
