#!/usr/bin/env python3
"""Load and abuse suite of the score server, loopback only, bounded in count and time.

Each scenario starts its own server (127.0.0.1, a free port, a fresh database in a temporary
folder), attacks or loads it, prints one line of figures and says whether the figure meets its
target. --quick runs smaller counts for CI; --legacy leaves out options an older server does not
know, to measure it with the same tools. Exit status 1 when a checked target is missed.
"""
import argparse
import os
import random
import re
import selectors
import shutil
import signal
import socket
import sqlite3
import statistics
import struct
import subprocess
import sys
import tempfile
import threading
import time
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
TABLE = "/cgi/version.pl?prg=Rivoltra&show&type=0"
VERSION = "/cgi/version.pl?version&prg=Rivoltra"
ALPHABET = "FTSN8K5BUM9HPE2C7VRG6QDYA4Z3JX1W"
# Throughput runs lift the per-address limits: every load tool connects from 127.0.0.1.
UNLIMITED = ["--version-burst", "1000000", "--version-refill-ms", "1", "--report-burst",
             "1000000", "--report-refill-ms", "1", "--tokens-per-client", "100000"]

results = []


def report(name, figures, ok):
    verdict = "n/a" if ok is None else ("ok" if ok else "MISSED")
    results.append((name, figures, ok))
    print(f"{name:<22} {verdict:<7} {figures}", flush=True)


class Server:
    def __init__(self, args, extra=(), db=None, env=None):
        self.folder = tempfile.mkdtemp(prefix="rivoltra-load-")
        self.db = db or os.path.join(self.folder, "scores.db")
        command = [args.binary, "--listen", "127.0.0.1:0", "--db", self.db, "--quiet", *extra]
        self.process = subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                        env=env)
        line = self.process.stdout.readline().decode()
        found = re.search(r"127\.0\.0\.1:(\d+)", line)
        if not found:
            self.process.kill()
            raise RuntimeError("server did not start: " + line + self.process.stderr.read().decode())
        self.port = int(found.group(1))

    def rss_kib(self):
        with open(f"/proc/{self.process.pid}/status") as status:
            return int(re.search(r"VmRSS:\s+(\d+)", status.read()).group(1))

    def stop(self):
        started = time.monotonic()
        self.process.send_signal(signal.SIGTERM)
        try:
            self.process.wait(10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        took = time.monotonic() - started
        shutil.rmtree(self.folder, ignore_errors=True)
        return took


def connect(port, source="127.0.0.1", timeout=5.0):
    sock = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    sock.settimeout(timeout)
    sock.bind((source, 0))
    sock.connect(("127.0.0.1", port))
    return sock


def read_reply(sock, deadline):
    """One HTTP reply (status, body) read from sock, or None when none comes in time."""
    data = b""
    while True:
        end = data.find(b"\r\n\r\n")
        if end >= 0:
            length = re.search(rb"(?i)\r\ncontent-length:\s*(\d+)", data[:end + 2])
            want = end + 4 + (int(length.group(1)) if length else 0)
            if len(data) >= want:
                status = int(data.split(b" ", 2)[1])
                return status, data[end + 4:want], data[want:]
        left = deadline - time.monotonic()
        if left <= 0:
            return None
        sock.settimeout(left)
        try:
            chunk = sock.recv(65536)
        except (socket.timeout, OSError):
            return None
        if not chunk:
            return None
        data += chunk


def get(port, path, source="127.0.0.1", timeout=5.0, headers=""):
    started = time.monotonic()
    try:
        sock = connect(port, source, timeout)
        sock.sendall(f"GET {path} HTTP/1.1\r\nHost: x\r\n{headers}Connection: close\r\n\r\n".encode())
        reply = read_reply(sock, started + timeout)
        sock.close()
    except OSError:
        reply = None
    took = time.monotonic() - started
    return (reply[0], reply[1], took) if reply else (None, b"", took)


def percentile(values, fraction):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(fraction * len(ordered)))]


def encode_report(name, score, token):
    message = f"type=0|name={name}|score={score}|key=R|p={token}|add=|z="
    message += "0" * (-len(message) % 5)
    bits = "".join(f"{byte:08b}" for byte in message.encode())
    return "".join(ALPHABET[int(bits[i:i + 5], 2)] for i in range(0, len(bits), 5))


# --- slow clients -------------------------------------------------------------------------

class Holders:
    """Keeps `count` connections open from `addresses` loopback addresses, half of them idle and
    half sending one byte of a never-ending header every `drip` seconds; a connection the server
    closes is opened again. Records how long the server let each dripping one live."""

    def __init__(self, port, count, addresses, drip):
        self.port, self.count, self.addresses, self.drip = port, count, addresses, drip
        self.selector = selectors.DefaultSelector()
        self.running = True
        self.held_longest = 0.0
        self.reopened = 0
        self.thread = threading.Thread(target=self.run, daemon=True)

    def open_one(self, index):
        sock = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        sock.setblocking(False)
        try:
            sock.bind((f"127.0.0.{index % self.addresses + 1}", 0))
            sock.connect_ex(("127.0.0.1", self.port))
        except OSError:
            sock.close()
            return
        state = {"index": index, "opened": time.monotonic(), "next": time.monotonic(),
                 "dripping": index % 2 == 1, "sent": 0}
        self.selector.register(sock, selectors.EVENT_READ, state)

    def close_one(self, key):
        state = key.data
        if state["dripping"]:
            self.held_longest = max(self.held_longest, time.monotonic() - state["opened"])
        self.selector.unregister(key.fileobj)
        key.fileobj.close()
        self.reopened += 1
        if self.running:
            self.open_one(state["index"])

    def run(self):
        for index in range(self.count):
            self.open_one(index)
        drip = b"GET / HTTP/1.1\r\nHost: x\r\nX-Slow: " + b"a" * 100000
        while self.running:
            for key, _ in self.selector.select(timeout=0.05):
                try:
                    if not key.fileobj.recv(65536):
                        self.close_one(key)
                except OSError:
                    self.close_one(key)
            now = time.monotonic()
            for key in list(self.selector.get_map().values()):
                state = key.data
                if state["dripping"] and now >= state["next"]:
                    state["next"] = now + self.drip
                    try:
                        key.fileobj.send(drip[state["sent"]:state["sent"] + 1])
                        state["sent"] += 1
                    except OSError:
                        pass
        now = time.monotonic()
        for key in list(self.selector.get_map().values()):
            # One still open counts as held until now.
            if key.data["dripping"]:
                self.held_longest = max(self.held_longest, now - key.data["opened"])
            key.fileobj.close()

    def start(self):
        self.thread.start()

    def stop(self):
        self.running = False
        self.thread.join()


