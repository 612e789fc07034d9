"""Vornex.exe under bad input and faults, end to end: broken Config.ini
files, a profile folder that cannot be made, the service down or serving a
broken or slow feed, a second instance beside the first, the program killed
mid-run, and no browser engine on the machine."""

import http.server
import os
import re
import shutil
import signal
import sys
import tempfile
import threading
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
import program  # noqa: E402
from program import Install, DemoService, Program  # noqa: E402

WHITE = (255, 255, 255)


def close_and_answer(test, session, app):
    """Clicks the close button; answers the exit dialog if one comes.
    Returns whether the program asked."""
    app.click(program.CLOSE_BUTTON)
    asked = False
    deadline = time.time() + 60
    while app.proc.poll() is None and time.time() < deadline:
        dialog = session.find_window(program.MAIN_CLASS, program.EXIT_TITLE)
        if dialog is not None and not asked:
            asked = True
            session.click(*dialog.client_point(*program.OK_BUTTON))
        time.sleep(0.2)
    test.assertEqual(0, app.wait_exit(1))
    return asked


class FakeService:
    """A page with the demo service's blue top bar at "/", and "/api.dat" as
    the test wants it (broken bytes, or an answer that never comes)."""

    PAGE = (b"<!doctype html><html><body style='margin:0'>"
            b"<div style='background:#1d6fe0;height:200px'></div></body></html>")

    def __init__(self, session, feed_body=b"", feed_delay=0):
        outer = self
        self.feed_asked = threading.Event()

        class Handler(http.server.BaseHTTPRequestHandler):
            def do_GET(self):
                if self.path == "/api.dat":
                    outer.feed_asked.set()
                    time.sleep(feed_delay)
                    body, kind = feed_body, "application/octet-stream"
                else:
                    body, kind = outer.PAGE, "text/html"
                self.send_response(200)
                self.send_header("Content-Type", kind)
                self.send_header("Content-Length", str(len(body)))
                self.end_headers()
                try:
                    self.wfile.write(body)
                except OSError:
                    pass

            def log_message(self, *args):
                pass

        http.server.ThreadingHTTPServer.allow_reuse_address = True
        # Other test runs on this machine may hold port 80 for a while.
        deadline = time.time() + 180
        while True:
            try:
                self.server = http.server.ThreadingHTTPServer(("127.0.0.1", 80), Handler)
                break
            except OSError:
                if time.time() > deadline:
                    raise
                time.sleep(1)
        self.server.daemon_threads = True
        threading.Thread(target=self.server.serve_forever, daemon=True).start()
        session.add_cleanup(self.stop)

    def stop(self):
        self.server.shutdown()
        self.server.server_close()


class ConfigFiles(unittest.TestCase):
    """Whatever Config.ini holds, the program starts, and closing asks unless
    the file clearly says not to."""

    CASES = [
        # (what, Config.ini bytes or None, whether closing asks)
        ("missing", None, True),
        ("exit=2", b"[App]\r\nexit=2\r\n", True),
        ("non-numeric", b"[App]\r\nexit=abc\r\n", False),
        ("UTF-16 with exit=0", b"\xff\xfe" + "[App]\r\nexit=0\r\n".encode("utf-16-le"), False),
        ("huge, exit=0 at its end", b"; filler\r\n" * 400000 + b"[App]\r\nexit=0\r\n", False),
        ("a folder, unreadable", "folder", True),
    ]

    def test_each_file_starts_the_program_and_decides_the_prompt(self):
        with harness.Session() as session:
            DemoService(session)
            for what, content, asks in self.CASES:
                with self.subTest(what):
                    install = Install(None if content in (None, "folder") else content)
                    self.addCleanup(install.remove)
                    if content == "folder":
                        os.mkdir(install.config_path)
                    before = None if content in (None, "folder") else open(install.config_path, "rb").read()
                    app = Program(session, install)
                    app.wait_page()
                    self.assertEqual(asks, close_and_answer(self, session, app))
                    if before is not None:
                        with open(install.config_path, "rb") as f:
                            self.assertEqual(before, f.read(), "the file is left as it was")


