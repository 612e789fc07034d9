"""The promotion feed "/api.dat": transport format, code page, headers, edits of its file."""

import os
import re
import struct
import tempfile
import time
import unittest
import zlib

from service_support import FIXTURES, SERVICE_DIR, InProcessService, ServiceProcess, raw_exchange, request

# The request exactly as the client's HTTP client sends it: its default header
# block, a form content type on a GET without a body, keep-alive.
CLIENT_REQUEST = (b"GET /api.dat HTTP/1.1\r\nReferer: 127.0.0.1\r\nContent-Type: application/x-www-form-urlencoded\r\n"
                  b"Accept: */*\r\nConnection: Keep-Alive\r\nUser-Agent: Http-connect\r\nHost: 127.0.0.1\r\n"
                  b"Cache-Control: no-cache\r\n\r\n")


def unpack_blocks(body):
    """Independent reading of the transport format; returns (document bytes, inflated block sizes)."""
    document, sizes, offset = b"", [], 0
    while True:
        (length,) = struct.unpack_from("<i", body, offset)
        offset += 4
        if length == 0:
            break
        assert 0 < length <= 11264, length
        block = zlib.decompress(body[offset:offset + length])
        sizes.append(len(block))
        document += block
        offset += length
    assert offset == len(body), "bytes after the end word"
    return document, sizes


def write_feed(path, ads_per_item):
    items = "".join("<item>%s</item>" % "".join('<ad text="滚动%d-%d" url="http://127.0.0.1/%d"/>' % (k, n, n)
                                                for n in range(count))
                    for k, count in enumerate(ads_per_item))
    with open(path, "w", encoding="utf-8") as f:
        f.write('<config><StaticAd><ad text="静态" url="http://127.0.0.1/"/></StaticAd>'
                "<ScrollAd>%s</ScrollAd></config>" % items)


class FeedEndpoint(unittest.TestCase):
    def start(self, feed):
        service = InProcessService(feed)
        self.addCleanup(service.stop)
        return service

    def test_answers_the_clients_own_request_with_a_gbk_document_in_blocks(self):
        service = self.start(os.path.join(SERVICE_DIR, "feed.xml"))
        answer = raw_exchange(service.port, CLIENT_REQUEST + CLIENT_REQUEST.replace(b"Keep-Alive", b"close"))
        # Both requests on the one kept-alive connection are answered alike.
        first, second = answer.split(b"HTTP/1.1 200 OK\r\n")[1:]
        head, body = first.split(b"\r\n\r\n", 1)
        self.assertEqual(second.split(b"\r\n\r\n", 1)[1], body)
        headers = dict(line.split(b": ", 1) for line in head.split(b"\r\n"))
        self.assertEqual(headers[b"Content-Type"], b"application/octet-stream")
        self.assertEqual(int(headers[b"Content-Length"]), len(body))

        document, _ = unpack_blocks(body)
        text = document.decode("gbk")
        self.assertIn('<ad text="长链接一键变短，分享更方便" url="http://127.0.0.1/"/>', text)
        self.assertEqual(text.count("<item>"), 3)

    def test_characters_outside_the_code_page_become_references_the_client_decodes(self):
        service = self.start(os.path.join(FIXTURES, "feed_tricky.xml"))
        document, _ = unpack_blocks(request(service.port, "GET", "/api.dat").body)
        text = document.decode("gbk")  # strict: every byte is GBK
        self.assertIn("&#55357;&#56832;", text)  # U+1F600 as its two UTF-16 halves
        self.assertIn("&#54620;&#44397;&#50612;", text)  # Hangul
        self.assertIn("&#8364;5", text)  # euro sign
        self.assertIn('text="两行&#10;文字&#9;制表" url=""', text)
        self.assertIn('text="引号 &quot;双&quot; 与 \'单\'"', text)
        self.assertIn('text="比较 a&lt;b&gt;c" url=""', text)
        self.assertIn("<item>\r\n    </item>", text)  # the empty second button keeps its place

    def test_large_feeds_are_cut_into_full_blocks(self):
        service = self.start(os.path.join(SERVICE_DIR, "feed.xml"))
        write_feed(service.feed_path, [400, 300, 200])
        document, sizes = unpack_blocks(request(service.port, "GET", "/api.dat").body)
        self.assertGreater(len(sizes), 2)
        self.assertTrue(all(size == 10240 for size in sizes[:-1]))
        self.assertEqual(len(re.findall(r'<ad text="滚动2-\d+"', document.decode("gbk"))), 200)

    def test_edits_are_served_at_once_and_a_broken_edit_keeps_the_last_good_feed(self):
        service = self.start(os.path.join(SERVICE_DIR, "feed.xml"))
        write_feed(service.feed_path, [1, 1, 1])
        self.assertIn("滚动0-0", unpack_blocks(request(service.port, "GET", "/api.dat").body)[0].decode("gbk"))
        with open(service.feed_path, "w", encoding="utf-8") as f:
            f.write("<config><StaticAd>")  # an edit saved half-way
        os.utime(service.feed_path, ns=(time.time_ns(), time.time_ns() + 10**9))
        reply = request(service.port, "GET", "/api.dat")
        self.assertEqual(reply.status, 200)
        self.assertIn("滚动0-0", unpack_blocks(reply.body)[0].decode("gbk"))


class FeedFileAtStartUp(unittest.TestCase):
    CASES = [
        ("broken.xml", "<config><StaticAd></config>", "not well-formed"),
        ("root.xml", "<feed/>", "must have <config> as its root"),
        ("items.xml", "<config><ScrollAd>%s</ScrollAd></config>" % ("<item/>" * 4), "4 <item> elements"),
    ]

    def test_an_unusable_feed_file_stops_the_start_with_its_fault_named(self):
        for name, content, message in self.CASES:
            with self.subTest(name):
                folder = tempfile.mkdtemp(prefix="vornex-service-test-")
                with open(os.path.join(folder, name), "w", encoding="utf-8") as f:
                    f.write(content)
                service = ServiceProcess("--feed", os.path.join(folder, name), folder=folder)
                self.addCleanup(service.cleanup)
                status, _, err = service.stop()
                self.assertEqual(status, 1)
                self.assertIn(message, err)
                self.assertIn(name, err)


if __name__ == "__main__":
    unittest.main()
