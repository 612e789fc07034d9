"""Proves the end-to-end harness on its target window: find by class and
title, read a pixel, click, read it again, and leave nothing running."""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402

RED = (220, 30, 30)
GREEN = (30, 200, 60)


class HarnessSelfTest(unittest.TestCase):
    def test_click_changes_the_colour_and_nothing_survives(self):
        target = os.path.join(harness._build_dir(), "tests", "e2e", "HarnessTarget.exe")
        with harness.Session() as session:
            prefix = session.prefix
            display = session.display
            session.start_program(target)
            window = session.wait_window("VornexHarnessTarget", "Harness Target")
            x, y = window.client_point(60, 50)
            session.wait_pixel(x, y, RED, tolerance=2)
            session.click(x, y)
            session.wait_pixel(x, y, GREEN, tolerance=2, timeout=5)
            session.click(x, y)
            session.wait_pixel(x, y, RED, tolerance=2, timeout=5)
        # Nothing of the session remains: no Wine process, no X server.
        self.assertEqual([], harness.wine_processes_of(prefix))
        self.assertFalse(os.path.exists("/tmp/.X11-unix/X" + display[1:]))


if __name__ == "__main__":
    unittest.main()
