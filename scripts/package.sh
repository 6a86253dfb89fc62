#!/usr/bin/env bash
# Builds Lexaro's Debian package: sets up what is missing, builds the release build and packs
# it with CPack into build/package/lexaro_<version>_<arch>.deb. Install it with
#   sudo apt install ./build/package/lexaro_*.deb
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

./scripts/setup.sh
cmake --preset release >/dev/null
cmake --build build/release -j"$(nproc)"
rm -rf build/package
cpack --config build/release/CPackConfig.cmake -B build/package >/dev/null
rm -rf build/package/_CPack_Packages
ls build/package/lexaro_*.deb
