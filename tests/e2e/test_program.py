"""Vornex.exe end to end, driven as a person would: the demo service on
127.0.0.1:80, the real program under Wine with Chromium, mouse and keyboard
input, screen pixels, Config.ini and the service's own records."""

import os
import shutil
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
import program  # noqa: E402
from program import Install, DemoService, Program  # noqa: E402

# One caption on the second and third buttons, two on the first, each with
# an address of its own, so a recorded address names the caption clicked.
FEED = """<?xml version="1.0" encoding="utf-8"?>
<config>
  <StaticAd><ad text="静态" url="http://127.0.0.1/static"/></StaticAd>
  <ScrollAd>
    <item>
      <ad text="第一条广告" url="http://127.0.0.1/ad/1a"/>
      <ad text="第二条广告" url="http://127.0.0.1/ad/1b"/>
    </item>
    <item><ad text="短链接永久有效" url="http://127.0.0.1/ad/2a"/></item>
    <item><ad text="欢迎联系我们" url="http://127.0.0.1/ad/3a"/></item>
  </ScrollAd>
</config>
"""

# Page coordinates of the shortening form on the demo service's start page.
LINK_INPUT = (225, 289)
SHORTEN_BUTTON = (453, 289)


class ShellRecorder:
    """Makes Wine's shell hand web addresses to a script that writes them to
    a file, instead of to a real browser."""

    def __init__(self, session, folder):
        self.session = session
        self.file = os.path.join(folder, "opened.txt")
        script = os.path.join(folder, "record-url")
        with open(script, "w") as f:
            f.write('#!/bin/sh\nprintf "%%s\\n" "$1" >> "%s"\n' % self.file)
        os.chmod(script, 0o755)
        session.run_quiet(["wine", "reg", "add", r"HKCU\Software\Wine\WineBrowser", "/v", "Browsers",
                           "/d", script, "/f"])
        session.add_cleanup(lambda: session.run_quiet(
            ["wine", "reg", "delete", r"HKCU\Software\Wine\WineBrowser", "/v", "Browsers", "/f"]))

    def opened(self):
        if not os.path.exists(self.file):
            return []
        with open(self.file) as f:
            return [line.strip() for line in f if line.strip()]

    def wait_opened(self, count, timeout=20):
        return self.session.wait_for(lambda: len(self.opened()) >= count and self.opened(), timeout,
                                     "%d address(es) handed to the shell" % count)


