#!/usr/bin/env python3
"""Loopback HTTP service for the promotion feed's tests (standard library only).

It answers every GET with the response the current *scenario* describes and
records the exact bytes of each request, so a test can check what the client
sent. The scenario is a JSON file in the control folder that the test rewrites
whenever it wants another response; it is read again for every request.

Control folder (VORNEX_FEED_SERVICE_DIR in the child's environment):
  scenario.json      written by the test, e.g.
      {"status": 200,
       "body": {"feed": "<config>...</config>", "codepage": 936, "block": 10240},
       "delivery": "normal"}
  last_request.bin   the raw bytes of the latest request (request line,
                     headers, blank line), written before the response goes out
  request_count      number of requests served so far

Body descriptions ("body"; several may be concatenated as a list):
  {"feed": text, "codepage": cp, "block": n, "end": true}
        the feed transport format: text encoded in Windows code page cp
        (936, 1252, 65001, ...), cut into pieces of n bytes (default 10240),
        each zlib-compressed behind a signed little-endian length word, then
        a zero length word unless "end" is false
  {"text": text, "codepage": cp}   plain text in a code page (default UTF-8)
  {"hex": "0a0b..."}               raw bytes
  {"zeros": n}                     n zero bytes (streams; for huge bodies)

Delivery ("delivery"):
  normal     Content-Length and the whole body
  truncated  Content-Length of the whole body, half of it, then close
  slow       the body in "chunk"-byte pieces (default 256) with "delay"
             seconds (default 0.2) before each
  reset      read the request, answer nothing, reset the connection
  close      read the request, answer nothing, close the connection

Default scenario (no scenario.json): 404 Not Found with a small HTML body.

Usage:
  feed_service.py run [--host H] [--port P] [--dir D] -- command [args...]
      binds H:P (default 127.0.0.1:80), runs the command with
      VORNEX_FEED_SERVICE_DIR set, stops and returns the command's exit code;
      a temporary control folder is removed afterwards
  feed_service.py serve [--host H] [--port P] --dir D
      serves until interrupted
"""

import argparse
import json
import os
import signal
import socket
import socketserver
import struct
import subprocess
import sys
import tempfile
import threading
import time
import zlib

FEED_INFLATED_BLOCK_MAX = 10240
REASONS = {200: "OK", 301: "Moved Permanently", 404: "Not Found", 500: "Internal Server Error"}


def python_codec(codepage):
    """Python codec of a Windows code page number."""
    codepage = int(codepage)
    return {0: "utf-8", 65001: "utf-8", 936: "gbk", 950: "big5", 932: "cp932"}.get(codepage, "cp%d" % codepage)


def build_feed_body(text, codepage=936, block=FEED_INFLATED_BLOCK_MAX, end=True):
    """The feed's transport format for `text`: length-prefixed zlib blocks."""
    data = text.encode(python_codec(codepage)) if isinstance(text, str) else bytes(text)
    out = bytearray()
    for start in range(0, len(data), max(1, int(block))):
        packed = zlib.compress(data[start:start + int(block)])
        out += struct.pack("<i", len(packed)) + packed
    if end:
        out += struct.pack("<i", 0)
    return bytes(out)


class Body:
    """A body as a length and a generator of byte chunks (so huge bodies stream)."""

    def __init__(self, description):
        self.parts = description if isinstance(description, list) else [description]
        self.length = sum(self._part_length(p) for p in self.parts)

    @staticmethod
    def _part_bytes(part):
        if "feed" in part:
            return build_feed_body(part["feed"], part.get("codepage", 936),
                                   part.get("block", FEED_INFLATED_BLOCK_MAX), part.get("end", True))
        if "text" in part:
            return part["text"].encode(python_codec(part.get("codepage", 65001)))
        if "hex" in part:
            return bytes.fromhex(part["hex"])
        raise ValueError("unknown body part %r" % (part,))

    def _part_length(self, part):
        return int(part["zeros"]) if "zeros" in part else len(self._part_bytes(part))

    def chunks(self, size=65536):
        for part in self.parts:
            if "zeros" in part:
                left = int(part["zeros"])
                while left > 0:
                    n = min(size, left)
                    yield bytes(n)
                    left -= n
            else:
                data = self._part_bytes(part)
                for start in range(0, len(data), size):
                    yield data[start:start + size]


def load_scenario(folder):
    try:
        with open(os.path.join(folder, "scenario.json"), encoding="utf-8") as f:
            return json.load(f)
    except FileNotFoundError:
        return {"status": 404, "body": {"text": "<html><body>404 Not Found</body></html>"}}


