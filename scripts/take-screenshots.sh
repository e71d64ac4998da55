#!/usr/bin/env bash
# take-screenshots.sh BUILD OUT: the screenshots named in the AppStream metadata, taken from the
# game itself through the scripted runner (800x600, the window's size). Publish OUT as the
# screenshots/ folder of the home page (RIVOLTRA_HOMEPAGE).
set -euo pipefail
build=$(realpath "${1:-build}")
out=$(realpath -m "${2:-packaging/screenshots}")
mkdir -p "$out"
cd "$build"
printf 'tick 120\nshot %s/main-menu.png\n' "$out" | ./rivoltra-script > /dev/null
printf 'tick 120\ntype \\r\ntick 60\nshot %s/car-choice.png\n' "$out" | ./rivoltra-script > /dev/null
printf 'seed 7\nrace 1\ntick 90\ndown Up\ntick 700\nshot %s/race.png\n' "$out" | ./rivoltra-script > /dev/null
ls "$out"
