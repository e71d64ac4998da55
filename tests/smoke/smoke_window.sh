#!/usr/bin/env bash
# Starts the game in a real window, checks its size and title, keeps a screenshot, and closes it
# the way a window manager would (SDL turns SIGTERM into a quit request), expecting a clean end.
set -euo pipefail
game=$1
artefacts=$2
mkdir -p "$artefacts"
if [ -z "${DISPLAY:-}" ]; then
  echo "smoke_window: no DISPLAY (run through scripts/run-tests.sh)"
  exit 1
fi

SDL_AUDIODRIVER=dummy "$game" > "$artefacts/smoke-stdout.txt" 2> "$artefacts/smoke-stderr.txt" &
pid=$!
trap 'kill -9 $pid 2> /dev/null || true' EXIT

find_window() {
  xwininfo -root -tree 2> /dev/null | grep '"Rivoltra"' | grep -E '[0-9]+x[0-9]+' | head -1 || true
}

window=""
for _ in $(seq 100); do
  window=$(find_window)
  [ -n "$window" ] && break
  kill -0 $pid 2> /dev/null || { echo "the game ended early"; cat "$artefacts/smoke-stderr.txt"; exit 1; }
  sleep 0.1
done
[ -n "$window" ] || { echo "no window titled Rivoltra appeared"; exit 1; }

sleep 3  # let the main menu slide in before the window is measured and photographed
kill -0 $pid 2> /dev/null || { echo "the game ended early"; cat "$artefacts/smoke-stderr.txt"; exit 1; }
window=$(find_window)
[ -n "$window" ] || { echo "the Rivoltra window went away"; exit 1; }
id=$(echo "$window" | awk '{print $1}')
geometry=$(xwininfo -id "$id" | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w "x" h}')
echo "window $id $geometry"
[ "$geometry" = "800x600" ] || { echo "expected 800x600, got $geometry"; exit 1; }
if command -v import > /dev/null; then
  timeout 30 import -window "$id" "$artefacts/smoke-window.png"
  echo "screenshot: $artefacts/smoke-window.png"
fi

kill -TERM $pid
for _ in $(seq 100); do kill -0 $pid 2> /dev/null || break; sleep 0.1; done
if kill -0 $pid 2> /dev/null; then
  echo "the game did not end after the close request"
  exit 1
fi
wait $pid
status=$?
trap - EXIT
echo "exit status $status"
exit $status
