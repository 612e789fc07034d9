#!/usr/bin/env python3
"""Load benchmark of the demo service on loopback: redirects and shortening.

Starts `service/run` in its own process on a free 127.0.0.1 port with a fresh
database, then for each round runs two phases with CLIENTS concurrent clients
(threads of this process, one keep-alive connection each):
  redirect  GET /<code> of 100 seeded links: a lookup, a counted visit (one
            SQLite write transaction each) and the 302 answer
  shorten   POST /api/links with a JSON body: validation, a new code and one
            SQLite insert committed with synchronous=FULL before the answer
and prints requests per second and latency percentiles per phase, then the
median and range over the rounds. Latency is measured by the client, from
sending the request to reading the whole answer. Both processes share this
machine's cores, so the figures are of the pair, not of the service alone.
Bounded: a fixed number of requests per phase, and each phase stops early
after PHASE_SECONDS. Prints figures; never fails on time.

Usage: bench_service_load.py [--rounds N] [--requests N] [--clients N]
"""

import argparse
import http.client
import json
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import threading
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
PHASE_SECONDS = 30


def start_service(folder):
    process = subprocess.Popen([sys.executable, os.path.join(ROOT, "service", "run"), "--port", "0", "--quiet",
                                "--db", os.path.join(folder, "bench.sqlite3"),
                                "--feed", os.path.join(ROOT, "service", "feed.xml")],
                               stdout=subprocess.PIPE, text=True)
    match = re.search(r":(\d+)/", process.stdout.readline())
    if not match:
        process.kill()
        raise SystemExit("bench: the service did not start")
    return process, int(match.group(1))


def run_phase(port, clients, total, make_request):
    """Returns (requests per second, sorted latencies in ms, errors)."""
    per_client = total // clients
    latencies = [[] for _ in range(clients)]
    errors = []
    deadline = time.monotonic() + PHASE_SECONDS
    start_gate = threading.Barrier(clients + 1)

    def client(index):
        connection = http.client.HTTPConnection("127.0.0.1", port, timeout=30)
        start_gate.wait()
        for n in range(per_client):
            if time.monotonic() > deadline:
                break
            method, path, body, headers, expected = make_request(index, n)
            began = time.perf_counter()
            try:
                connection.request(method, path, body=body, headers=headers)
                reply = connection.getresponse()
                reply.read()
            except OSError as error:
                errors.append(repr(error))
                connection.close()
                connection = http.client.HTTPConnection("127.0.0.1", port, timeout=30)
                continue
            latencies[index].append((time.perf_counter() - began) * 1000)
            if reply.status != expected:
                errors.append(reply.status)
        connection.close()

    threads = [threading.Thread(target=client, args=(i,)) for i in range(clients)]
    for thread in threads:
        thread.start()
    start_gate.wait()
    began = time.perf_counter()
    for thread in threads:
        thread.join()
    elapsed = time.perf_counter() - began
    merged = sorted(ms for per_client in latencies for ms in per_client)
    return len(merged) / elapsed, merged, errors


def percentile(sorted_values, fraction):
    return sorted_values[min(len(sorted_values) - 1, int(fraction * len(sorted_values)))]


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--rounds", type=int, default=3)
    parser.add_argument("--requests", type=int, default=3000, help="requests per phase and round")
    parser.add_argument("--clients", type=int, default=10)
    args = parser.parse_args(argv)

    folder = tempfile.mkdtemp(prefix="vornex-bench-")
    process, port = start_service(folder)
    try:
        codes = []
        connection = http.client.HTTPConnection("127.0.0.1", port, timeout=30)
        for n in range(100):
            connection.request("POST", "/api/links", body=json.dumps({"url": "https://example.com/seed/%d" % n}),
                               headers={"Content-Type": "application/json"})
            codes.append(json.loads(connection.getresponse().read())["code"])
        connection.close()

        def redirect(index, n):
            return "GET", "/" + codes[(index * 7919 + n) % len(codes)], None, {}, 302

        def shorten(index, n):
            # Bytes, so that http.client sends head and body in one write.
            body = json.dumps({"url": "https://example.com/bench/%d/%d/%f" % (index, n, time.time())}).encode()
            return "POST", "/api/links", body, {"Content-Type": "application/json"}, 201

        print("service load on 127.0.0.1:%d: %d clients, %d requests per phase, %d rounds"
              % (port, args.clients, args.requests, args.rounds))
        results = {"redirect": [], "shorten": []}
        run_phase(port, args.clients, min(500, args.requests), redirect)  # warm-up
        for round_number in range(1, args.rounds + 1):
            for name, make in (("redirect", redirect), ("shorten", shorten)):
                rate, latencies, errors = run_phase(port, args.clients, args.requests, make)
                results[name].append((rate, percentile(latencies, 0.5), percentile(latencies, 0.99)))
                print("  round %d %-8s %6d req  %7.0f req/s  p50 %6.2f ms  p99 %6.2f ms  max %6.2f ms  errors %d"
                      % (round_number, name, len(latencies), rate, percentile(latencies, 0.5),
                         percentile(latencies, 0.99), latencies[-1], len(errors)))
        print("summary (median [min..max] over rounds):")
        for name, rows in results.items():
            rates, p50s, p99s = zip(*rows)
            print("  %-8s %7.0f req/s [%.0f..%.0f]   p50 %.2f ms   p99 %.2f ms [%.2f..%.2f]"
                  % (name, statistics.median(rates), min(rates), max(rates), statistics.median(p50s),
                     statistics.median(p99s), min(p99s), max(p99s)))
    finally:
        process.terminate()
        process.wait(timeout=30)
        shutil.rmtree(folder, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
