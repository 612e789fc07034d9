"""Starting and stopping `service/run`: data folder, schema, port errors, kill -9, graceful stop."""

import json
import os
import signal
import socket
import sqlite3
import tempfile
import threading
import unittest

from service_support import SERVICE_DIR, ServiceProcess, request


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
            status, _, err = self.start(port=port).stop()
        self.assertEqual(status, 2)
        self.assertIn("port %d on 127.0.0.1 is already in use" % port, err)
        self.assertIn("--port", err)

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


class Durability(unittest.TestCase):
    def test_every_answered_link_survives_kill_9(self):
        service = ServiceProcess()
        self.addCleanup(service.cleanup)
        answered = {}
        for n in range(100):
            reply = create(service.port, "https://example.com/kept/%d" % n)
            self.assertEqual(reply.status, 201)
            answered[json.loads(reply.text)["code"]] = "https://example.com/kept/%d" % n
        service.stop(signal.SIGKILL)

        again = ServiceProcess(folder=service.folder)
        self.addCleanup(again.cleanup)
        for code, address in answered.items():
            self.assertEqual(request(again.port, "GET", "/" + code).header("Location"), address)
        again.stop()
        with sqlite3.connect(again.db) as db:
            self.assertEqual(db.execute("PRAGMA integrity_check").fetchone()[0], "ok")

    def test_a_stop_under_load_answers_what_it_accepted_and_loses_no_answered_link(self):
        service = ServiceProcess()
        self.addCleanup(service.cleanup)
        answered, lock, started = {}, threading.Lock(), threading.Barrier(5)

        def client(index):
            import http.client
            started.wait()
            for n in range(10000):
                connection = http.client.HTTPConnection("127.0.0.1", service.port, timeout=30)
                address = "https://example.com/load/%d/%d" % (index, n)
                try:
                    connection.request("POST", "/api/links", body=json.dumps({"url": address}),
                                       headers={"Content-Type": "application/json"})
                    reply = connection.getresponse()
                    body = reply.read()
                except OSError:
                    return  # the service has stopped listening
                finally:
                    connection.close()
                if reply.status == 201:
                    with lock:
                        answered[json.loads(body)["code"]] = address

        threads = [threading.Thread(target=client, args=(i,)) for i in range(4)]
        for thread in threads:
            thread.start()
        # An idle kept-alive connection must not hold the stop up.
        idle = socket.create_connection(("127.0.0.1", service.port))
        self.addCleanup(idle.close)
        started.wait()
        while len(answered) < 50:
            threading.Event().wait(0.01)
        status, out, _ = service.stop(signal.SIGTERM)
        for thread in threads:
            thread.join()
        self.assertEqual(status, 0)
        self.assertIn("service: stopped", out)
        with sqlite3.connect(service.db) as db:
            stored = dict(db.execute("SELECT code, address FROM links").fetchall())
        self.assertEqual({code: stored.get(code) for code in answered}, answered)


if __name__ == "__main__":
    unittest.main()
