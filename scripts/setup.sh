#!/usr/bin/env bash
# Installs every Debian 12 package that building, testing and running Lexaro needs.
# Packages that are already present are skipped; nothing is downloaded from elsewhere.
set -euo pipefail

packages=(
  # build
  cmake ninja-build g++ pkg-config python3
  # the composed form (NFC) of text that becomes stored text
  libicu-dev
  # tests, benchmarks, sanitizers and fuzzing
  libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev clang-format
  # the desktop program
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libqt6svg6 qt6-multimedia-dev qt6-charts-dev
  qt6-qpa-plugins libgl1-mesa-dev fonts-dejavu-core
  # metric-compatible stand-ins for the card fonts Times New Roman and Arial
  fonts-urw-base35
  # the cards in every script: Arabic, Hebrew, the Indic scripts, Thai, ... and Chinese,
  # Japanese and Korean
  fonts-noto-core fonts-noto-cjk
  # speech, the KVTML import of lexaro-lang, OGG and FLAC tracks of lexaro-lang speak
  libespeak-ng-dev espeak-ng espeak-ng-data libpugixml-dev libsndfile1-dev
  # end-to-end and audio tests
  xvfb xauth xdotool imagemagick pulseaudio pulseaudio-utils sox
  # the Debian package and its checks
  dpkg-dev lintian desktop-file-utils appstream
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: all ${#packages[@]} packages present"
  exit 0
fi

echo "setup: installing ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
echo "setup: done"
