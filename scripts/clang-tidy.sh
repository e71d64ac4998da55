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
# The libraries' include roots in the build folder hold links to the headers under src/. Through
# them clang-tidy sees a header at its path in the build folder, outside the header filter: it would
# neither check that header nor rename its names where other libraries use them. The same compile
# commands with src/ in place of every include root show each header at its own path (the build
# itself checks which library may include which).
roots="$(cd "$build" && pwd)/include_roots"
commands="$build/clang-tidy"
mkdir -p "$commands"
sed -E "s#-I$roots/[^ \"]+#-I$root/src#g" "$build/compile_commands.json" \
  > "$commands/compile_commands.json"
if [ -z "$fix" ]; then
  run-clang-tidy -j "$jobs" -p "$commands" -quiet "$ours"
  exit
fi
# Every translation unit proposes its renames of the headers it includes; clang-apply-replacements
# applies each distinct edit once. Files outside this build's compile_commands.json (the browser
# and Windows platform files, the fuzz targets) are not renamed: the browser and Windows builds'
# compiler errors and the fuzz targets' syntax check show what to rename there by hand.
run-clang-tidy -j "$jobs" -p "$commands" -quiet -fix -checks='-*,readability-identifier-naming' \
  "$ours" > /dev/null
bash scripts/check-format.sh --fix
