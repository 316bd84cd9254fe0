#!/usr/bin/env bash
# Installs every Debian package that building, testing and running ToviFlash need.
# Idempotent; works as root or through sudo; installs from Debian's archive only.
set -euo pipefail

packages=(
  # compiler and build tools
  build-essential cmake ninja-build pkg-config git
  clang libclang-rt-dev clang-format
  # application framework and media
  libwxgtk3.2-dev
  libcairo2-dev zlib1g-dev liblzma-dev libjpeg62-turbo-dev
  libavcodec-dev libavformat-dev libavutil-dev libswscale-dev libswresample-dev
  libsdl2-dev
  # what movies load over http and https
  libcurl4-openssl-dev
  # tests and benchmarks (the ffmpeg program writes the FLV files video tests play)
  libgtest-dev libgmock-dev googletest libbenchmark-dev ffmpeg
  xvfb xauth x11-utils xdotool libx11-dev
  desktop-file-utils
  # the installation and its Debian package: MIME database, package tools (dpkg-shlibdeps),
  # the desktop's file-type lookup and opening (gio)
  shared-mime-info dpkg-dev libglib2.0-bin
  # fonts for the Chinese interface
  fonts-noto-cjk
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && { echo "install-deps: all packages present"; exit 0; }

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "install-deps: run as root or install sudo" >&2; exit 1; }
  SUDO="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
echo "install-deps: installing ${missing[*]}"
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
