#!/usr/bin/env bash
# Sets up, builds Lexaro with its bundled application folder and starts it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

./scripts/setup.sh
cmake --preset release >/dev/null
cmake --build build/release -j"$(nproc)"

app=build/release/Lexaro/Lexaro
if [ ! -x "$app" ]; then
  echo "The desktop program comes next; until then here is the companion tool lexaro-lang:"
  exec build/release/tools/lexaro-lang/lexaro-lang --help
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "Lexaro needs a display; without one, start it under a virtual display: xvfb-run -a $root/$app"
  exit 1
fi
exec "$app"
