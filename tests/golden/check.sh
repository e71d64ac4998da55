#!/usr/bin/env bash
# Replays one golden-trace script and compares the runner's output byte for byte with the
# recorded one; on a difference prints the first differing lines.
# usage: check.sh BUILD_DIR NAME
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$1
name=$2
actual=$(mktemp)
expected=$(mktemp)
trap 'rm -f "$actual" "$expected"' EXIT
bash "$here/run-one.sh" "$build" "$here/$name.script" > "$actual"
zcat "$here/$name.expected.gz" > "$expected"
if ! cmp -s "$expected" "$actual"; then
  echo "golden trace $name differs from the recorded one:"
  diff "$expected" "$actual" | head -n 20 | cut -c1-400
  exit 1
fi
echo "golden trace $name: $(wc -l < "$actual") lines identical"
