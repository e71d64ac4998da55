#!/usr/bin/env bash
# Runs the score server's PostgreSQL tests against a throwaway PostgreSQL 15 server: made in a
# temporary folder, listening on 127.0.0.1 and a free port only, stopped and removed at the end.
# Also runs the short load form with two server processes sharing the database.
# Usage: postgres_test.sh BUILD_DIR [SOURCE_DIR]. Exit 77 (skipped) when PostgreSQL is missing.
# With RIVOLTRA_LOAD_FULL=1 the two-server load runs its full length instead.
set -euo pipefail

build=$(cd "$1" && pwd)
source_dir=${2:-$(cd "$(dirname "$0")/../.." && pwd)}
bin=/usr/lib/postgresql/15/bin
if [ ! -x "$bin/initdb" ] || [ ! -x "$bin/pg_ctl" ]; then
  echo "SKIPPED: PostgreSQL 15 is not installed here (scripts/install-deps.sh installs it)"
  exit 77
fi

folder=$(mktemp -d /tmp/rivoltra-postgres-XXXXXX)
# PostgreSQL refuses to run as root; an unprivileged account runs it then.
run_as=()
if [ "$(id -u)" -eq 0 ]; then
  chown nobody "$folder"
  run_as=(runuser -u nobody --)
fi
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')

stop() {
  "${run_as[@]}" "$bin/pg_ctl" -D "$folder/data" -m immediate -w stop >/dev/null 2>&1 || true
  rm -rf "$folder"
}
trap stop EXIT

"${run_as[@]}" "$bin/initdb" -D "$folder/data" -A trust -U rivoltra --no-sync >"$folder/initdb.log"
"${run_as[@]}" "$bin/pg_ctl" -D "$folder/data" -l "$folder/server.log" -w -t 30 \
  -o "-c listen_addresses=127.0.0.1 -p $port -k $folder -c max_connections=60" start >/dev/null
"${run_as[@]}" "$bin/createdb" -h 127.0.0.1 -p "$port" -U rivoltra scores

export RIVOLTRA_TEST_POSTGRES="postgresql://rivoltra@127.0.0.1:$port/scores"
"$build/tests/server/test_server" --gtest_filter='Postgres*:*/Postgres.*' --gtest_brief=1
# pg_dump and pg_restore of the same version as the server.
export PATH="$bin:$PATH"
# A ticketed game through the real client, verifier and two server processes on this database.
if [ -x "$build/tests/online_flow/test_online_flow" ]; then
  (cd "$build" && RIVOLTRA_SOURCE_DIR="$source_dir" RIVOLTRA_BUILD_DIR="$build" \
    ./tests/online_flow/test_online_flow --gtest_filter='OnlineFlow.Ticketed*' --gtest_brief=1)
fi
status=0
if command -v wrk >/dev/null; then
  length=(--quick)
  [ "${RIVOLTRA_LOAD_FULL:-0}" = 1 ] && length=()
  python3 "$source_dir/tests/server/load/abuse.py" --binary "$build/rivoltra-scores" \
    "${length[@]}" --db "$RIVOLTRA_TEST_POSTGRES" --servers 2 pairs || status=1
  python3 "$source_dir/tests/server/load/abuse.py" --binary "$build/rivoltra-scores" \
    "${length[@]}" --db "$RIVOLTRA_TEST_POSTGRES" backup || status=1
  if [ "${RIVOLTRA_LOAD_FULL:-0}" = 1 ]; then
    python3 "$source_dir/tests/server/load/abuse.py" --binary "$build/rivoltra-scores" \
      --db "$RIVOLTRA_TEST_POSTGRES" --servers 2 --spread pairs || status=1
  fi
fi
exit $status
