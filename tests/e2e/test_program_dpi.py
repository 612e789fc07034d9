"""Vornex.exe on a screen at 200 % display scaling, against the same program
at 100 %: each in a Wine prefix of that density (its LogPixels), the demo
service on 127.0.0.1:80, the real engine. At 200 % the window is laid out
twice as large (on a screen it fits), its title band is twice as tall,
and the page's heading is drawn at the density: its glyph edges are at
least as sharp as at 100 % and far sharper than the 100 % heading enlarged
two times, which is what a program the system stretches would show."""

import importlib.util
import os
import subprocess
import sys
import tempfile
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


def shoot_heading(dpi, folder):
    """Runs the program at dpi until its page shows; returns the heading's
    crop (a PNG path) and the window's client size and title band."""
    scale = dpi // 96
    # A screen on which the window fits at 200 % as well, so both densities
    # lay the page out at the same CSS size.
    with harness.Session(prefix=density_prefix(dpi), width=2600, height=1600) as session:
        program.configure_window_management(session)
        service = DemoService(session)
        session.add_cleanup(service.remove)
        install = Install()
        session.add_cleanup(install.remove)
        app = Program(session, install)
        left, top, right, bottom = app.window.client_rect()
        # The page's top bar is blue right under the title band.
        probe = (program.CONTENT_PROBE[0] * scale, program.CONTENT_PROBE[1] * scale)
        session.wait_for(lambda: program.is_page_blue(session.pixel(left + probe[0], top + probe[1])), 120,
                         "the service page to show at %d DPI" % dpi)
        # Where the title band ends: the first row below it that is not the
        # band's dark colour, at a point free of buttons.
        band = 0
        while band < 8 * TITLE_BAND and sum(session.pixel(left + 300 * scale, top + band)) < 3 * 80:
            band += 1
        x, y, w, h = (v * scale for v in HEADING)
        session.screenshot(os.path.join(folder, "screen-%d.png" % dpi))
        shot = os.path.join(folder, "heading-%d.png" % dpi)
        subprocess.run(["import", "-window", "root", "-crop", "%dx%d+%d+%d" % (w, h, left + x, top + y), shot],
                       env=session.env, check=True)
        return shot, (right - left, bottom - top), band


class ProgramAtDensityTest(unittest.TestCase):
    def test_at_200_percent_the_window_doubles_and_the_page_is_sharp(self):
        folder = tempfile.mkdtemp(prefix="vornex-dpi-")
        shot96, size96, band96 = shoot_heading(96, folder)
        shot192, size192, band192 = shoot_heading(192, folder)
        self.assertEqual(size96, (program.WIDTH, program.HEIGHT))
        self.assertEqual(size192, (2 * program.WIDTH, 2 * program.HEIGHT))
        self.assertGreaterEqual(band96, TITLE_BAND)
        self.assertEqual(band192, 2 * band96)
        enlarged = os.path.join(folder, "heading-96-x2.png")
        subprocess.run(["convert", shot96, "-filter", "Triangle", "-resize", "200%", enlarged], check=True)
        sharp96, _ = edge_sharpness.edge_sharpness(shot96)
        sharp192, edges192 = edge_sharpness.edge_sharpness(shot192)
        stretched, _ = edge_sharpness.edge_sharpness(enlarged)
        print("page heading, mean edge gradient: %.1f at 96 DPI, %.1f at 192 DPI, %.1f for 96 enlarged x2 "
              "(%.2fx); screenshots in %s" % (sharp96, sharp192, stretched, sharp192 / max(stretched, 1), folder))
        self.assertGreater(edges192, 100, "no heading text at 192 DPI: %s" % shot192)
        self.assertGreaterEqual(sharp192, sharp96)
        self.assertGreaterEqual(sharp192, 1.8 * stretched)


if __name__ == "__main__":
    unittest.main()
