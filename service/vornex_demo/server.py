"""The threaded HTTP server: bounded workers and a shutdown that drops no answer.

Each connection gets a worker thread, at most MAX_WORKERS at a time; beyond
that the accept loop waits and new connections queue in the listen backlog,
so a flood of clients cannot exhaust the process. Shutting down stops
accepting, wakes the idle keep-alive connections (their reads end), lets the
requests in progress finish and answer, and only then closes the database.
"""

import http.server
import os
import socket
import threading

from .handler import ServiceHandler

MAX_WORKERS = 64
STATIC_TYPES = {".css": "text/css; charset=utf-8", ".js": "text/javascript; charset=utf-8",
                ".svg": "image/svg+xml"}


def load_assets(folder):
    assets = {}
    for name in sorted(os.listdir(folder)):
        kind = STATIC_TYPES.get(os.path.splitext(name)[1])
        if kind:
            with open(os.path.join(folder, name), "rb") as f:
                assets[name] = (kind, f.read())
    return assets


class ShortenerServer(http.server.ThreadingHTTPServer):
    daemon_threads = False
    block_on_close = True
    request_queue_size = 128
    allow_reuse_address = True

    def __init__(self, address, store, feed, assets, quiet=False):
        self.store = store
        self.feed = feed
        self.assets = assets
        self.quiet = quiet
        self._workers = threading.BoundedSemaphore(MAX_WORKERS)
        self._open = set()
        self._open_lock = threading.Lock()
        self._stopping = False
        super().__init__(address, ServiceHandler)
        host, port = self.server_address[:2]
        if ":" in host:
            host = "[%s]" % host
        self.public_host = host if port == 80 else "%s:%d" % (host, port)

    @property
    def port(self):
        return self.server_address[1]

    def process_request(self, request, client_address):
        self._workers.acquire()
        with self._open_lock:
            if self._stopping:
                self._workers.release()
                self.shutdown_request(request)
                return
            self._open.add(request)
        try:
            super().process_request(request, client_address)
        except BaseException:
            self._forget(request)
            raise

    def process_request_thread(self, request, client_address):
        try:
            super().process_request_thread(request, client_address)
        finally:
            self._forget(request)

    def _forget(self, request):
        with self._open_lock:
            if request in self._open:
                self._open.discard(request)
                self._workers.release()

    def stop(self):
        """Graceful stop; returns once every answer in progress has gone out."""
        self.shutdown()  # the accept loop ends
        with self._open_lock:
            self._stopping = True
            connections = list(self._open)
        for sock in connections:
            try:
                # Ends the wait for a next request on idle keep-alive
                # connections; a request already read is still answered.
                sock.shutdown(socket.SHUT_RD)
            except OSError:
                pass
        self.server_close()  # joins the worker threads
        self.store.close()