class Environment(unittest.TestCase):
    def test_a_profile_folder_in_the_way_still_shows_the_page(self):
        install = Install(b"[App]\r\nexit=0\r\n")
        self.addCleanup(install.remove)
        with open(os.path.join(install.folder, "Cache"), "w") as f:
            f.write("not a folder")
        with harness.Session() as session:
            DemoService(session)
            app = Program(session, install)
            app.wait_page()
            self.assertTrue(os.path.isdir(os.path.join(install.folder, "Cache.2")))
            close_and_answer(self, session, app)

    def test_service_down_leaves_the_ads_empty_and_the_program_working(self):
        install = Install(b"[App]\r\nexit=0\r\n")
        self.addCleanup(install.remove)
        with harness.Session() as session:
            app = Program(session, install)
            # The engine shows its own error page; the bar stays empty for
            # longer than a feed takes on loopback.
            deadline = time.time() + 8
            while time.time() < deadline:
                self.assertFalse(app.bottom_bar_has_captions())
            self.assertFalse(app.bottom_bar_has_captions())
            self.assertFalse(close_and_answer(self, session, app))

    def test_broken_and_slow_feeds_leave_the_ads_empty(self):
        bodies = [
            ("garbage", b"\x10\x00\x00\x00not a zlib stream at all", 0),
            ("block longer than the body", b"\xff\xff\x00\x00\x78\x9c", 0),
            ("slow", b"", 30),
        ]
        with harness.Session() as session:
            for what, body, delay in bodies:
                with self.subTest(what):
                    install = Install(b"[App]\r\nexit=0\r\n")
                    self.addCleanup(install.remove)
                    service = FakeService(session, body, delay)
                    app = Program(session, install)
                    app.wait_page()
                    session.wait_for(service.feed_asked.is_set, 30, "the feed request")
                    deadline = time.time() + 5
                    while time.time() < deadline:
                        self.assertFalse(app.bottom_bar_has_captions())
                    close_and_answer(self, session, app)
                    service.stop()

    def test_a_second_instance_shows_its_page_with_a_profile_of_its_own(self):
        install = Install(b"[App]\r\nexit=0\r\n")
        self.addCleanup(install.remove)
        with harness.Session() as session:
            DemoService(session)
            first = Program(session, install)
            first.wait_page()
            second = session.start_program(install.exe, cwd=install.folder)
            session.wait_for(lambda: program.engine_processes(os.path.join(install.folder, "Cache.2")), 60,
                             "the second instance's engine on a profile of its own")
            self.assertTrue(program.engine_processes(os.path.join(install.folder, "Cache")))
            # The two windows lie on each other, centred: close the one on
            # top, and the other one still shows its page; then close that.
            procs = [first.proc, second]
            for remaining in (1, 0):
                first.window = session.wait_window(program.MAIN_CLASS, program.MAIN_TITLE)
                first.wait_page()
                first.click(program.CLOSE_BUTTON)
                session.wait_for(lambda: sum(p.poll() is None for p in procs) == remaining, 60,
                                 "one instance to end")
            self.assertEqual([0, 0], [p.returncode for p in procs])
            session.wait_for(lambda: not program.engine_processes(install.folder), 15, "no engine left")

    def test_killed_mid_run_leaves_no_engine_and_the_config_intact(self):
        config = b"[App]\r\nexit=1\r\n"
        install = Install(config)
        self.addCleanup(install.remove)
        with harness.Session() as session:
            DemoService(session)
            app = Program(session, install)
            app.wait_page()
            self.assertTrue(program.engine_processes(install.folder))
            app.proc.kill()
            app.proc.wait()
            session.wait_for(lambda: not program.engine_processes(install.folder), 30,
                             "the engine to end after the program was killed")
            with open(install.config_path, "rb") as f:
                self.assertEqual(config, f.read())


LINK_INPUT = (225, 289)      # the start page's form, page coordinates + title band
SHORTEN_BUTTON = (453, 289)


def renderer_processes(install):
    return program.renderer_processes(install.folder)


def engine_main_processes(install):
    """The engine's browser process: the one of its processes with no role
    (its children rewrite their command lines into one string, and the
    runtime's guard shell names the engine's command line too)."""
    table = program.process_table()
    return [p for p in program.engine_processes(install.folder, table)
            if b"--type=" not in b" ".join(table[p]) and b"vxrt-guard" not in table[p]
            and not table[p][0].endswith(b"sh")]


