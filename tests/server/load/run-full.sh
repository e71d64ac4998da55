#!/usr/bin/env bash
# The full load and abuse run a maintainer starts by hand (about five minutes, loopback only):
# every scenario at full size on SQLite, then version+report pairs through two servers sharing a
# throwaway PostgreSQL. Usage: run-full.sh [BUILD_DIR] (default build).
# To measure an older server with the same tools: abuse.py --binary OLD --legacy.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../../.." && pwd)
build=$(cd "${1:-$source_dir/build}" && pwd)
status=0
python3 "$here/abuse.py" --binary "$build/rivoltra-scores" || status=1
RIVOLTRA_LOAD_FULL=1 "$source_dir/tests/server/postgres_test.sh" "$build" "$source_dir" || status=1
exit $status
