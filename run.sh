#!/usr/bin/env bash
# One entry point for a fresh Debian 12 machine:
#   ./run.sh play   install what is missing, build, and play the show
#   ./run.sh test   install what is missing, build, and run the whole test suite
#   ./run.sh build  install what is missing and build only
#   ./run.sh sanitize  the whole suite again in build-asan/, built with
#                   AddressSanitizer (LeakSanitizer on) and UndefinedBehaviorSanitizer
#   ./run.sh fuzz [SECONDS]  every libFuzzer target in build-fuzz/ for SECONDS
#                   each (default 60), one after another, seeded from tests/data/
#   ./run.sh debian the Debian packages, checked by lintian, installed in a fresh
#                   Debian 12 root and used there (as root, with the network)
#   ./run.sh web    install what is missing, build the show as one web page,
#                   build-web/site/index.html (and build-web/velquor-web-VERSION.zip
#                   with a release note), and serve it on 127.0.0.1 (port
#                   WEB_PORT, default 8080); the file also plays opened from disk
set -euo pipefail
cd "$(dirname "$0")"

BUILD_DIR=${BUILD_DIR:-build}
SANITIZE_DIR=${SANITIZE_DIR:-build-asan}
FUZZ_DIR=${FUZZ_DIR:-build-fuzz}
WEB_DIR=${WEB_DIR:-build-web}
WEB_PORT=${WEB_PORT:-8080}
FUZZ_TARGETS=(png jpeg tga obj)

# Build tools and libraries, then what the tests drive: a virtual X server with
# a window manager, Mesa's software OpenGL (and its Vulkan driver, which zink,
# the second OpenGL the tests draw with, runs on), screenshots, key presses,
# an MP3 encoder, and ffmpeg for velquor-capture's videos. CPack's Debian
# packages take their dependencies from dpkg-shlibdeps (dpkg-dev), which
# finds the programs with file.
PACKAGES=(
  cmake g++ pkg-config dpkg-dev file
  libsdl2-dev libsdl2-mixer-dev libglew-dev libgl-dev libgl1-mesa-dri mesa-vulkan-drivers
  libpng-dev libturbojpeg0-dev libmp3lame-dev
  libgtest-dev libbenchmark-dev
  xvfb xauth openbox x11-utils x11-apps xdotool imagemagick lame ffmpeg
)
# Only ./run.sh fuzz needs these: libFuzzer comes with clang.
FUZZ_PACKAGES=(clang-14 libclang-rt-14-dev)
# Only ./run.sh debian: a Debian root to install the packages in, and their checker.
DEBIAN_PACKAGES=(debootstrap lintian)
# The web page: emscripten builds it, python3 packs and serves it, terser and
# zopfli make it small, and the tests watch it in headless Chromium.
WEB_PACKAGES=(emscripten python3 node-terser zopfli chromium)

install_missing() {
  local missing=()
  for package in "${PACKAGES[@]}" "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null; then
      echo "$0: missing packages: ${missing[*]}; run this as root or install sudo" >&2
      exit 1
    fi
    sudo=sudo
  fi
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
}

# build DIR [CMAKE_ARGS...]
build() {
  local dir=$1
  shift
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
  cmake --build "$dir" -j "$(nproc)"
}

# The page, built with emscripten, with the WebGL 2 shader pair that the
# native build in BUILD_DIR's velquor-stars-shaders makes.
build_web() {
  emcmake cmake -S . -B "$WEB_DIR" -DCMAKE_BUILD_TYPE=Release -DVQ_HOST_BUILD_DIR="$(cd "$BUILD_DIR" && pwd)"
  cmake --build "$WEB_DIR" -j "$(nproc)"
}

