#!/usr/bin/env python3
"""How long the score server takes to take in and verify a long, honestly played run.

Each run: the autopilot plays games with race tickets from a score server on 127.0.0.1 until one
lasts at least MIN_TICKS race ticks (20 000 ticks of 30 ms are ten minutes), its score is
reported, and its replay is uploaded; the server's JSON access log gives the time it spent on the
upload (reading the body, the ticket checks, the verifier replaying every tick, storing). The
ticket's time check is given an hour of slack: the autopilot plays faster than real time.

usage: scripts/measure-ticketed-upload.py BUILD [RUNS] [MIN_TICKS]
"""
import json
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
import urllib.request

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests",
                                "server", "load"))
from abuse import encode_report  # noqa: E402  the game's report encoding


def fetch(url, body=None):
    request = urllib.request.Request(url, data=body, headers={
        "Content-Type": "application/octet-stream"} if body is not None else {})
    with urllib.request.urlopen(request, timeout=30) as reply:
        return reply.read().decode()


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    build = os.path.abspath(sys.argv[1])
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 5
    min_ticks = int(sys.argv[3]) if len(sys.argv) > 3 else 12000
    work = tempfile.mkdtemp(prefix="rivoltra-upload-")
    log_path = os.path.join(work, "access.log")
    server = subprocess.Popen(
        [os.path.join(build, "rivoltra-scores"), "--listen", "127.0.0.1:0", "--db",
         os.path.join(work, "scores.db"), "--access-log", "json", "--ticket-slack", "3600",
         "--upload-burst", "1000", "--verify-wall-seconds", "30", "--verify-cpu-seconds", "30"],
        stdout=subprocess.PIPE, stderr=open(log_path, "w"))
    try:
        port = re.search(r"127\.0\.0\.1:(\d+)", server.stdout.readline().decode()).group(1)
        base = f"http://127.0.0.1:{port}"
        uploads = []
        for run in range(runs):
            replay_path = os.path.join(work, f"run{run}.rvr")
            played = json.loads(subprocess.run(
                [os.path.join(build, "rivoltra-ticketed-run"), base, str(min_ticks), replay_path],
                cwd=build, check=True, capture_output=True, text=True).stdout)
            token = fetch(base + "/cgi/version.pl?version&prg=Rivoltra").split("|")[4]
            name = "RUN" + chr(ord("A") + run)
            stored = fetch(base + "/cgi/version.pl?hs&prg=Rivoltra&inf="
                           + encode_report(name, played["score"], token))
            if not stored.startswith("OK|stored"):
                sys.exit(f"report not stored: {stored}")
            with open(replay_path, "rb") as replay:
                body = replay.read()
            started = time.monotonic()
            answer = fetch(f"{base}/cgi/replay.pl?token={token}", body)
            client_ms = (time.monotonic() - started) * 1000
            if answer != "OK|verified|":
                sys.exit(f"run {run}: not verified: {answer}")
            uploads.append((played, len(body), client_ms))
        time.sleep(0.2)
    finally:
        server.terminate()
        server.wait(10)
    server_ms = [entry["duration_ms"] for entry in map(json.loads, open(log_path))
                 if entry.get("path", "").startswith("/cgi/replay.pl")]
    for (played, size, client_ms), took in zip(uploads, server_ms):
        print(f"{played['ticks']} ticks ({played['ticks'] * 0.03 / 60:.1f} min, score "
              f"{played['score']}), {size} bytes: server {took:.1f} ms, client {client_ms:.1f} ms")
    print(f"median on the server: {statistics.median(server_ms):.1f} ms, "
          f"slowest {max(server_ms):.1f} ms over {len(server_ms)} uploads")
    shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
