"""The skinned window base, live: SkinView.exe shows the real skins of the
archive, and the tests use them as a person would - look at the window and
its shadow, drag it by its caption band, resize it by its border, maximise,
restore and close it, press Alt+F4 in a modal loop - and see a skin that
cannot be built end the program with the message box and exit code 1."""

import os
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
import program  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
VIEWER = os.path.join(harness._build_dir(), "tests", "e2e", "SkinView.exe")
EXPECTED_EXIT = os.path.join(HERE, "expected", "skinview_exit.png")
SCREEN = (1600, 1000)
VK_MENU, VK_F4 = 0x12, 0x73
# ExitWnd.xml's shadow border (left, top, right, bottom).
EXIT_SHADOW = (5, 5, 9, 10)


class SkinWindowTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.session = harness.Session(width=SCREEN[0], height=SCREEN[1])
        cls.session.__enter__()
        # A bare display, set up as the run command sets one up.
        program.configure_window_management(cls.session)

    @classmethod
    def tearDownClass(cls):
        cls.session.__exit__(None, None, None)

    # -- helpers ----------------------------------------------------------
    def start(self, *args):
        proc = self.session.start_program(VIEWER, *args)
        window = self.session.wait_window("SkinViewWnd", "SkinView")
        # The first frame has been painted once the shadow is up.
        self.session.wait_window("UmbraShadowWnd")
        return proc, window

    def wait_exit(self, proc, timeout=20):
        self.session.wait_for(lambda: proc.poll() is not None, timeout, "the viewer to exit")
        return proc.returncode

    def xdotool(self, *args):
        subprocess.run(["xdotool"] + [str(a) for a in args], env=self.session.env, check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def drag(self, start, end):
        self.xdotool("mousemove", start[0], start[1])
        self.xdotool("mousedown", 1)
        steps = 8
        for i in range(1, steps + 1):
            self.xdotool("mousemove", start[0] + (end[0] - start[0]) * i // steps,
                         start[1] + (end[1] - start[1]) * i // steps)
            time.sleep(0.03)
        self.xdotool("mouseup", 1)

    def rect(self, window):
        found = self.session.find_window("SkinViewWnd", "SkinView")
        self.assertIsNotNone(found, "the window is gone")
        return found.rect

    def wait_rect(self, predicate, what, timeout=10):
        return self.session.wait_for(
            lambda: (lambda r: r if r and predicate(r.rect) else None)(
                self.session.find_window("SkinViewWnd", "SkinView")), timeout, what).rect

    def close_and_check(self, proc, window):
        window.close()
        self.assertEqual(0, self.wait_exit(proc))

    # -- the exit dialog skin ----------------------------------------------
    def test_exit_skin_appears_centred_with_its_shadow_and_looks_as_expected(self):
        proc, window = self.start()
        left, top, right, bottom = window.rect
        self.assertEqual((320, 180), (right - left, bottom - top))
        self.assertLessEqual(abs(left - (SCREEN[0] - 320) // 2), 1)
        self.assertLessEqual(abs(top - (SCREEN[1] - 180) // 2), 1)

        # The shadow darkens the desktop right of and below the window.
        backdrop = self.session.pixel(20, 20)
        for x, y in ((right + 3, (top + bottom) // 2), ((left + right) // 2, bottom + 4)):
            shade = self.session.pixel(x, y)
            self.assertLess(sum(shade), sum(backdrop) - 30, "no shadow at %d,%d" % (x, y))

        # The caption and body colours of the skin.
        self.session.wait_pixel(left + 200, top + 18, (0x25, 0x1F, 0x29), tolerance=2)
        self.session.wait_pixel(left + 10, top + 150, (0xFF, 0xFF, 0xFF), tolerance=2)

        with tempfile.TemporaryDirectory() as tmp:
            shot = os.path.join(tmp, "screen.png")
            crop = os.path.join(tmp, "window.png")
            self.session.screenshot(shot)
            l, t, r, b = (left - EXIT_SHADOW[0], top - EXIT_SHADOW[1],
                          right + EXIT_SHADOW[2], bottom + EXIT_SHADOW[3])
            subprocess.run(["convert", shot, "-crop", "%dx%d+%d+%d" % (r - l, b - t, l, t), "+repage", crop],
                           check=True)
            if os.environ.get("VORNEX_UPDATE_EXPECTED"):
                subprocess.run(["cp", crop, EXPECTED_EXIT], check=True)
            # Font rendering differs between machines: a pixel counts as
            # different only beyond 20% of the colour range, and up to 3%
            # of the pixels may differ.
            result = subprocess.run(["compare", "-metric", "AE", "-fuzz", "20%", crop, EXPECTED_EXIT, "null:"],
                                    capture_output=True, text=True)
            self.assertIn(result.returncode, (0, 1), result.stderr)
            differing = float(result.stderr.split()[0])
            self.assertLessEqual(differing, 0.03 * (r - l) * (b - t),
                                 "%d pixels differ from the expected picture" % differing)
        self.close_and_check(proc, window)

    def test_exit_skin_drags_by_its_caption_and_closes_with_its_close_button(self):
        proc, window = self.start()
        left, top, _, _ = window.rect
        self.drag((left + 150, top + 20), (left + 150 - 120, top + 20 + 70))
        moved = self.wait_rect(lambda r: r[0] == left - 120 and r[1] == top + 70, "the window to follow the drag")
        self.assertEqual((320, 180), (moved[2] - moved[0], moved[3] - moved[1]))
        # Dragging the body moves nothing: only the caption band drags.
        self.drag((moved[0] + 150, moved[1] + 100), (moved[0] + 250, moved[1] + 150))
        time.sleep(0.3)
        self.assertEqual(moved, self.rect(window))

        self.session.click(moved[0] + 306, moved[1] + 15)  # btn_sys_close
        self.assertEqual(0, self.wait_exit(proc))

    def test_alt_f4_closes_the_window_in_a_modal_loop(self):
        proc, window = self.start("--modal")
        left, top, _, _ = window.rect
        self.session.click(left + 10, top + 170)  # the body: takes the focus, does nothing
        self.session.key(VK_MENU, "down")
        self.session.key(VK_F4)
        self.session.key(VK_MENU, "up")
        self.assertEqual(0, self.wait_exit(proc))

    # -- the main window skin ----------------------------------------------
    def test_main_skin_resizes_by_its_border_maximises_restores_and_closes(self):
        proc, window = self.start("MainWnd.xml")
        left, top, right, bottom = window.rect
        self.assertEqual((1200, 720), (right - left, bottom - top))

        # The 4-pixel size box on the right edge.
        self.drag((right - 2, (top + bottom) // 2), (right + 58, (top + bottom) // 2))
        left, top, right, bottom = self.wait_rect(lambda r: r[2] - r[0] == 1260, "the border to resize")
        self.assertEqual(720, bottom - top)

        # Maximise: the window fills the work area and the shadow goes.
        self.session.click(right - 42, top + 15)  # btn_sys_max
        self.wait_rect(lambda r: r == (0, 0) + SCREEN, "the window to maximise")
        self.session.wait_for(lambda: self.session.find_window("UmbraShadowWnd") is None, 10,
                              "the shadow to hide")

        # The restore button now sits where maximise was; it brings the
        # window back, and the shadow with it.
        self.session.click(SCREEN[0] - 42, 15)
        self.wait_rect(lambda r: r == (left, top, right, bottom), "the window to restore")
        self.session.wait_window("UmbraShadowWnd", timeout=10)

        # And maximise is back in its place.
        self.session.click(right - 42, top + 15)
        self.wait_rect(lambda r: r == (0, 0) + SCREEN, "the window to maximise again")
        self.session.click(SCREEN[0] - 14, 15)  # btn_sys_close
        self.assertEqual(0, self.wait_exit(proc))

    # -- skins that cannot be built ------------------------------------------
    def expect_failure_box(self, *args):
        proc = self.session.start_program(VIEWER, *args)
        box = self.session.wait_window("#32770", "SkinUI")
        self.assertIsNone(proc.poll())
        box.close()
        self.assertEqual(1, self.wait_exit(proc))

    def test_a_missing_skin_file_ends_with_the_message_box_and_exit_code_1(self):
        self.expect_failure_box("NoSuchSkin.xml")

    def test_a_broken_skin_file_ends_with_the_message_box_and_exit_code_1(self):
        folder = tempfile.mkdtemp(prefix="skinview-", dir=os.path.dirname(VIEWER))
        try:
            with open(os.path.join(folder, "Broken.xml"), "w", encoding="utf-8") as f:
                f.write('<Window size="320,180"><VerticalLayout><Label text="cut off')
            self.expect_failure_box("Broken.xml", "--folder", os.path.basename(folder))
        finally:
            subprocess.run(["rm", "-rf", folder])


if __name__ == "__main__":
    unittest.main()
