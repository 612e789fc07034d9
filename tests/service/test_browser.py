"""A real browser fills in the start page's form and gets its short link.

Headless Chromium is driven over its DevTools pipe (JSON messages ended by a
zero byte on file descriptors 3 and 4), with nothing but the standard library.
"""

import json
import os
import select
import shutil
import subprocess
import tempfile
import time
import unittest

from service_support import InProcessService

CHROMIUM = shutil.which("chromium") or "/usr/bin/chromium"


class DevToolsPipe:
    def __init__(self, profile):
        to_browser_read, self._to_browser = os.pipe()
        self._from_browser, from_browser_write = os.pipe()

        def attach_pipe():
            # The browser expects its end of the pipes at exactly 3 and 4.
            high_read, high_write = os.dup(to_browser_read), os.dup(from_browser_write)
            os.dup2(high_read, 3)
            os.dup2(high_write, 4)

        self.process = subprocess.Popen(
            [CHROMIUM, "--headless", "--no-sandbox", "--disable-gpu", "--no-first-run",
             "--disable-background-networking", "--disable-component-update", "--disable-sync", "--disable-quic",
             "--no-proxy-server", "--remote-debugging-pipe", "--user-data-dir=" + profile,
             "--window-size=1200,650", "about:blank"],
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            close_fds=False, preexec_fn=attach_pipe)
        os.close(to_browser_read)
        os.close(from_browser_write)
        self._pending = b""
        self._next_id = 0

    def call(self, method, params=None, session=None, timeout=30):
        self._next_id += 1
        message = {"id": self._next_id, "method": method, "params": params or {}}
        if session:
            message["sessionId"] = session
        os.write(self._to_browser, json.dumps(message).encode() + b"\0")
        deadline = time.monotonic() + timeout
        while True:
            while b"\0" in self._pending:
                raw, self._pending = self._pending.split(b"\0", 1)
                reply = json.loads(raw)
                if reply.get("id") == self._next_id:
                    if "error" in reply:
                        raise RuntimeError("%s: %s" % (method, reply["error"]))
                    return reply["result"]
            left = deadline - time.monotonic()
            if left <= 0 or not select.select([self._from_browser], [], [], left)[0]:
                raise TimeoutError("no answer to " + method)
            chunk = os.read(self._from_browser, 1 << 20)
            if not chunk:
                raise EOFError("the browser closed its pipe")
            self._pending += chunk

    def close(self):
        try:
            self.call("Browser.close", timeout=10)
        except (OSError, RuntimeError, TimeoutError, EOFError):
            pass
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        os.close(self._to_browser)
        os.close(self._from_browser)


class BrowserRoundTrip(unittest.TestCase):
    def setUp(self):
        self.service = InProcessService()
        self.addCleanup(self.service.stop)
        profile = tempfile.mkdtemp(prefix="vornex-service-browser-")
        self.addCleanup(shutil.rmtree, profile, True)
        self.browser = DevToolsPipe(profile)
        self.addCleanup(self.browser.close)

    def evaluate(self, session, expression):
        result = self.browser.call("Runtime.evaluate", {"expression": expression, "returnByValue": True}, session)
        return result["result"].get("value")

    def wait_for(self, session, expression, timeout=20):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            value = self.evaluate(session, expression)
            if value:
                return value
            time.sleep(0.05)
        self.fail("timed out waiting for: " + expression)

    def test_filling_in_and_submitting_the_form_shows_the_new_short_link(self):
        base = "http://127.0.0.1:%d/" % self.service.port
        target = self.browser.call("Target.createTarget", {"url": base})["targetId"]
        session = self.browser.call("Target.attachToTarget", {"targetId": target, "flatten": True})["sessionId"]
        self.wait_for(session, "document.readyState === 'complete' && !!document.getElementById('url')")

        # Type the address as a person would, then click the button.
        self.evaluate(session, "document.getElementById('url').focus()")
        self.browser.call("Input.insertText", {"text": "https://例子.中国/浏览器测试?x=1"}, session)
        box = self.evaluate(session, "(() => { const r = document.querySelector('form button[type=submit]')"
                                     ".getBoundingClientRect(); return [r.x + r.width / 2, r.y + r.height / 2]; })()")
        for kind in ("mousePressed", "mouseReleased"):
            self.browser.call("Input.dispatchMouseEvent", {"type": kind, "x": box[0], "y": box[1],
                                                           "button": "left", "clickCount": 1}, session)

        short_url = self.wait_for(session, "location.search.startsWith('?created=') && "
                                           "document.getElementById('short-url') && "
                                           "document.getElementById('short-url').value")
        code = short_url.rsplit("/", 1)[1]
        self.assertEqual(short_url, base + code)
        link = self.service.store.find(code)
        self.assertEqual(link.address, "https://xn--fsqu00a.xn--fiqs8s/%E6%B5%8F%E8%A7%88%E5%99%A8%E6%B5%8B%E8%AF%95?x=1")
        # The new link heads the recent list, and the script (allowed by the
        # page's content policy) has shown the copy buttons.
        self.assertEqual(self.evaluate(session, "document.querySelector('table.links td.code a').textContent"), code)
        self.assertEqual(self.evaluate(session, "document.querySelector('.result button.copy').hidden"), False)


if __name__ == "__main__":
    unittest.main()
