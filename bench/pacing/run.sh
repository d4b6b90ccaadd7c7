#!/usr/bin/env bash
# Runs the pacing benchmark under Xvfb (a real X server without a screen).
#   bench/pacing/run.sh [seconds]      (after ./lumotta.sh build)
set -euo pipefail
cd "$(dirname "$0")/../.."
bench=${LUMOTTA_BUILD_DIR:-build}/bench/pacing/pacing_bench
[ -x "$bench" ] || { echo "build first: ./lumotta.sh build" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
env -u SDL_VIDEODRIVER -u SDL_RENDER_DRIVER SDL_AUDIODRIVER=dummy \
  xvfb-run -a -s "-screen 0 1024x768x24" "$OLDPWD/$bench" "${1:-10}"
grep -E "Renderer|Frame pacing|vertical blank" Log.txt || true