def slow_clients(args):
    server = Server(args)
    count = 200 if args.quick else 1000
    seconds = 8 if args.quick else 15
    holders = Holders(server.port, count, 50, 1.0)
    holders.start()
    time.sleep(2.0)
    times, failures = [], 0
    until = time.monotonic() + seconds
    while time.monotonic() < until:
        status, _, took = get(server.port, TABLE, "127.0.0.201", timeout=5.0)
        if status == 200:
            times.append(took)
        else:
            failures += 1
        time.sleep(0.02)
    holders.stop()
    server.stop()
    p99 = percentile(times, 0.99) * 1000 if times else float("inf")
    report("slow clients", f"{count} held from 50 addresses: table page {len(times)} served, "
           f"{failures} failed, p50 {percentile(times, 0.5) * 1000 if times else 0:.1f} ms, "
           f"p99 {p99:.1f} ms; a dripping client held its connection {holders.held_longest:.1f} s "
           "at most",
           failures == 0 and p99 < 100 and holders.held_longest < 7)


# --- header flood -------------------------------------------------------------------------

def header_flood(args):
    server = Server(args)
    connections = 8
    megabytes = 4 if args.quick else 52
    start = server.rss_kib()
    line = b"X-Flood: " + b"v" * 90 + b"\r\n"
    peak = start

    def flood():
        sent = 0
        try:
            sock = connect(server.port, timeout=10)
            sock.sendall(b"GET / HTTP/1.1\r\nHost: x\r\n")
            block = line * 1000
            while sent < megabytes * 1_000_000:
                sock.sendall(block)
                sent += len(block)
        except OSError:
            pass

    flooders = [threading.Thread(target=flood) for _ in range(connections)]
    for flooder in flooders:
        flooder.start()
    while any(flooder.is_alive() for flooder in flooders):
        peak = max(peak, server.rss_kib())
        time.sleep(0.05)
    time.sleep(0.5)
    after = server.rss_kib()
    status, _, _ = get(server.port, "/")
    server.stop()
    report("header flood", f"{connections} connections x {megabytes} MB of headers: RSS "
           f"{start // 1024} MB at start, peak {peak // 1024} MB, after {after // 1024} MB; "
           f"home page afterwards {status}",
           (peak - start) < connections * 1024 and status == 200)


def connection_memory(args):
    """Connections held at the most memory the limits allow each: a header of the largest size
    and field count, then all of the largest body but its last byte."""
    if args.legacy:
        return report("memory per connection", "needs the limit options", None)
    limits = ["--max-header-bytes", "16384", "--max-headers", "1000", "--max-body-bytes",
              "262144", "--max-connections-per-client", "1000", "--request-timeout", "30"]
    server = Server(args, limits)
    count = 40 if args.quick else 200
    time.sleep(0.3)
    start = server.rss_kib()
    fields = "".join(f"x{i:03}:\r\n" for i in range(995))
    head = (f"POST /up HTTP/1.1\r\nHost: x\r\n{fields}Content-Length: 262144\r\n\r\n").encode()
    body = b"b" * 262143
    held = []
    for _ in range(count):
        sock = connect(server.port, "127.0.0.9")
        sock.sendall(head + body)
        held.append(sock)
    time.sleep(1.0)
    peak = server.rss_kib()
    status, _, _ = get(server.port, "/")
    for sock in held:
        sock.close()
    server.stop()
    per_connection = (peak - start) / count
    report("memory per connection", f"{count} connections each holding a {len(head)}-byte header "
           f"of {995 + 2} fields and 256 KiB of body: RSS {start // 1024} to {peak // 1024} MB, "
           f"{per_connection:.0f} KiB each; home page meanwhile {status}",
           per_connection < 1024 and status == 200)


# --- backlog and keep-alive ---------------------------------------------------------------

def run_wrk(args, port, path, connections, threads, seconds, extra=()):
    command = ["wrk", "-t", str(threads), "-c", str(connections), "-d", f"{seconds}s",
               "--latency", "--timeout", "5s", *extra, f"http://127.0.0.1:{port}{path}"]
    output = subprocess.run(command, capture_output=True, text=True, timeout=seconds + 30).stdout

    def millis(label):
        found = re.search(label + r"\s+([\d.]+)(us|ms|s)\b", output)
        if not found:
            return float("nan")
        scale = {"us": 0.001, "ms": 1.0, "s": 1000.0}[found.group(2)]
        return float(found.group(1)) * scale

    errors = re.search(r"Socket errors: connect (\d+), read (\d+), write (\d+), timeout (\d+)", output)
    non2xx = re.search(r"Non-2xx or 3xx responses: (\d+)", output)
    rate = re.search(r"Requests/sec:\s+([\d.]+)", output)
    total = re.search(r"(\d+) requests in", output)
    return {
        "p50": millis("50%"), "p99": millis("99%"),
        "errors": sum(int(n) for n in errors.groups()) if errors else 0,
        "error_text": errors.group(0) if errors else "no socket errors",
        "non2xx": int(non2xx.group(1)) if non2xx else 0,
        "rate": float(rate.group(1)) if rate else 0.0,
        "requests": int(total.group(1)) if total else 0,
        "output": output,
    }


def concurrency(args):
    if not shutil.which("wrk"):
        return report("64 clients", "wrk missing", None)
    server = Server(args)
    seconds = 3 if args.quick else 10
    kept = run_wrk(args, server.port, TABLE, 64, 2, seconds)
    fresh = run_wrk(args, server.port, TABLE, 64, 2, seconds, ["-H", "Connection: close"])
    server.stop()
    report("64 clients keep-alive", f"table page: {kept['rate']:.0f}/s, p50 {kept['p50']:.1f} ms, "
           f"p99 {kept['p99']:.1f} ms, {kept['error_text']}, non-2xx {kept['non2xx']}",
           kept["errors"] == 0 and kept["non2xx"] == 0 and (args.quick or kept["p99"] < 50))
    report("64 clients new conns", f"table page: {fresh['rate']:.0f}/s, p50 {fresh['p50']:.1f} ms, "
           f"p99 {fresh['p99']:.1f} ms, {fresh['error_text']}, non-2xx {fresh['non2xx']}",
           fresh["errors"] == 0 and fresh["non2xx"] == 0 and (args.quick or fresh["p99"] < 50))


