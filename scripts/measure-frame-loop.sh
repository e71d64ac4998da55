#!/usr/bin/env bash
# Runs the game's real loop (main menu) and a bare present-only loop side by side under one
# virtual X display for the same time, and prints both reports (CPU seconds, tick intervals).
# Usage: scripts/measure-frame-loop.sh [BUILD] [SECONDS]
set -euo pipefail
build=${1:-build}
seconds=${2:-20}
cd "$(dirname "$0")/.."
probe=$(realpath "$build/rivoltra-frame-probe")
display=:$((150 + RANDOM % 50))
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp > /dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2> /dev/null || true' EXIT
sleep 1
cd "$build"
export DISPLAY=$display SDL_AUDIODRIVER=dummy
"$probe" game "$seconds" &
game=$!
"$probe" bare "$seconds" &
bare=$!
wait $game $bare
