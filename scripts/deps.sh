#!/usr/bin/env bash
# Installs the Debian packages the program, its tools and its tests need.
# Only what is missing is installed; apt-get update runs at most once.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config clang libclang-rt-14-dev llvm
  qt6-base-dev qt6-image-formats-plugins qt6-translations-l10n libgl-dev
  libsdl2-dev libsdl2-mixer-dev timgm6mb-soundfont lame python3
  libespeak-ng-dev espeak-ng-data libmecab-dev mecab mecab-ipadic-utf8
  fonts-ipafont-gothic fonts-ipafont-mincho fonts-dseg fontconfig
  libgtest-dev libgmock-dev libbenchmark-dev
  libx11-dev libxcb1-dev xvfb xauth xdotool x11-utils openbox imagemagick zbar-tools
  desktop-file-utils appstream dpkg-dev file librsvg2-bin help2man
  nlohmann-json3-dev libzint-dev libzip-dev libicu-dev
  libavformat-dev libavcodec-dev libswscale-dev libswresample-dev libavutil-dev ffmpeg
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
  SUDO=()
elif command -v sudo >/dev/null 2>&1 && { sudo -n true 2>/dev/null || [ -t 0 ]; }; then
  SUDO=(sudo)
else
  echo "These packages are missing: ${missing[*]}" >&2
  echo "Install them as root, for example:" >&2
  echo "  sudo apt-get update && sudo apt-get install -y ${missing[*]}" >&2
  exit 1
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${SUDO[@]}" apt-get update -qq
"${SUDO[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