def keep_alive(args):
    server = Server(args)
    sock = connect(server.port)
    times = []
    for _ in range(101 if not args.quick else 31):
        started = time.monotonic()
        sock.sendall(b"GET / HTTP/1.1\r\nHost: x\r\n\r\n")
        reply = read_reply(sock, started + 5)
        if reply is None:
            break
        times.append(time.monotonic() - started)
    sock.close()
    server.stop()
    later = times[1:]
    median = statistics.median(later) * 1000 if later else float("inf")
    report("keep-alive", f"{len(times)} requests on one connection: first "
           f"{times[0] * 1000 if times else 0:.1f} ms, later ones median {median:.1f} ms",
           len(later) > 0 and median < 5)


# --- request boundaries -------------------------------------------------------------------

def replies_to(port, payload, wait=1.5, late=b""):
    sock = connect(port)
    sock.sendall(payload)
    if late:
        time.sleep(0.3)
        sock.sendall(late)
    statuses = []
    deadline = time.monotonic() + wait
    data = b""
    while time.monotonic() < deadline:
        reply = read_reply(sock, deadline)
        if reply is None:
            break
        statuses.append((reply[0], reply[1]))
        # read_reply returns what follows the reply; feed it back in front of the next read.
        leftover = reply[2]
        if leftover:
            sock = _Prepend(sock, leftover)
    sock.close()
    return statuses


class _Prepend:
    def __init__(self, sock, data):
        self.sock, self.data = sock, data

    def recv(self, size):
        if self.data:
            chunk, self.data = self.data[:size], self.data[size:]
            return chunk
        return self.sock.recv(size)

    def settimeout(self, value):
        self.sock.settimeout(value)

    def close(self):
        self.sock.close()


def boundaries(args):
    server = Server(args)
    inner = f"GET {VERSION} HTTP/1.1\r\nHost: x\r\n\r\n".encode()
    smuggled = replies_to(server.port, b"GET /nothing HTTP/1.1\r\nHost: x\r\nContent-Length: "
                          + str(len(inner)).encode() + b"\r\n\r\n", late=inner)
    pipelined = replies_to(server.port, b"GET / HTTP/1.1\r\nHost: x\r\n\r\n"
                           b"GET /nothing HTTP/1.1\r\nHost: x\r\n\r\n"
                           + f"GET {TABLE} HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n".encode())
    server.stop()
    smuggled_statuses = [status for status, _ in smuggled]
    pipelined_statuses = [status for status, _ in pipelined]
    report("request boundaries", f"GET with a request as its late body: replies {smuggled_statuses}; "
           f"three pipelined requests: replies {pipelined_statuses}",
           smuggled_statuses == [404] and pipelined_statuses == [200, 404, 200])


# --- tokens -------------------------------------------------------------------------------

def token_flood(args):
    server = Server(args)
    _, body, _ = get(server.port, VERSION, "127.0.0.7")
    token = body.decode().split("|")[4]
    counts = {}
    lock = threading.Lock()
    addresses = 400
    per_address = 25

    def flood(first):
        for index in range(first, addresses, 8):
            source = f"127.1.{index // 200}.{index % 200 + 1}"
            sock, rest, answered = None, b"", 0
            # Lost replies (a server closing kept-alive connections early) are sent again, so
            # every address gets its count of tokens; bounded at twice that many tries.
            for _ in range(2 * per_address):
                if answered == per_address:
                    break
                try:
                    # A server that closes kept-alive connections early gets a new one.
                    sock = sock or connect(server.port, source)
                    sock.sendall(f"GET {VERSION} HTTP/1.1\r\nHost: x\r\n\r\n".encode())
                    reply = read_reply(_Prepend(sock, rest), time.monotonic() + 5)
                except OSError:
                    reply = None
                if reply is None:
                    status, rest = None, b""
                    if sock:
                        sock.close()
                    sock = None
                else:
                    status, rest = reply[0], reply[2]
                    answered += 1
                with lock:
                    counts[status] = counts.get(status, 0) + 1
            if sock:
                sock.close()

    flooders = [threading.Thread(target=flood, args=(i,)) for i in range(8)]
    for flooder in flooders:
        flooder.start()
    for flooder in flooders:
        flooder.join()
    status, body, _ = get(server.port, "/cgi/version.pl?hs&prg=Rivoltra&inf="
                          + encode_report("PLAYER", 4242, token), "127.0.0.7")
    server.stop()
    shown = {str(key): value for key, value in counts.items()}
    report("token flood", f"{addresses * per_address} version requests from {addresses} addresses "
           f"(replies {shown}); the waiting player's report then: {status} "
           f"{body.decode().strip()}", status == 200)


def token_after_failed_store(args):
    server = Server(args)
    _, body, _ = get(server.port, VERSION, "127.0.0.8")
    target = "/cgi/version.pl?hs&prg=Rivoltra&inf=" + encode_report("RETRY", 4343,
                                                                    body.decode().split("|")[4])
    # Another writer holds the file's lock past the server's patience, as a full disk would
    # fail the write.
    blocker = sqlite3.connect(server.db, timeout=0.1, isolation_level=None)
    blocker.execute("BEGIN EXCLUSIVE")
    failed, failed_body, _ = get(server.port, target, "127.0.0.8", timeout=10)
    blocker.execute("ROLLBACK")
    blocker.close()
    retried, retried_body, _ = get(server.port, target, "127.0.0.8")
    server.stop()
    report("token after a 500", f"report while the database is locked: {failed} "
           f"{failed_body.decode().strip()}; the same report after: {retried} "
           f"{retried_body.decode().strip()}", failed == 500 and retried == 200)


# --- damaged files ------------------------------------------------------------------------

