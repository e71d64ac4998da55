#!/usr/bin/env bash
# Replays recorded by one build verify under another: a whole autopilot game is recorded by the
# sanitized build (AddressSanitizer, UndefinedBehaviorSanitizer, its own compile flags) and by
# the release build, and each build's verifier must accept the other's recording.
# Usage: scripts/cross-build-replays.sh RELEASE_BUILD SANITIZED_BUILD
set -euo pipefail
cd "$(dirname "$0")/.."
release=$(cd "$1" && pwd)
sanitized=$(cd "$2" && pwd)
script=tests/golden/autopilot-car3.script
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

ASAN_OPTIONS=detect_leaks=0 ninja -C "$sanitized" -j "${JOBS:-2}" rivoltra-script rivoltra-replay \
  rivoltra-datagen game_data > /dev/null

record() {  # BUILD OUT: the script's game, recorded by that build's runner
  (grep -v '^quit$' "$script"; echo "record $2") > "$work/record.script"
  ASAN_OPTIONS=detect_leaks=0 bash tests/golden/run-one.sh "$1" "$work/record.script" > /dev/null
}
verify() {  # BUILD FILE
  ASAN_OPTIONS=detect_leaks=0 "$1/rivoltra-replay" verify --data "$1/Data" "$2"
}

record "$sanitized" "$work/sanitized.rvr"
record "$release" "$work/release.rvr"
cmp "$work/sanitized.rvr" "$work/release.rvr"
verify "$release" "$work/sanitized.rvr"
verify "$sanitized" "$work/release.rvr"
echo "cross-build replays: recorded by both builds, byte-identical, verified by each other's verifier"
