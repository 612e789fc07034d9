"""Shared start-up of the runtime tests' page servers: bind a free loopback
port, publish it through a file (written atomically, so the test never reads
half a number), and stop after a minute without requests so a crashed test
leaves no server behind."""

import http.server
import os
import threading
import time

IDLE_SECONDS = 60


def serve(handler, port_file, last_request, quiet_errors=False):
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    if quiet_errors:
        # A window the test closes mid-request drops its connection; that is
        # expected there, not worth a traceback.
        server.handle_error = lambda request, address: None
    with open(port_file + ".tmp", "w") as f:
        f.write(str(server.server_address[1]))
    os.replace(port_file + ".tmp", port_file)

    def idle_watch():
        while True:
            time.sleep(1)
            if time.time() - last_request[0] > IDLE_SECONDS:
                server.shutdown()
                return
    threading.Thread(target=idle_watch, daemon=True).start()
    server.serve_forever()