def alt_f4(session):
    """Alt+F4 on the X keyboard, as a person presses it: under a window
    manager the manager takes it and asks the window to close."""
    subprocess.run(["xdotool", "key", "alt+F4"], env=session.env, check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def xdotool(session, *args):
    """The X pointer and keyboard, as a person uses them: under a window
    manager the manager sees these too (moves, resizes, activation)."""
    return subprocess.run(["xdotool"] + [str(a) for a in args], env=session.env, check=True,
                          stdout=subprocess.PIPE, stderr=subprocess.DEVNULL).stdout.decode().strip()


def drag(session, start, end, steps=12):
    """Press, move in steps, release: a drag with the X pointer."""
    (x0, y0), (x1, y1) = start, end
    xdotool(session, "mousemove", x0, y0)
    xdotool(session, "mousedown", 1)
    # As a person holds the button a moment before moving and comes to rest
    # before letting go: the window manager takes the move or resize over
    # once it has seen the press, and motion it has not yet taken in when
    # the button goes up is not part of it.
    time.sleep(0.3)
    for i in range(1, steps + 1):
        xdotool(session, "mousemove", x0 + (x1 - x0) * i // steps, y0 + (y1 - y0) * i // steps)
        time.sleep(0.04)
    time.sleep(0.3)  # and comes to rest before letting go
    xdotool(session, "mouseup", 1)


def window_actions(test, session, app):
    """Maximise, restore, minimise and bring back, move by the caption and
    resize by the border corner, as a person does them under a window
    manager; the page stays shown throughout."""
    w = app.window

    def rect():
        return w.client_rect()

    def size():
        left, top, right, bottom = rect()
        return (right - left, bottom - top)

    def page_shown():
        return program.is_page_blue(app.pixel(program.CONTENT_PROBE))

    normal = size()
    app.click(program.MAX_BUTTON)
    session.wait_for(lambda: w.state() == "maximised" and size() == (1600, 1000), 10, "the window to maximise")
    session.wait_for(page_shown, 10, "the page shown maximised")
    app.click(program.MAX_BUTTON)  # now the restore button
    session.wait_for(lambda: w.state() == "normal" and size() == normal, 10, "the window to restore")

    app.click(program.MIN_BUTTON)
    session.wait_for(lambda: w.state() == "minimised", 10, "the window to minimise")
    # Brought back as from the window manager's window list.
    xdotool(session, "windowactivate", "--sync", xdotool(session, "search", "--name", "^%s$" % program.MAIN_TITLE))
    session.wait_for(lambda: w.state() == "normal" and size() == normal, 10, "the window to come back")
    session.wait_for(page_shown, 10, "the page shown after minimising")

    left, top, _, _ = rect()
    drag(session, (left + 400, top + 18), (left + 400 - 120, top + 18 - 70))
    session.wait_for(lambda: rect()[:2] == (left - 120, top - 70) and size() == normal, 10,
                     "the window to follow its caption")
    left, top, right, bottom = rect()
    drag(session, (right - 2, bottom - 2), (right - 2 + 90, bottom - 2 + 50))
    session.wait_for(lambda: size() == (normal[0] + 90, normal[1] + 50), 10, "the window to follow its corner")
    session.wait_for(page_shown, 10, "the page shown after resizing")
    drag(session, (right + 90 - 2, bottom + 50 - 2), (right - 2, bottom - 2))
    session.wait_for(lambda: size() == normal, 10, "the window to shrink back")


def close_and_cancel(test, session, app, install, request_close):
    """One close request answered with Cancel: the question comes, goes, and
    leaves the program running with its page and no Config.ini."""
    request_close()
    dialog = app.exit_dialog()
    session.click(*dialog.client_point(*program.CANCEL_BUTTON))
    session.wait_for(lambda: session.find_window(program.MAIN_CLASS, program.EXIT_TITLE) is None, 10,
                     "the exit dialog to close")
    test.assertIsNone(app.proc.poll(), "the program ended on Cancel")
    test.assertFalse(app.is_window_gone())
    test.assertTrue(program.is_page_blue(app.pixel(program.CONTENT_PROBE)))
    test.assertIsNone(install.config_text())


class ProgramEndToEnd(unittest.TestCase):
    def setUp(self):
        self.install = Install()
        self.addCleanup(self.install.remove)

    def test_a_user_session_from_start_to_remembered_exit(self):
        with harness.Session() as session:
            service = DemoService(session, FEED)
            shell = ShellRecorder(session, self.install.folder)
            self.assertEqual("unmanaged", program.configure_window_management(session))
            app = Program(session, self.install)
            w = app.window

            # Centred 1200 x 720 on the 1600 x 1000 screen.
            left, top, right, bottom = w.client_rect()
            self.assertEqual((program.WIDTH, program.HEIGHT), (right - left, bottom - top))
            self.assertEqual(((1600 - 1200) // 2, (1000 - 720) // 2), (left, top))
            # The drop shadow darkens the screen just beside the window.
            beside = session.pixel(right + 2, (top + bottom) // 2)
            far = session.pixel(right + 60, (top + bottom) // 2)
            self.assertLess(sum(beside), sum(far), "a shadow beside the window's right edge")

            # The service page replaces the loading panel.
            app.wait_page()

            # Shorten a link inside the embedded page.
            long_url = "https://example.com/a/very/long/path/from-the-e2e-test"
            app.click(LINK_INPUT)
            session.type_text(long_url)
            app.click(SHORTEN_BUTTON)
            session.wait_for(lambda: any(l.get("url") == long_url for l in service.links().get("links", [])),
                             20, "the service to store the new short link")

            # The bottom buttons scroll their captions: the pixels change.
            bx, by = app.point((160, 684))
            first = program.region(session, bx, by, 560, 36)
            session.wait_for(lambda: program.region(session, bx, by, 560, 36) != first, 10,
                             "the captions to move")

            # A caption's click opens its own link through the shell.
            app.click(program.SCROLL_BUTTONS[2])
            self.assertEqual(["http://127.0.0.1/ad/3a"], shell.wait_opened(1))
            app.click(program.SCROLL_BUTTONS[0])
            opened = shell.wait_opened(2)
            self.assertIn(opened[1], ("http://127.0.0.1/ad/1a", "http://127.0.0.1/ad/1b"))
            # 主页 opens the service's home page.
            app.click(program.HOME_BUTTON)
            self.assertEqual("http://127.0.0.1/", shell.wait_opened(3)[2])

            # Maximise and restore by button, then by a double click on the caption.
            screen_size = (1600, 1000)

            def size():
                l, t, r, b = w.client_rect()
                return (r - l, b - t)
            app.click(program.MAX_BUTTON)
            session.wait_for(lambda: size() == screen_size, 10, "the window to maximise")
            app.click(program.MAX_BUTTON)  # now the restore button
            session.wait_for(lambda: size() == (1200, 720), 10, "the window to restore")
            session.click(*w.client_point(400, 18), button="double")
            session.wait_for(lambda: size() == screen_size, 10, "a caption double click to maximise")
            session.click(*w.client_point(400, 18), button="double")
            session.wait_for(lambda: size() == (1200, 720), 10, "a caption double click to restore")

            # Close asks; Cancel keeps everything, and the next close asks
            # again: by the button, by Alt+F4 while maximised, by Alt+F4
            # again, then OK with "remember" ticked.
            app.click(program.MAX_BUTTON)
            session.wait_for(lambda: size() == screen_size, 10, "the window to maximise")
            close_and_cancel(self, session, app, self.install, lambda: app.click(program.CLOSE_BUTTON))
            close_and_cancel(self, session, app, self.install, lambda: alt_f4(session))
            close_and_cancel(self, session, app, self.install, lambda: alt_f4(session))
            app.click(program.MAX_BUTTON)  # now the restore button
            session.wait_for(lambda: size() == (1200, 720), 10, "the window to restore")
            alt_f4(session)
            dialog = app.exit_dialog()
            session.click(*dialog.client_point(*program.REMEMBER_BOX))
            session.click(*dialog.client_point(*program.OK_BUTTON))
            self.assertEqual(0, app.wait_exit())
            self.assertRegex(self.install.config_text(), r"\[App\]\s+exit=0")
            session.wait_for(lambda: not program.engine_processes(self.install.folder), 15,
                             "the browser engine to end with the program")

            # The next start closes without asking.
            again = Program(session, self.install)
            again.wait_page()
            again.click(program.CLOSE_BUTTON)
            deadline = time.time() + 30
            while again.proc.poll() is None and time.time() < deadline:
                self.assertIsNone(session.find_window(program.MAIN_CLASS, program.EXIT_TITLE),
                                  "no exit dialog once the choice is remembered")
                time.sleep(0.2)
            self.assertEqual(0, again.wait_exit(1))
            session.wait_for(lambda: not program.engine_processes(self.install.folder), 15,
                             "the browser engine to end with the program")
            prefix = session.prefix
        self.assertEqual([], harness.wine_processes_of(prefix))

    @unittest.skipUnless(shutil.which("openbox"), "no openbox on this machine")
    def test_window_actions_and_closing_under_a_window_manager(self):
        # A desktop user's display: the window manager moves and sizes the
        # window, takes Alt+F4 and asks the window to close.
        with harness.Session(window_manager=["openbox", "--sm-disable"]) as session:
            DemoService(session, FEED)
            self.assertEqual("managed", program.configure_window_management(session))
            app = Program(session, self.install)
            app.wait_page()
            for _ in range(2):
                window_actions(self, session, app)
                close_and_cancel(self, session, app, self.install, lambda: app.click(program.CLOSE_BUTTON))
                close_and_cancel(self, session, app, self.install, lambda: alt_f4(session))
            alt_f4(session)
            dialog = app.exit_dialog()
            session.click(*dialog.client_point(*program.OK_BUTTON))
            self.assertEqual(0, app.wait_exit())
            self.assertIsNone(self.install.config_text(), "OK without the box ticked remembers nothing")
            session.wait_for(lambda: not program.engine_processes(self.install.folder), 15,
                             "the browser engine to end with the program")
            prefix = session.prefix
        self.assertEqual([], harness.wine_processes_of(prefix))


if __name__ == "__main__":
    unittest.main()
