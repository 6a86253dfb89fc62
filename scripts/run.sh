#!/usr/bin/env bash
# Sets up, builds Lexaro (release) with its bundled application folder and starts it from
# that folder: build/release/Lexaro/ holds the program, Text.Db, help/, the settings and the
# starter language file.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

./scripts/setup.sh
cmake --preset release >/dev/null
cmake --build build/release -j"$(nproc)"

app="$root/build/release/Lexaro/Lexaro"
if [ ! -x "$app" ]; then
  echo "The build did not produce $app; see the build output above." >&2
  exit 1
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "Lexaro needs a display and none is set; start it under a virtual display: xvfb-run -a $app"
  exit 1
fi
cd "$(dirname "$app")"
exec "$app"
