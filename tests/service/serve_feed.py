#!/usr/bin/env python3
"""Runs a test program against the feed bytes that the demo service serves.

For each feed file it starts `service/run` on a free loopback port, fetches
"/api.dat" with the request the client sends, and saves into a temporary
folder (VORNEX_SERVICE_FEED_DIR in the test's environment):
  index.txt        one name per line
  <name>.dat       the body exactly as served
  <name>.expected  what the client must read out of it, from the XML file
                   itself: one line per advertisement, "<list>\t<text>\t<url>",
                   list = static, scroll0, scroll1 or scroll2, text and url as
                   UTF-16 code units in hexadecimal (four digits each)

Usage: serve_feed.py -- command [args...]
"""

import os
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree

from service_support import FIXTURES, SERVICE_DIR, ServiceProcess, raw_exchange
from test_feed import CLIENT_REQUEST, write_feed


def utf16_hex(text):
    data = text.encode("utf-16-le")
    return "".join("%04x" % int.from_bytes(data[i:i + 2], "little") for i in range(0, len(data), 2))


def expected_lines(path):
    root = ElementTree.parse(path).getroot()
    lines = []
    for ad in root.findall("StaticAd/ad"):
        lines.append("static\t%s\t%s" % (utf16_hex(ad.get("text", "")), utf16_hex(ad.get("url", ""))))
    for k, item in enumerate(root.findall("ScrollAd/item")):
        for ad in item.findall("ad"):
            lines.append("scroll%d\t%s\t%s" % (k, utf16_hex(ad.get("text", "")), utf16_hex(ad.get("url", ""))))
    return "".join(line + "\n" for line in lines)


def served_body(feed, folder):
    service = ServiceProcess("--feed", feed, folder=folder)
    try:
        if service.port is None:
            raise SystemExit("serve_feed: the service did not start: %s" % service.stop()[2])
        answer = raw_exchange(service.port, CLIENT_REQUEST.replace(b"Keep-Alive", b"close"))
        head, body = answer.split(b"\r\n\r\n", 1)
        if not head.startswith(b"HTTP/1.1 200 "):
            raise SystemExit("serve_feed: /api.dat answered %r" % head.split(b"\r\n")[0])
        return body
    finally:
        service.stop()


def main(argv):
    if "--" not in argv or not argv[argv.index("--") + 1:]:
        raise SystemExit(__doc__)
    command = argv[argv.index("--") + 1:]
    folder = tempfile.mkdtemp(prefix="vornex-service-feed-")
    try:
        large = os.path.join(folder, "large.xml")
        write_feed(large, [400, 300, 200])  # several full blocks of GBK text
        feeds = {"shipped": os.path.join(SERVICE_DIR, "feed.xml"),
                 "tricky": os.path.join(FIXTURES, "feed_tricky.xml"), "large": large}
        for name, path in feeds.items():
            work = os.path.join(folder, "service-" + name)
            os.makedirs(work)
            with open(os.path.join(folder, name + ".dat"), "wb") as f:
                f.write(served_body(path, work))
            with open(os.path.join(folder, name + ".expected"), "w", encoding="ascii", newline="\n") as f:
                f.write(expected_lines(path))
        with open(os.path.join(folder, "index.txt"), "w", encoding="ascii", newline="\n") as f:
            f.write("".join(name + "\n" for name in feeds))
        return subprocess.call(command, env=dict(os.environ, VORNEX_SERVICE_FEED_DIR=folder))
    finally:
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
