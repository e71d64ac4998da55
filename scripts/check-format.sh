#!/usr/bin/env bash
# Fails when any C++ file of the project differs from the house style (.clang-format);
# `make format` applies it.
# usage: scripts/check-format.sh [--fix]
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files -- '*.cpp' '*.h' '*.hpp' '*.cc')
[ ${#files[@]} -gt 0 ] || exit 0
if [ "${1:-}" = "--fix" ]; then
  clang-format -i "${files[@]}"
  exit 0
fi
log=$(mktemp)
trap 'rm -f "$log"' EXIT
if ! clang-format --dry-run -Werror "${files[@]}" 2> "$log"; then
  grep -E '^[^ ].*: (error|warning):' "$log" | cut -d: -f1 | sort -u |
    sed 's/^/differs from the house style: /'
  echo "run 'make format' to apply it"
  exit 1
fi
echo "format: ${#files[@]} files follow the house style"
