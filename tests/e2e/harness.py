"""End-to-end harness: runs Windows programs under Wine in a private X
display and drives them as a person would.

A Session owns one Xvfb display with a compositing manager (so layered
windows blend), one wineserver on the end-to-end Wine prefix, the programs
it started and any helper servers registered with it. Everything is ended
when the session closes, when the test process exits, and, through a
watchdog process, even when the test process is killed outright.

Windows are found by class and title, clicks and keys are sent, and screen
pixels are read through UiDriver.exe, a small Win32 program.
"""

import os
import signal
import subprocess
import sys
import tempfile
import time

REPO = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))


class HarnessError(AssertionError):
    pass


def _build_dir():
    return os.environ.get("VORNEX_BUILD_DIR", os.path.join(REPO, "build", "win"))


class Session:
    def __init__(self, prefix=None, width=1600, height=1000, window_manager=None):
        build = _build_dir()
        self.prefix = prefix or os.environ.get(
            "VORNEX_E2E_WINEPREFIX", os.path.join(REPO, "build", "wine", "e2e-prefix"))
        self.prefix = os.path.abspath(self.prefix)
        self.driver = os.path.join(build, "tests", "e2e", "UiDriver.exe")
        self.size = (width, height)
        # A window manager command (e.g. ["openbox"]) to run on the display,
        # as on a user's desktop; None for a bare display.
        self.window_manager = window_manager
        self._children = []       # Popen objects to end at close
        self._cleanups = []       # callables run at close
        self._pidfile = None
        self._watchdog = None
        self.display = None
        self.env = None
        self._closed = False

    # -- lifetime ---------------------------------------------------------
    def __enter__(self):
        try:
            self.start()
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, *exc):
        self.close()
        return False

    def start(self):
        subprocess.run([os.path.join(REPO, "tools", "wine-prefix.sh"), self.prefix], check=True)
        fd_read, fd_write = os.pipe()
        xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(fd_write), "-screen", "0",
             "%dx%dx24" % self.size, "-nolisten", "tcp"],
            pass_fds=(fd_write,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(fd_write)
        self._children.append(xvfb)
        self._start_watchdog()
        self._record(xvfb.pid)
        number = b""
        deadline = time.time() + 15
        while not number.endswith(b"\n") and time.time() < deadline:
            chunk = os.read(fd_read, 16)
            if not chunk:
                break
            number += chunk
        os.close(fd_read)
        if not number.strip():
            raise HarnessError("Xvfb did not start")
        self.display = ":" + number.decode().strip()
        # An empty X resource database, as a desktop session has one loaded:
        # without any, Wine's X11 driver looks for ~/.Xdefaults files again
        # each time a font is selected (see tools/test-session.sh).
        self.env = dict(os.environ, DISPLAY=self.display, WINEPREFIX=self.prefix,
                        WINEARCH=os.environ.get("WINEARCH", "win32"), WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=",
                        XENVIRONMENT=os.environ.get("XENVIRONMENT", "/dev/null"))
        comp = subprocess.Popen(["xcompmgr"], env=self.env,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self._children.append(comp)
        self._record(comp.pid)
        if self.window_manager:
            manager = subprocess.Popen(self.window_manager, env=self.env,
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            self._children.append(manager)
            self._record(manager.pid)
            self.wait_for(self.has_window_manager, 15, "the window manager %r to start" % self.window_manager[0])
        # A private wineserver on this prefix, kept alive for the session.
        self.run_quiet(["wineserver", "-k"])
        self.run_quiet(["wineserver", "-p"])
        self.run_quiet(["wine", "cmd.exe", "/c", "exit"])

    def use_prefix(self, prefix):
        """Runs Windows programs on another prefix from now on (one of
        another display density, say), on the same display: ends everything
        Wine runs on the current prefix and starts a wineserver for the new
        one. Cheaper than a new session where the display can be shared."""
        self.run_quiet(["wineserver", "-k"])
        self.prefix = os.path.abspath(prefix)
        subprocess.run([os.path.join(REPO, "tools", "wine-prefix.sh"), self.prefix], check=True)
        with open(self._prefixfile, "a") as f:
            f.write(self.prefix + "\n")
        self.env["WINEPREFIX"] = self.prefix
        self.run_quiet(["wineserver", "-p"])
        self.run_quiet(["wine", "cmd.exe", "/c", "exit"])

    def close(self):
        if self._closed:
            return
        self._closed = True
        for cleanup in reversed(self._cleanups):
            try:
                cleanup()
            except Exception as error:  # keep cleaning up
                print("harness: cleanup failed: %s" % error, file=sys.stderr)
        if self.env is not None:
            self.run_quiet(["wineserver", "-k"])
        for child in reversed(self._children):
            if child.poll() is None:
                child.terminate()
                try:
                    child.wait(5)
                except subprocess.TimeoutExpired:
                    child.kill()
                    child.wait()
        if self._watchdog is not None:
            self._watchdog.kill()
            self._watchdog.wait()
        if self._pidfile:
            os.unlink(self._pidfile)
            os.unlink(self._prefixfile)

    def _start_watchdog(self):
        # Ends the session's processes if this Python process dies without
        # closing (for example when the test runner kills it on timeout).
        fd, self._pidfile = tempfile.mkstemp(prefix="vornex-e2e-", suffix=".pids")
        os.close(fd)
        # Every prefix the session ran Wine on is listed in a file beside.
        self._prefixfile = self._pidfile + ".prefixes"
        with open(self._prefixfile, "w") as f:
            f.write(self.prefix + "\n")
        script = (
            'while kill -0 %d 2>/dev/null; do sleep 0.5; done; '
            'while read -r prefix; do WINEPREFIX="$prefix" wineserver -k 2>/dev/null; done < "%s"; '
            'for p in $(cat "%s" 2>/dev/null); do kill "$p" 2>/dev/null; done; '
            'rm -f "%s" "%s"' % (os.getpid(), self._prefixfile, self._pidfile, self._pidfile, self._prefixfile))
        self._watchdog = subprocess.Popen(["bash", "-c", script], start_new_session=True,
                                          stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                          stderr=subprocess.DEVNULL)

    def _record(self, pid):
        with open(self._pidfile, "a") as f:
            f.write("%d\n" % pid)

    def has_window_manager(self):
        """Whether a window manager has announced itself on the display."""
        result = subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], env=self.env,
                                capture_output=True, text=True)
        return "window id" in result.stdout

    def add_cleanup(self, callable_):
        self._cleanups.append(callable_)

    def own_process(self, popen):
        """Ends a helper process (a server, say) with the session."""
        self._children.append(popen)
        self._record(popen.pid)
        return popen

    def run_quiet(self, argv):
        return subprocess.run(argv, env=self.env, stdin=subprocess.DEVNULL,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode

    # -- programs ---------------------------------------------------------
    def start_program(self, exe, *args, cwd=None):
        """Starts a Windows program under Wine; returns its Popen."""
        proc = subprocess.Popen(["wine", exe] + list(args), env=self.env, cwd=cwd,
                                stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)
        self._children.append(proc)
        self._record(proc.pid)
        return proc

    def drive(self, *args, query=False):
        """Runs one driver command. A query (find, pixel) that does not come
        back within a minute is reported as not found, so that the caller's
        wait asks again: on a loaded machine a starting Wine process can now
        and then stall for minutes, and a second driver goes through."""
        try:
            result = subprocess.run(["wine", self.driver] + [str(a) for a in args], env=self.env,
                                    stdin=subprocess.DEVNULL, capture_output=True,
                                    timeout=60 if query else 180)
        except subprocess.TimeoutExpired:
            if not query:
                raise
            sys.stderr.write("harness: driver %r stalled for 60 s; asking again\n" % (args,))
            return -1, ""
        return result.returncode, result.stdout.decode("utf-8", "replace").strip()

    # -- acting as a person -------------------------------------------------
    def find_window(self, class_name="*", title="*"):
        code, out = self.drive("find", class_name, title, query=True)
        if code != 0:
            return None
        hwnd, left, top, right, bottom = (int(v) for v in out.split())
        return Window(self, hwnd, (left, top, right, bottom))

    def wait_window(self, class_name="*", title="*", timeout=30):
        return self.wait_for(lambda: self.find_window(class_name, title), timeout,
                             "window class=%r title=%r" % (class_name, title))

    def wait_for(self, condition, timeout, what):
        deadline = time.time() + timeout
        while True:
            value = condition()
            if value:
                return value
            if time.time() >= deadline:
                raise HarnessError("timed out after %ss waiting for %s" % (timeout, what))
            time.sleep(0.1)

    def click(self, x, y, button="left"):
        self._check(self.drive("click", x, y, button), "click")

    def move(self, x, y):
        self._check(self.drive("move", x, y), "move")

    def type_text(self, text):
        self._check(self.drive("type", text), "type")

    def key(self, vk, phase="press"):
        self._check(self.drive("key", vk, phase), "key")

    def pixel(self, x, y):
        code, out = self.drive("pixel", x, y)
        if code != 0 or len(out) != 6:
            raise HarnessError("could not read pixel %d,%d" % (x, y))
        return tuple(int(out[i:i + 2], 16) for i in (0, 2, 4))

    def wait_pixel(self, x, y, rgb, timeout=10, tolerance=0):
        def matches():
            got = self.pixel(x, y)
            return all(abs(a - b) <= tolerance for a, b in zip(got, rgb))
        return self.wait_for(matches, timeout, "pixel %d,%d to become %r" % (x, y, rgb))

    def screenshot(self, path):
        subprocess.run(["import", "-window", "root", path], env=self.env, check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    @staticmethod
    def _check(result, what):
        if result[0] != 0:
            raise HarnessError("driver %s failed (%d): %s" % (what, result[0], result[1]))


class Window:
    def __init__(self, session, hwnd, rect):
        self.session = session
        self.hwnd = hwnd
        self.rect = rect

    def client_rect(self):
        code, out = self.session.drive("client", self.hwnd)
        if code != 0:
            raise HarnessError("window %d is gone" % self.hwnd)
        return tuple(int(v) for v in out.split())

    def state(self):
        """"minimised", "maximised" or "normal", as the window itself sees it."""
        code, out = self.session.drive("state", self.hwnd)
        if code != 0:
            raise HarnessError("window %d is gone" % self.hwnd)
        return out

    def client_point(self, dx, dy):
        left, top, _, _ = self.client_rect()
        return left + dx, top + dy

    def close(self):
        self.session.drive("close", self.hwnd)


def wine_processes_of(prefix):
    """Pids of live processes that run under the given Wine prefix."""
    pids = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open("/proc/%s/environ" % entry, "rb") as f:
                env = f.read().split(b"\0")
        except OSError:
            continue
        if ("WINEPREFIX=" + prefix).encode() in env:
            pids.append(int(entry))
    return pids
