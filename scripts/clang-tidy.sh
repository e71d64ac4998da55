#!/usr/bin/env bash
# Runs clang-tidy (.clang-tidy: the naming rules, bug-prone patterns, slicing) over every project
# file of a configured build's compile_commands.json; any finding fails.
# With --fix, renames every name that breaks the case table instead (readability-identifier-naming
# only; the bug-prone findings need a person) and applies the house style to the result.
# usage: scripts/clang-tidy.sh [--fix] BUILD [JOBS]
set -euo pipefail
cd "$(dirname "$0")/.."
fix=
if [ "${1:-}" = "--fix" ]; then
  fix=1
  shift
fi
build=${1:?usage: scripts/clang-tidy.sh [--fix] BUILD [JOBS]}
jobs=${2:-2}
root=$(pwd)
[ -f "$build/compile_commands.json" ] || { echo "no $build/compile_commands.json" >&2; exit 2; }
# The project's own sources; generated files in the build folder and third-party code are not ours.
ours="^$root/(src|tests|tools|server|bench|fuzz)/"
if [ -z "$fix" ]; then
  run-clang-tidy -j "$jobs" -p "$build" -quiet "$ours"
  exit
fi
# Every translation unit proposes its renames of the headers it includes; clang-apply-replacements
# applies each distinct edit once. Files outside this build's compile_commands.json (the browser
# and Windows platform files, the fuzz targets) are not renamed: apply the printed rename list to
# them (scripts/rename-names.sh).
run-clang-tidy -j "$jobs" -p "$build" -quiet -fix -checks='-*,readability-identifier-naming' \
  "$ours" > /dev/null
bash scripts/check-format.sh --fix
