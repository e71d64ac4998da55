#!/usr/bin/env bash
# scripts/fuzz.sh [SECONDS]
# Builds the libFuzzer targets with clang, AddressSanitizer and UndefinedBehaviorSanitizer in
# their own build folder (build-fuzz/, or $RIVOLTRA_FUZZ_BUILD) and runs every fuzz_* program
# found there for SECONDS each (default 30), starting from its seed corpus fuzz/corpus/<name>/.
# New inputs go to <build>/fuzz/corpus/<name>/, so the committed seeds stay as they are.
# Exits non-zero on the first crash, sanitizer report, leak, time-out or memory blow-up; the
# input that caused it is kept as <build>/fuzz/artifacts/<name>-crash-... for reproduction:
#   <build>/fuzz/fuzz_<name> <build>/fuzz/artifacts/<name>-crash-...
set -euo pipefail

seconds=${1:-30}
if ! [[ $seconds =~ ^[0-9]+$ ]] || [ "$seconds" -eq 0 ]; then
  echo "usage: scripts/fuzz.sh [SECONDS]   (time per fuzz target, default 30)" >&2
  exit 2
fi

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${RIVOLTRA_FUZZ_BUILD:-$root/build-fuzz}

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRIVOLTRA_FUZZ=ON -DRIVOLTRA_SANITIZE=ON -DRIVOLTRA_TESTS=OFF >/dev/null
cmake --build "$build" --target fuzz_all

shopt -s nullglob
programs=("$build"/fuzz/fuzz_*)
if [ ${#programs[@]} -eq 0 ]; then
  echo "fuzz.sh: no fuzz_* programs in $build/fuzz" >&2
  exit 1
fi

mkdir -p "$build/fuzz/artifacts"
failed=()
for program in "${programs[@]}"; do
  [ -x "$program" ] && [ -f "$program" ] || continue
  name=${program##*/fuzz_}
  corpus=$build/fuzz/corpus/$name
  mkdir -p "$corpus"
  seeds=()
  [ -d "$root/fuzz/corpus/$name" ] && seeds=("$root/fuzz/corpus/$name")
  echo "== fuzz_$name: $seconds s"
  if ! "$program" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$build/fuzz/artifacts/$name-" "$corpus" "${seeds[@]}" \
      >"$build/fuzz/$name.log" 2>&1; then
    tail -n 60 "$build/fuzz/$name.log" >&2
    failed+=("fuzz_$name")
  else
    grep -E '^(Done|stat::number_of_executed_units|stat::peak_rss_mb)' "$build/fuzz/$name.log" || true
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz.sh: FAILED: ${failed[*]} (inputs in $build/fuzz/artifacts/)" >&2
  exit 1
fi
echo "fuzz.sh: ${#programs[@]} target(s) ran $seconds s each without a crash"