def damaged_files(args):
    folder = tempfile.mkdtemp(prefix="rivoltra-damaged-")
    good = os.path.join(folder, "good.db")
    server = Server(args, db=good)
    server.process.send_signal(signal.SIGTERM)
    server.process.wait(10)
    shutil.rmtree(server.folder, ignore_errors=True)
    with sqlite3.connect(good) as db:
        db.executemany("INSERT INTO scores (name, country, score, submitted_at) VALUES (?,?,?,?)",
                       [(f"NAME {i}", "COUNTRY", i, 1700000000 + i) for i in range(20000)])
    db.close()
    with open(good, "rb") as original:
        content = original.read()
    random.seed(7)
    cases = {
        "random bytes": bytes(random.getrandbits(8) for _ in range(65536)),
        "truncated": content[:len(content) // 2],
        "garbage at page 41": content[:40 * 4096] + bytes(random.getrandbits(8) for _ in range(4096))
        + content[41 * 4096:],
    }
    outcomes = []
    ok = True
    for name, data in cases.items():
        path = os.path.join(folder, name.replace(" ", "-") + ".db")
        with open(path, "wb") as damaged:
            damaged.write(data)
        run = run_briefly([args.binary, "--listen", "127.0.0.1:0", "--db", path, "--quiet"])
        message = run.stderr.strip().splitlines()[-1] if run.stderr.strip() else run.stdout.strip()
        outcomes.append(f"{name}: exit {run.returncode} \"{message[-90:]}\"")
        ok = ok and run.returncode == 1 and path in message and (
            "not a database" in message or "damaged" in message)
    shutil.rmtree(folder, ignore_errors=True)
    report("damaged files", "; ".join(outcomes), ok)


def run_briefly(command):
    """Runs command for at most 2 s; a server that starts despite everything is stopped."""
    process = subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    try:
        out, err = process.communicate(timeout=2)
    except subprocess.TimeoutExpired:
        process.terminate()
        out, err = process.communicate()
        err += "\n(started and served)"
    return subprocess.CompletedProcess(command, process.returncode, out, err)


# --- shutdown -----------------------------------------------------------------------------

def shutdown(args):
    figures = []
    ok = True
    for clients in (0, 1):
        server = Server(args)
        held = []
        for _ in range(clients):
            sock = connect(server.port)
            sock.sendall(b"GET / HTTP/1.1\r\nHost: x\r\nX-Slow: a")
            held.append(sock)
        idle = [connect(server.port) for _ in range(clients)]
        time.sleep(0.3)
        took = server.stop()
        for sock in held + idle:
            sock.close()
        figures.append(f"{took:.2f} s with {2 * clients} clients connected")
        ok = ok and took < 1.0
    report("shutdown", "SIGTERM: " + ", ".join(figures), ok)


# --- rate limits behind a proxy ------------------------------------------------------------

def proxy_limits(args):
    if args.legacy:
        run = subprocess.run([args.binary, "--trust-proxy", "127.0.0.1"], capture_output=True,
                             timeout=10)
        return report("rate limits", f"--trust-proxy: exit {run.returncode} (not an option)", None)
    server = Server(args, ["--trust-proxy", "127.0.0.1", "--version-burst", "3",
                           "--version-refill-ms", "60000"])
    first = [get(server.port, VERSION, headers="X-Forwarded-For: 203.0.113.1\r\n")[0]
             for _ in range(4)]
    second = get(server.port, VERSION, headers="X-Forwarded-For: 203.0.113.2\r\n")[0]
    forged = get(server.port, VERSION, "127.0.0.2", headers="X-Forwarded-For: 203.0.113.9\r\n")[0]
    server.stop()
    report("rate limits", f"burst 3 set on the command line; behind the proxy client 1: {first}, "
           f"client 2: {second}; forged header from a non-proxy peer: {forged}",
           first == [200, 200, 200, 429] and second == 200 and forged == 200)


# --- throughput and memory ----------------------------------------------------------------

def version_rate(args):
    if not shutil.which("wrk"):
        return report("version rate", "wrk missing", None)
    server = Server(args, [] if args.legacy else UNLIMITED)
    result = run_wrk(args, server.port, VERSION, 8, 2, 3 if args.quick else 10)
    server.stop()
    report("version rate", f"8 connections: {result['rate']:.0f}/s, p99 {result['p99']:.1f} ms, "
           f"non-2xx {result['non2xx']}, {result['error_text']}",
           result["non2xx"] == 0 and result["errors"] == 0 and (args.quick or result["rate"] >= 10000))


def stored_scores(db):
    if db.startswith("postgres"):
        rows = subprocess.run(["psql", "-At", db, "-c",
                               "SELECT score FROM scores WHERE name = 'LOAD'"],
                              capture_output=True, text=True, check=True).stdout.split()
        return [int(row) for row in rows]
    with sqlite3.connect(db) as connection:
        return [row[0] for row in connection.execute("SELECT score FROM scores WHERE name='LOAD'")]


def pairs(args):
    if not shutil.which("wrk"):
        return report("version+report", "wrk missing", None)
    extra = [] if args.legacy else UNLIMITED
    if args.threads:
        extra = extra + ["--threads", str(args.threads)]
    if args.spread:
        extra = extra + ["--trust-proxy", "127.0.0.1"]
    servers = [Server(args, extra, db=args.db) for _ in range(args.servers)]
    if args.db:
        # A shared database may hold an earlier run's scores with the same numbers.
        subprocess.run(["psql", "-q", args.db, "-c", "DELETE FROM scores WHERE name = 'LOAD'"],
                       check=True, capture_output=True)
    acked_dir = tempfile.mkdtemp(prefix="rivoltra-acked-")
    seconds = 3 if args.quick else 10
    per_server = max(1, 8 // len(servers))
    runs = [subprocess.Popen(["wrk", "-t", str(per_server), "-c", str(per_server), "-d",
                              f"{seconds}s", "--timeout", "5s", "-s",
                              os.path.join(HERE, "pairs.lua"),
                              f"http://127.0.0.1:{server.port}/", "--", str(10 * i), acked_dir,
                              "spread" if args.spread else "one"],
                             stdout=subprocess.PIPE, text=True)
            for i, server in enumerate(servers)]
    for run in runs:
        run.communicate(timeout=seconds + 30)
    acked = []
    for name in os.listdir(acked_dir):
        with open(os.path.join(acked_dir, name)) as lines:
            acked += [int(line) for line in lines if line.strip()]
    stored = stored_scores(args.db or servers[0].db)
    for server in servers:
        server.stop()
    shutil.rmtree(acked_dir, ignore_errors=True)
    counts = {}
    for score in stored:
        counts[score] = counts.get(score, 0) + 1
    missing = sum(1 for score in acked if counts.get(score, 0) != 1)
    rate = len(acked) / seconds
    where = f"{len(servers)} servers on PostgreSQL" if args.db else "SQLite"
    where += ", players behind a trusted proxy" if args.spread else ", one client address"
    report("version+report", f"{where}, 8 connections: {rate:.0f} pairs/s acknowledged "
           f"({len(acked)}), stored {len(stored)}, acknowledged but not stored exactly once: "
           f"{missing}", missing == 0 and len(acked) > 0 and (args.quick or rate >= 2000))


def memory(args):
    if not shutil.which("wrk"):
        return report("memory", "wrk missing", None)
    server = Server(args, [] if args.legacy else UNLIMITED)
    time.sleep(0.3)
    start = server.rss_kib()
    target = 30000 if args.quick else 300000
    served = 0
    while served < target:
        # An older server's kept-alive replies wait for delayed ACKs; new connections do not.
        result = run_wrk(args, server.port, VERSION if served % 2 else TABLE, 8, 2,
                         2 if args.quick else 5,
                         ["-H", "Connection: close"] if args.legacy else [])
        served += result["requests"]
    after = server.rss_kib()
    server.stop()
    report("memory", f"RSS {start / 1024:.1f} MB at start, {after / 1024:.1f} MB after {served} "
           f"requests", (after - start) < 20 * 1024)


# --- replay uploads -----------------------------------------------------------------------

def fetch_ticket(port, source="127.0.0.1"):
    """A race ticket from the server, as the 57 bytes its reply carries in hex; None without."""
    status, body, _ = get(port, "/cgi/ticket.pl", source)
    if status != 200 or not body.startswith(b"OK|ticket|"):
        return None
    return bytes.fromhex(body.decode().split("|")[2])


def make_replay(score, name, country="", runs=(), ticket=None):
    """A well-formed replay whose trailer reports score, name and country and whose tick stream
    holds `runs`, (length, action bits) each. With a ticket it is a ticketed replay (format 2)
    of the ticket's seed, as the game records one."""
    def text(value):
        return bytes([len(value)]) + value.encode()
    stream = b"".join(varint((length - 1) << 1) + varint(bits) for length, bits in runs)
    ticks = sum(length for length, _ in runs)
    seed = struct.unpack_from("<I", ticket, 9)[0] if ticket else 1
    header = struct.pack("<QIBII", 0, seed, 0, ticks, len(stream)) + text("load")
    if ticket:
        header += ticket
    trailer = struct.pack("<iHI", score, 1, ticks) + text(name) + text(country)
    length = 4 + 2 + 4 + len(header) + len(stream) + len(trailer) + 4
    data = b"RVR\x1a" + struct.pack("<HI", 2 if ticket else 1, length) + header + stream + trailer
    return data + struct.pack("<I", zlib.crc32(data))


def post(port, path, body, source="127.0.0.1", timeout=10.0):
    started = time.monotonic()
    try:
        sock = connect(port, source, timeout)
        sock.sendall(f"POST {path} HTTP/1.1\r\nHost: x\r\nContent-Type: application/octet-stream"
                     f"\r\nContent-Length: {len(body)}\r\nConnection: close\r\n\r\n".encode()
                     + body)
        reply = read_reply(sock, started + timeout)
        sock.close()
    except OSError:
        reply = None
    return (reply[0], reply[1]) if reply else (None, b"")


def upload_flood(args):
    """Uploads from many players at once, each verification taking 0.3 s, while a reader keeps
    asking for the table page: the page must stay fast, the queue answers 503 beyond its places,
    and only the uploads answered 200 show as verified."""
    if args.legacy:
        return report("upload flood", "older servers take no uploads", None)
    folder = tempfile.mkdtemp(prefix="rivoltra-verifier-")
    verifier = os.path.join(folder, "verify.sh")
    with open(verifier, "w") as script:
        script.write("#!/bin/sh\nsleep 0.3\n"
                     "echo '{\"valid\": true, \"score\": 100, \"level\": 1, \"ticks\": 0}'\n")
    os.chmod(verifier, 0o755)
    server = Server(args, UNLIMITED + ["--upload-burst", "1000000", "--upload-refill-ms", "1",
                                       "--verifier", verifier, "--verify-jobs", "1",
                                       "--verify-queue", "2"])
    players = 40 if args.quick else 200
    tokens = []
    for index in range(players):
        _, body, _ = get(server.port, VERSION)
        token = body.decode().split("|")[4]
        status, _, _ = get(server.port, "/cgi/version.pl?hs&prg=Rivoltra&inf="
                           + encode_report(f"P{chr(65 + index % 26)}", 100, token))
        if status == 200:
            tokens.append((token, f"P{chr(65 + index % 26)}"))
    counts = {}
    lock = threading.Lock()
    page_times = []
    page_failures = []
    done = threading.Event()

    def upload(first):
        for index in range(first, len(tokens), 16):
            token, name = tokens[index]
            # One in five is hostile: bytes that are no replay, or a body over the cap.
            body = make_replay(100, name, ticket=fetch_ticket(server.port))
            if index % 10 == 3:
                body = os.urandom(2000)
            elif index % 10 == 7:
                body = b"RVR\x1a" + bytes((1 << 20) + 1)
            status, _ = post(server.port, f"/cgi/replay.pl?token={token}", body)
            with lock:
                counts[status] = counts.get(status, 0) + 1

    def read_page():
        while not done.is_set():
            status, _, took = get(server.port, TABLE, "127.0.0.9")
            page_times.append(took)
            if status != 200:
                page_failures.append(status)
            time.sleep(0.02)

    reader = threading.Thread(target=read_page)
    reader.start()
    started = time.monotonic()
    uploaders = [threading.Thread(target=upload, args=(i,)) for i in range(16)]
    for uploader in uploaders:
        uploader.start()
    for uploader in uploaders:
        uploader.join()
    flood_took = time.monotonic() - started
    done.set()
    reader.join()
    _, verified_page, _ = get(server.port, TABLE + "&verified=1")
    verified_rows = verified_page.count(b"verified</span>")
    server.stop()
    shutil.rmtree(folder, ignore_errors=True)
    shown = {str(key): value for key, value in sorted(counts.items(), key=str)}
    slowest = max(page_times) if page_times else 0
    report("upload flood", f"{len(tokens)} uploads from 16 clients in {flood_took:.1f} s "
           f"(replies {shown}); verified rows {verified_rows}; table page during it: "
           f"{len(page_times)} reads, p50 {percentile(page_times, 0.5) * 1000:.0f} ms, "
           f"max {slowest * 1000:.0f} ms, failures {len(page_failures)}",
           len(page_times) > 0 and not page_failures and slowest < 1.0
           and verified_rows == counts.get(200, 0) and counts.get(200, 0) > 0
           and set(counts) <= {200, 400, 413, 503})



# --- abuse of uploads and downloads -------------------------------------------------------

def verifier_script(folder, body="", score=100):
    path = os.path.join(folder, "verify.sh")
    with open(path, "w") as script:
        script.write("#!/bin/sh\n" + body +
                     f"echo '{{\"valid\": true, \"score\": {score}, \"ticks\": 0}}'\n")
    os.chmod(path, 0o755)
    return path


def varint(value):
    out = b""
    while True:
        byte = value & 0x7F
        value >>= 7
        if value:
            out += bytes([byte | 0x80])
        else:
            return out + bytes([byte])


def stored_entry(port, name, score, source):
    """Sends a report from `source` and returns its token, or None."""
    status, body, _ = get(port, VERSION, source)
    if status != 200:
        return None
    token = body.decode().split("|")[4]
    status, body, _ = get(port, "/cgi/version.pl?hs&prg=Rivoltra&inf="
                          + encode_report(name, score, token), source)
    return token if status == 200 and body.startswith(b"OK|stored") else None


class PageReader:
    """Fetches the table page from its own address every 20 ms and keeps the times."""

    def __init__(self, port, source="127.0.0.201"):
        self.port, self.source = port, source
        self.times, self.failures = [], 0
        self.done = threading.Event()
        self.thread = threading.Thread(target=self.run)

    def run(self):
        while not self.done.is_set():
            status, _, took = get(self.port, TABLE, self.source)
            if status == 200:
                self.times.append(took)
            else:
                self.failures += 1
            time.sleep(0.02)

    def __enter__(self):
        self.thread.start()
        return self

    def __exit__(self, *exc):
        self.done.set()
        self.thread.join()

    def p99_ms(self):
        return percentile(self.times, 0.99) * 1000 if self.times else float("inf")


def upload_places(args):
    """One address holds every connection it may, each announcing a 1 MiB upload and dripping
    it, reopened when dropped; players from other addresses upload meanwhile, one after
    another, and a reader times the table page."""
    if args.legacy:
        return report("upload places", "older servers take no uploads", None)
    folder = tempfile.mkdtemp(prefix="rivoltra-verifier-")
    server = Server(args, UNLIMITED + ["--upload-burst", "1000000", "--upload-refill-ms", "1",
                                       "--verifier", verifier_script(folder, "sleep 0.05\n")])
    attacker = "127.0.0.66"
    tokens = [stored_entry(server.port, "CHEAT", 100, attacker) for _ in range(4)]
    tokens = [token for token in tokens if token]
    held = 16
    seconds = 6 if args.quick else 15
    stop = threading.Event()
    opened = [0]

    def hold(index):
        while not stop.is_set():
            try:
                sock = connect(server.port, attacker, timeout=1.0)
                opened[0] += 1
                sock.sendall(f"POST /cgi/replay.pl?token={tokens[index % len(tokens)]} HTTP/1.1"
                             "\r\nHost: x\r\nContent-Type: application/octet-stream\r\n"
                             f"Content-Length: {1 << 20}\r\n\r\n".encode())
                while not stop.is_set():
                    sock.send(b"x")
                    stop.wait(0.5)
                sock.close()
            except OSError:
                stop.wait(0.05)

    holders = [threading.Thread(target=hold, args=(i,)) for i in range(held)]
    for holder in holders:
        holder.start()
    time.sleep(1.0)
    counts = {}
    players = 40
    with PageReader(server.port) as reader:
        started = time.monotonic()
        for index in range(players):
            source = f"127.0.2.{index + 1}"
            name = "P" + chr(65 + index % 26)
            token = stored_entry(server.port, name, 100, source)
            status, _ = post(server.port, f"/cgi/replay.pl?token={token}",
                             make_replay(100, name, ticket=fetch_ticket(server.port, source)),
                             source)
            counts[status] = counts.get(status, 0) + 1
            if time.monotonic() - started > seconds:
                break
    stop.set()
    for holder in holders:
        holder.join()
    server.stop()
    shutil.rmtree(folder, ignore_errors=True)
    shown = {str(key): value for key, value in sorted(counts.items(), key=str)}
    report("upload places", f"{held} connections from one address dripping 1 MiB uploads "
           f"({opened[0]} opened): {sum(counts.values())} uploads from other addresses, replies "
           f"{shown}; table page p99 {reader.p99_ms():.1f} ms, {reader.failures} failed",
           counts.get(200, 0) == sum(counts.values()) and counts.get(503, 0) == 0
           and reader.failures == 0 and (args.quick or reader.p99_ms() < 100))


def replay_bytes(args):
    """What one address can get stored: a paused run rattling its keys every tick, then as many
    replays of one byte a tick (the most a run may take) as it can send in the time."""
    if args.legacy:
        return report("replay bytes", "older servers take no uploads", None)
    folder = tempfile.mkdtemp(prefix="rivoltra-verifier-")
    server = Server(args, UNLIMITED + ["--upload-burst", "1000000", "--upload-refill-ms", "1",
                                       "--verifier", verifier_script(folder)])
    source = "127.0.0.77"
    ticks = 200000
    rattling = make_replay(100, "RATTLE", runs=[(1, 1 << (i % 2)) for i in range(ticks)])
    token = stored_entry(server.port, "RATTLE", 100, source)
    rattled, _ = post(server.port, f"/cgi/replay.pl?token={token}", rattling, source)
    # Runs of two ticks: one byte a tick, the most a replay may hold.
    dense = make_replay(100, "DENSE", runs=[(2, 1 << (i % 2)) for i in range(ticks // 2)])
    counts = {}
    seconds = 4 if args.quick else 10
    started = time.monotonic()
    while time.monotonic() - started < seconds:
        token = stored_entry(server.port, "DENSE", 100, source)
        status, _ = post(server.port, f"/cgi/replay.pl?token={token}", dense, source)
        counts[status] = counts.get(status, 0) + 1
        if status == 429:
            break
    took = time.monotonic() - started
    with sqlite3.connect(server.db) as db:
        stored = db.execute("SELECT coalesce(sum(length(bytes)), 0) FROM replays").fetchone()[0]
    server.stop()
    shutil.rmtree(folder, ignore_errors=True)
    shown = {str(key): value for key, value in sorted(counts.items(), key=str)}
    report("replay bytes", f"a paused run rattling keys every tick ({len(rattling)} bytes, "
           f"{ticks} ticks): {rattled}; {len(dense)}-byte replays of one byte a tick from one "
           f"address for {took:.1f} s: replies {shown}, {stored / 1048576:.2f} MiB stored",
           rattled == 413 and stored <= (4 << 20) and counts.get(429, 0) == 1)


def downloads(args):
    """Clients that ask for a 1 MiB replay and never read it, then wrk on the replay, while a
    reader times the table page."""
    folder = tempfile.mkdtemp(prefix="rivoltra-downloads-")
    server = Server(args)
    # The largest replay the format allows, as an older server may have stored it.
    with sqlite3.connect(server.db, timeout=10) as db:
        db.execute("INSERT INTO scores (name, country, score, submitted_at, verified) "
                   "VALUES ('BIG', '', 1, 1700000000, 1)")
        entry = db.execute("SELECT max(id) FROM scores").fetchone()[0]
        db.execute("INSERT INTO replays (entry_id, bytes) VALUES (?, ?)",
                   (entry, os.urandom(1 << 20)))
    db.close()
    path = f"/cgi/replay.pl?get={entry}"
    count = 200 if args.quick else 1000
    start = server.rss_kib()
    peak = start
    held = []
    for index in range(count):
        try:
            sock = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
            sock.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 4096)
            sock.bind((f"127.0.3.{index % 50 + 1}", 0))
            sock.connect(("127.0.0.1", server.port))
            sock.sendall(f"GET {path} HTTP/1.1\r\nHost: x\r\n\r\n".encode())
            held.append(sock)
        except OSError:
            pass
        if index % 50 == 0:
            peak = max(peak, server.rss_kib())
    # Timed once they all wait: the tool opening them shares the reader's interpreter.
    with PageReader(server.port) as reader:
        for _ in range(30 if args.quick else 80):
            peak = max(peak, server.rss_kib())
            time.sleep(0.1)
    for sock in held:
        sock.close()
    held_p99, held_failures = reader.p99_ms(), reader.failures
    time.sleep(1.0)
    after = server.rss_kib()
    # A figure, not a check: wrk's flood of refusals shares the two cores with the server.
    wrk_p99, wrk_figures = float("nan"), "wrk missing"
    if shutil.which("wrk"):
        with PageReader(server.port) as wrk_reader:
            result = run_wrk(args, server.port, path, 250, 2, 3 if args.quick else 10)
        wrk_p99 = wrk_reader.p99_ms()
        wrk_figures = (f"wrk -c 250 on the replay: {result['rate']:.0f}/s, non-2xx "
                       f"{result['non2xx']}; table page p99 {wrk_p99:.1f} ms")
    server.stop()
    shutil.rmtree(folder, ignore_errors=True)
    report("downloads", f"{len(held)} clients asking for a 1 MiB replay without reading: RSS "
           f"{start // 1024} MB, peak {peak // 1024} MB, {after // 1024} MB after they left; "
           f"table page p99 {held_p99:.1f} ms, {held_failures} failed; {wrk_figures}",
           peak < 100 * 1024 and held_failures == 0 and (args.quick or held_p99 < 100))


def transfer_codings(args):
    server = Server(args)
    inner = b"GET /healthz HTTP/1.1\r\nHost: x\r\n\r\n"
    outcomes = {}
    for coding in ("gzip", "identity", "chunked, gzip", "gzip, chunked"):
        replies = replies_to(server.port, f"POST /cgi/replay.pl?token=X HTTP/1.1\r\nHost: x\r\n"
                             f"Transfer-Encoding: {coding}\r\n\r\n".encode() + inner)
        outcomes[coding] = [status for status, _ in replies]
    server.stop()
    report("transfer codings", "POST whose body is a request, by Transfer-Encoding: "
           + ", ".join(f"{coding}: replies {statuses}" for coding, statuses in outcomes.items()),
           all(statuses == [400] for statuses in outcomes.values()))


def marked_processes(marker):
    found = 0
    for pid in os.listdir("/proc"):
        if not pid.isdigit():
            continue
        try:
            with open(f"/proc/{pid}/cmdline", "rb") as cmdline:
                if marker.encode() in cmdline.read():
                    found += 1
        except OSError:
            pass
    return found


def verifier_stop(args):
    """SIGTERM while a verification runs: a 2 s verifier that starts children of its own."""
    if args.legacy:
        return report("verifier stop", "older servers take no uploads", None)
    folder = tempfile.mkdtemp(prefix="rivoltra-verifier-")
    scratch = os.path.join(folder, "tmp")
    os.mkdir(scratch)
    marker = f"2.{os.getpid():06d}1"
    script = verifier_script(folder, f"sleep {marker} & sleep {marker} & sleep {marker}\n")
    server = Server(args, UNLIMITED + ["--verifier", script],
                    env=dict(os.environ, TMPDIR=scratch))
    token = stored_entry(server.port, "SLOW", 100, "127.0.0.88")
    poster = threading.Thread(target=post, args=(server.port, f"/cgi/replay.pl?token={token}",
                                                 make_replay(100, "SLOW", ticket=fetch_ticket(
                                                     server.port, "127.0.0.88")),
                                                 "127.0.0.88"))
    poster.start()
    time.sleep(0.8)
    running = marked_processes(marker)
    files_during = len(os.listdir(scratch))
    took = server.stop()
    time.sleep(0.2)
    left_processes = marked_processes(marker)
    left_files = len(os.listdir(scratch))
    poster.join()
    shutil.rmtree(folder, ignore_errors=True)
    report("verifier stop", f"stop during a 2 s verification ({running} verifier processes, "
           f"{files_during} temporary file): exit after {took * 1000:.0f} ms, {left_files} "
           f"temporary files and {left_processes} verifier processes left",
           running > 0 and files_during > 0 and left_files == 0 and left_processes == 0
           and took < 1.0)


# --- operations ---------------------------------------------------------------------------

def scores_named(db, name):
    if db.startswith("postgres"):
        rows = subprocess.run(["psql", "-At", db, "-c",
                               f"SELECT score FROM scores WHERE name = '{name}'"],
                              capture_output=True, text=True, check=True).stdout.split()
        return {int(row) for row in rows}
    with sqlite3.connect(db) as connection:
        return {row[0] for row in connection.execute("SELECT score FROM scores WHERE name = ?",
                                                     (name,))}


def other_database(address, name):
    """The libpq address of another database on the same PostgreSQL server."""
    base, _, query = address.partition("?")
    return base[:base.rfind("/") + 1] + name + (("?" + query) if query else "")


def backup_under_load(args):
    """A backup taken while four writers store scores: the restored table must hold every score
    acknowledged before the backup started."""
    if args.legacy:
        return report("backup", "older servers have no backup command", None)
    server = Server(args, UNLIMITED, db=args.db)
    db = args.db or server.db
    if args.db:
        subprocess.run(["psql", "-q", db, "-c", "DELETE FROM scores WHERE name = 'BACKUP'"],
                       check=True, capture_output=True)
    acked = []
    lock = threading.Lock()
    stop = threading.Event()

    def write(first):
        score = first
        while not stop.is_set():
            score += 1
            status, body, _ = get(server.port, VERSION)
            if status != 200:
                continue
            token = body.decode().split("|")[4]
            status, body, _ = get(server.port, "/cgi/version.pl?hs&prg=Rivoltra&inf="
                                  + encode_report("BACKUP", score, token))
            if status == 200 and body.startswith(b"OK|stored"):
                with lock:
                    acked.append((time.monotonic(), score))

    writers = [threading.Thread(target=write, args=(i * 1_000_000,)) for i in range(4)]
    for writer in writers:
        writer.start()
    time.sleep(1.5)
    copy = os.path.join(server.folder, "copy.backup")
    started = time.monotonic()
    if args.db:
        taken = subprocess.run(["pg_dump", "-Fc", "-f", copy, db], capture_output=True, text=True)
    else:
        taken = subprocess.run([args.binary, "backup", "--db", db, copy], capture_output=True,
                               text=True)
    took = time.monotonic() - started
    time.sleep(1.0)
    stop.set()
    for writer in writers:
        writer.join()
    if args.db:
        restored_db = other_database(db, "rivoltra_restore")
        subprocess.run(["psql", "-q", db, "-c", "DROP DATABASE IF EXISTS rivoltra_restore"],
                       capture_output=True)
        subprocess.run(["psql", "-q", db, "-c", "CREATE DATABASE rivoltra_restore"],
                       check=True, capture_output=True)
        restore = subprocess.run(["pg_restore", "--no-owner", "-d", restored_db, copy],
                                 capture_output=True, text=True)
    else:
        restored_db = os.path.join(server.folder, "restored.db")
        restore = subprocess.run([args.binary, "restore", "--db", restored_db, copy],
                                 capture_output=True, text=True)
    restored = scores_named(restored_db, "BACKUP") if restore.returncode == 0 else set()
    if args.db:
        subprocess.run(["psql", "-q", db, "-c", "DROP DATABASE IF EXISTS rivoltra_restore"],
                       capture_output=True)
    server.stop()
    before = [score for at, score in acked if at < started]
    missing = sum(1 for score in before if score not in restored)
    during = sum(1 for at, score in acked if started <= at < started + took and score in restored)
    where = "PostgreSQL (pg_dump -Fc, pg_restore)" if args.db else "SQLite (backup, restore)"
    report("backup", f"{where} under 4 writers: {len(acked)} scores acknowledged, {len(before)} "
           f"before the backup started; backup exit {taken.returncode} in {took * 1000:.0f} ms, "
           f"restore exit {restore.returncode}; the restored table holds {len(restored)} of them, "
           f"missing {missing} of those before, {during} acknowledged during the backup",
           taken.returncode == 0 and restore.returncode == 0 and missing == 0 and len(before) > 0)


def metrics_and_admin(args):
    """/metrics with 10 000 entries in the table, checked by promtool; and an admin action seen
    by the very next page load."""
    if args.legacy:
        return report("metrics", "older servers have no metrics", None)
    server = Server(args)
    with sqlite3.connect(server.db, timeout=10) as db:
        db.executemany("INSERT INTO scores (name, country, score, submitted_at) VALUES (?,?,?,?)",
                       [(f"NAME {chr(65 + i % 26)}", "", i, 1700000000 + i)
                        for i in range(10000)])
    db.close()
    for _ in range(20):
        get(server.port, TABLE)
    times = []
    body = b""
    for _ in range(50):
        status, body, took = get(server.port, "/metrics")
        if status == 200:
            times.append(took)
    checked = "promtool missing"
    promtool_ok = True
    if shutil.which("promtool"):
        check = subprocess.run(["promtool", "check", "metrics"], input=body, capture_output=True)
        promtool_ok = check.returncode == 0
        checked = "promtool check metrics: " + ("ok" if promtool_ok else
                                                check.stdout.decode() + check.stderr.decode())
    _, page, _ = get(server.port, TABLE)
    hidden = subprocess.run([args.binary, "admin", "--db", server.db, "hide", "10000", "--reason",
                             "load test"], capture_output=True, text=True)
    after_started = time.monotonic()
    _, after, _ = get(server.port, TABLE)
    seen_in = time.monotonic() - after_started
    server.stop()
    median = statistics.median(times) * 1000 if times else float("inf")
    row = b'class="score">9999<'
    gone = row in page and row not in after
    report("metrics", f"/metrics with 10 000 entries: {len(times)} answers, median "
           f"{median:.2f} ms, p99 {percentile(times, 0.99) * 1000:.2f} ms, {len(body)} bytes; "
           f"{checked}; admin hide exit {hidden.returncode}, the next table page "
           f"({seen_in * 1000:.1f} ms) {'no longer shows' if gone else 'still shows'} the entry",
           len(times) == 50 and (args.quick or median < 5) and promtool_ok
           and hidden.returncode == 0 and gone)

SCENARIOS = {
    "slow": slow_clients, "headers": header_flood, "connmemory": connection_memory,
    "concurrency": concurrency,
    "keepalive": keep_alive, "boundaries": boundaries, "tokens": token_flood,
    "token500": token_after_failed_store,
    "damaged": damaged_files, "shutdown": shutdown, "proxy": proxy_limits,
    "version": version_rate, "pairs": pairs, "memory": memory, "uploads": upload_flood,
    "uploadplaces": upload_places, "replaybytes": replay_bytes, "downloads": downloads,
    "codings": transfer_codings, "verifierstop": verifier_stop, "backup": backup_under_load,
    "metrics": metrics_and_admin,
}


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--binary", required=True)
    parser.add_argument("--quick", action="store_true")
    parser.add_argument("--legacy", action="store_true")
    parser.add_argument("--db", help="postgresql:// address for the pairs scenario")
    parser.add_argument("--servers", type=int, default=1)
    parser.add_argument("--threads", type=int, help="pairs: --threads of each server")
    parser.add_argument("--spread", action="store_true",
                        help="pairs: each player its own forwarded address behind --trust-proxy")
    parser.add_argument("scenarios", nargs="*", default=list(SCENARIOS))
    args = parser.parse_args()
    for name in args.scenarios:
        try:
            SCENARIOS[name](args)
        except Exception as error:  # a scenario that breaks is a finding, not the end of the run
            report(name, f"failed to run: {error!r}", False)
    missed = [name for name, _, ok in results if ok is False]
    return 1 if missed else 0


if __name__ == "__main__":
    sys.exit(main())
