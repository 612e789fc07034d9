"""Vornex.exe over a long run: a soak, not a test (it never fails on a figure).

The real program under Wine with the demo service on 127.0.0.1:80 and the
real engine, driven as a person would for --minutes (30 by default):
  - a link shortened in the page every 10 s (each address is new);
  - the exit question opened and cancelled every 5 minutes;
  - the engine's renderer killed at one third and at two thirds of the run
    (the page must come back by itself).
Printed at the start, every 5 minutes and at the end: the program's private
memory (Vornex.exe and its helper process, from /proc: what Wine's own
accounting shows from outside), its threads, the engine's private memory;
then a linear fit of the program's memory (MB per hour), the links the
driver made against the ones the service stored, and whether any process of
the run is left. Wine's GetGuiResources reports no GDI or USER objects, and
the program keeps no count of its own, so those are not printed.

    python3 bench/win/bench_soak.py [--minutes 30]
"""

import argparse
import os
import signal
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tests", "e2e"))
import harness  # noqa: E402
import program  # noqa: E402

LINK_INPUT = (225, 289)      # the start page's form, page coordinates + title band
SHORTEN_BUTTON = (453, 289)


def private_kb(pid):
    try:
        with open("/proc/%d/smaps_rollup" % pid) as f:
            return sum(int(line.split()[1]) for line in f if line.startswith(("Private_Clean", "Private_Dirty")))
    except OSError:
        return 0


def threads(pid):
    try:
        return len(os.listdir("/proc/%d/task" % pid))
    except OSError:
        return 0


def program_pids(install, table=None):
    return program.windows_processes(os.path.basename(install.exe), table)


def sample(install, t0):
    table = program.process_table()
    pids = program_pids(install, table)
    return {"t": time.time() - t0,
            "program_mb": sum(private_kb(p) for p in pids) / 1024.0,
            "threads": sum(threads(p) for p in pids),
            "engine_mb": sum(private_kb(p) for p in program.engine_processes(install.folder, table)) / 1024.0}


def show(label, s):
    print("%-8s %6.1f min  program %6.1f MB private, %3d threads   engine %6.1f MB private" %
          (label, s["t"] / 60, s["program_mb"], s["threads"], s["engine_mb"]), flush=True)


def slope_mb_per_hour(samples):
    n = len(samples)
    if n < 2:
        return 0.0
    mt = sum(s["t"] for s in samples) / n
    mm = sum(s["program_mb"] for s in samples) / n
    var = sum((s["t"] - mt) ** 2 for s in samples)
    cov = sum((s["t"] - mt) * (s["program_mb"] - mm) for s in samples)
    return cov / var * 3600 if var else 0.0


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--minutes", type=float, default=30.0)
    args = parser.parse_args()
    install = program.Install()
    made, samples = [], []
    try:
        with harness.Session() as session:
            program.configure_window_management(session)
            service = program.DemoService(session)
            app = program.Program(session, install)
            app.wait_page()
            t0 = time.time()
            end = t0 + args.minutes * 60
            kills = [t0 + args.minutes * 20, t0 + args.minutes * 40]
            next_link, next_dialog, next_sample = t0, t0 + 300, t0
            while time.time() < end:
                now = time.time()
                if now >= next_sample:
                    samples.append(sample(install, t0))
                    show("sample", samples[-1])
                    next_sample += 60
                if kills and now >= kills[0]:
                    kills.pop(0)
                    for pid in program.renderer_processes(install.folder):
                        os.kill(pid, signal.SIGKILL)
                    lost = time.time()
                    time.sleep(1)
                    app.wait_page(timeout=60)
                    print("renderer killed: page back after %.1f s" % (time.time() - lost), flush=True)
                if now >= next_dialog:
                    app.click(program.CLOSE_BUTTON)
                    dialog = app.exit_dialog()
                    left, top, _, _ = dialog.client_rect()
                    session.click(left + program.CANCEL_BUTTON[0], top + program.CANCEL_BUTTON[1])
                    session.wait_for(lambda: session.find_window(program.MAIN_CLASS, program.EXIT_TITLE) is None,
                                     15, "the exit question to close")
                    next_dialog += 300
                if now >= next_link:
                    url = "https://example.com/soak/%d/%d" % (os.getpid(), len(made))
                    app.click(LINK_INPUT)
                    session.type_text(url)
                    app.click(SHORTEN_BUTTON)
                    made.append(url)
                    next_link += 10
                time.sleep(0.5)
            time.sleep(5)
            samples.append(sample(install, t0))
            show("end", samples[-1])
            stored = {l.get("url") for l in service.links(200).get("links", [])}
            print("program memory trend: %+.2f MB per hour (linear fit over %d samples)" %
                  (slope_mb_per_hour(samples), len(samples)))
            # The service lists the latest 200 at most (a 33-minute run).
            recent = made[-200:]
            print("links: %d made, of the latest %d the service stored %d" %
                  (len(made), len(recent), sum(1 for u in recent if u in stored)))
            app.click(program.CLOSE_BUTTON)
            dialog = app.exit_dialog()
            left, top, _, _ = dialog.client_rect()
            session.click(left + program.OK_BUTTON[0], top + program.OK_BUTTON[1])
            app.wait_exit()
            time.sleep(3)
            print("processes left: program %d, engine %d" %
                  (len(program_pids(install)), len(program.engine_processes(install.folder))))
    finally:
        install.remove()
    return 0


if __name__ == "__main__":
    sys.exit(main())
