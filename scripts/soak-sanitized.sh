#!/usr/bin/env bash
# The race soak test under AddressSanitizer (with leak detection) and UndefinedBehaviorSanitizer,
# in its own build folder. Usage: scripts/soak-sanitized.sh [BUILD_DIR] (default build-soak-asan).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-soak-asan}
jobs=${JOBS:-2}

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRIVOLTRA_SANITIZE=ON > /dev/null
# The data generator runs during the build with the same instrumentation; its own leaks are not
# what this run is about, so leak detection waits for the soak itself.
ASAN_OPTIONS=detect_leaks=0 ninja -C "$build" -j "$jobs" test_soak game_data

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:strict_string_checks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
cd "$build"
start=$(date +%s)
./tests/soak/test_soak
echo "soak under sanitizers: $(( $(date +%s) - start )) s"
