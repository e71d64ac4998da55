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
    def __init__(self, args, extra=(), db=None):
        self.folder = tempfile.mkdtemp(prefix="rivoltra-load-")
        self.db = db or os.path.join(self.folder, "scores.db")
        command = [args.binary, "--listen", "127.0.0.1:0", "--db", self.db, "--quiet", *extra]
        self.process = subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
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

def make_replay(score, name, country=""):
    """A well-formed replay without ticks, whose trailer reports score, name and country."""
    def text(value):
        return bytes([len(value)]) + value.encode()
    header = struct.pack("<QIBII", 0, 1, 0, 0, 0) + text("load")
    trailer = struct.pack("<iHI", score, 1, 0) + text(name) + text(country)
    length = 4 + 2 + 4 + len(header) + len(trailer) + 4
    data = b"RVR\x1a" + struct.pack("<HI", 1, length) + header + trailer
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
            body = make_replay(100, name)
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


SCENARIOS = {
    "slow": slow_clients, "headers": header_flood, "connmemory": connection_memory,
    "concurrency": concurrency,
    "keepalive": keep_alive, "boundaries": boundaries, "tokens": token_flood,
    "token500": token_after_failed_store,
    "damaged": damaged_files, "shutdown": shutdown, "proxy": proxy_limits,
    "version": version_rate, "pairs": pairs, "memory": memory, "uploads": upload_flood,
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
