#!/usr/bin/env bash
# Every test, headless: the unit and scenario tests through ctest, with a virtual X display for
# the tests that open a real window.
set -euo pipefail
build=${1:-build}
cd "$(dirname "$0")/.."

export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
if [ -z "${DISPLAY:-}" ] && command -v Xvfb > /dev/null; then
  display=:$((90 + RANDOM % 100))
  Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp > /dev/null 2>&1 &
  xvfb_pid=$!
  trap 'kill $xvfb_pid 2> /dev/null || true' EXIT
  export DISPLAY=$display
  for _ in $(seq 50); do xdpyinfo -display "$display" > /dev/null 2>&1 && break; sleep 0.1; done
fi

ctest --test-dir "$build" --output-on-failure -j "$(nproc)" --timeout 900