class EngineLoss(unittest.TestCase):
    def test_the_page_comes_back_after_its_renderer_and_then_its_engine_are_killed(self):
        install = Install(b"[App]\r\nexit=1\r\n")
        self.addCleanup(install.remove)
        with harness.Session() as session:
            service = DemoService(session)
            self.assertEqual("unmanaged", program.configure_window_management(session))
            app = Program(session, install)
            app.wait_page()
            w = app.window

            def page_loads():
                # The start page, also as the answer to a shortened link
                # (the address a reload comes back to).
                return len(re.findall(r'"GET /(\?[^ ]*)? HTTP', service.requests()))

            def shorten(url):
                """The page answers: a link shortened in it reaches the service."""
                app.click(LINK_INPUT)
                session.type_text(url)
                app.click(SHORTEN_BUTTON)
                session.wait_for(lambda: any(l.get("url") == url for l in service.links().get("links", [])), 30,
                                 "the service to store %s" % url)

            def kill_and_recover(what, victims):
                loads = page_loads()
                pids = victims(install)
                self.assertTrue(pids, "no %s process to kill" % what)
                # One at a time until the page is hit: the engine keeps a
                # spare renderer, whose death is no loss of the page (and a
                # third loss within a minute would stop the restarts).
                for pid in pids:
                    os.kill(pid, signal.SIGKILL)
                    try:
                        # The last picture stays on screen meanwhile: the
                        # page loaded again is what shows it came back.
                        session.wait_for(lambda: page_loads() > loads, 10,
                                         "the page to load again after the %s died" % what)
                        break
                    except harness.HarnessError:
                        if pid == pids[-1]:
                            raise
                # The page is used next: its load has ended once the service
                # has heard nothing new from it for a moment.
                quiet = {"log": service.requests(), "since": time.time()}

                def page_quiet():
                    log = service.requests()
                    if log != quiet["log"]:
                        quiet.update(log=log, since=time.time())
                    return time.time() - quiet["since"] >= 1.5

                session.wait_for(page_quiet, 60, "the page's load to end")
                app.wait_page()
                self.assertIsNone(app.proc.poll(), "the program ended when its %s died" % what)
                self.assertIsNone(session.find_window(program.MAIN_CLASS, program.EXIT_TITLE),
                                  "a question came when the %s died" % what)

            # Maximised, the renderer dies: the window stays as it was.
            app.click(program.MAX_BUTTON)
            session.wait_for(lambda: w.state() == "maximised", 10, "the window to maximise")
            kill_and_recover("renderer", renderer_processes)
            self.assertEqual("maximised", w.state())
            app.click(program.MAX_BUTTON)  # now the restore button
            session.wait_for(lambda: w.state() == "normal", 10, "the window to restore")
            placed = w.client_rect()
            shorten("https://example.com/after-the-renderer-died")

            # Then the engine's own process dies: a new engine, the same window.
            kill_and_recover("engine", engine_main_processes)
            self.assertEqual(placed, w.client_rect())
            self.assertEqual("normal", w.state())
            shorten("https://example.com/after-the-engine-died")

            # Closing still asks, and nothing of the engine is left after.
            app.click(program.CLOSE_BUTTON)
            dialog = app.exit_dialog()
            session.click(*dialog.client_point(*program.OK_BUTTON))
            self.assertEqual(0, app.wait_exit())
            with open(install.config_path, "rb") as f:
                self.assertEqual(b"[App]\r\nexit=1\r\n", f.read())
            session.wait_for(lambda: not program.engine_processes(install.folder), 15, "no engine left")


class WithoutEngine(unittest.TestCase):
    """No browser engine: the Wine prefix's Z: drive is pointed at a root
    without /usr for the session, while the test's own files stay reachable
    through drives of their own."""

    def test_the_window_shows_the_loading_panel_and_still_closes(self):
        install = Install()
        self.addCleanup(install.remove)
        with harness.Session() as session:
            devices = os.path.join(session.prefix, "dosdevices")
            fake_root = tempfile.mkdtemp(prefix="vornex-e2e-root-")
            z = os.path.join(devices, "z:")
            original = os.readlink(z)
            extra = {"w:": "/work", "t:": tempfile.gettempdir()}

            def restore():
                os.remove(z)
                os.symlink(original, z)
                for name in extra:
                    if os.path.islink(os.path.join(devices, name)):
                        os.remove(os.path.join(devices, name))
                shutil.rmtree(fake_root, ignore_errors=True)
            session.add_cleanup(restore)
            os.remove(z)
            os.symlink(fake_root, z)
            for name, target in extra.items():
                path = os.path.join(devices, name)
                if not os.path.lexists(path):
                    os.symlink(target, path)

            DemoService(session)
            app = Program(session, install)
            # The loading panel stays: white where the page would be blue,
            # for longer than the page takes with an engine.
            deadline = time.time() + 10
            while time.time() < deadline:
                self.assertEqual(WHITE, app.pixel(program.CONTENT_PROBE))
            self.assertEqual([], program.engine_processes(install.folder))
            # Closing asks, and OK ends the program although no browser answers.
            self.assertTrue(close_and_answer(self, session, app))


if __name__ == "__main__":
    unittest.main()
