#!/usr/bin/env bash
# One entry point for a fresh Debian 12 machine:
#   ./run.sh play   install what is missing, build, and play the show
#   ./run.sh test   install what is missing, build, and run the whole test suite
#   ./run.sh build  install what is missing and build only
set -euo pipefail
cd "$(dirname "$0")"

BUILD_DIR=${BUILD_DIR:-build}

# Build tools and libraries, then what the tests drive: a virtual X server with
# a window manager, Mesa's software OpenGL, screenshots, key presses, an MP3 encoder.
PACKAGES=(
  cmake g++ pkg-config
  libsdl2-dev libsdl2-mixer-dev libglew-dev libgl-dev libgl1-mesa-dri
  libpng-dev libturbojpeg0-dev libmp3lame-dev
  libgtest-dev libbenchmark-dev
  xvfb xauth openbox x11-utils x11-apps xdotool imagemagick lame
)

install_missing() {
  local missing=()
  for package in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
}

build() {
  cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo
  cmake --build "$BUILD_DIR" -j "$(nproc)"
}

case "${1:-play}" in
  play)
    install_missing
    build
    cd "$BUILD_DIR" && exec ./velquor
    ;;
  test)
    install_missing
    build
    cd "$BUILD_DIR" && ctest --output-on-failure
    ;;
  build)
    install_missing
    build
    ;;
  *)
    echo "usage: $0 [play|test|build]" >&2
    exit 2
    ;;
esac
