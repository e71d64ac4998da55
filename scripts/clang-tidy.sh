#!/usr/bin/env bash
# Runs clang-tidy (.clang-tidy: the naming rules, bug-prone patterns, slicing) over every project
# file of a configured build's compile_commands.json; any finding fails.
# usage: scripts/clang-tidy.sh BUILD [JOBS]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:?usage: scripts/clang-tidy.sh BUILD [JOBS]}
jobs=${2:-2}
root=$(pwd)
[ -f "$build/compile_commands.json" ] || { echo "no $build/compile_commands.json" >&2; exit 2; }
# The project's own sources; generated files in the build folder and third-party code are not ours.
run-clang-tidy -j "$jobs" -p "$build" -quiet \
  "^$root/(src|tests|tools|server|bench|fuzz)/"