# Any sanitizer finding fails the program that made it; leaks of the system
# libraries listed in the suppressions file are not ours to fix.
sanitizer_environment() {
  local suppressions
  suppressions="$(pwd)/tests/sanitizer_suppressions.txt"
  # One allocation above 1 GiB is a forged size, never a picture we accept.
  export ASAN_OPTIONS=detect_leaks=1:max_allocation_size_mb=1024:strict_string_checks=1:detect_stack_use_after_return=1
  export LSAN_OPTIONS="suppressions=$suppressions:print_suppressions=0"
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
}

# Each target in turn for the given seconds. New inputs collect in
# build-fuzz/corpus/, so a later run starts where this one stopped; a crash,
# leak, hang or out-of-memory stops with the input that caused it.
fuzz() {
  local seconds=$1
  cmake -S . -B "$FUZZ_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVQ_FUZZ=ON -DBUILD_TESTING=OFF \
    -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14
  cmake --build "$FUZZ_DIR" -j "$(nproc)" --target "${FUZZ_TARGETS[@]/#/fuzz_}"
  sanitizer_environment
  for target in "${FUZZ_TARGETS[@]}"; do
    mkdir -p "$FUZZ_DIR/corpus/$target" "$FUZZ_DIR/findings"
    echo "fuzz_$target: $seconds s"
    "$FUZZ_DIR/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$FUZZ_DIR/findings/$target-" \
      "$FUZZ_DIR/corpus/$target" "tests/data/$target"
  done
}

case "${1:-play}" in
  play)
    install_missing
    build "$BUILD_DIR"
    cd "$BUILD_DIR" && exec ./velquor
    ;;
  test)
    install_missing "${WEB_PACKAGES[@]}"
    build "$BUILD_DIR" -DVQ_GL_CHECKS=ON -DVQ_DEBIAN_PACKAGE_TEST=OFF \
      -DVQ_WEB_SITE_DIR="$(mkdir -p "$WEB_DIR" && cd "$WEB_DIR" && pwd)/site"
    build_web
    cd "$BUILD_DIR" && ctest --output-on-failure
    ;;
  web)
    install_missing "${WEB_PACKAGES[@]}"
    build "$BUILD_DIR"
    build_web
    echo "Velquor is $WEB_DIR/site/index.html, $(wc -c < "$WEB_DIR/site/index.html") bytes: open it from disk, or"
    echo "Velquor is at http://127.0.0.1:$WEB_PORT/ (serving $WEB_DIR/site; Ctrl-C stops)"
    exec python3 -m http.server --bind 127.0.0.1 "$WEB_PORT" --directory "$WEB_DIR/site"
    ;;
  build)
    install_missing
    build "$BUILD_DIR"
    ;;
  debian)
    install_missing "${DEBIAN_PACKAGES[@]}"
    build "$BUILD_DIR" -DVQ_DEBIAN_PACKAGE_TEST=ON
    cmake --build "$BUILD_DIR" --target package
    status=0
    (cd "$BUILD_DIR" && ctest -R debian_package_test --output-on-failure) || status=$?
    # The build directory's own suite goes back to running without it.
    cmake -S . -B "$BUILD_DIR" -DVQ_DEBIAN_PACKAGE_TEST=OFF >/dev/null
    exit $status
    ;;
  sanitize)
    install_missing
    build "$SANITIZE_DIR" -DVQ_SANITIZE=ON -DVQ_GL_CHECKS=ON
    sanitizer_environment
    # look_test (label whole_show_look) measures the picture, which the
    # sanitizers do not change, on a second whole-show capture beside
    # gl_health_test's, and the web tests (label web) drive a browser and a
    # WebAssembly build they do not reach: ./run.sh test runs them.
    cd "$SANITIZE_DIR" && ctest --output-on-failure --timeout 1200 -LE 'whole_show_look|web'
    ;;
  fuzz)
    install_missing "${FUZZ_PACKAGES[@]}"
    fuzz "${2:-60}"
    ;;
  *)
    echo "usage: $0 [play|test|build|web|sanitize|fuzz [SECONDS]|debian]" >&2
    exit 2
    ;;
esac
