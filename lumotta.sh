#!/usr/bin/env bash
# Lumotta's one entry point for people and CI.
#   ./lumotta.sh play    install what is missing, build, make the data, start the game
#   ./lumotta.sh test    install what is missing, build, make the data, run every test
#   ./lumotta.sh build   install what is missing, build, make the data
set -euo pipefail
cd "$(dirname "$0")"

BUILD_DIR=${LUMOTTA_BUILD_DIR:-build}

# Debian 12 packages the build, the game and the tests need.
PACKAGES=(
  build-essential cmake pkg-config git
  libsdl2-dev libsdl2-ttf-dev libpng-dev zlib1g-dev libjpeg-dev
  libogg-dev libvorbis-dev
  libavformat-dev libavcodec-dev libswscale-dev libswresample-dev libavutil-dev
  libgtest-dev libbenchmark-dev
  libegl-mesa0 libgl1-mesa-dri libegl1 libgl1 libgles2
  fonts-dejavu-core fonts-dejavu-extra fontconfig
  xvfb xauth xdotool
)

install_missing() {
  local missing=()
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "Lumotta needs these Debian packages; install them with:" >&2
    echo "  sudo apt-get install ${missing[*]}" >&2
    exit 1
  fi
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

build() {
  cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$BUILD_DIR" -j"$(nproc)"
}

case "${1:-}" in
  play)
    install_missing
    build
    exec "$BUILD_DIR/lumotta"
    ;;
  test)
    install_missing
    build
    ctest --test-dir "$BUILD_DIR" --output-on-failure -j"$(nproc)"
    ;;
  build)
    install_missing
    build
    ;;
  *)
    echo "usage: $0 play | test | build" >&2
    exit 2
    ;;
esac
