#!/usr/bin/env bash
# Runs the game's real loop (main menu) and a bare present-only loop side by side under one
# virtual X display for the same time, and prints both reports (CPU seconds, tick intervals).
# With "scales" as the third argument it runs the game in a 1x and then a 3x window instead (on
# a display large enough for 3x; one after the other, since only the window in front ticks), to
# compare what drawing at 3x costs; after each of those runs, the X server's own CPU seconds
# for it, since the server copies every frame to the screen (on a GPU-less machine that work is
# the processor's too). A replay file after "scales" measures the race it recorded instead of the
# main menu (the menu redraws less of the picture each tick than a race, whose road scrolls).
# With "ghost" it races instead (car 1, the accelerator held, a new game whenever one ends)
# without and then with a ghost car (the golden autopilot game of car 3, recorded by the runner
# first), one after the other, RUNS times (default 3), to compare what the ghost costs.
# Usage: scripts/measure-frame-loop.sh [BUILD] [SECONDS] [scales [REPLAY] | ghost [RUNS]]
set -euo pipefail
build=${1:-build}
seconds=${2:-20}
mode=${3:-}
replay=""
[ "$mode" = scales ] && [ -n "${4:-}" ] && replay=$(realpath "$4")
cd "$(dirname "$0")/.."
root=$(pwd)
probe=$(realpath "$build/rivoltra-frame-probe")
# A display number no other X server holds.
display_number=$((150 + RANDOM % 50))
while [ -e "/tmp/.X$display_number-lock" ]; do display_number=$((display_number + 1)); done
display=:$display_number
screen=1280x1024x24
[ "$mode" = scales ] && screen=2560x2048x24
Xvfb "$display" -screen 0 "$screen" -nolisten tcp > /dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2> /dev/null || true' EXIT
sleep 1
cd "$build"
export DISPLAY=$display SDL_AUDIODRIVER=dummy
server_cpu() {
  # utime + stime of the X server, in clock ticks.
  awk '{print $14 + $15}' "/proc/$xvfb/stat"
}
if [ "$mode" = scales ]; then
  ticks_per_second=$(getconf CLK_TCK)
  for scale in 1 3; do
    before=$(server_cpu)
    "$probe" game "$seconds" "$scale" ${replay:+"$replay"}
    after=$(server_cpu)
    echo "{\"mode\":\"x-server-during-${scale}x\",\"cpu_seconds\":$(awk -v t=$((after - before)) \
      -v hz="$ticks_per_second" 'BEGIN{printf "%.2f", t / hz}')}"
  done
  exit 0
fi
if [ "$mode" = ghost ]; then
  runs=${4:-3}
  recording=$(mktemp -d)
  trap 'kill $xvfb 2> /dev/null || true; rm -rf "$recording"' EXIT
  grep -v '^quit$' "$root/tests/golden/autopilot-car3.script" > "$recording/game.script"
  echo "record $recording/car3.rvr" >> "$recording/game.script"
  bash "$root/tests/golden/run-one.sh" . "$recording/game.script" > /dev/null
  for _ in $(seq "$runs"); do
    "$probe" race "$seconds"
    "$probe" race "$seconds" "$recording/car3.rvr"
  done
  exit 0
fi
"$probe" game "$seconds" &
game=$!
"$probe" bare "$seconds" &
bare=$!
wait $game $bare
