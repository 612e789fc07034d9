"""Starting and stopping `service/run`: data folder, schema, port errors, kill -9, graceful stop."""

import http.client
import json
import os
import shutil
import signal
import socket
import sqlite3
import subprocess
import tempfile
import threading
import unittest

from service_support import RUN, SERVICE_DIR, ServiceProcess, request, wait_until


def create(port, address):
    return request(port, "POST", "/api/links", body=json.dumps({"url": address}).encode(),
                   headers={"Content-Type": "application/json"})


class StartUp(unittest.TestCase):
    def start(self, *arguments, **options):
        service = ServiceProcess(*arguments, **options)
        self.addCleanup(service.cleanup)
        return service

    def test_default_data_lives_in_the_users_data_folder(self):
        folder = tempfile.mkdtemp(prefix="vornex-service-test-")
        xdg = os.path.join(folder, "xdg")
        service = self.start(folder=folder, own_db=False, env={"XDG_DATA_HOME": xdg})
        self.assertIsNotNone(service.port)
        data = os.path.join(xdg, "vornex-demo")
        self.assertEqual(service.stop()[0], 0)
        with open(os.path.join(data, "feed.xml"), "rb") as seeded:
            with open(os.path.join(SERVICE_DIR, "feed.xml"), "rb") as shipped:
                self.assertEqual(seeded.read(), shipped.read())
        with sqlite3.connect(os.path.join(data, "links.sqlite3")) as db:
            self.assertEqual(db.execute("PRAGMA user_version").fetchone()[0], 1)

    def test_a_taken_port_is_named_with_what_to_do(self):
        with socket.socket() as holder:
            holder.bind(("127.0.0.1", 0))
            holder.listen()
            port = holder.getsockname()[1]
            service = self.start(port=port)
            status, _, err = service.stop()
        self.assertEqual(status, 2)
        self.assertFalse(os.path.exists(service.db))  # nothing left behind
        self.assertIn("port %d on 127.0.0.1 is already in use" % port, err)
        self.assertIn("--port", err)

    @unittest.skipUnless(os.geteuid() == 0 and shutil.which("setpriv") and os.path.exists("/usr/bin/python3"),
                         "needs root to drop to an unprivileged user")
    def test_a_port_it_may_not_use_is_named_with_what_to_do(self):
        with open("/proc/sys/net/ipv4/ip_unprivileged_port_start") as f:
            if int(f.read()) <= 1023:
                self.skipTest("every port is open to unprivileged users here")
        folder = tempfile.mkdtemp(prefix="vornex-service-test-")
        self.addCleanup(shutil.rmtree, folder, True)
        os.chmod(folder, 0o777)
        # The checkout may lie in a folder only root can read (a mktemp -d
        # clone, say): the unprivileged user runs its own copy of the service.
        service_copy = os.path.join(folder, "service")
        shutil.copytree(SERVICE_DIR, service_copy)
        result = subprocess.run(["setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "/usr/bin/python3",
                                 os.path.join(service_copy, "run"), "--port", "1023", "--db",
                                 os.path.join(folder, "links.sqlite3"), "--feed", os.path.join(service_copy, "feed.xml")],
                                capture_output=True, text=True, timeout=60)
        self.assertEqual(result.returncode, 2)
        self.assertIn("not permitted to listen on port 1023", result.stderr)
        self.assertIn("--port", result.stderr)

    def test_databases_it_cannot_use_are_refused_with_a_reason(self):
        folder = tempfile.mkdtemp(prefix="vornex-service-test-")
        newer = os.path.join(folder, "newer.sqlite3")
        with sqlite3.connect(newer) as db:
            db.execute("PRAGMA user_version=99")
        garbage = os.path.join(folder, "garbage.sqlite3")
        with open(garbage, "wb") as f:
            f.write(b"this is not a database" * 100)
        for path, message in ((newer, "schema version 99, newer than this service"), (garbage, "not a database (move it away or choose another --db)")):
            with self.subTest(path=os.path.basename(path)):
                status, _, err = self.start("--db", path, folder=folder).stop()
                self.assertEqual(status, 1)
                self.assertIn(message, err)


class LoadingClients:
    """Four clients creating links as fast as they can until the service goes away."""

    def __init__(self, service):
        self.answered, self._lock = {}, threading.Lock()
        self._threads = [threading.Thread(target=self._client, args=(service.port, i)) for i in range(4)]
        for thread in self._threads:
            thread.start()

    def _client(self, port, index):
        for n in range(100000):
            connection = http.client.HTTPConnection("127.0.0.1", port, timeout=30)
            address = "https://example.com/load/%d/%d" % (index, n)
            try:
                connection.request("POST", "/api/links", body=json.dumps({"url": address}).encode(),
                                   headers={"Content-Type": "application/json"})
                reply = connection.getresponse()
                body = reply.read()
            except (OSError, http.client.HTTPException):
                return  # the service is gone
            finally:
                connection.close()
            if reply.status == 201:
                with self._lock:
                    self.answered[json.loads(body)["code"]] = address

    def join(self):
        for thread in self._threads:
            thread.join()


def stored_links(db_path):
    with sqlite3.connect(db_path) as db:
        assert db.execute("PRAGMA integrity_check").fetchone()[0] == "ok"
        return dict(db.execute("SELECT code, address FROM links").fetchall())


class Durability(unittest.TestCase):
    """Whatever was answered is on disk, however the service ends."""

    def test_every_answered_link_survives_kill_9_under_load(self):
        service = ServiceProcess()
        self.addCleanup(service.cleanup)
        clients = LoadingClients(service)
        self.assertTrue(wait_until(lambda: len(clients.answered) >= 200))
        service.stop(signal.SIGKILL)
        clients.join()

        stored = stored_links(service.db)
        self.assertEqual({code: stored.get(code) for code in clients.answered}, clients.answered)
        # And the service starts again on that database and redirects.
        again = ServiceProcess(folder=service.folder)
        self.addCleanup(again.cleanup)
        code, address = next(iter(clients.answered.items()))
        self.assertEqual(request(again.port, "GET", "/" + code).header("Location"), address)

    def test_a_graceful_stop_under_load_finishes_what_it_accepted(self):
        service = ServiceProcess()
        self.addCleanup(service.cleanup)
        # An idle kept-alive connection must not hold the stop up.
        idle = socket.create_connection(("127.0.0.1", service.port))
        self.addCleanup(idle.close)
        clients = LoadingClients(service)
        self.assertTrue(wait_until(lambda: len(clients.answered) >= 50))
        status, out, _ = service.stop(signal.SIGTERM)
        clients.join()
        self.assertEqual(status, 0)
        self.assertIn("service: stopped", out)
        stored = stored_links(service.db)
        self.assertEqual({code: stored.get(code) for code in clients.answered}, clients.answered)


if __name__ == "__main__":
    unittest.main()
