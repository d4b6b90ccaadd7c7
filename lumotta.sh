#!/usr/bin/env bash
# Lumotta's one entry point for people and CI.
#   ./lumotta.sh play    install what is missing, build, make the data, start the game
#   ./lumotta.sh test    install what is missing, build, make the data, run every test
#   ./lumotta.sh build   install what is missing, build, make the data
#   ./lumotta.sh package install what is missing, build the game and its data,
#                        make the Debian package build/lumotta_<version>_<arch>.deb
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
  # Looking at the game's window under Xvfb by hand (import -window root).
  imagemagick
  # The Debian package: dpkg-shlibdeps finds the libraries the game needs,
  # and CPack looks at the program with file first.
  dpkg-dev file
  # The package test checks the package as Debian does (lintian), and the
  # window tests run one session under a small window manager (openbox): the
  # window's place kept across starts, full screen asked of a manager.
  lintian openbox
)

install_missing() {
  local missing=()
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "Lumotta needs these Debian packages; install them with sudo:" >&2
    echo "  sudo apt-get update && sudo apt-get install --no-install-recommends ${missing[*]}" >&2
    echo "or, without sudo, as root (su -):" >&2
    echo "  apt-get update && apt-get install --no-install-recommends ${missing[*]}" >&2
    echo "then run this script again." >&2
    exit 1
  fi
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

configure() {
  cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
}

# Everything: the game, its data, the tools, the tests and the benchmarks.
build() {
  configure
  cmake --build "$BUILD_DIR" -j"$(nproc)"
}

# Only what playing needs: the game and its data.
build_game() {
  configure
  cmake --build "$BUILD_DIR" -j"$(nproc)" --target lumotta data
}

# The Debian package of the game, its data, icons, desktop entry and manual.
package() {
  configure
  cmake --build "$BUILD_DIR" -j"$(nproc)" --target lumotta data man_page changelog
  (cd "$BUILD_DIR" && cpack -G DEB)
}

# The corpus tests look for the public media corpus beside the checkout and
# skip without it; say so where the summary is read.
note_corpus() {
  local corpus
  corpus="$(cd .. && pwd)/shared/media-corpus"
  if [ ! -d "$corpus" ]; then
    echo "Note: the media corpus tests were skipped: there is no corpus at $corpus"
  fi
}

case "${1:-}" in
  play)
    install_missing
    build_game
    exec "$BUILD_DIR/lumotta"
    ;;
  test)
    install_missing
    build
    status=0
    ctest --test-dir "$BUILD_DIR" --output-on-failure -j"$(nproc)" || status=$?
    note_corpus
    exit "$status"
    ;;
  build)
    install_missing
    build
    ;;
  package)
    install_missing
    package
    ;;
  *)
    echo "usage: $0 play | test | build | package" >&2
    exit 2
    ;;
esac
