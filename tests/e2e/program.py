"""Helpers for end-to-end tests of Vornex.exe: a private copy of the program
(so that Config.ini and the profile folders beside it belong to the test),
the demo service on 127.0.0.1:80 with its own data, and the places of the
main window's controls, as a person sees them."""

import os
import shutil
import subprocess
import sys
import tempfile
import time
import urllib.request

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402

REPO = harness.REPO
MAIN_CLASS = "MainWndClass"
MAIN_TITLE = "Vornex短网址"
EXIT_TITLE = "退出提示："
WIDTH, HEIGHT = 1200, 720

# Client coordinates of what the tests click or look at (MainWnd.xml).
# The system buttons sit at the right edge, whatever the window's width:
# these are offsets from that edge.
CLOSE_BUTTON = (-14, 15)
MAX_BUTTON = (-42, 15)  # the restore button takes its place when maximised
MIN_BUTTON = (-70, 15)
HOME_BUTTON = (940, 15)
CONTENT_PROBE = (600, 50)            # top bar of the service page
SCROLL_BUTTONS = [(140 + 20 + 70, 702), (140 + 220 + 70, 702), (140 + 420 + 70, 702)]
# Exit dialog, client coordinates (ExitWnd.xml: its controls float in the
# body below the 36-pixel title band).
REMEMBER_BOX = (28, 36 + 86)
OK_BUTTON = (176, 36 + 123)
CANCEL_BUTTON = (262, 36 + 123)


def program_exe():
    return os.path.join(harness._build_dir(), "app", "Vornex.exe")


def is_page_blue(rgb):
    """The service page's top bar (a blue gradient); the loading panel is white."""
    r, g, b = rgb
    return b > 120 and r < 90


def region(session, x, y, w, h):
    """The raw RGB bytes of a screen rectangle."""
    return subprocess.run(["import", "-window", "root", "-crop", "%dx%d+%d+%d" % (w, h, x, y),
                           "-depth", "8", "rgb:-"], env=session.env, check=True,
                          capture_output=True).stdout


def configure_window_management(session):
    """Sets Wine's window management for the session's display exactly as the
    run command does (tools/wine-window-management.sh): Wine places its
    windows itself on a bare display ("Managed" = N) and leaves them to a
    window manager when there is one. Returns "managed" or "unmanaged"."""
    result = subprocess.run([os.path.join(REPO, "tools", "wine-window-management.sh")], env=session.env,
                            stdin=subprocess.DEVNULL, capture_output=True, text=True)
    if result.returncode != 0:
        raise harness.HarnessError("could not set Wine's window management")
    key = r"HKCU\Software\Wine\X11 Driver"
    session.add_cleanup(lambda: session.run_quiet(["wine", "reg", "delete", key, "/v", "Managed", "/f"]))
    return result.stdout.strip()


class Install:
    """A folder holding a copy of Vornex.exe and, optionally, its Config.ini."""

    def __init__(self, config=None):
        self.folder = tempfile.mkdtemp(prefix="vornex-e2e-app-")
        shutil.copy(program_exe(), os.path.join(self.folder, "Vornex.exe"))
        if config is not None:
            with open(self.config_path, "wb") as f:
                f.write(config if isinstance(config, bytes) else config.encode("ascii"))

    @property
    def exe(self):
        return os.path.join(self.folder, "Vornex.exe")

    @property
    def config_path(self):
        return os.path.join(self.folder, "Config.ini")

    def config_text(self):
        if not os.path.exists(self.config_path):
            return None
        with open(self.config_path, "rb") as f:
            return f.read().decode("latin-1")

    def remove(self):
        shutil.rmtree(self.folder, ignore_errors=True)


