#!/usr/bin/env bash
# Runs one golden-trace script through the scripted runner in a fresh folder: the build's
# pictures, sounds and music, and freshly written default save files, so that no earlier run's
# saves change the trace. Prints the runner's output.
# usage: run-one.sh BUILD_DIR SCRIPT
set -euo pipefail
build=$(cd "$1" && pwd)
script=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/Data"
ln -s "$build/Data/Res" "$work/Data/Res"
ln -s "$build/Data/Music" "$work/Data/Music"
"$build/rivoltra-datagen" "$work/Data" defaults > /dev/null
cd "$work"
"$build/rivoltra-script" "$script"
