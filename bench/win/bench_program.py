"""Vornex.exe as a user meets it, against a plain browser window on the same page.

Each round runs, one after the other on the same display and warm wineserver:
  - MinimalWindow.exe (one plain Win32 window of the same size): start -> first
    painted window;
  - Vornex.exe: start -> first painted window (its title bar with the loading
    panel), start -> the service page painted; then, at rest with the page's
    text field focused (as the program starts) and the captions scrolling,
    CPU over an idle stretch and private memory;
  - the peer: the engine's own browser in a plain app window on the same page
    (`chromium --app=http://127.0.0.1/ --window-size=1200,720`, its own
    profile, the field focused and its caret blinking): start -> page
    painted, the same idle stretch, private memory.
Figures are medians and ranges of the per-round ratios. What each side's
idle CPU includes: program = Vornex.exe and its helper process, the engine's
processes, the wineserver, and the X server with its compositing manager;
peer = the browser's processes and the same X server and compositing
manager. Memory: program = Vornex.exe and its helper (private bytes);
engine = the engine's processes; peer = the browser's processes.
Times are wall-clock from just before the start command until the screen
pixel (read with ImageMagick's import, about 20 ms a poll) shows the colour.
It needs the demo service's port (run as root) and never fails on time.

    python3 bench/win/bench_program.py [--rounds 3] [--idle 60]
"""

import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tests", "e2e"))
import harness  # noqa: E402
import program  # noqa: E402

