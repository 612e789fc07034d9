"""Vornex.exe on screens at 150 % and 200 % display scaling, against the
same program at 100 %: each in a Wine prefix of that density (its
LogPixels), the demo service on 127.0.0.1:80, the real engine. At each
density the window is laid out that much larger (on a screen it fits), its
title band is that much taller, and the page's heading is drawn at the
density: its glyph edges are at least as sharp as at 100 % and sharper than
the 100 % heading enlarged by the same factor, which is what a program the
system stretches would show. The three runs share one display and one demo
service; each reads everything it measures from one screenshot."""

import importlib.util
import os
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
import program  # noqa: E402
from program import Install, DemoService, Program  # noqa: E402

_spec = importlib.util.spec_from_file_location("edge_sharpness",
                                               os.path.join(harness.REPO, "tools", "edge-sharpness.py"))
edge_sharpness = importlib.util.module_from_spec(_spec)
_spec.loader.exec_module(edge_sharpness)

# The start page's heading "把长链接变短", client coordinates at 100 %.
HEADING = (50, 136, 160, 36)
TITLE_BAND = 32  # the caption's height in the skin (its dark band, border included, is a little taller)


def density_prefix(dpi):
    """A prefix like the end-to-end one at the given density (made by the
    project's tool, which shares the base prefix's drive_c)."""
    base = os.environ.get("VORNEX_E2E_WINEPREFIX", os.path.join(harness.REPO, "build", "wine", "e2e-prefix"))
    env = dict(os.environ, VORNEX_WINEPREFIX=base)
    subprocess.run([os.path.join(harness.REPO, "tools", "wine-dpi-prefix.sh"), str(dpi), "true"], env=env,
                   check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return base + "-dpi%d" % dpi


def crop(screenshot, x, y, w, h, path):
    subprocess.run(["convert", screenshot, "-crop", "%dx%d+%d+%d" % (w, h, x, y), "+repage", path], check=True)
    return path


def dark_band(screenshot, x, top, limit):
    """Rows from `top` down at column x that are the title band's dark
    colour (the first row that is not ends it)."""
    column = subprocess.run(["convert", screenshot, "-crop", "1x%d+%d+%d" % (limit, x, top), "+repage",
                             "-depth", "8", "rgb:-"], check=True, capture_output=True).stdout
    band = 0
    while band < len(column) // 3 and sum(column[3 * band:3 * band + 3]) < 3 * 80:
        band += 1
    return band


def scaled(value, dpi):
    """A 100 % length at dpi, rounded half up as the program rounds."""
    return (value * dpi + 48) // 96


def shoot_heading(session, dpi, folder):
    """Runs the program at dpi on the session's display until its page
    shows; returns the heading's crop (a PNG path), the window's client size
    and its title band's height, and ends the program."""
    prefix = density_prefix(dpi)
    if os.path.abspath(prefix) != session.prefix:
        session.use_prefix(prefix)
    program.configure_window_management(session)
    # Remembers "close without asking", so that the run ends by a close.
    install = Install(config="[App]\r\nexit=0\r\n")
    session.add_cleanup(install.remove)
    app = Program(session, install)
    left, top, right, bottom = app.window.client_rect()
    # The page's top bar is blue right under the title band.
    probe = (scaled(program.CONTENT_PROBE[0], dpi), scaled(program.CONTENT_PROBE[1], dpi))
    session.wait_for(lambda: program.is_page_blue(session.pixel(left + probe[0], top + probe[1])), 120,
                     "the service page to show at %d DPI" % dpi)
    screen = os.path.join(folder, "screen-%d.png" % dpi)
    x, y, w, h = (scaled(v, dpi) for v in HEADING)
    shot = os.path.join(folder, "heading-%d.png" % dpi)
    # The page shows a quick picture first and its lossless one once it
    # rests: measure the heading once it stays the same.
    seen = []

    def heading_at_rest():
        session.screenshot(screen)
        crop(screen, left + x, top + y, w, h, shot)
        seen.append(subprocess.run(["convert", shot, "rgb:-"], check=True, capture_output=True).stdout)
        time.sleep(0.3)
        return len(seen) >= 3 and seen[-1] == seen[-2] == seen[-3]

    session.wait_for(heading_at_rest, 60, "the page's heading to rest at %d DPI" % dpi)
    # At a point free of buttons.
    band = dark_band(screen, left + scaled(300, dpi), top, scaled(8 * TITLE_BAND, dpi))
    app.window.close()
    app.wait_exit()
    session.wait_for(lambda: not program.engine_processes(install.folder), 30,
                     "the browser engine to end with the program at %d DPI" % dpi)
    return shot, (right - left, bottom - top), band


class ProgramAtDensityTest(unittest.TestCase):
    def test_at_150_and_200_percent_the_window_grows_and_the_page_is_sharp(self):
        folder = tempfile.mkdtemp(prefix="vornex-dpi-")
        shots, sizes, bands = {}, {}, {}
        # A screen on which the window fits at 200 % as well, so every
        # density lays the page out at the same CSS size.
        with harness.Session(prefix=density_prefix(96), width=2600, height=1600) as session:
            DemoService(session)
            for dpi in (96, 144, 192):
                shots[dpi], sizes[dpi], bands[dpi] = shoot_heading(session, dpi, folder)
        self.assertEqual(sizes[96], (program.WIDTH, program.HEIGHT))
        self.assertGreaterEqual(bands[96], TITLE_BAND)
        sharp96, _ = edge_sharpness.edge_sharpness(shots[96])
        for dpi, factor in ((144, 1.5), (192, 2)):
            with self.subTest(dpi=dpi):
                self.assertEqual(sizes[dpi], (scaled(program.WIDTH, dpi), scaled(program.HEIGHT, dpi)))
                # The band is the caption and a border, each rounded once.
                self.assertLessEqual(abs(bands[dpi] - factor * bands[96]), 1, bands)
                enlarged = os.path.join(folder, "heading-96-x%s.png" % factor)
                subprocess.run(["convert", shots[96], "-filter", "Triangle", "-resize", "%d%%" % (100 * factor),
                                enlarged], check=True)
                sharp, edges = edge_sharpness.edge_sharpness(shots[dpi])
                stretched, _ = edge_sharpness.edge_sharpness(enlarged)
                print("page heading, mean edge gradient: %.1f at 96 DPI, %.1f at %d DPI, %.1f for 96 enlarged "
                      "x%s (%.2fx); screenshots in %s"
                      % (sharp96, sharp, dpi, stretched, factor, sharp / max(stretched, 1), folder))
                self.assertGreater(edges, 100, "no heading text at %d DPI: %s" % (dpi, shots[dpi]))
                self.assertGreaterEqual(sharp, sharp96)
                self.assertGreaterEqual(sharp, (1.8 if dpi == 192 else 1.3) * stretched)


if __name__ == "__main__":
    unittest.main()
