#!/usr/bin/env bash
# Writes the expected outputs of the golden traces from the current build. Only for an intended
# change of behaviour: commit the new traces on their own, saying why they changed.
# usage: tests/golden/update.sh [BUILD_DIR]   (re-record the driven scripts first with
#        BUILD_DIR/rivoltra-golden-record tests/golden when the scenarios themselves change)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../../build}
for script in "$here"/*.script; do
  name=$(basename "$script" .script)
  bash "$here/run-one.sh" "$build" "$script" | gzip -9n > "$here/$name.expected.gz"
  echo "$name: $(zcat "$here/$name.expected.gz" | wc -l) lines"
done
