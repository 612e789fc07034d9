"""The pages people see: UTF-8 Chinese, escaping of everything user-given, no script needed."""

import re
import unittest
import urllib.parse

from service_support import InProcessService, post_form, request


def form(url):
    return urllib.parse.urlencode({"url": url}).encode("ascii")


class Pages(unittest.TestCase):
    def setUp(self):
        self.service = InProcessService()
        self.port = self.service.port

    def tearDown(self):
        self.service.stop()

    def test_start_page_is_utf8_chinese_with_the_form_and_links_to_contact(self):
        page = request(self.port, "GET", "/")
        self.assertEqual(page.status, 200)
        self.assertEqual(page.header("Content-Type"), "text/html; charset=utf-8")
        self.assertIn('<meta charset="utf-8">', page.text)
        self.assertIn("把长链接变短", page.text)
        self.assertIn('<form method="post" action="/shorten"', page.text)
        self.assertIn('<a href="/contact"', page.text)
        self.assertIn("还没有短链接", page.text)

        contact = request(self.port, "GET", "/contact")
        self.assertEqual(contact.status, 200)
        self.assertIn("<h1>联系我们</h1>", contact.text)

    def test_without_script_the_new_link_is_in_a_read_only_field_and_in_the_list(self):
        reply = post_form(self.port, "/shorten", form("https://example.com/very/long/path"))
        page = request(self.port, "GET", reply.header("Location"))
        code = reply.header("Location").split("=")[1]
        short_url = "http://127.0.0.1:%d/%s" % (self.port, code)
        self.assertRegex(page.text, r'<input class="short" id="short-url" type="text" readonly value="%s"'
                         % re.escape(short_url))
        # The copy buttons stay hidden until the script shows them.
        self.assertIn('data-copy="%s" hidden>复制</button>' % short_url, page.text)
        self.assertIn('<a href="/%s">%s</a>' % (code, code), page.text)
        self.assertIn("https://example.com/very/long/path", page.text)

    def test_user_given_text_is_escaped_everywhere_it_appears(self):
        # Refused: the entered text comes back in the form field and must stay text.
        refused = post_form(self.port, "/shorten", form('"><script>alert(1)</script>'))
        self.assertEqual(refused.status, 400)
        self.assertNotIn("<script>alert", refused.text)
        self.assertIn("value=\"&quot;&gt;&lt;script&gt;alert(1)&lt;/script&gt;\"", refused.text)

        # Accepted: the address is shown decoded for people, so the decoded
        # markup must be escaped in the list and in the result box.
        accepted = post_form(self.port, "/shorten", form("http://example.com/%22%3E%3Cscript%3Ealert(2)%3C/script%3E"))
        page = request(self.port, "GET", accepted.header("Location"))
        self.assertNotIn("<script>alert", page.text)
        self.assertIn("&quot;&gt;&lt;script&gt;alert(2)", page.text)
        self.assertIn("script-src 'self'", page.header("Content-Security-Policy"))

        missing = request(self.port, "GET", "/%3Cscript%3E")
        self.assertNotIn("<script>", missing.text.replace('<script src="/static/app.js" defer></script>', ""))

    def test_addresses_that_decode_to_invisible_characters_are_shown_encoded(self):
        # A right-to-left override would make the shown address lie about itself.
        reply = post_form(self.port, "/shorten", form("https://example.com/%E2%80%AEfdp.exe"))
        page = request(self.port, "GET", reply.header("Location"))
        self.assertNotIn("\u202e", page.text)
        self.assertIn("https://example.com/%E2%80%AEfdp.exe", page.text)

    def test_static_files_and_unknown_static_names(self):
        for name, kind in (("style.css", "text/css"), ("app.js", "text/javascript"), ("icon.svg", "image/svg+xml")):
            reply = request(self.port, "GET", "/static/" + name)
            self.assertEqual(reply.status, 200)
            self.assertTrue(reply.header("Content-Type").startswith(kind))
        self.assertEqual(request(self.port, "GET", "/static/../vornex_demo/store.py").status, 404)


if __name__ == "__main__":
    unittest.main()