class DemoService:
    """The demo service on 127.0.0.1:80 with a private database and feed."""

    def __init__(self, session, feed_xml=None):
        self.data = tempfile.mkdtemp(prefix="vornex-e2e-service-")
        args = [os.path.join(REPO, "service", "run"), "--host", "127.0.0.1", "--port", "80",
                "--db", os.path.join(self.data, "links.sqlite3")]
        feed = os.path.join(self.data, "feed.xml")
        if feed_xml is None:
            shutil.copy(os.path.join(REPO, "service", "feed.xml"), feed)
        else:
            with open(feed, "w", encoding="utf-8") as f:
                f.write(feed_xml)
        args += ["--feed", feed]
        self.log = os.path.join(self.data, "requests.log")
        self._log_file = open(self.log, "wb")
        session.add_cleanup(self.remove)
        # Other test runs on this machine may hold port 80 for a while: the
        # service refuses a taken port (exit code 2), so wait for it.
        deadline = time.time() + 180
        while True:
            self.proc = subprocess.Popen(args, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                         stderr=self._log_file)
            session.own_process(self.proc)
            if self._wait_ready(deadline):
                return
            if self.proc.returncode != 2 or time.time() > deadline:
                raise harness.HarnessError("the demo service did not start: " + self.requests())
            time.sleep(1)

    def _wait_ready(self, deadline):
        """True once this service listens on the port; False when it ended.
        Another run's service answering on the port is not ours: a refused
        port ends our process only once its interpreter has started, which
        can take longer than any fixed wait."""
        while self.proc.poll() is None:
            if self._listens():
                return True
            if time.time() > deadline:
                return False
            time.sleep(0.1)
        return False

    def _listens(self):
        """Whether this service's process holds the listening socket of
        127.0.0.1:80 (from /proc/net/tcp and the process's descriptors)."""
        inodes = set()
        try:
            with open("/proc/net/tcp") as f:
                for line in f.readlines()[1:]:
                    fields = line.split()
                    if fields[1] == "0100007F:0050" and fields[3] == "0A":
                        inodes.add("socket:[%s]" % fields[9])
            fd_dir = "/proc/%d/fd" % self.proc.pid
            for fd in os.listdir(fd_dir):
                try:
                    if os.readlink(os.path.join(fd_dir, fd)) in inodes:
                        return True
                except OSError:
                    pass
        except OSError:
            pass
        return False

    def requests(self):
        """The request log so far (one line per request)."""
        self._log_file.flush()
        with open(self.log, "rb") as f:
            return f.read().decode("utf-8", "replace")

    def links(self, limit=50):
        with urllib.request.urlopen("http://127.0.0.1/api/links?limit=%d" % limit, timeout=10) as reply:
            import json
            return json.loads(reply.read().decode("utf-8"))

    def remove(self):
        if self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(10)
            except subprocess.TimeoutExpired:
                self.proc.kill()
        self._log_file.close()
        shutil.rmtree(self.data, ignore_errors=True)


class Program:
    """One running Vornex.exe of an Install, and its main window."""

    def __init__(self, session, install):
        self.session = session
        self.install = install
        self.proc = session.start_program(install.exe, cwd=install.folder)
        # Generous: on a loaded machine a first start on a new prefix, or a
        # stalled driver asked again, can take minutes.
        self.window = session.wait_window(MAIN_CLASS, MAIN_TITLE, timeout=180)

    def point(self, xy):
        """Screen point of client coordinates; a negative x counts from the
        right edge."""
        left, top, right, _ = self.window.client_rect()
        x, y = xy
        return (right + x if x < 0 else left + x), top + y

    def pixel(self, xy):
        return self.session.pixel(*self.point(xy))

    def wait_page(self, timeout=120):
        try:
            return self.session.wait_for(lambda: is_page_blue(self.pixel(CONTENT_PROBE)), timeout,
                                         "the service page to show")
        except harness.HarnessError:
            shot = os.path.join(harness._build_dir(), "e2e-no-page.png")
            self.session.screenshot(shot)
            raise harness.HarnessError("the service page did not show within %ss (screen: %s)" % (timeout, shot))

    def bottom_bar_has_captions(self):
        """Whether caption ink (the captions are red) shows in the three
        scrolling buttons of the bottom bar."""
        x, y = self.point((160, 684))
        data = region(self.session, x, y, 560, 36)
        for i in range(0, len(data) - 2, 3):
            r, g, b = data[i], data[i + 1], data[i + 2]
            if r > 200 and g < 150 and b < 150:
                return True
        return False

    def click(self, xy, button="left"):
        self.session.click(*self.point(xy), button=button)

    def exit_dialog(self, timeout=15):
        return self.session.wait_window(MAIN_CLASS, EXIT_TITLE, timeout=timeout)

    def wait_exit(self, timeout=60):
        self.session.wait_for(lambda: self.proc.poll() is not None, timeout, "the program to end")
        return self.proc.returncode

    def is_window_gone(self):
        return self.session.find_window(MAIN_CLASS, MAIN_TITLE) is None


def process_table():
    """One reading of /proc: {pid: command line as a list of bytes}.

    Classify processes from one table: two walks of /proc see different
    moments, and a process started between them is counted wrongly."""
    table = {}
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open("/proc/%s/cmdline" % entry, "rb") as f:
                table[int(entry)] = f.read().split(b"\0")
        except OSError:
            continue
    return table


def windows_processes(exe_name, table=None):
    """Wine processes running the Windows program `exe_name` (its main
    process and the sub-processes it starts of itself)."""
    table = process_table() if table is None else table
    name = exe_name.lower().encode()
    return [pid for pid, argv in table.items() if argv and argv[0].lower().endswith(name)]


def engine_processes(profile_folder, table=None):
    """Browser engine processes that use the given profile folder."""
    table = process_table() if table is None else table
    needle = os.path.realpath(profile_folder).encode()
    found = []
    for pid, argv in table.items():
        cmdline = b"\0".join(argv)
        if b"--user-data-dir=" in cmdline and needle in cmdline:
            found.append(pid)
    return found


def renderer_processes(profile_folder, table=None):
    """The engine's renderers for the given profile folder (a renderer's
    command line is rewritten into one string)."""
    table = process_table() if table is None else table
    return [p for p in engine_processes(profile_folder, table) if b"--type=renderer" in b" ".join(table[p])]