TITLE_BAR = (0x25, 0x1F, 0x29)
SCREEN = (1600, 1000)
ORIGIN = ((SCREEN[0] - program.WIDTH) // 2, (SCREEN[1] - program.HEIGHT) // 2)


def screen_pixel(session, x, y):
    out = subprocess.run(["import", "-window", "root", "-crop", "1x1+%d+%d" % (x, y), "-depth", "8", "rgb:-"],
                         env=session.env, capture_output=True).stdout
    return tuple(out[:3]) if len(out) >= 3 else None


def wait_colour(session, xy, test, timeout=120):
    deadline = time.time() + timeout
    while time.time() < deadline:
        if test(screen_pixel(session, *xy) or (0, 0, 0)):
            return time.time()
        time.sleep(0.005)
    raise harness.HarnessError("the colour did not appear at %r" % (xy,))


def near(rgb, want, tolerance=6):
    return all(abs(a - b) <= tolerance for a, b in zip(rgb, want))


def private_kb(pid):
    total = 0
    try:
        with open("/proc/%d/smaps_rollup" % pid) as f:
            for line in f:
                if line.startswith(("Private_Clean:", "Private_Dirty:")):
                    total += int(line.split()[1])
    except OSError:
        pass
    return total


def cpu_ticks(pids):
    total = 0
    for pid in pids:
        try:
            with open("/proc/%d/stat" % pid) as f:
                fields = f.read().rsplit(")", 1)[1].split()
            total += int(fields[11]) + int(fields[12])
        except OSError:
            pass
    return total


def close(session, proc, cls, title):
    window = session.find_window(cls, title)
    if window is not None:
        window.close()
    try:
        proc.wait(60)
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.wait()


def session_pids(pattern):
    out = subprocess.run(["pgrep", "-f", pattern], capture_output=True, text=True).stdout.split()
    return [int(p) for p in out]


def environ_of(pid):
    try:
        with open("/proc/%d/environ" % pid, "rb") as f:
            return f.read().split(b"\0")
    except OSError:
        return []


def display_pids(session):
    """The session's own X server and compositing manager (other sessions
    on the machine are not counted)."""
    own = b"DISPLAY=" + session.display.encode()
    return [p for p in session_pids("^Xvfb") if ("-displayfd" in open("/proc/%d/cmdline" % p).read()) and
            p in [c.pid for c in session._children]] + \
           [p for p in session_pids("^xcompmgr") if own in environ_of(p)]


def wineserver_pids(session):
    """The wineserver of the session's prefix."""
    own = b"WINEPREFIX=" + session.prefix.encode()
    return [p for p in session_pids("wineserver") if own in environ_of(p)]


def idle_shares(groups, seconds):
    """CPU of each group of processes ({name: function giving its pids}) over
    the same `seconds`, as % of one core."""
    hz = os.sysconf("SC_CLK_TCK")
    pids = {name: of() for name, of in groups.items()}
    before = {name: cpu_ticks(p) for name, p in pids.items()}
    start = time.time()
    time.sleep(seconds)
    wall = time.time() - start
    # Processes that started meanwhile count from zero.
    return {name: (cpu_ticks(sorted(set(pids[name]) | set(of()))) - before[name]) / hz / wall * 100
            for name, of in groups.items()}


def wait_any_blue(session, x, y0, y1, timeout=120):
    """Time at which a pixel of the column x, y0..y1 shows the page's blue."""
    deadline = time.time() + timeout
    while time.time() < deadline:
        out = subprocess.run(["import", "-window", "root", "-crop", "1x%d+%d+%d" % (y1 - y0, x, y0),
                              "-depth", "8", "rgb:-"], env=session.env, capture_output=True).stdout
        for i in range(0, len(out) - 2, 3):
            if program.is_page_blue(tuple(out[i:i + 3])):
                return time.time()
        time.sleep(0.005)
    raise harness.HarnessError("the peer's page did not appear")


class Peer:
    """The engine's own browser in a plain app window on the same page."""

    def __init__(self, session):
        self.session = session
        self.profile = tempfile.mkdtemp(prefix="vornex-bench-peer-")
        self.proc = None

    def start(self):
        self.proc = subprocess.Popen(
            ["chromium", "--app=http://127.0.0.1/", "--window-size=1200,720", "--window-position=200,140",
             "--user-data-dir=" + self.profile, "--no-sandbox", "--no-first-run", "--disable-gpu",
             "--disable-background-networking", "--disable-component-update", "--disable-sync",
             "--disable-quic", "--no-default-browser-check", "--password-store=basic"],
            env=self.session.env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL, start_new_session=True)

    def pids(self):
        return [p for p in session_pids(self.profile)]

    def focus(self):
        # Without a window manager nothing gives the new window the keyboard.
        subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--class", "chromium",
                        "windowfocus", "--sync"], env=self.session.env, capture_output=True, timeout=30)

    def stop(self):
        if self.proc is not None:
            try:
                os.killpg(self.proc.pid, 15)
                self.proc.wait(20)
            except (ProcessLookupError, subprocess.TimeoutExpired):
                os.killpg(self.proc.pid, 9)
                self.proc.wait()
            self.proc = None

    def remove(self):
        self.stop()
        shutil.rmtree(self.profile, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--rounds", type=int, default=3)
    parser.add_argument("--idle", type=float, default=60.0)
    args = parser.parse_args()

    build = harness._build_dir()
    minimal = os.path.join(build, "bench", "win", "MinimalWindow.exe")
    install = program.Install(b"[App]\r\nexit=0\r\n")
    title_point = (ORIGIN[0] + 600, ORIGIN[1] + 18)
    page_point = (ORIGIN[0] + program.CONTENT_PROBE[0], ORIGIN[1] + program.CONTENT_PROBE[1])
    r = {k: [] for k in ("minimal", "first", "first_ratio", "page", "peer_page", "page_ratio", "idle", "peer_idle",
                         "idle_ratio", "app_mem", "engine_mem", "peer_mem", "mem_ratio")}
    peer = None
    try:
        with harness.Session(width=SCREEN[0], height=SCREEN[1]) as session:
            program.DemoService(session)
            peer = Peer(session)
            # One unmeasured round warms the wineserver, the disk cache and the profiles.
            for measured in [False] + [True] * args.rounds:
                t0 = time.time()
                proc = session.start_program(minimal)
                t_min = wait_colour(session, title_point, lambda c: near(c, TITLE_BAR)) - t0
                close(session, proc, "VornexMinimalWindow", "Minimal")

                t0 = time.time()
                proc = session.start_program(install.exe, cwd=install.folder)
                t_first = wait_colour(session, title_point, lambda c: near(c, TITLE_BAR)) - t0
                t_page = wait_colour(session, page_point, program.is_page_blue) - t0
                if measured:
                    # The captions start after their first pause; then idle.
                    time.sleep(4)

                    shares = idle_shares({"app": lambda: program.windows_processes("Vornex.exe"),
                                          "engine": lambda: program.engine_processes(install.folder),
                                          "wineserver": lambda: wineserver_pids(session),
                                          "display": lambda: display_pids(session)}, args.idle)
                    for name, share in shares.items():
                        r.setdefault("idle_" + name, []).append(share)
                    r["idle"].append(sum(shares.values()))
                    r["app_mem"].append(sum(private_kb(p) for p in program.windows_processes("Vornex.exe")) / 1024)
                    r["engine_mem"].append(sum(private_kb(p) for p in program.engine_processes(install.folder)) / 1024)
                close(session, proc, program.MAIN_CLASS, program.MAIN_TITLE)

                t0 = time.time()
                peer.start()
                t_peer = wait_any_blue(session, 200 + 600, 140, 140 + 200) - t0
                if measured:
                    peer.focus()
                    time.sleep(4)
                    shares = idle_shares({"browser": peer.pids, "display": lambda: display_pids(session)}, args.idle)
                    for name, share in shares.items():
                        r.setdefault("peer_idle_" + name, []).append(share)
                    r["peer_idle"].append(sum(shares.values()))
                    r["peer_mem"].append(sum(private_kb(p) for p in peer.pids()) / 1024)
                peer.stop()
                if measured:
                    r["minimal"].append(t_min * 1000)
                    r["first"].append(t_first * 1000)
                    r["first_ratio"].append(t_first / t_min)
                    r["page"].append(t_page * 1000)
                    r["peer_page"].append(t_peer * 1000)
                    r["page_ratio"].append(t_page / t_peer)
                    r["idle_ratio"].append(r["idle"][-1] / max(r["peer_idle"][-1], 0.01))
                    r["mem_ratio"].append(r["engine_mem"][-1] / max(r["peer_mem"][-1], 1))
    finally:
        if peer is not None:
            peer.remove()
        install.remove()

    def spread(key, unit):
        values = r[key]
        return "median %.2f%s (range %.2f..%.2f, %d rounds)" % (
            statistics.median(values), unit, min(values), max(values), len(values))

    print("start -> first paint, MinimalWindow.exe:      " + spread("minimal", " ms"))
    print("start -> first paint, Vornex.exe:             " + spread("first", " ms"))
    print("first paint ratio Vornex / minimal:           " + spread("first_ratio", "x") + "  (goal <= 1.5x)")
    print("start -> page painted, Vornex.exe:            " + spread("page", " ms"))
    print("start -> page painted, peer browser window:   " + spread("peer_page", " ms"))
    print("page ratio Vornex / peer:                     " + spread("page_ratio", "x") + "  (goal <= 1.0x)")
    print("idle CPU over %.0f s, whole program side:       " % args.idle + spread("idle", " %") +
          "  (goal <= 2 %)")
    print("  of which Vornex.exe and its helper %s, engine %s, wineserver %s, X server %s" % tuple(
        "%.2f %%" % statistics.median(r["idle_" + k]) for k in ("app", "engine", "wineserver", "display")))
    print("idle CPU over %.0f s, whole peer side:          " % args.idle + spread("peer_idle", " %"))
    print("  of which the browser %s, X server %s" % tuple(
        "%.2f %%" % statistics.median(r["peer_idle_" + k]) for k in ("browser", "display")))
    print("idle ratio program / peer:                    " + spread("idle_ratio", "x") + "  (goal <= 3x)")
    print("private memory, Vornex.exe and its helper:    " + spread("app_mem", " MB") + "  (goal <= 20 MB)")
    print("private memory, the engine's processes:       " + spread("engine_mem", " MB"))
    print("private memory, the peer's processes:         " + spread("peer_mem", " MB"))
    print("memory ratio engine / peer:                   " + spread("mem_ratio", "x") + "  (goal <= 1.0x)")
    print("Vornex.exe size:                              %.2f MB" % (os.path.getsize(program.program_exe()) / 1048576))


if __name__ == "__main__":
    main()
