"""Shared helpers of the service's tests: start the service, talk HTTP to it.

Everything binds 127.0.0.1 on a port the system picks; nothing goes through
a proxy (http.client talks straight to the socket).
"""

import http.client
import os
import re
import shutil
import socket
import subprocess
import sys
import tempfile
import threading
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
SERVICE_DIR = os.path.join(ROOT, "service")
RUN = os.path.join(SERVICE_DIR, "run")
FIXTURES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "fixtures")
sys.path.insert(0, SERVICE_DIR)

from vornex_demo.feed import FeedSource  # noqa: E402
from vornex_demo.main import STATIC_DIR  # noqa: E402
from vornex_demo.server import ShortenerServer, load_assets  # noqa: E402
from vornex_demo.store import LinkStore  # noqa: E402


class Response:
    def __init__(self, status, headers, body):
        self.status, self.headers, self.body = status, headers, body

    @property
    def text(self):
        return self.body.decode("utf-8")

    def header(self, name):
        return self.headers.get(name.lower())


def request(port, method, path, body=None, headers=None, connection=None):
    """One request; `connection` reuses a keep-alive http.client connection."""
    conn = connection or http.client.HTTPConnection("127.0.0.1", port, timeout=30)
    try:
        conn.request(method, path, body=body, headers=headers or {})
        reply = conn.getresponse()
        data = reply.read()
        return Response(reply.status, {k.lower(): v for k, v in reply.getheaders()}, data)
    finally:
        if connection is None:
            conn.close()


def raw_exchange(port, data, shut_write=False):
    """Sends raw bytes and returns everything the service answers until it closes."""
    with socket.create_connection(("127.0.0.1", port), timeout=30) as sock:
        sock.sendall(data)
        if shut_write:
            sock.shutdown(socket.SHUT_WR)
        chunks = []
        while True:
            try:
                chunk = sock.recv(65536)
            except ConnectionResetError:
                break
            if not chunk:
                break
            chunks.append(chunk)
    return b"".join(chunks)


def post_form(port, path, body, content_type="application/x-www-form-urlencoded"):
    return request(port, "POST", path, body=body, headers={"Content-Type": content_type})


class InProcessService:
    """The service's server object on a free port, in this process (fast)."""

    def __init__(self, feed=None):
        self.folder = tempfile.mkdtemp(prefix="vornex-service-test-")
        self.db = os.path.join(self.folder, "links.sqlite3")
        self.feed_path = os.path.join(self.folder, "feed.xml")
        shutil.copyfile(feed or os.path.join(SERVICE_DIR, "feed.xml"), self.feed_path)
        self.store = LinkStore(self.db)
        self.server = ShortenerServer(("127.0.0.1", 0), self.store, FeedSource(self.feed_path, log=lambda m: None),
                                      load_assets(STATIC_DIR), quiet=True)
        self.port = self.server.port
        self.thread = threading.Thread(target=self.server.serve_forever, kwargs={"poll_interval": 0.05}, daemon=True)
        self.thread.start()

    def stop(self):
        self.server.stop()
        shutil.rmtree(self.folder, ignore_errors=True)


class ServiceProcess:
    """`service/run` as its own process, as an operator starts it."""

    def __init__(self, *arguments, folder=None, port=0, env=None, own_db=True):
        self.folder = folder or tempfile.mkdtemp(prefix="vornex-service-test-")
        self.db = os.path.join(self.folder, "links.sqlite3")
        command = [sys.executable, RUN, "--port", str(port), "--quiet"]
        if own_db and "--db" not in arguments:
            command += ["--db", self.db]
        command += list(arguments)
        environment = dict(os.environ, XDG_DATA_HOME=os.path.join(self.folder, "data"), PYTHONUNBUFFERED="1")
        environment.update(env or {})
        self.process = subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE, env=environment,
                                        text=True)
        self.port = None
        line = self.process.stdout.readline()  # the "serving" line, or nothing when it failed
        match = re.search(r"serving http://[^/]*:(\d+)/", line)
        if match:
            self.port = int(match.group(1))

    def stop(self, sig=None):
        """Stops the process (SIGTERM unless told otherwise); returns its exit code and output."""
        if self.process.poll() is None:
            if sig is None:
                self.process.terminate()
            else:
                self.process.send_signal(sig)
        out, err = self.process.communicate(timeout=30)
        return self.process.returncode, out, err

    def cleanup(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.communicate()
        shutil.rmtree(self.folder, ignore_errors=True)


def wait_until(condition, timeout=20.0, step=0.02):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if condition():
            return True
        time.sleep(step)
    return condition()