def write_atomically(path, data):
    tmp = path + ".tmp"
    with open(tmp, "wb") as f:
        f.write(data)
    os.replace(tmp, path)


class Handler(socketserver.BaseRequestHandler):
    def handle(self):
        sock = self.request
        sock.settimeout(30)
        pending = b""
        while True:
            while b"\r\n\r\n" not in pending:
                try:
                    data = sock.recv(65536)
                except OSError:
                    return
                if not data:
                    return
                pending += data
            end = pending.index(b"\r\n\r\n") + 4
            request, pending = pending[:end], pending[end:]
            if not self.server.answer(sock, request):
                return


class FeedService(socketserver.ThreadingMixIn, socketserver.TCPServer):
    daemon_threads = True
    allow_reuse_address = True

    def __init__(self, address, folder):
        self.folder = folder
        self.lock = threading.Lock()
        self.count = 0
        super().__init__(address, Handler)

    def record(self, request):
        with self.lock:
            self.count += 1
            write_atomically(os.path.join(self.folder, "last_request.bin"), request)
            write_atomically(os.path.join(self.folder, "request_count"), str(self.count).encode())

    def answer(self, sock, request):
        """Sends one response; returns whether the connection stays usable."""
        self.record(request)
        scenario = load_scenario(self.folder)
        delivery = scenario.get("delivery", "normal")
        if delivery in ("reset", "close"):
            if delivery == "reset":
                # Zero linger: closing sends RST instead of FIN.
                sock.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
                sock.close()
            return False
        status = int(scenario.get("status", 200))
        body = Body(scenario.get("body", {"hex": ""}))
        head = ("HTTP/1.1 %d %s\r\nContent-Type: application/octet-stream\r\n"
                "Content-Length: %d\r\n\r\n" % (status, scenario.get("reason", REASONS.get(status, "Status")),
                                                body.length)).encode("ascii")
        try:
            sock.sendall(head)
            if delivery == "truncated":
                sock.sendall(b"".join(body.chunks())[:body.length // 2])
                return False
            if delivery == "slow":
                delay = float(scenario.get("delay", 0.2))
                for piece in body.chunks(int(scenario.get("chunk", 256))):
                    time.sleep(delay)
                    sock.sendall(piece)
                return True
            for piece in body.chunks():
                sock.sendall(piece)
        except OSError:
            return False
        return True


def start_service(host, port, folder):
    """Binds and serves on a background thread; returns the server."""
    server = FeedService((host, port), folder)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def main(argv):
    parser = argparse.ArgumentParser(description="Loopback feed service for tests.")
    parser.add_argument("mode", choices=["run", "serve"])
    parser.add_argument("--host", default="127.0.0.1")
    parser.add_argument("--port", type=int, default=80)
    parser.add_argument("--dir", help="control folder (default: a temporary one)")
    split = argv.index("--") if "--" in argv else len(argv)
    args = parser.parse_args(argv[:split])
    command = argv[split + 1:]

    folder = args.dir or tempfile.mkdtemp(prefix="vornex-feed-")
    os.makedirs(folder, exist_ok=True)
    try:
        server = start_service(args.host, args.port, folder)
    except OSError as error:
        print("feed_service: cannot listen on %s:%d: %s" % (args.host, args.port, error), file=sys.stderr)
        return 2
    try:
        if args.mode == "serve":
            print("feed_service: serving on %s:%d, control folder %s" % (args.host, args.port, folder), flush=True)
            signal.signal(signal.SIGTERM, lambda signum, frame: sys.exit(0))
            try:
                while True:
                    time.sleep(3600)
            except KeyboardInterrupt:
                return 0
        if not command:
            parser.error("run needs a command after --")
        env = dict(os.environ, VORNEX_FEED_SERVICE_DIR=folder)
        child = subprocess.Popen(command, env=env)

        def stop_child(signum, frame):
            # Interrupted (CTest's timeout, Ctrl+C): the test program must
            # not outlive the service.
            child.kill()
            child.wait()
            sys.exit(128 + signum)

        signal.signal(signal.SIGTERM, stop_child)
        signal.signal(signal.SIGINT, stop_child)
        return child.wait()
    finally:
        server.shutdown()
        server.server_close()
        if not args.dir:
            for name in os.listdir(folder):
                os.remove(os.path.join(folder, name))
            os.rmdir(folder)


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
