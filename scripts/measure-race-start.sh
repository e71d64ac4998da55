#!/usr/bin/env bash
# What the race ticket costs the start of a race: the time from the click on a car to the first
# race frame in the real window (rivoltra-frame-probe race-start), with no server set, with a
# score server that answers at once (the race takes its ticket) and with one that answers only
# after 20 s (the race starts without one). The modes alternate, RUNS times; every run is printed,
# then each mode's median. Both servers listen on 127.0.0.1 and are stopped at the end.
# Usage: scripts/measure-race-start.sh [BUILD] [RUNS]
set -euo pipefail
build=${1:-build}
runs=${2:-7}
cd "$(dirname "$0")/.."
build=$(realpath "$build")
work=$(mktemp -d)
pids=()
trap 'kill "${pids[@]}" 2> /dev/null || true; rm -rf "$work"' EXIT
display_number=$((150 + RANDOM % 50))
while [ -e "/tmp/.X$display_number-lock" ]; do display_number=$((display_number + 1)); done
Xvfb ":$display_number" -screen 0 1280x1024x24 -nolisten tcp > /dev/null 2>&1 &
pids+=($!)
export DISPLAY=:$display_number SDL_AUDIODRIVER=dummy
for _ in $(seq 50); do xdpyinfo > /dev/null 2>&1 && break; sleep 0.1; done

"$build/rivoltra-scores" --listen 127.0.0.1:0 --db "$work/scores.db" > "$work/server.out" 2>&1 &
pids+=($!)
for _ in $(seq 50); do grep -q 'listening on' "$work/server.out" && break; sleep 0.1; done
server=$(grep -o 'http://127\.0\.0\.1:[0-9]*' "$work/server.out" | head -1)
# A server that takes every request and answers it only after 20 s.
python3 - "$work/slow.port" << 'EOF' &
import http.server, socketserver, sys, time
class Slow(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        time.sleep(20)
        self.send_response(503)
        self.end_headers()
    def log_message(self, *args):
        pass
class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True
server = Server(("127.0.0.1", 0), Slow)
with open(sys.argv[1], "w") as port:
    port.write(str(server.server_address[1]))
server.serve_forever()
EOF
pids+=($!)
for _ in $(seq 50); do [ -s "$work/slow.port" ] && break; sleep 0.1; done
slow=http://127.0.0.1:$(cat "$work/slow.port")

cd "$build"
for i in $(seq "$runs"); do
  for mode in offline "$server" "$slow"; do
    line=$(./rivoltra-frame-probe race-start "$mode")
    echo "run $i: $line"
    echo "$line" >> "$work/runs"
  done
done
python3 - "$work/runs" "$server" "$slow" << 'EOF'
import json, statistics, sys
runs = [json.loads(line) for line in open(sys.argv[1])]
for name, address in (("no server", "offline"), ("answering server", sys.argv[2]),
                      ("slow server", sys.argv[3])):
    mine = [run for run in runs if run["server"] == address]
    print(f"{name}: median {statistics.median(r['click_to_race_ms'] for r in mine):.1f} ms "
          f"from the click on a car to the first race frame, "
          f"{sum(r['ticketed'] for r in mine)} of {len(mine)} races ticketed")
EOF
