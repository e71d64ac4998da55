#!/usr/bin/env bash
# Start-up time: launch to a visible window (mapped by a window manager and showing a frame) for
# the game and for a bare SDL program that opens the same window and renderer, alternating, under
# one virtual X display with a window manager. Prints every run, both medians and their ratio.
# The game starts with a fresh save folder each time, so no player's or build's saves are touched.
# Usage: scripts/measure-startup.sh [BUILD] [RUNS]
set -euo pipefail
build=${1:-build}
runs=${2:-7}
cd "$(dirname "$0")/.."
build=$(realpath "$build")
timer=$build/rivoltra-startup-timer
work=$(mktemp -d)
display=:$((200 + RANDOM % 50))
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp > /dev/null 2>&1 &
xvfb=$!
trap 'kill $wm $xvfb 2> /dev/null || true; rm -rf "$work"' EXIT
wm=
export DISPLAY=$display SDL_AUDIODRIVER=dummy
for _ in $(seq 50); do xdpyinfo > /dev/null 2>&1 && break; sleep 0.1; done
# The fixed font is the one Xvfb always has.
evilwm -fn fixed > /dev/null 2>&1 &
wm=$!
sleep 0.5

median() { sort -n | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }

cd "$build"
for i in $(seq "$runs"); do
  "$timer" ./rivoltra-bare-window >> "$work/bare"
  rm -rf "$work/save" && mkdir "$work/save"
  "$timer" ./rivoltra --save "$work/save" >> "$work/game"
  echo "run $i: bare $(tail -1 "$work/bare") ms, game $(tail -1 "$work/game") ms"
done
bare=$(median < "$work/bare")
game=$(median < "$work/game")
echo "median of $runs: bare $bare ms, game $game ms, ratio $(awk -v g="$game" -v b="$bare" 'BEGIN {printf "%.2f", g / b}')"
